// The drive's used space and the end-of-run sentence. Pure rules.
#pragma once

#include "../framework/CString.h"

// Used space in KB from the four figures of the free-space query, 32-bit arithmetic as the
// figures come, the KB in double precision, truncated; only the low 32 bits survive.
UINT UsedKBFromClusters(UINT sectorsPerCluster, UINT bytesPerSector, UINT freeClusters, UINT totalClusters);
// "1023KB", "4MB", "1.04GB": whole KB and MB, GB with two decimals cut (not rounded).
CString SummarySizeText(UINT kb);
// The whole sentence for the status line.
CString ScanSummaryText(int count, UINT kb);
