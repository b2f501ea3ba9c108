// The commands, clicked on the real dialog, and what the user then sees.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "ScanTree.h"
#include "HeldRun.h"
#include "TestDialog.h"
#include "TestFiles.h"
#include "TestText.h"
#include "scan/FileSystem.h"

namespace {

class Commands : public MainDialogTest {
protected:
    void Click(int id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool Enabled(int id) { return ::IsWindowEnabled(Item(id)) != FALSE; }
    bool Shown(int id) { return ::IsWindowVisible(Item(id)) != FALSE; }
    std::string Status() { return WindowText(Item(IDC_STATIC_STATUS)); }
    void TypeDrive(const CString& root) { ::SendMessageW(Item(IDC_COMBO_DRIVE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(AfxToWide(root).c_str())); }

    // A click on the check box of the pattern's entry.
    void ClickPattern(const char* pattern)
    {
        HWND list = Item(IDC_LIST_TYPES);
        const LRESULT index = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(AfxToWide(pattern).c_str()));
        RECT rc = {};
        ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rc));
        const LPARAM pt = MAKELPARAM(rc.left + 6, (rc.top + rc.bottom) / 2);
        ::SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, pt);
        ::SendMessageA(list, WM_LBUTTONUP, 0, pt);
    }

    // Where the list shows path now.
    int IndexOf(const CString& path)
    {
        const std::vector<std::string> items = m_dlg.ListedFiles();
        const auto it = std::find(items.begin(), items.end(), path.GetString());
        return it == items.end() ? -1 : static_cast<int>(it - items.begin());
    }
    // The row at index alone selected, with the caret (on the dialog's thread).
    static void SelectOnly(HWND list, int index)
    {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        ::SendMessageW(list, LVM_SETSELECTIONMARK, 0, index);
    }

    // A run started while held waits at its start until released.
    void Hold() { m_dlg.Hold(); }
    void Release() { m_dlg.Release(); }

    std::vector<std::string> Listed()
    {
        std::vector<std::string> items = m_dlg.ListedFiles();
        std::sort(items.begin(), items.end());
        return items;
    }
    // Delete all, and its end: the buttons usable again and the result in the status line.
    bool DeleteAll()
    {
        Click(IDC_BTN_DELETE_ALL);
        return WaitFor([&] { return Enabled(IDC_BTN_DELETE_ALL) && Status().find("清理") == 0; }, 60000);
    }
    bool WaitSummary() { return WaitFor([&] { return Status().rfind("扫描已完成", 0) == 0 && Enabled(IDC_BTN_START); }, 30000); }
    // The run is over as the user sees it: Start usable again, the summary in the status
    // line (read last: it is answered once the window's thread has done the run's end).
    bool WaitEnded()
    {
        return WaitFor([&] { return Enabled(IDC_BTN_START) && !Enabled(IDC_BTN_STOP) && Status().rfind("扫描已完成", 0) == 0; },
                       30000);
    }
};

TEST_F(Commands, ScanningPausedStoppedAsTheUserSeesThem)
{
    CScanTree tree("states");
    tree.File("a.tmp", 1024);
    TypeDrive(tree.Path());
    Hold();
    Click(IDC_BTN_START);
    // Scanning
    EXPECT_FALSE(Enabled(IDC_BTN_START));
    EXPECT_TRUE(Enabled(IDC_BTN_STOP));
    EXPECT_TRUE(Enabled(IDC_BTN_PAUSE));
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_TRUE(Shown(IDC_LIST_FILES));
    EXPECT_TRUE(Shown(IDC_PROGRESS));
    for (int id : {IDC_BTN_DELETE, IDC_BTN_DELETE_ALL, IDC_BTN_SELECT_ALL, IDC_BTN_SELECT_NONE, IDC_LIST_TYPES, IDC_COMBO_DRIVE})
        EXPECT_TRUE(Enabled(id)) << id << " stays usable during a run";
    // Paused
    Click(IDC_BTN_PAUSE);
    EXPECT_EQ("继续", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_FALSE(Enabled(IDC_BTN_START));
    EXPECT_TRUE(Enabled(IDC_BTN_STOP));
    // Continue, pause again, then stop from the paused state
    Click(IDC_BTN_PAUSE);
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_FALSE(Enabled(IDC_BTN_START));
    Click(IDC_BTN_PAUSE);
    Click(IDC_BTN_STOP);
    EXPECT_TRUE(Enabled(IDC_BTN_START));
    EXPECT_FALSE(Enabled(IDC_BTN_STOP));
    EXPECT_FALSE(Enabled(IDC_BTN_PAUSE));
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_EQ("扫描已完成！本次共扫描出 0 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", Status());
    HWND bar = Item(IDC_PROGRESS);
    EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), ::SendMessageA(bar, PBM_GETPOS, 0, 0));
    Release();
    ASSERT_TRUE(WaitEnded());

    // The next run's first press of Pause pauses.
    Hold();
    Click(IDC_BTN_START);
    Click(IDC_BTN_PAUSE);
    EXPECT_EQ("继续", WindowText(Item(IDC_BTN_PAUSE)));
    Click(IDC_BTN_STOP);
    Release();
    ASSERT_TRUE(WaitEnded());
}

TEST_F(Commands, RefusedStarts)
{
    Click(IDC_BTN_SELECT_NONE);
    Click(IDC_BTN_START);
    EXPECT_EQ("请选择文件类型！", Status());
    EXPECT_TRUE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_FALSE(Shown(IDC_LIST_FILES));
    EXPECT_TRUE(Enabled(IDC_BTN_START));
    EXPECT_FALSE(Enabled(IDC_BTN_STOP)) << "no run";

    m_dlg.OnWindowThread([&] { m_dlg.GetDlgItem(IDC_STATIC_STATUS)->SetWindowText("x"); });
    Click(IDC_BTN_SCAN_NOW);
    EXPECT_EQ("请选择文件类型！", Status());
    EXPECT_TRUE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_FALSE(Shown(IDC_PROGRESS));
    EXPECT_FALSE(Enabled(IDC_BTN_STOP));
}

TEST_F(Commands, ARunMatchesWhatIsTickedWhenItStarts)
{
    CScanTree tree("selectall");
    tree.File("a.tmp", 1024);
    tree.File("b.old", 1024);
    tree.File("c.gid", 1024);
    tree.File("d.txt", 1024);
    TypeDrive(tree.Path());
    const std::string root = static_cast<const char*>(tree.Path());

    // Select all, untick two types, Start: those two are not matched.
    Click(IDC_BTN_SELECT_ALL);
    ClickPattern("*.tmp");
    ClickPattern("*.old");
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ((std::vector<std::string>{root + "\\c.gid"}), Listed());

    // Select all during a run widens that run.
    Click(IDC_BTN_SELECT_NONE);
    ClickPattern("*.gid");
    Hold();
    Click(IDC_BTN_START);
    Click(IDC_BTN_SELECT_ALL);
    Release();
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ((std::vector<std::string>{root + "\\a.tmp", root + "\\b.old", root + "\\c.gid"}), Listed());
}

TEST_F(Commands, TheDriveBoxRefusesWhatCannotBeScannedAndMendsADriveLetter)
{
    CScanTree tree("roots");
    tree.File("a.tmp", 1024);
    tree.File("not a folder.txt", 10);
    tree.Dir("locked");
    const std::string deep = std::string(60, 'p') + "\\" + std::string(60, 'q') + "\\" + std::string(60, 'r');
    tree.File(deep + "\\deep.tmp", 1024);

    // Held open without sharing: the folder cannot be listed.
    HANDLE lock = ::CreateFileW(ExtendedPath(tree.Path("locked")).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    const CString refused[] = {"", "   ", "roots\\a", "\\roots", "Q:\\", tree.Path("missing"), tree.Path("locked"),
                               tree.Path("not a folder.txt")};
    for (const CString& text : refused) {
        m_dlg.OnWindowThread([&] { m_dlg.GetDlgItem(IDC_STATIC_STATUS)->SetWindowText("x"); });
        TypeDrive(text);
        Click(IDC_BTN_SCAN_NOW);
        EXPECT_FALSE(Enabled(IDC_BTN_STOP)) << "[" << text << "] started a run";
        EXPECT_TRUE(Enabled(IDC_BTN_START));
        EXPECT_TRUE(Shown(IDC_BTN_SCAN_NOW)) << "the buttons as they were";
        EXPECT_FALSE(Shown(IDC_LIST_FILES));
        const std::string status = Status();
        EXPECT_TRUE(status.find("请选择一个磁盘。") != std::string::npos) << "[" << text << "] " << status;
        Click(IDC_BTN_START);
        EXPECT_TRUE(Shown(IDC_BTN_SCAN_NOW)) << "Start leaves the window as it was too";
        EXPECT_FALSE(Enabled(IDC_BTN_STOP));
    }
    ::CloseHandle(lock);
    TypeDrive("Q:");
    Click(IDC_BTN_SCAN_NOW);
    EXPECT_EQ("无法打开 Q:\\，请选择一个磁盘。", Status());

    // A drive letter typed with blanks and in lower case is the drive's root. The test
    // drive holds this test's tree alone.
    const std::string letter = TestDrive().substr(0, 1);
    TypeDrive(CString(("  " + std::string(1, static_cast<char>(tolower(letter[0]))) + ":  ").c_str()));
    Click(IDC_BTN_SCAN_NOW);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ((std::vector<std::string>{letter + ":\\roots\\a.tmp", letter + ":\\roots\\" + deep + "\\deep.tmp"}), Listed());

    // A root longer than the box, typed key by key, is taken whole.
    const CString longRoot = tree.Path(deep);
    HWND edit = ::GetWindow(Item(IDC_COMBO_DRIVE), GW_CHILD);
    ASSERT_NE(nullptr, edit);
    ::SendMessageW(Item(IDC_COMBO_DRIVE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    for (wchar_t ch : AfxToWide(longRoot))
        ::SendMessageW(edit, WM_CHAR, ch, 1);
    EXPECT_EQ(static_cast<const char*>(longRoot), WindowText(Item(IDC_COMBO_DRIVE)));
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ((std::vector<std::string>{std::string(longRoot) + "\\deep.tmp"}), Listed());
}

TEST_F(Commands, EnterScansAndEscAsksDuringARun)
{
    CScanTree tree("keys");
    tree.File("a.tmp", 1024);
    TypeDrive(tree.Path());
    m_dlg.OnWindowThread([&] { ::SetFocus(::GetWindow(Item(IDC_COMBO_DRIVE), GW_CHILD)); });
    Hold();
    m_run->PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return Enabled(IDC_BTN_STOP) && !Shown(IDC_BTN_SCAN_NOW); }))
        << "Enter in the drive box starts a scan, as Scan now does";

    m_run->PressKey(VK_ESCAPE);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_run->FindOwnedPopup()) != nullptr; })) << "Esc during a run asks";
    ::PostMessageA(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    EXPECT_FALSE(m_run->Done()) << "No keeps the program and its run";
    EXPECT_TRUE(Enabled(IDC_BTN_STOP));
    Release();
    ASSERT_TRUE(WaitEnded());

    // With no run, Enter refused for want of a type never ends the program.
    Click(IDC_BTN_SELECT_NONE);
    m_run->PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return Status() == "请选择文件类型！"; }));
    EXPECT_FALSE(m_run->Done());
}

TEST_F(Commands, APauseEndsWithItsRun)
{
    CScanTree tree("pauseend");
    tree.File("a.tmp", 1024);
    TypeDrive(tree.Path());
    // Pause pressed once the walk is over and its end is on its way to the window.
    Hold();
    Click(IDC_BTN_START);
    m_dlg.OnWindowThread([&] {
        Release();
        // The walker is done when its end-of-run message waits for this thread.
        for (int i = 0; i < 3000 && !(HIWORD(::GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); ++i)
            ::Sleep(5);
        ::SendMessageA(Item(IDC_BTN_PAUSE), BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded()) << "the next run walks at once";
    EXPECT_EQ(1u, Listed().size());

    // Pause, then Stop, then Start: the new run walks at once.
    Hold();
    Click(IDC_BTN_START);
    Click(IDC_BTN_PAUSE);
    Click(IDC_BTN_STOP);
    Release();
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_EQ(1u, Listed().size());
}

TEST_F(Commands, PauseHoldsEverythingStillAndContinueGoesOn)
{
    CScanTree tree("pause");
    tree.HostShell("for d in $(seq 60); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 300) $(seq -f g%g.txt 300)); done");
    TypeDrive(tree.Path());
    // Pause is pressed while the walk is held after 6,000 files, and the walk let go.
    CHeldRun held("scan", 6000);
    Click(IDC_BTN_START);
    ASSERT_TRUE(held.WaitHeld());
    Click(IDC_BTN_PAUSE);
    held.Open();
    // The walkers halt before their next entries and hand over what they found: the list
    // settles (the engine's own test shows that every walker halts).
    size_t listed = 0;
    ASSERT_TRUE(WaitFor([&] {
        const size_t before = Listed().size();
        ::Sleep(150);
        listed = Listed().size();
        return listed == before;
    }));
    const std::string status = Status();
    EXPECT_EQ(status, Status());
    EXPECT_LT(listed, 6100u);
    EXPECT_EQ("继续", WindowText(Item(IDC_BTN_PAUSE)));
    Click(IDC_BTN_PAUSE);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ(18000u, Listed().size());
    EXPECT_EQ("扫描已完成！本次共扫描出 18000 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", Status());
}

TEST_F(Commands, TheRingAndAClickGetThroughWhileManyFoundFilesAreTaken)
{
    CScanTree tree("flood");
    tree.HostShell("for d in $(seq 200); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 1000)); done");
    TypeDrive(tree.Path());
    // The walk is held near its end while the window's thread is kept busy: some 199,000 found
    // files wait for the window, as when a walk outruns it.
    CHeldRun held("scan", 199000);
    Click(IDC_BTN_START);
    HANDLE busy = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread blocker([&] { m_dlg.OnWindowThread([&] { ::WaitForSingleObject(busy, 60000); }); });
    ASSERT_TRUE(held.WaitHeld());
    ::SetForegroundWindow(m_hWnd);
    RECT pause;
    ::GetWindowRect(Item(IDC_BTN_PAUSE), &pause);
    ::SetEvent(busy);
    blocker.join();
    ::CloseHandle(busy);

    // Read without a message to the window (a message sent to it would let its input in): the
    // ring turns while the files are taken ...
    std::set<int> frames;
    for (int i = 0; i < 30; ++i) {
        frames.insert(m_dlg.Animation().Frame());
        ::Sleep(10);
    }
    EXPECT_GE(frames.size(), 2u) << "the ring stood still while files were taken";
    // ... and a click on Pause, from the X server as a user's comes (Wine reads those only when
    // the thread waits), is answered while slices are still to come.
    ASSERT_TRUE(RunHostProgram(L"/usr/bin/xdotool mousemove " + std::to_wstring((pause.left + pause.right) / 2) + L" " +
                               std::to_wstring((pause.top + pause.bottom) / 2) + L" click 1"));
    auto caption = [&] {
        wchar_t text[16] = {};
        ::InternalGetWindowText(Item(IDC_BTN_PAUSE), text, 16);
        return AfxFromWide(text, lstrlenW(text));
    };
    ASSERT_TRUE(WaitFor([&] { return caption() == "继续"; }, 60000));
    int listedAtPause = 0, listed = -1;
    m_dlg.OnWindowThread([&] { listedAtPause = static_cast<int>(::SendMessageW(Item(IDC_LIST_FILES), LVM_GETITEMCOUNT, 0, 0)); });
    ASSERT_TRUE(WaitFor([&] {
        const int before = listed;
        ::Sleep(300);
        m_dlg.OnWindowThread([&] { listed = static_cast<int>(::SendMessageW(Item(IDC_LIST_FILES), LVM_GETITEMCOUNT, 0, 0)); });
        return listed == before;
    }, 60000));
    EXPECT_GT(listed, 190000);
    EXPECT_LT(listedAtPause, listed - 8192) << "the click waited for every slice";
    Click(IDC_BTN_STOP);
}

TEST_F(Commands, StopAndStartAgainAtOnceGivesTheLastRunsResults)
{
    CScanTree tree("restart");
    tree.HostShell("for d in $(seq 40); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 250) $(seq -f g%g.old 50)); done");
    TypeDrive(tree.Path());
    for (int i = 0; i < 25; ++i) {
        Click(IDC_BTN_START);
        ::Sleep(i % 5);
        Click(IDC_BTN_STOP);
    }
    // The last run alone: it lists every .tmp and .old file once, its counters are its own.
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ(12000u, Listed().size());
    EXPECT_EQ("扫描已完成！本次共扫描出 12000 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", Status());
    EXPECT_EQ(12000u, Listed().size());
    EXPECT_TRUE(Enabled(IDC_BTN_START));
    EXPECT_FALSE(Enabled(IDC_BTN_STOP));
}

TEST_F(Commands, DeleteActsOnEverySelectedEntryAndOnNothingElse)
{
    CScanTree tree("delete");
    tree.File("a.tmp", 1024);
    tree.File("b.tmp", 1024);
    for (const char* name : {"c.tmp", "d.tmp", "e.tmp"})
        tree.File(name, 1024);
    tree.File("readonly.tmp", 1024, FILE_ATTRIBUTE_READONLY);
    tree.File("open.tmp", 1024);
    // Past Wine's 264 characters of a final path, in folders with Chinese names.
    const std::string deep = ChineseFolders(4);
    tree.File(deep + "\\long.tmp", 1024);
    TypeDrive(tree.Path());
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    ASSERT_EQ(8u, Listed().size());
    HWND list = Item(IDC_LIST_FILES);

    // Nothing selected: nothing happens.
    Click(IDC_BTN_DELETE);
    EXPECT_EQ(8u, Listed().size());
    EXPECT_TRUE(Exists(tree.Path("a.tmp")));

    // A range, clicked from its first entry to its last with Shift; the Delete key deletes it.
    auto clickEntry = [&](const CString& path, WPARAM keys, LRESULT selectedAfter) {
        const int i = IndexOf(path);
        RECT rc = {};
        rc.left = LVIR_BOUNDS;
        ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc));
        const LPARAM pt = MAKELPARAM(rc.left + 20, (rc.top + rc.bottom) / 2);
        // Posted, as the mouse's messages come: the list waits for the button's release.
        ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, pt);
        ::PostMessageW(list, WM_LBUTTONUP, keys, pt);
        return WaitFor([&] { return ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == selectedAfter; });
    };
    ASSERT_TRUE(clickEntry(tree.Path("c.tmp"), 0, 1));
    ASSERT_TRUE(clickEntry(tree.Path("e.tmp"), MK_SHIFT, 3));
    // The status line follows once the burst of changes is over (the list posts one notice).
    EXPECT_TRUE(WaitFor([&] { return Status() == "已选择 3 个文件，共 3.0KB。"; })) << "the selection's count and size: " << Status();
    m_dlg.OnWindowThread([&] { ::SendMessageW(list, WM_KEYDOWN, VK_DELETE, 1); });
    ASSERT_TRUE(WaitFor([&] { return Status() == "清理完毕！" && Enabled(IDC_BTN_DELETE_ALL); }));
    for (const char* name : {"c.tmp", "d.tmp", "e.tmp"})
        EXPECT_FALSE(Exists(tree.Path(name))) << name;
    EXPECT_TRUE(Exists(tree.Path("b.tmp")));
    EXPECT_EQ(5u, Listed().size());

    auto select = [&](const CString& path) {
        const int i = IndexOf(path);
        m_dlg.OnWindowThread([&] { SelectOnly(list, i); });
    };
    select(tree.Path("b.tmp"));
    Click(IDC_BTN_DELETE);
    EXPECT_FALSE(Exists(tree.Path("b.tmp")));
    EXPECT_TRUE(Exists(tree.Path("a.tmp")));
    EXPECT_EQ(4u, Listed().size());

    select(tree.Path("readonly.tmp"));
    Click(IDC_BTN_DELETE);
    EXPECT_TRUE(Exists(tree.Path("readonly.tmp"))) << "a read-only file stays";
    EXPECT_EQ(4u, Listed().size()) << "and so does its entry";
    EXPECT_EQ("未能删除此文件（只读），仍列在下方。", Status());

    // Held open by another program that does not let it be deleted.
    HANDLE open = ::CreateFileW(ExtendedPath(tree.Path("open.tmp")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    select(tree.Path("open.tmp"));
    Click(IDC_BTN_DELETE);
    ::CloseHandle(open);
    EXPECT_TRUE(Exists(tree.Path("open.tmp")));
    EXPECT_EQ(4u, Listed().size());
    EXPECT_EQ("未能删除此文件（正在使用），仍列在下方。", Status());

    select(tree.Path(deep + "\\long.tmp"));
    Click(IDC_BTN_DELETE);
    EXPECT_FALSE(Exists(tree.Path(deep + "\\long.tmp"))) << "a path of 300 characters is deleted";
    EXPECT_EQ(3u, Listed().size());

    // Ctrl+A selects every entry; Delete deletes what it can and keeps the rest listed.
    m_dlg.OnWindowThread([&] {
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        ::SetKeyboardState(keys);
        ::SendMessageW(list, WM_KEYDOWN, 'A', 1);
        keys[VK_CONTROL] = 0;
        ::SetKeyboardState(keys);
    });
    EXPECT_EQ(3, ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    Click(IDC_BTN_DELETE);
    ASSERT_TRUE(WaitFor([&] { return Status().rfind("清理完毕！", 0) == 0 && Enabled(IDC_BTN_DELETE_ALL); }));
    EXPECT_EQ("清理完毕！1 个文件未能删除（只读），仍列在下方。", Status());
    EXPECT_EQ(std::vector<std::string>{tree.Path("readonly.tmp").GetString()}, Listed());
    EXPECT_FALSE(Exists(tree.Path("a.tmp")));
    EXPECT_FALSE(Exists(tree.Path("open.tmp")));
    ::SetFileAttributesW(ExtendedPath(tree.Path("readonly.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The list's columns: each file's size and last-write time as the disk has them, and a click on
// a column's header sorts by it, a second click the other way.
TEST_F(Commands, ColumnsShowSizesAndDatesAndSortBothWays)
{
    CScanTree tree("columns");
    const struct {
        const char* name;
        DWORD bytes;
        WORD year;
    } files[] = {{"b.tmp", 1024, 2021}, {"a.old", 3 * 1024 * 1024 + 200000, 2019}, {"c.gid", 10, 2024}};
    for (const auto& f : files) {
        tree.File(f.name, f.bytes);
        SYSTEMTIME local = {f.year, 1, 0, 2, 3, 4, 0, 0}, utc = {};
        FILETIME ft = {};
        ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
        ::SystemTimeToFileTime(&utc, &ft);
        HANDLE h = ::CreateFileW(ExtendedPath(tree.Path(f.name)).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(::SetFileTime(h, nullptr, nullptr, &ft));
        ::CloseHandle(h);
    }
    TypeDrive(tree.Path());
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    HWND list = Item(IDC_LIST_FILES);
    auto rows = [&] {
        std::vector<std::string> out;
        m_dlg.OnWindowThread([&] {
            for (int i = 0; i < 3; ++i)
                out.push_back(ListCell(list, i, 0).substr(tree.Path().GetLength() + 1) + "|" + ListCell(list, i, 1) + "|" + ListCell(list, i, 2));
        });
        return out;
    };
    const std::string a = "a.old|3.1 MB|2019/01/02 03:04", b = "b.tmp|1.0 KB|2021/01/02 03:04", c = "c.gid|10 字节|2024/01/02 03:04";
    EXPECT_EQ((std::vector<std::string>{a, b, c}), rows()) << "by path at first";
    auto clickHeader = [&](int column) {
        m_dlg.OnWindowThread([&] {
            HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
            RECT rc = {};
            ::SendMessageW(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&rc));
            const LPARAM pt = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, pt);
            ::SendMessageW(header, WM_LBUTTONUP, 0, pt);
        });
    };
    clickHeader(1);
    EXPECT_EQ((std::vector<std::string>{c, b, a}), rows()) << "by size";
    clickHeader(1);
    EXPECT_EQ((std::vector<std::string>{a, b, c}), rows()) << "by size, largest first";
    clickHeader(2);
    EXPECT_EQ((std::vector<std::string>{a, b, c}), rows()) << "by date";
    clickHeader(2);
    EXPECT_EQ((std::vector<std::string>{c, b, a}), rows()) << "by date, newest first";
    clickHeader(0);
    EXPECT_EQ((std::vector<std::string>{a, b, c}), rows()) << "by path";
    clickHeader(0);
    EXPECT_EQ((std::vector<std::string>{c, b, a}), rows()) << "by path, backwards";

    // Two rows selected: their count and size; one: the summary again.
    const std::string summary = Status();
    m_dlg.OnWindowThread([&] { SelectOnly(list, 0); });
    EXPECT_TRUE(WaitFor([&] { return Status() == summary; })) << Status();
    m_dlg.OnWindowThread([&] {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED;
        ::SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    });
    EXPECT_TRUE(WaitFor([&] { return Status() == "已选择 2 个文件，共 1.0KB。"; })) << Status();
    m_dlg.OnWindowThread([&] { SelectOnly(list, 2); });
    EXPECT_TRUE(WaitFor([&] { return Status() == summary; })) << Status();
}

// Each line of the check list says what its pattern found, and after a deletion what stays.
TEST_F(Commands, EachTypeLineTalliesWhatItFound)
{
    CScanTree tree("tally");
    tree.File("a.tmp", 1024);
    tree.File("B.TMP", 2048);
    tree.File("ro.tmp", 1024, FILE_ATTRIBUTE_READONLY);
    tree.File("c.Old", 100);
    TypeDrive(tree.Path());
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    auto noteOf = [&](const char* pattern) {
        const int line = static_cast<int>(::SendMessageW(Item(IDC_LIST_TYPES), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                          reinterpret_cast<LPARAM>(AfxToWide(pattern).c_str())));
        std::string note;
        m_dlg.OnWindowThread([&] { note = m_dlg.TypeLineNote(line).GetString(); });
        return note;
    };
    EXPECT_EQ("3 · 4.0KB", noteOf("*.tmp")) << "as many as the list shows of it";
    EXPECT_EQ("1 · 100字节", noteOf("*.old"));
    EXPECT_EQ("", noteOf("*.gid")) << "nothing found, nothing said";
    // One file deleted at once: its line counts it gone.
    const int a = IndexOf(tree.Path("a.tmp"));
    m_dlg.OnWindowThread([&] { SelectOnly(Item(IDC_LIST_FILES), a); });
    Click(IDC_BTN_DELETE);
    EXPECT_FALSE(Exists(tree.Path("a.tmp")));
    EXPECT_EQ("2 · 3.0KB", noteOf("*.tmp"));
    ASSERT_TRUE(DeleteAll());
    EXPECT_EQ("1 · 1.0KB", noteOf("*.tmp")) << "what could not be deleted";
    EXPECT_EQ("", noteOf("*.old"));
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Commands, DeleteAllDeletesExactlyTheListedFiles)
{
    CScanTree tree("deleteall");
    tree.File("a.tmp", 1024);
    tree.File("sub\\b.old", 1024);
    tree.File("keep.txt", 1024);
    tree.File("sub\\keep.tmp.txt", 1024);
    // Paths of 300 and of 1,000 characters and more.
    tree.File(ChineseFolders(4) + "\\near.tmp", 1024);
    tree.File(ChineseFolders(14) + "\\far.old", 1024);
    ASSERT_LT(1000u, AfxToWide(tree.Path(ChineseFolders(14) + "\\far.old")).size());
    TypeDrive(tree.Path());
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    ASSERT_EQ(4u, Listed().size());
    // A listed file that went away meanwhile is passed over without a message.
    ::DeleteFileW(ExtendedPath(tree.Path("a.tmp")).c_str());

    ASSERT_TRUE(DeleteAll());
    EXPECT_EQ("清理完毕！", Status());
    EXPECT_FALSE(Shown(IDC_LIST_FILES));
    EXPECT_TRUE(Listed().empty());
    EXPECT_TRUE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_EQ("重新扫描", WindowText(Item(IDC_BTN_SCAN_NOW)));
    EXPECT_FALSE(Exists(tree.Path("sub\\b.old")));
    EXPECT_FALSE(Exists(tree.Path(ChineseFolders(4) + "\\near.tmp")));
    EXPECT_FALSE(Exists(tree.Path(ChineseFolders(14) + "\\far.old")));
    EXPECT_TRUE(Exists(tree.Path("keep.txt")));
    EXPECT_TRUE(Exists(tree.Path("sub\\keep.tmp.txt")));
}

TEST_F(Commands, DeleteAllKeepsWhatItCouldNotDeleteAndNeverFollowsALink)
{
    CScanTree tree("honest");
    tree.File("drive\\a.tmp", 1024);
    tree.File("drive\\sub\\b.old", 1024);
    tree.File("drive\\keep.txt", 1024);
    tree.File("drive\\ro.tmp", 1024, FILE_ATTRIBUTE_READONLY);
    tree.File("drive\\open.tmp", 1024);
    tree.File("drive\\swap\\x.tmp", 1024);
    // The same deep in the tree, where the system's final path is past 264 characters.
    const std::string deep = ChineseFolders(4);
    tree.File("drive\\" + deep + "\\swap\\y.tmp", 1024);
    tree.File("outside2\\y.tmp", 1024);
    tree.File("outside\\precious.old", 1024);
    tree.File("outside2\\x.tmp", 1024);
    tree.File("outside\\target.txt", 1024);
    tree.Link("drive\\out", "outside");
    tree.Link("drive\\link.tmp", "outside\\target.txt");
    TypeDrive(tree.Path("drive"));
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    const std::string root = static_cast<const char*>(tree.Path("drive"));
    const std::string deepSwap = root + "\\" + deep + "\\swap\\y.tmp";
    ASSERT_EQ((std::vector<std::string>{root + "\\a.tmp", root + "\\link.tmp", root + "\\open.tmp", root + "\\ro.tmp", root + "\\sub\\b.old",
                                        root + "\\swap\\x.tmp", deepSwap}),
              Listed());

    // After the scan, a folder on a listed path becomes a link to another folder.
    tree.HostShell("mv drive/swap swapped && ln -s ../outside2 drive/swap && cd $(dirname $(find drive -name y.tmp))/.. && "
                   "mv swap ../../../../../swapped2 && ln -s ../../../../../outside2 swap");
    HANDLE open = ::CreateFileW(ExtendedPath(tree.Path("drive\\open.tmp")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    ASSERT_TRUE(DeleteAll());
    ::CloseHandle(open);

    EXPECT_FALSE(Exists(tree.Path("drive\\a.tmp")));
    EXPECT_FALSE(Exists(tree.Path("drive\\sub\\b.old")));
    EXPECT_TRUE(Exists(tree.Path("drive\\keep.txt")));
    EXPECT_TRUE(Exists(tree.Path("drive\\ro.tmp")));
    EXPECT_TRUE(Exists(tree.Path("drive\\open.tmp")));
    EXPECT_TRUE(Exists(tree.Path("outside2\\x.tmp"))) << "the file behind the new link survives";
    EXPECT_TRUE(Exists(tree.Path("outside2\\y.tmp"))) << "however deep the link is";
    EXPECT_TRUE(Exists(tree.Path("swapped\\x.tmp")));
    EXPECT_TRUE(Exists(tree.Path("outside\\precious.old")));
    EXPECT_TRUE(Exists(tree.Path("outside\\target.txt"))) << "deleting a file link never deletes its target";
    // Windows opens the link itself and deletes it; Wine 8 opens a host link's target, which
    // the check refuses. Either way the entry stays exactly when the link does.
    std::vector<std::string> stay = {root + "\\open.tmp", root + "\\ro.tmp", root + "\\swap\\x.tmp", deepSwap};
    if (Exists(tree.Path("drive\\link.tmp")))
        stay.insert(stay.begin(), root + "\\link.tmp");
    EXPECT_EQ(stay, Listed());
    EXPECT_EQ("清理完毕！" + std::to_string(stay.size()) + " 个文件未能删除（正在使用、只读或扫描后已被改动），仍列在下方。",
              Status());
    EXPECT_TRUE(Shown(IDC_LIST_FILES)) << "what stays is shown";
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
    ::SetFileAttributesW(ExtendedPath(tree.Path("drive\\ro.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Commands, DeleteAllRunsBesideTheWindowAndStopsWhenAsked)
{
    CScanTree tree("deletestop");
    tree.HostShell("for d in $(seq 10); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 1000)); done && touch keep.txt");
    TypeDrive(tree.Path());
    Click(IDC_BTN_START);
    ASSERT_TRUE(WaitEnded());
    ASSERT_EQ(10000u, Listed().size());

    // The deletion is held after 3,000 files, so that Stop comes in its middle.
    CHeldRun held("delete", 3000);
    Click(IDC_BTN_DELETE_ALL);
    // Deleting: only Stop is usable; a start is refused and leaves the list alone.
    EXPECT_FALSE(Enabled(IDC_BTN_START));
    EXPECT_FALSE(Enabled(IDC_BTN_PAUSE));
    EXPECT_TRUE(Enabled(IDC_BTN_STOP));
    EXPECT_FALSE(Enabled(IDC_BTN_DELETE));
    EXPECT_FALSE(Enabled(IDC_BTN_DELETE_ALL));
    m_run->PressKey(VK_RETURN);
    // Closing asks, as during a scan.
    ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_run->FindOwnedPopup()) != nullptr; })) << "Close during Delete all asks";
    ::PostMessageA(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    ASSERT_TRUE(held.WaitHeld());
    Click(IDC_BTN_STOP);
    ASSERT_TRUE(WaitFor([&] { return Enabled(IDC_BTN_START); }, 30000));

    // What was deleted is gone with its entry; the rest stay listed, and the status says so.
    const std::vector<std::string> listed = Listed();
    size_t onDisk = 0;
    for (int d = 1; d <= 10; ++d) {
        for (int f = 1; f <= 1000; ++f)
            onDisk += Exists(tree.Path("d" + std::to_string(d) + "\\f" + std::to_string(f) + ".tmp"));
    }
    EXPECT_EQ(onDisk, listed.size()) << "the list shows exactly the files that remain";
    EXPECT_LE(listed.size(), 7000u);
    EXPECT_GE(listed.size(), 6000u) << "Stop let only the files in hand be finished";
    EXPECT_EQ("清理已停止！已删除 " + std::to_string(10000 - listed.size()) + " 个文件，" + std::to_string(listed.size()) +
                  " 个文件仍列在下方。",
              Status());
    for (const std::string& path : listed)
        EXPECT_TRUE(Exists(path.c_str())) << path;
    EXPECT_TRUE(Exists(tree.Path("keep.txt")));
    EXPECT_TRUE(Shown(IDC_LIST_FILES));
    EXPECT_FALSE(Enabled(IDC_BTN_STOP));
    EXPECT_TRUE(Enabled(IDC_BTN_DELETE_ALL));

    // Delete all again takes the rest.
    held.Open();
    Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(WaitFor([&] { return Status() == "清理完毕！"; }, 30000));
    EXPECT_FALSE(Shown(IDC_LIST_FILES));
    EXPECT_EQ("重新扫描", WindowText(Item(IDC_BTN_SCAN_NOW)));
}

// Delete all while the walk is still finding files: what it finds while the deletion runs is
// listed at the end, beside what could not be deleted; nothing found goes unlisted.
TEST_F(Commands, DeleteAllDuringAScanListsWhatTheScanFindsMeanwhile)
{
    CScanTree tree("deleteduring");
    tree.HostShell("for d in $(seq 10); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 300)); done");
    TypeDrive(tree.Path());
    CHeldRun walkHeld("scan", 1000), deletionHeld("delete", 1);
    Click(IDC_BTN_START);
    ASSERT_TRUE(walkHeld.WaitHeld());
    ASSERT_TRUE(WaitFor([&] { return !Listed().empty(); }));
    Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(deletionHeld.WaitHeld());
    // The walk goes on to its end while the deletion waits.
    walkHeld.Open();
    ASSERT_TRUE(WaitFor([&] { return Status().rfind("扫描已完成", 0) == 0; }, 30000)) << Status();
    deletionHeld.Open();
    ASSERT_TRUE(WaitFor([&] { return Enabled(IDC_BTN_START) && Status().rfind("清理完毕！", 0) == 0; }, 30000)) << Status();

    std::vector<std::string> onDisk;
    for (int d = 1; d <= 10; ++d) {
        for (int f = 1; f <= 300; ++f) {
            const CString path = tree.Path("d" + std::to_string(d) + "\\f" + std::to_string(f) + ".tmp");
            if (Exists(path))
                onDisk.push_back(path.GetString());
        }
    }
    std::sort(onDisk.begin(), onDisk.end());
    EXPECT_GT(onDisk.size(), 1000u) << "found after the deletion started";
    EXPECT_LT(onDisk.size(), 3000u) << "the deletion deleted";
    EXPECT_EQ(onDisk, Listed()) << "every file found is deleted or listed";
    EXPECT_EQ("清理完毕！清理期间又找到 " + std::to_string(onDisk.size()) + " 个文件，列在下方。", Status());
    EXPECT_TRUE(Shown(IDC_LIST_FILES));

    // Again, and the deletion ends before the walk: the walk's summary counts what went.
    CHeldRun again("scan", 500);
    Click(IDC_BTN_START);
    ASSERT_TRUE(again.WaitHeld());
    ASSERT_TRUE(WaitFor([&] { return !Listed().empty(); }));
    Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(WaitFor([&] { return Status().rfind("清理完毕！", 0) == 0; }, 30000)) << Status();
    EXPECT_TRUE(Shown(IDC_LIST_FILES)) << "the walk goes on filling it";
    again.Open();
    ASSERT_TRUE(WaitEnded()) << Status();
    const size_t listed = Listed().size(), found = onDisk.size();
    EXPECT_GT(listed, 0u);
    EXPECT_EQ("扫描已完成！本次共扫描出 " + std::to_string(found) + " 个垃圾文件，其中 " + std::to_string(found - listed) +
                  " 个已在扫描期间删除，" + std::to_string(listed) + " 个列在下方。",
              Status());

    // Once more, and Stop while Delete all runs: the deletion stops, the walk goes on to its end.
    CHeldRun third("scan", 100), deletion("delete", 10);
    Click(IDC_BTN_START);
    ASSERT_TRUE(third.WaitHeld());
    ASSERT_TRUE(WaitFor([&] { return !Listed().empty(); }));
    Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(deletion.WaitHeld());
    Click(IDC_BTN_STOP);
    deletion.Open();
    ASSERT_TRUE(WaitFor([&] { return Status().rfind("清理已停止！", 0) == 0; }, 30000)) << Status();
    EXPECT_TRUE(Enabled(IDC_BTN_PAUSE)) << "the walk is still under way";
    third.Open();
    ASSERT_TRUE(WaitEnded()) << Status();
    EXPECT_EQ(0u, Status().find("扫描已完成！本次共扫描出 " + std::to_string(listed) + " 个垃圾文件")) << "all of it walked: " << Status();
}

// Delete during a walk: the list merges what the walk found into its order meanwhile, and
// what the user selected stays selected, with the caret and the scroll position.
TEST_F(Commands, DeleteDuringAScanDeletesWhatIsSelected)
{
    CScanTree tree("deleteselected");
    tree.HostShell("for d in $(seq 20); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 300)); done");
    TypeDrive(tree.Path());
    CHeldRun held("scan", 4000);
    Click(IDC_BTN_START);
    ASSERT_TRUE(held.WaitHeld());
    ASSERT_TRUE(WaitFor([&] { return Listed().size() >= 2048; }));
    HWND list = Item(IDC_LIST_FILES);
    std::string chosen, topText;
    m_dlg.OnWindowThread([&] {
        SelectOnly(list, 2000);
        RECT rc = {};
        rc.left = LVIR_BOUNDS;
        ::SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc));
        const LRESULT top = ::SendMessageW(list, LVM_GETTOPINDEX, 0, 0);
        ::SendMessageW(list, LVM_SCROLL, 0, (1990 - top) * (rc.bottom - rc.top));
        topText = ListCell(list, static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0)), 0);
        chosen = ListCell(list, 2000, 0);
    });
    // What the walk found before it was held arrives meanwhile, among the rows shown.
    Click(IDC_BTN_PAUSE);
    std::vector<std::string> shown;
    int caret = -1, selected = -1, nowTop = -1;
    m_dlg.OnWindowThread([&] {
        shown = m_dlg.ListedFiles();
        caret = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        selected = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        nowTop = static_cast<int>(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    });
    ASSERT_EQ(1, ::SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    ASSERT_GE(selected, 0);
    EXPECT_EQ(chosen, shown[static_cast<size_t>(selected)]);
    EXPECT_EQ(chosen, shown[static_cast<size_t>(caret)]);
    EXPECT_EQ(topText, shown[static_cast<size_t>(nowTop)]);
    Click(IDC_BTN_DELETE);
    EXPECT_FALSE(Exists(chosen.c_str())) << "the selected file is deleted";
    held.Open();
    Click(IDC_BTN_PAUSE);
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ(5999u, Listed().size());
}

TEST_F(Commands, DeleteAllOnAnEmptyListAndDuringARun)
{
    Click(IDC_BTN_DELETE_ALL);
    EXPECT_EQ("清理完毕！", Status());
    EXPECT_FALSE(Shown(IDC_LIST_FILES));
    EXPECT_EQ("重新扫描", WindowText(Item(IDC_BTN_SCAN_NOW)));

    CScanTree tree("duringrun");
    tree.File("a.tmp", 1024);
    TypeDrive(tree.Path());
    Hold();
    Click(IDC_BTN_SCAN_NOW);
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
    Click(IDC_BTN_DELETE_ALL);
    EXPECT_EQ("清理完毕！", Status());
    EXPECT_TRUE(Shown(IDC_LIST_FILES)) << "the run goes on filling it";
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
    EXPECT_TRUE(Enabled(IDC_BTN_STOP)) << "the run goes on";
    m_run->PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return Status() == "扫描正在进行，请先停止。"; })) << "refused while the run is active";
    Release();
    ASSERT_TRUE(WaitEnded());
    EXPECT_EQ(1u, Listed().size()) << "found afterwards";
    EXPECT_TRUE(Shown(IDC_LIST_FILES)) << "and shown";
    EXPECT_FALSE(Shown(IDC_BTN_SCAN_NOW));
}

}  // namespace
