// What Kelvaro remembers for each user, under HKEY_CURRENT_USER\Software\Kelvaro.
#pragma once

// "删除到回收站": off unless the user turned it on.
bool LoadRecycleOption();
// False when it could not be written (it then holds for this session only).
bool SaveRecycleOption(bool bOn);
