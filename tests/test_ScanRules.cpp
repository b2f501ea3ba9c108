// The pure rules of the scan: which names are junk, the summary sentence, the used space.
#include <gtest/gtest.h>

#include "scan/JunkFilter.h"
#include "scan/ScanSummary.h"

namespace {

TEST(JunkFilter, TmpPatternEdgeCases)
{
    EXPECT_TRUE(MatchesPattern("C:\\x\\a.tmp", "*.tmp"));
    EXPECT_FALSE(MatchesPattern("C:\\x\\a.TMP", "*.tmp")) << "case-sensitive";
    EXPECT_FALSE(MatchesPattern("C:\\x\\a.Tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("C:\\x\\b.old.tmp", "*.tmp")) << "the last dot counts";
    EXPECT_FALSE(MatchesPattern("C:\\x\\b.tmp.old", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("C:\\x\\.tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("C:\\x\\tmp", "*.tmp")) << "no dot: the whole name is compared";
    EXPECT_FALSE(MatchesPattern("C:\\x\\tmp.", "*.tmp")) << "empty extension";
    EXPECT_TRUE(MatchesPattern("C:/x/a.tmp", "*.tmp")) << "a forward slash separates too";
    EXPECT_FALSE(MatchesPattern("C:\\a.tmp\\b", "*.tmp")) << "a dot in a folder name is not the file's";
}

TEST(JunkFilter, WildcardsAreLiteral)
{
    EXPECT_FALSE(MatchesPattern("C:\\x\\a.ab~", "*.??~"));
    EXPECT_TRUE(MatchesPattern("C:\\x\\a.??~", "*.??~"));
    EXPECT_TRUE(MatchesPattern("C:\\x\\a._mp", "*._mp"));
    EXPECT_EQ("tmp", PatternKey("*.tmp"));
    EXPECT_EQ("tmp", PatternKey("?!tmp")) << "the first two characters are dropped unread";
}

TEST(JunkFilter, TrailByte5CIsNoSeparator)
{
    const CString jou("\x81\x5C");  // 乗
    // Were the trail byte a separator, the name would be "tmp" and match as a whole name.
    EXPECT_FALSE(MatchesPattern(CString("C:\\x\\") + jou + "tmp", "*.tmp"));
    EXPECT_EQ(jou + "tmp", FileNameOf(CString("C:\\x\\") + jou + "tmp"));
    EXPECT_TRUE(MatchesPattern(CString("C:\\") + jou + "\\" + jou + ".tmp", "*.tmp"));
}

struct SummaryRow {
    UINT kb;
    const char* size;
};

TEST(ScanSummary, WorkedExamples)
{
    const SummaryRow rows[] = {
        {0, "0KB"}, {1023, "1023KB"}, {1024, "1MB"}, {5000, "4MB"}, {1048575, "1023MB"},
        {1048576, "1.00GB"}, {1100000, "1.04GB"}, {1572864, "1.50GB"}, {3145728, "3.00GB"},
        {4194303, "3.99GB"}, {4294967295u, "4095.99GB"},
    };
    for (const SummaryRow& row : rows) {
        const CString expected = CString("扫描已完成！本次共扫描出 12 个垃圾文件，立即清除可帮您节省 ") + row.size + " 磁盘空间。";
        EXPECT_EQ(expected, ScanSummaryText(12, row.kb)) << row.kb;
    }
    EXPECT_EQ("扫描已完成！本次共扫描出 12 个垃圾文件，立即清除可帮您节省 1.04GB 磁盘空间。", ScanSummaryText(12, 1100000));
    EXPECT_EQ("扫描已完成！本次共扫描出 0 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", ScanSummaryText(0, 0));
    EXPECT_EQ("1.99GB", SummarySizeText((2u << 20) - 1)) << "cut, never rounded up to 2.00";
}

TEST(DriveUsage, Examples)
{
    // 512-byte sectors, 8 per cluster, 1,000,000 clusters of which 250,000 free.
    const UINT kb = UsedKBFromClusters(8, 512, 250000, 1000000);
    EXPECT_EQ(3000000u, kb);
    EXPECT_EQ(2929u, kb >> 10);
    // 4096-byte clusters, 2,621,440 used.
    EXPECT_EQ(10485760u, UsedKBFromClusters(8, 512, 0, 2621440));
    EXPECT_EQ(10240u, UsedKBFromClusters(8, 512, 0, 2621440) >> 10);
    // 512-byte clusters: the half KB of an odd count is dropped.
    EXPECT_EQ(2u, UsedKBFromClusters(1, 512, 0, 5));
    // 4 TiB and more keeps only the low 32 bits.
    EXPECT_EQ(0u, UsedKBFromClusters(8, 512, 0, 1u << 30));
}

}  // namespace
