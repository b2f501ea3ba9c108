#include "ScanSummary.h"

#include <cstdint>
#include <cstdio>

UINT UsedKBFromClusters(UINT sectorsPerCluster, UINT bytesPerSector, UINT freeClusters, UINT totalClusters)
{
    const UINT bytesPerCluster = bytesPerSector * sectorsPerCluster;
    const UINT usedClusters = totalClusters - freeClusters;
    const double kb = (static_cast<double>(bytesPerCluster) / 1024.0) * static_cast<double>(usedClusters);
    return static_cast<UINT>(static_cast<uint64_t>(kb));
}

CString SummarySizeText(UINT kb)
{
    CString number;
    if (kb < 1024) {
        number.Format("%dKB", static_cast<int>(kb));
    } else if (kb <= 0xFFFFF) {
        number.Format("%dMB", static_cast<int>(kb >> 10));
    } else {
        // "%f" of the fraction gives "0.dddddd"; its third and fourth characters are the two
        // decimals, cut rather than rounded, so the fraction never raises the whole number.
        CString fraction;
        fraction.Format("%f", static_cast<double>(kb & 0xFFFFF) / 1048576.0);
        number.Format("%d.%sGB", static_cast<int>(kb >> 20), static_cast<const char*>(fraction.Left(4).Right(2)));
    }
    return number;
}

CString ScanSummaryText(int count, UINT kb)
{
    CString text;
    text.Format("扫描已完成！本次共扫描出 %d 个垃圾文件，立即清除可帮您节省 %s 磁盘空间。", count,
                static_cast<const char*>(SummarySizeText(kb)));
    return text;
}
