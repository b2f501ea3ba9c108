// Scan runs of the real dialog over trees that each test makes on the test drive.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "ScanTree.h"
#include "TestDialog.h"
#include "scan/FileSystem.h"

namespace {

class ScanRun : public DialogTest<CTestDlg> {
protected:
    void TearDown() override
    {
        if (m_thread) {
            ::WaitForSingleObject(m_thread, 30000);
            ::CloseHandle(m_thread);
        }
        DialogTest::TearDown();
    }

    // Ticks exactly the given patterns (by text).
    void Tick(const std::set<std::string>& patterns)
    {
        m_dlg.OnWindowThread([&] {
            for (int i = 0; i < 6; ++i) {
                CString text;
                m_dlg.m_checkList.GetText(i, text);
                m_dlg.m_checkList.SetCheck(i, patterns.count(static_cast<const char*>(text)) ? 1 : 0);
            }
        });
    }

    // Runs a whole scan of root and waits until its thread has ended.
    void Scan(const CString& root)
    {
        m_thread = m_dlg.StartScan(root);
        ASSERT_NE(nullptr, m_thread);
        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(m_thread, 60000)) << "the walk did not end";
        ::CloseHandle(m_thread);
        m_thread = nullptr;
    }

    std::vector<std::string> Listed() { return m_dlg.ListedFiles(); }
    std::string Status() { return WindowText(Item(IDC_STATIC_STATUS)); }
    int FilterCount()
    {
        std::lock_guard<std::mutex> lock(m_dlg.m_filterLock);
        return m_dlg.m_filterList.GetCount();
    }

    HANDLE m_thread = nullptr;
};

std::string Summary(int count, const char* size)
{
    return "扫描已完成！本次共扫描出 " + std::to_string(count) + " 个垃圾文件，立即清除可帮您节省 " + size + " 磁盘空间。";
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end(), [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    return v;
}

TEST_F(ScanRun, CollectCheckedFiltersAppendsTickedTextsInIndexOrder)
{
    std::string first, fourth;
    m_dlg.OnWindowThread([&] {
        for (int i = 0; i < 6; ++i)
            m_dlg.m_checkList.SetCheck(i, i == 0 || i == 3 ? 1 : (i == 4 ? 2 : 0));
        CString t0, t3;
        m_dlg.m_checkList.GetText(0, t0);
        m_dlg.m_checkList.GetText(3, t3);
        first = static_cast<const char*>(t0);
        fourth = static_cast<const char*>(t3);
    });
    EXPECT_TRUE(m_dlg.CollectCheckedFilters()) << "indeterminate entry 4 does not count, 0 and 3 do";
    EXPECT_TRUE(m_dlg.CollectCheckedFilters());
    {
        std::lock_guard<std::mutex> lock(m_dlg.m_filterLock);
        std::vector<std::string> entries;
        for (POSITION pos = m_dlg.m_filterList.GetHeadPosition(); pos;)
            entries.push_back(static_cast<const char*>(m_dlg.m_filterList.GetNext(pos)));
        EXPECT_EQ((std::vector<std::string>{first, fourth, first, fourth}), entries);
    }
    Tick({});
    EXPECT_FALSE(m_dlg.CollectCheckedFilters());
    EXPECT_EQ(4, FilterCount());
}

TEST_F(ScanRun, IsJunkFileWritesThePathOnlyWhileNotStopping)
{
    EXPECT_FALSE(m_dlg.IsJunkFile("C:\\x\\a.tmp")) << "an empty list matches nothing";
    EXPECT_FALSE(m_dlg.m_mailbox.Take().hasPath) << "and leaves the status line alone";

    Tick({"*.tmp"});
    m_dlg.CollectCheckedFilters();
    m_dlg.m_bStop = true;
    EXPECT_TRUE(m_dlg.IsJunkFile("C:\\x\\a.tmp"));
    EXPECT_FALSE(m_dlg.m_mailbox.Take().hasPath) << "stopping: the summary stays";
    m_dlg.m_bStop = false;
    EXPECT_FALSE(m_dlg.IsJunkFile("C:\\x\\a.TMP"));
    CScanMailbox::Batch batch = m_dlg.m_mailbox.Take();
    EXPECT_TRUE(batch.hasPath);
    EXPECT_EQ("C:\\x\\a.TMP", batch.path);
}

TEST_F(ScanRun, WalksTheWholeDriveFromItsFirstEntry)
{
    CScanTree tree("");  // the drive's root itself: it has no "." entry
    tree.File("0first\\inner.old", 3000);  // the root's first entry is a whole folder
    tree.File("a.tmp", 5000);
    tree.File("b.txt", 1 << 20);
    tree.File("empty\\nothing\\here.txt");
    tree.Dir("empty2");
    tree.File("hidden.gid", 2048, FILE_ATTRIBUTE_HIDDEN);
    tree.File("sys\\system.syd", 4096, FILE_ATTRIBUTE_SYSTEM);
    tree.File("small._mp", 1023);
    tree.File("upper.TMP", 4096);

    Scan(tree.Path());
    const std::string root = TestDrive() + "\\";
    const std::vector<std::string> expected = Sorted({root + "0first\\inner.old", root + "a.tmp", root + "hidden.gid",
                                                      root + "sys\\system.syd", root + "small._mp"});
    EXPECT_EQ(expected, Sorted(Listed()));
    // 3000 + 5000 + 2048 + 4096 + 1023 bytes = 15,167 bytes: 15KB, rounded up.
    EXPECT_EQ(Summary(5, "15KB"), Status());
}

TEST_F(ScanRun, EndOfRunState)
{
    CScanTree tree("endstate");
    tree.File("x\\a.tmp", 2048);
    tree.File("x\\b.tmp", 2048);
    Scan(tree.Path());

    EXPECT_EQ(2u, Listed().size());
    EXPECT_EQ(Summary(2, "4KB"), Status());
    EXPECT_EQ(0u, m_dlg.m_nJunkBytes.load());
    EXPECT_EQ(0, m_dlg.m_nJunkCount.load());
    EXPECT_EQ(0u, m_dlg.m_nScannedBytes.load());
    EXPECT_EQ(0, FilterCount());
    EXPECT_FALSE(m_dlg.m_bScanning);
    EXPECT_TRUE(m_dlg.m_bStop);
    EXPECT_EQ(nullptr, m_dlg.m_hScanThread.load());

    HWND bar = ::GetDlgItem(m_hWnd, IDC_PROGRESS);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), ::SendMessageA(bar, PBM_GETPOS, 0, 0)) << "the bar stands full";
    EXPECT_TRUE(::IsWindowVisible(bar));
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(m_hWnd, IDC_LIST_FILES)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_START)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_PAUSE)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_STOP)));
}

TEST_F(ScanRun, ChineseNamesAndAFolderThatCannotBeListed)
{
    CScanTree tree("中文");
    tree.File("临时\\文件.tmp", 1024);
    tree.File("乗\\x.old", 1024);  // 乗 ends in the byte 0x5C
    tree.File("locked\\hidden.tmp", 1024);
    tree.File("z.old", 1024);
    // Held open without sharing: the folder cannot be listed while the scan runs.
    HANDLE lock = ::CreateFileW(ExtendedPath(tree.Path("locked")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    Scan(tree.Path());
    ::CloseHandle(lock);

    const std::string root = static_cast<const char*>(tree.Path());
    EXPECT_EQ(Sorted({root + "\\临时\\文件.tmp", root + "\\乗\\x.old", root + "\\z.old"}), Sorted(Listed()));
    EXPECT_EQ(Summary(3, "3KB") + "有 1 个文件夹无法访问。", Status());
}

TEST_F(ScanRun, FindsFilesBelowPathsLongerThan260Bytes)
{
    CScanTree tree("long");
    const std::string segment(100, 'd');
    const std::string deep = segment + "\\" + segment + "\\" + segment;
    tree.File(deep + "\\deep.tmp", 2048);
    tree.File(deep + "\\keep.txt", 2048);
    Scan(tree.Path());

    const std::string expected = std::string(tree.Path()) + "\\" + deep + "\\deep.tmp";
    ASSERT_GT(expected.size(), 300u);
    EXPECT_EQ(std::vector<std::string>{expected}, Listed()) << "the list shows the ordinary path";
    EXPECT_EQ(Summary(1, "2KB"), Status());
}

TEST_F(ScanRun, FolderLinksAreNeverEnteredFileLinksAreListedByTheirOwnName)
{
    CScanTree tree("links");
    tree.File("drive\\a\\b\\found.tmp", 1024);
    tree.File("outside\\precious.old", 1024);
    tree.File("outside\\target.txt", 1024);
    tree.Link("drive\\a\\b\\up", "drive\\a");          // a loop back to an ancestor
    tree.Link("drive\\alias", "drive\\a");              // the same folder a second time
    tree.Link("drive\\out", "outside");                 // out of the chosen tree
    tree.Link("drive\\link.tmp", "outside\\target.txt");  // a file that is a link
    Scan(tree.Path("drive"));

    const std::string root = static_cast<const char*>(tree.Path("drive"));
    EXPECT_EQ(Sorted({root + "\\a\\b\\found.tmp", root + "\\link.tmp"}), Sorted(Listed()));
    EXPECT_EQ(Summary(2, "2KB"), Status()) << "each file counted once";
}

TEST_F(ScanRun, SizesAreWholeAndTotalsRoundUpToKB)
{
    CScanTree tree("sizes");
    tree.HostShell("mkdir small big && (cd small && for i in $(seq 1000); do head -c 500 /dev/zero > f$i.tmp; done)"
                   " && truncate -s 5G big/huge.tmp");
    Scan(tree.Path("small"));
    EXPECT_EQ(Summary(1000, "489KB"), Status()) << "500,000 bytes, rounded up";
    Scan(tree.Path("big"));
    EXPECT_EQ(Summary(1, "5.00GB"), Status()) << "the high 32 bits of a size count";
}

TEST_F(ScanRun, ATreeAThousandLevelsDeep)
{
    CScanTree tree("deep");
    std::string rel, unixRel;
    for (int i = 0; i < 1000; ++i) {
        rel += (i ? "\\" : "") + std::string("ab");
        unixRel += (i ? "/" : "") + std::string("ab");
    }
    tree.HostShell("mkdir -p " + unixRel + " && head -c 1024 /dev/zero > " + unixRel + "/bottom.tmp");
    Scan(tree.Path());
    const std::vector<std::string> listed = Listed();
    ASSERT_EQ(1u, listed.size());
    EXPECT_GT(listed[0].size(), 3000u);
    EXPECT_EQ(Summary(1, "1KB"), Status());
}

TEST_F(ScanRun, StopInTheMiddle)
{
    CScanTree tree("stop");
    tree.HostShell("for d in $(seq 100); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 200)); done");
    const DWORD handlesBefore = [] { DWORD n = 0; ::GetProcessHandleCount(::GetCurrentProcess(), &n); return n; }();

    m_thread = m_dlg.StartScan(tree.Path());
    ASSERT_NE(nullptr, m_thread);
    ASSERT_TRUE(WaitFor([&] { return !Listed().empty(); })) << "nothing found";
    // What the Stop button does.
    m_dlg.OnWindowThread([&] {
        m_dlg.DrainMailbox();
        m_dlg.ShowScanSummary();
        m_dlg.FinishScan();
    });
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_START)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_PAUSE)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_BTN_STOP)));
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(m_thread, 30000));
    ::CloseHandle(m_thread);
    m_thread = nullptr;

    // The thread's own summary counts what the walk had found when it saw the flag; the list
    // holds exactly those files.
    const size_t listed = Listed().size();
    EXPECT_LT(listed, 20000u) << "the walk went on to the end";
    EXPECT_EQ(Summary(static_cast<int>(listed), "0KB"), Status());
    DWORD handlesAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    // The run's event and the animation thread's handle are kept until the next run.
    EXPECT_LE(handlesAfter, handlesBefore + 2) << "every search and the scan thread's handle are closed";
}

TEST_F(ScanRun, ARootThatWentAwayBeforeTheWalkEndsTheRunAndSaysSo)
{
    Scan((TestDrive() + "\\no such folder").c_str());
    EXPECT_TRUE(Listed().empty());
    EXPECT_EQ(Summary(0, "0KB") + "有 1 个文件夹无法访问。", Status());
}

}  // namespace
