// The program's own window messages, and what each parameter carries.
#pragma once

#include <windows.h>

// The engine has news for run wParam in its mailbox (lParam 0). Posted from a worker.
const UINT WM_SCAN_NEWS = WM_APP + 1;
// Every worker of run wParam has ended (lParam 0). Posted from the last of them.
const UINT WM_SCAN_ENDED = WM_APP + 2;
// The user changed the list's selection (wParam, lParam 0). Posted by the list to its dialog,
// once for a burst of changes (a click that clears 100,000 rows tells each of them).
const UINT WM_LIST_SELECTION = WM_APP + 3;
