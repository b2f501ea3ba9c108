// The pure rules of the scan: which names are junk, the summary sentence, what the drive box
// names, what the status line says after a deletion.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scan/CommandLine.h"
#include "scan/ConsoleLine.h"
#include "scan/DeleteOutcome.h"
#include "scan/FileSystem.h"
#include "scan/Report.h"
#include "scan/JunkFilter.h"
#include "scan/PathVariable.h"
#include "scan/ReparsePoints.h"
#include "scan/RootPath.h"
#include "scan/ScanSummary.h"
#include "scan/TempFolders.h"
#include "ScanTree.h"

namespace {

TEST(JunkFilter, ANameMatchesByItsLastExtensionWhateverItsCase)
{
    EXPECT_TRUE(NameMatchesKey("a.tmp", "tmp"));
    EXPECT_TRUE(NameMatchesKey("A.TMP", "tmp")) << "case as Windows ignores it";
    EXPECT_TRUE(NameMatchesKey("c.Old", "old"));
    EXPECT_TRUE(NameMatchesKey("文件.ÄBC", "äbc")) << "beyond ASCII too";
    EXPECT_FALSE(NameMatchesKey("a.tmq", "tmp"));
    EXPECT_TRUE(NameMatchesKey("b.old.tmp", "tmp")) << "the last dot counts";
    EXPECT_FALSE(NameMatchesKey("b.tmp.old", "tmp"));
    EXPECT_TRUE(NameMatchesKey(".tmp", "tmp"));
    EXPECT_TRUE(NameMatchesKey("tmp", "tmp")) << "no dot: the whole name is compared";
    EXPECT_FALSE(NameMatchesKey("tmp.", "tmp")) << "empty extension";
    // Wildcards are literal, and a pattern's first two characters are dropped unread.
    EXPECT_FALSE(NameMatchesKey("a.ab~", PatternKey("*.??~")));
    EXPECT_TRUE(NameMatchesKey("a.??~", PatternKey("*.??~")));
    EXPECT_TRUE(NameMatchesKey("a._mp", PatternKey("*._mp")));
    EXPECT_EQ("tmp", PatternKey("?!tmp"));
    // 乗 ends in the byte 0x5C in code page 936, and no UTF-8 byte of it is a dot.
    EXPECT_FALSE(NameMatchesKey("乗tmp", "tmp"));
    EXPECT_TRUE(NameMatchesKey("乗.tmp", "tmp"));

    // The user's own patterns: wildcards over the whole name, case ignored.
    EXPECT_TRUE(NameMatches("Thumbs.db", MakeJunkPattern("thumbs.DB")));
    EXPECT_TRUE(NameMatches("~$报告.docx", MakeJunkPattern("~$*")));
    EXPECT_FALSE(NameMatches("a~$b.docx", MakeJunkPattern("~$*")));
    EXPECT_TRUE(NameMatches("x.tar.LOG", MakeJunkPattern("*.log")));
    EXPECT_FALSE(NameMatches("log", MakeJunkPattern("*.log"))) << "a wildcard wants the dot";
    EXPECT_TRUE(NameMatches("a1b.dmp", MakeJunkPattern("a?b.*")));
    EXPECT_FALSE(NameMatches("ab.dmp", MakeJunkPattern("a?b.*")));
    EXPECT_TRUE(NameMatches("aXXbXXb.c", MakeJunkPattern("a*b*b.c")));
    EXPECT_FALSE(MakeJunkPattern("*.??~").wildcard) << "the six keep their meaning";
    EXPECT_TRUE(NameMatches("a.??~", MakeJunkPattern("*.??~")));
    EXPECT_FALSE(NameMatches("a.ab~", MakeJunkPattern("*.??~")));
    CString why;
    // Blanks at the ends (a Windows name has none there), and what matches every name (one
    // click on 全部删除 would empty the drive).
    for (const char* bad : {"", "a\\b", "c:*", "a/b", "a|b", "   ", " *.log", "*.log ", "*", "*.*", "?*", "*.?"})
        EXPECT_FALSE(IsValidUserPattern(bad, &why)) << bad;
    EXPECT_TRUE(IsValidUserPattern("~$*", &why));
}

struct SummaryRow {
    uint64_t kb;
    const char* size;
};

TEST(FileSystem, ExtendedPathsKeepEveryNameAsListed)
{
    // A name's trailing dots and blanks are part of it: the path the walk built is taken whole.
    EXPECT_EQ(L"\\\\?\\T:\\x.\\a .tmp", ExtendedPath("T:\\x.\\a .tmp"));
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\sh\\x.\\a.tmp", ExtendedPath("\\\\srv\\sh\\x.\\a.tmp"));
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\sh\\末尾 \\a.tmp", ExtendedPath("\\\\srv\\sh\\末尾 \\a.tmp"));
    // What a person types is made whole first.
    EXPECT_EQ(L"\\\\?\\UNC\\srv\\sh\\a.tmp", ExtendedPath("\\\\srv\\sh\\x\\..\\a.tmp"));
    EXPECT_EQ(L"\\\\?\\T:\\a\\b.tmp", ExtendedPath("T:/a/b.tmp"));
}

TEST(ReparsePoints, WhichFoldersAScanEnters)
{
    const uint32_t kFolder = 0x10, kReparse = 0x400;
    EXPECT_TRUE(EntersFolder(kFolder, 0));
    EXPECT_FALSE(EntersFolder(kFolder | kReparse, 0xA000000C)) << "a symbolic link";
    EXPECT_FALSE(EntersFolder(kFolder | kReparse, 0xA0000003)) << "a junction or mount point";
    EXPECT_FALSE(EntersFolder(kFolder | kReparse, 0xA0000027)) << "any other name surrogate";
    EXPECT_FALSE(EntersFolder(kFolder | kReparse, 0)) << "a tag not known";
    EXPECT_TRUE(EntersFolder(kFolder | kReparse, 0x9000001A)) << "a cloud placeholder (Files On Demand)";
    EXPECT_TRUE(EntersFolder(kFolder | kReparse, 0x9000701A));
    EXPECT_TRUE(EntersFolder(kFolder | kReparse, 0x80000017)) << "a compressed (WOF) folder";
}

TEST(ConsoleLine, ALineFitsTheWindowInCells)
{
    EXPECT_EQ(L"已检查 ", FitToCells(L"已检查", 7));
    EXPECT_EQ(L"已检 ", FitToCells(L"已检查", 5)) << "a wide character that does not fit is left out whole";
    EXPECT_EQ(L"a ", FitToCells(L"a\U0001F600b", 2)) << "so is a pair of surrogates";
    EXPECT_EQ(L"a\U0001F600b", FitToCells(L"a\U0001F600b", 4));
}

TEST(PathVariable, TheFolderGoesInAndOutAndNothingElseMoves)
{
    // A developer's PATH of some 1,500 characters, with a folder whose name begins like ours.
    std::wstring path = L"%SystemRoot%\\system32;%SystemRoot%;C:\\Program Files\\Kelvaro Tools;;\"C:\\Quoted Dir\\bin\"";
    while (path.size() < 1500)
        path += L";C:\\Tools\\t" + std::to_wstring(path.size()) + L"\\bin";
    const std::wstring ours = L"C:\\Program Files\\Kelvaro";
    const std::wstring with = PathWithFolder(path, ours);
    EXPECT_EQ(path + L";" + ours, with);
    EXPECT_EQ(with, PathWithFolder(with, L"c:\\program files\\kelvaro\\")) << "once only, in any case";
    EXPECT_EQ(path, PathWithoutFolder(with, ours)) << "exactly as it was";
    EXPECT_EQ(path, PathWithoutFolder(path, ours)) << "nothing to take out";
    // Every entry that names it goes, quoted or with a trailing backslash; no other does.
    EXPECT_EQ(L"a;" + ours + L" Tools;b", PathWithoutFolder(L"a;\"" + ours + L"\";" + ours + L" Tools;b;" + ours + L"\\", ours));
    EXPECT_EQ(ours, PathWithFolder(L"", ours));
    // A folder whose name holds a semicolon goes in quotes, and comes out again.
    const std::wstring odd = L"C:\\a;b";
    EXPECT_EQ(L"x;\"C:\\a;b\"", PathWithFolder(L"x", odd));
    EXPECT_EQ(L"x", PathWithoutFolder(PathWithFolder(L"x", odd), odd));
    EXPECT_EQ(L"a;" + ours, PathWithFolder(L"a;", ours));
}

TEST(ScanSummary, WorkedExamples)
{
    const SummaryRow rows[] = {
        {0, "0KB"}, {1023, "1023KB"}, {1024, "1MB"}, {5000, "4MB"}, {1048575, "1023MB"},
        {1048576, "1.00GB"}, {1100000, "1.04GB"}, {1572864, "1.50GB"}, {3145728, "3.00GB"},
        {4194303, "3.99GB"}, {4294967295u, "4095.99GB"},
        {5ull << 30, "5120.00GB"},  // 5 TiB: past where 32-bit KB wrapped
    };
    for (const SummaryRow& row : rows) {
        const CString expected = CString("扫描已完成！本次共扫描出 12 个垃圾文件，立即清除可帮您节省 ") + row.size + " 磁盘空间。";
        EXPECT_EQ(expected, ScanSummaryText(12, row.kb * 1024)) << row.kb;
    }
    EXPECT_EQ("扫描已完成！本次共扫描出 0 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", ScanSummaryText(0, 0));
    EXPECT_EQ("1.99GB", SummarySizeText((2u << 20) - 1)) << "cut, never rounded up to 2.00";
}

TEST(ScanSummary, BytesRoundUpToWholeKBAndUnreadableFoldersAreSaid)
{
    EXPECT_EQ("1KB", SummarySizeText(KBRoundedUp(1))) << "a 1-byte total is 1KB, as Explorer shows it";
    EXPECT_EQ("1KB", SummarySizeText(KBRoundedUp(1024)));
    EXPECT_EQ("2KB", SummarySizeText(KBRoundedUp(1025)));
    EXPECT_EQ("489KB", SummarySizeText(KBRoundedUp(1000 * 500)));
    EXPECT_EQ("5.00GB", SummarySizeText(KBRoundedUp(5ull << 30))) << "the high 32 bits of a size count";
    EXPECT_EQ("扫描已完成！本次共扫描出 3 个垃圾文件，立即清除可帮您节省 2KB 磁盘空间。有 2 个文件夹无法访问。",
              ScanSummaryText(3, 1500, 2));
    // Names with no exact form (an unpaired surrogate) are files that could not be read.
    EXPECT_EQ("扫描已完成！本次共扫描出 0 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。有 1 个文件无法访问。",
              ScanSummaryText(0, 0, 0, 1));
    EXPECT_EQ("扫描已完成！本次共扫描出 0 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。有 2 个文件夹和 1 个文件无法访问。",
              ScanSummaryText(0, 0, 2, 1));
}

TEST(RootPath, WhatTheDriveBoxMeans)
{
    for (const char* typed : {"C", "c", "C:", "c:\\", "  C:\\  ", "c:/", "\tC:"})
        EXPECT_EQ("C:\\", NormalizeRootText(typed)) << "[" << typed << "]";
    EXPECT_EQ("D:\\Temp\\x", NormalizeRootText(" d:/Temp/x "));
    EXPECT_EQ("\\\\server\\share", NormalizeRootText("\\\\server\\share"));
    const CString jou("乗");  // its code page 936 form ends in 0x5C, no separator to trim or turn
    EXPECT_EQ(CString("T:\\") + jou, NormalizeRootText(CString("T:\\") + jou + " "));
    for (const char* typed : {"", "   ", "foo", "\\foo", "C:foo", "1:\\", "CD", "\\\\?\\C:\\", "\\\\.\\C:"})
        EXPECT_EQ("", NormalizeRootText(typed)) << "[" << typed << "] is no full path";

    EXPECT_EQ("无法打开 Q:\\，请选择一个磁盘。", BadRootText("q"));
    EXPECT_EQ("无法打开 foo，请选择一个磁盘。", BadRootText(" foo "));
    EXPECT_EQ("请选择一个磁盘。", BadRootText("  "));
}

TEST(DeleteOutcome, WhatTheStatusLineSays)
{
    CDeleteTally none;
    none.Add(DeleteOutcome::Deleted);
    none.Add(DeleteOutcome::AlreadyGone);
    EXPECT_EQ("清理完毕！", DeleteAllResultText(none)) << "a file already gone counts as deleted";
    EXPECT_EQ(2, none.Deleted());

    CDeleteTally three;
    for (DeleteOutcome o : {DeleteOutcome::AccessDenied, DeleteOutcome::Deleted, DeleteOutcome::ReadOnly,
                            DeleteOutcome::InUse, DeleteOutcome::ReadOnly})
        three.Add(o);
    EXPECT_EQ("清理完毕！4 个文件未能删除（正在使用、只读或无权限），仍列在下方。", DeleteAllResultText(three));

    CDeleteTally one;
    one.Add(DeleteOutcome::Changed);
    EXPECT_EQ("清理完毕！1 个文件未能删除（扫描后已被改动），仍列在下方。", DeleteAllResultText(one));
    EXPECT_EQ("未能删除此文件（只读），仍列在下方。", DeleteOneFailureText(DeleteOutcome::ReadOnly));
}

TEST(CommandLine, SwitchesAsWindowsUsersTypeThem)
{
    CCommandLine cmd = ParseCommandLine({"/SCAN", "d", "-Types", "TMP,.old,*.gid,??~", "/delete", "-Report", "r.csv", "/quiet"});
    ASSERT_EQ(CCommandLine::Action::Scan, cmd.action) << cmd.error;
    EXPECT_EQ("d", cmd.root);
    EXPECT_EQ((std::vector<CString>{"*.tmp", "*.old", "*.gid", "*.??~"}), cmd.patterns);
    EXPECT_TRUE(cmd.bDelete);
    EXPECT_TRUE(cmd.bQuiet);
    EXPECT_EQ("r.csv", cmd.report);
    EXPECT_EQ(6u, ParseCommandLine({"/scan", "C:\\"}).patterns.size()) << "all six by default";
    EXPECT_FALSE(ParseCommandLine({"/scan", "C:\\"}).bDelete) << "finding deletes nothing";
    EXPECT_EQ(CCommandLine::Action::Help, ParseCommandLine({"/?"}).action);
    EXPECT_EQ(CCommandLine::Action::Help, ParseCommandLine({"-HELP"}).action);

    // Types: one of the six by its key, a word as an extension, a whole name, a pattern; each once.
    const CCommandLine rules = ParseCommandLine({"/scan", "C:", "/types", "TMP,log,.bak,thumbs.db,~$*,tmp", "/exclude",
                                                 "C:\\a;C:\\b", "-Exclude", "C:\\c", "/olderthan", "7", "/places", "Temp",
                                                 "/delete", "/recycle"});
    ASSERT_EQ(CCommandLine::Action::Scan, rules.action) << rules.error;
    EXPECT_EQ((std::vector<CString>{"*.tmp", "*.log", "*.bak", "thumbs.db", "~$*"}), rules.patterns);
    EXPECT_EQ((std::vector<CString>{"C:\\a", "C:\\b", "C:\\c"}), rules.excluded);
    EXPECT_EQ(7, rules.olderThanDays);
    EXPECT_TRUE(rules.bTempFolders && rules.bRecycle);
    EXPECT_TRUE(ParseCommandLine({"/scan", "C:", "/types", "none", "/places", "temp"}).patterns.empty());

    for (const std::vector<CString>& bad : std::vector<std::vector<CString>>{
             {}, {"/scan"}, {"/delete"}, {"/scan", "C:", "/types"},
             {"/scan", "C:", "/report"}, {"/scan", "C:", "/wipe"}, {"C:"}, {"/scan", "C:", "extra"},
             // An empty value, and a switch given twice (which one would count?).
             {"/scan", "C:", "/report", ""}, {"/scan", ""}, {"/addpath", ""}, {"/scan", "C:", "/scan", "D:"},
             // Rules that make no sense: an empty type, a path for a name, an age that is none,
             // nothing to look for, a place there is not, Recycle Bin with nothing to delete.
             {"/scan", "C:", "/types", "tmp,,old"}, {"/scan", "C:", "/types", "a\\*.tmp"}, {"/scan", "C:", "/types", "c:*"},
             {"/scan", "C:", "/olderthan", "-1"}, {"/scan", "C:", "/olderthan", "week"}, {"/scan", "C:", "/olderthan", "99999999"},
             {"/scan", "C:", "/types", "none"}, {"/scan", "C:", "/places", "windows"}, {"/scan", "C:", "/recycle"},
             {"/scan", "C:", "/exclude", ";"}, {"/scan", "C:", "/olderthan", "1", "/olderthan", "2"},
             {"/scan", "C:", "/types", "tmp", "/types", "old"}, {"/scan", "C:", "/report", "a", "/report", "b"}}) {
        const CCommandLine c = ParseCommandLine(bad);
        EXPECT_EQ(CCommandLine::Action::Bad, c.action) << bad.size();
        EXPECT_FALSE(c.error.IsEmpty());
    }
}

TEST(Report, CsvAsSpreadsheetsReadIt)
{
    EXPECT_EQ("plain", CsvField("plain"));
    EXPECT_EQ("\"a,b\"", CsvField("a,b"));
    EXPECT_EQ("\"say \"\"hi\"\"\"", CsvField("say \"hi\""));
    CReportRow found{"T:\\a,b\\x.tmp", 5368709120ull, false, DeleteOutcome::NotTried, "*.tmp"};
    CReportRow gone{"T:\\y.old", 1, true, DeleteOutcome::AlreadyGone, "*.old"};
    CReportRow kept{"T:\\z.tmp", 2, true, DeleteOutcome::ReadOnly, "*.tmp"};
    CReportRow chinese{"T:\\临时\\x.tmp", 3, false, DeleteOutcome::NotTried, "临时文件夹"};
    const std::string csv = ReportCsv({found, gone, kept, chinese});
    EXPECT_NE(std::string::npos, csv.find("T:\\\xE4\xB8\xB4\xE6\x97\xB6\\x.tmp,3,")) << "paths in UTF-8";
    EXPECT_EQ(0u, csv.find("\xEF\xBB\xBF")) << "a byte-order mark first";
    EXPECT_NE(std::string::npos, csv.find("\"T:\\a,b\\x.tmp\",5368709120,")) << csv;
    EXPECT_EQ("已删除", ReportOutcomeText(gone));
    EXPECT_EQ("未删除：只读", ReportOutcomeText(kept));
    EXPECT_EQ(5, std::count(csv.begin(), csv.end(), '\n')) << "a header and four rows";
}

// Every file a day old in a temp folder is junk: a folder is one only by its name. Where the
// environment names none, Windows gives its own folder; a TEMP set to a folder being scanned
// would give all of it.
TEST(TempFolders, OnlyFoldersNamedTempAreTaken)
{
    // Made and removed here: the host's rm, which a tree's end runs, is not for an environment
    // that this test changes.
    const CString root = (TestDrive() + "\\tempnames").c_str();
    const CString temp = root + "\\Temp";
    ::CreateDirectoryW(AfxToWide(root).c_str(), nullptr);
    ::CreateDirectoryW(AfxToWide(temp).c_str(), nullptr);
    wchar_t was[3][MAX_PATH] = {};
    bool had[3] = {};
    const wchar_t* names[3] = {L"TMP", L"TEMP", L"USERPROFILE"};
    for (int i = 0; i < 3; ++i)
        had[i] = ::GetEnvironmentVariableW(names[i], was[i], MAX_PATH) > 0;
    auto set = [&](const wchar_t* value) {
        for (int i = 0; i < 3; ++i)
            ::SetEnvironmentVariableW(names[i], value);
    };
    std::vector<CString> refused;
    set(nullptr);
    EXPECT_TRUE(TempFoldersWithin("C:\\", &refused).size() <= 1u);
    for (const CString& place : TempFoldersWithin("C:\\"))
        EXPECT_NE(std::string::npos, std::string(place).find("emp")) << place << " is no temp folder";
    EXPECT_FALSE(refused.empty()) << "the Windows folder, given for none, is refused";
    set(AfxToWide(root).c_str());
    refused.clear();
    EXPECT_TRUE(TempFoldersWithin(root, &refused).empty()) << "the folder scanned, named as TEMP";
    EXPECT_EQ(1u, refused.size());
    set(AfxToWide(root + "\\temp").c_str());
    EXPECT_EQ(std::vector<CString>(1, temp), TempFoldersWithin(root));
    // What was not set is not set again (an empty value is not none).
    for (int i = 0; i < 3; ++i)
        ::SetEnvironmentVariableW(names[i], had[i] ? was[i] : nullptr);
    ::RemoveDirectoryW(AfxToWide(temp).c_str());
    ::RemoveDirectoryW(AfxToWide(root).c_str());
}

}  // namespace
