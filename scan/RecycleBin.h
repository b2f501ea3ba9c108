// Moving listed files to the Recycle Bin instead of deleting them for good. The same checks
// as the deletion come first (the file as listed, no link on the way, not read-only, not held
// open by another program); the files that pass go in one operation of the shell, with no
// dialog or progress window of its own.
#pragma once

#include <vector>

#include "../framework/CString.h"
#include "DeleteOutcome.h"

// What became of each path, in order: Deleted when it went to the Recycle Bin.
std::vector<DeleteOutcome> RecycleListedFiles(const std::vector<CString>& paths);
