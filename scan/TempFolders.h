// The temp folders that a cleaner is first expected to empty: the user's (%TEMP%) and the
// system's (the machine's TEMP, %SystemRoot%\Temp as Windows sets it).
#pragma once

#include <vector>

#include "../framework/CString.h"

// Those of them that exist and lie inside root (both as OpenScanRoot names them), so that a
// scan of D: never reaches into C:.
std::vector<CString> TempFoldersWithin(const CString& root);
