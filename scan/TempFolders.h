// The temp folders that a cleaner is first expected to empty: the user's (%TEMP%) and the
// system's (the machine's TEMP, %SystemRoot%\Temp as Windows sets it).
#pragma once

#include <vector>

#include "../framework/CString.h"

// Those of them that exist and lie inside root (both as OpenScanRoot names them), so that a
// scan of D: never reaches into C:. Every file a day old in them is junk, so a folder is taken
// only if it is named Temp or Tmp: where the environment names none, Windows gives its own
// folder as the temp folder, and a TEMP set to a drive's root would give the whole drive.
// The folders refused go to *pRefused.
std::vector<CString> TempFoldersWithin(const CString& root, std::vector<CString>* pRefused = nullptr);
