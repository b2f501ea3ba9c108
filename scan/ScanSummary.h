// The end-of-run sentence and the progress bar's units. Pure rules.
#pragma once

#include <cstdint>

#include "../framework/CString.h"

// Whole KB as Explorer shows a size: rounded up, so a 1-byte total is 1KB.
uint64_t KBRoundedUp(uint64_t bytes);
// "1023KB", "4MB", "1.04GB": whole KB and MB, GB with two decimals cut (not rounded).
CString SummarySizeText(uint64_t kb);
// The whole sentence for the status line; folders that could not be read, when there were
// any, are said at its end.
CString ScanSummaryText(int count, uint64_t bytes, int unreadableFolders = 0, int unreadableFiles = 0);
// The end of a walk during which deletions took some of what it found: how many it found, how
// many of them went meanwhile, how many the list shows.
CString ScanSummaryAfterDeletionText(int count, int deleted, int listed, int unreadableFolders, int unreadableFiles);

// A size in the progress bar's units, whole MB: a 16 TB drive is some 16 million of them.
int ProgressUnits(uint64_t bytes);
