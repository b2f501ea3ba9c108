// Kelvaro.exe started as a user starts it, driven from this process through its window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "HeldRun.h"
#include "ModalDialog.h"
#include "ScanTree.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "TestText.h"
#include "res/resource.h"
#include "scan/FileSystem.h"

namespace {

// Another process's window text, read as a user reads it.
std::string Text(HWND h)
{
    wchar_t buf[1024] = {};
    ::GetWindowTextW(h, buf, 1024);
    return Narrow(buf);
}

class Program {
public:
    Program()
    {
        STARTUPINFOW si = {};
        m_started = StartProcess(KELVARO_EXE, "", 0, si, false, &m_pi);
        if (m_started)
            WaitFor([this] { return (m_hWnd = FindMain()) != nullptr; }, 15000);
    }
    ~Program()
    {
        if (m_started) {
            if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_pi.hProcess, 1);
            ::CloseHandle(m_pi.hThread);
            ::CloseHandle(m_pi.hProcess);
        }
    }

    HWND Window() const { return m_hWnd; }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void Click(int id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); }
    std::string Status() const { return Text(Item(IDC_STATIC_STATUS)); }
    void TypeDrive(const CString& text) const
    {
        const std::wstring w = Wide(static_cast<const char*>(text));
        ::SendMessageW(Item(IDC_COMBO_DRIVE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    // The root typed into the drive box, then a click on Scan now.
    void ScanNow(const CString& root) const
    {
        TypeDrive(root);
        Click(IDC_BTN_SCAN_NOW);
    }
    bool StopEnabled() const { return ::IsWindowEnabled(Item(IDC_BTN_STOP)) != FALSE; }
    // A run of root that stays active: held at the gate (the program was started while held
    // lived), then paused.
    bool ScanPaused(const CString& root, CHeldRun& held) const
    {
        ScanNow(root);
        if (!held.WaitHeld())
            return false;
        Click(IDC_BTN_PAUSE);
        return WaitFor([&] { return StopEnabled() && Text(Item(IDC_BTN_PAUSE)) == "继续"; });
    }
    std::vector<std::string> Listed() const
    {
        // Across processes, as a screen reader reads a list view: the item and its buffer live
        // in the program's memory, and the answer is read back from there.
        std::vector<std::string> items;
        HWND list = Item(IDC_LIST_FILES);
        const size_t kChars = 32768;
        const SIZE_T bytes = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
        char* remote = static_cast<char*>(::VirtualAllocEx(m_pi.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
        if (!remote)
            return items;
        const int n = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        std::wstring w(kChars, L'\0');
        for (int i = 0; i < n; ++i) {
            LVITEMW item = {};
            item.pszText = reinterpret_cast<LPWSTR>(remote + sizeof(LVITEMW));
            item.cchTextMax = static_cast<int>(kChars);
            ::WriteProcessMemory(m_pi.hProcess, remote, &item, sizeof(item), nullptr);
            const LRESULT got = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
            ::ReadProcessMemory(m_pi.hProcess, remote + sizeof(LVITEMW), &w[0], kChars * sizeof(wchar_t), nullptr);
            items.push_back(Narrow(w.substr(0, static_cast<size_t>(got > 0 ? got : 0)).c_str()));
        }
        ::VirtualFreeEx(m_pi.hProcess, remote, 0, MEM_RELEASE);
        std::sort(items.begin(), items.end());
        return items;
    }
    // The question box the program shows above its window, or null.
    HWND Question() const
    {
        const HWND owner = m_hWnd;
        return FindTopWindow([&](HWND h) { return h != owner && ::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER) == owner; });
    }
    void PressKey(UINT vk) const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &info);
        HWND target = info.hwndFocus ? info.hwndFocus : m_hWnd;
        ::PostMessageW(target, WM_KEYDOWN, vk, 1);
        ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
    }
    // The exit status, once the process has ended within the time; -1 if it has not.
    long ExitCode(DWORD timeoutMs) const
    {
        if (::WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<long>(code);
    }
    bool Running() const { return ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT; }

private:
    HWND FindMain() const
    {
        const DWORD process = m_pi.dwProcessId;
        return FindTopWindow([&](HWND h) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            return pid == process && ::IsWindowVisible(h) && ::GetDlgItem(h, IDC_LIST_TYPES);
        });
    }

    bool m_started = false;
    PROCESS_INFORMATION m_pi = {};
    HWND m_hWnd = nullptr;
};

TEST(WholeProgram, ScanNowThenDeleteAllRemovesExactlyTheListedFiles)
{
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Kelvaro", L"DeleteToRecycleBin");  // for good
    CScanTree tree("program");
    // Names in many scripts (乗 ends in 0x5C in code page 936; 😀 is a surrogate pair in
    // UTF-16) and a folder whose name ends in a dot, whatever the system's code page.
    for (const char* dir : {"下载\\旧版", "日本語", "Привет", "末尾.", "乗"})
        tree.Dir(dir);
    const std::vector<std::string> junk = {"a.tmp", "下载\\临时.tmp", "下载\\旧版\\配置.old", "help.gid", "x._mp", "n.syd",
                                           "日本語\\ファイル.tmp", "한국어.old", "Привет\\файл.gid", "Ελληνικά._mp",
                                           "😀 smile.syd", "末尾.\\点.tmp", "乗\\乗.tmp", "upper.TMP"};
    const std::vector<std::string> kept = {"readme.txt", "A.TMP.txt", "下载\\setup.exe", "tmp.", "b.old.bak",
                                           "한국어.txt", "😀.tmp.bak", "Привет\\файл.gid.txt"};
    for (const std::string& f : junk)
        WriteAll(tree.Path(f), std::string(3000, 'j'));
    for (const std::string& f : kept)
        WriteAll(tree.Path(f), "keep " + f);
    // Outside the chosen folder, reached through a link inside it: never listed, never touched.
    CScanTree outside("program-outside");
    WriteAll(outside.Path("precious.old"), "keep precious");
    tree.Link("out", "..\\program-outside");

    Program kelvaro;
    ASSERT_NE(nullptr, kelvaro.Window()) << "Kelvaro did not open its window";
    EXPECT_EQ("Kelvaro", Text(kelvaro.Window()));
    kelvaro.ScanNow(tree.Path());
    ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("扫描已完成", 0) == 0; }, 30000)) << kelvaro.Status();

    std::vector<std::string> expected;
    for (const std::string& f : junk)
        expected.push_back(static_cast<const char*>(tree.Path(f)));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, kelvaro.Listed());
    // 14 files of 3,000 bytes: 42,000 bytes, 42KB rounded up.
    const std::string summary = "扫描已完成！本次共扫描出 14 个垃圾文件，立即清除可帮您节省 42KB 磁盘空间。";
    EXPECT_EQ(summary, kelvaro.Status());
    // A program that reads the window with the narrow calls gets the text in its code page.
    char narrow[1024] = {};
    ::GetWindowTextA(kelvaro.Item(IDC_STATIC_STATUS), narrow, sizeof(narrow));
    EXPECT_EQ(Ansi(summary), narrow);

    // One of them read-only by the time of the deletion: it stays, and the program says so.
    ::SetFileAttributesW(ExtendedPath(tree.Path("x._mp")).c_str(), FILE_ATTRIBUTE_READONLY);
    kelvaro.Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("清理完毕！", 0) == 0; }));
    EXPECT_EQ("清理完毕！1 个文件未能删除（只读），仍列在下方。", kelvaro.Status());
    EXPECT_EQ(std::vector<std::string>{static_cast<const char*>(tree.Path("x._mp"))}, kelvaro.Listed());
    ::SetFileAttributesW(ExtendedPath(tree.Path("x._mp")).c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string& f : junk) {
        if (f != "x._mp") {
            EXPECT_EQ("<none>", ReadAll(tree.Path(f))) << f;
        }
    }
    for (const std::string& f : kept)
        EXPECT_EQ("keep " + f, ReadAll(tree.Path(f))) << f << " is intact";
    EXPECT_EQ("keep precious", ReadAll(outside.Path("precious.old")));

    // No run is active: closing asks nothing.
    ::PostMessageW(kelvaro.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, kelvaro.ExitCode(10000));
}

DWORD RecycleOptionValue()
{
    DWORD value = 0, size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Kelvaro", L"DeleteToRecycleBin", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 2;  // never set
    return value;
}

// A message box or dialog of the program's, and its text.
std::string BoxText(HWND box)
{
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        text += Text(child) + "|";
    return text;
}

// Export list, Delete to the Recycle Bin remembered across a restart, and what the Recycle Bin
// refuses kept in the list. The Recycle Bin of this Wine is $XDG_DATA_HOME/Trash, a folder that
// the test script made (KELVARO_TEST_TRASH).
TEST(WholeProgram, ExportTheListThenRecycleWithTheOptionRemembered)
{
    const char* trash = std::getenv("KELVARO_TEST_TRASH");
    if (!trash || !*trash)
        GTEST_SKIP() << "KELVARO_TEST_TRASH names no Recycle Bin folder for this test";
    std::string trashFiles = std::string(trash) + "/files/";
    std::replace(trashFiles.begin(), trashFiles.end(), '/', '\\');
    trashFiles = "\\\\?\\unix" + trashFiles;
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Kelvaro", L"DeleteToRecycleBin");

    CScanTree tree("recycle");
    const std::string unique = std::to_string(::GetTickCount());
    const std::vector<std::string> names = {"a" + unique + ".tmp", "临时,逗号" + unique + ".old", "ro.tmp", "open.tmp"};
    for (const std::string& name : names)
        WriteAll(tree.Path(name), std::string(1000, 'r'));
    {
        Program kelvaro;
        ASSERT_NE(nullptr, kelvaro.Window());
        // An empty list is not exported: the program says why.
        ::PostMessageW(kelvaro.Window(), WM_SYSCOMMAND, IDM_EXPORT, 0);
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = kelvaro.Question()) != nullptr; }));
        EXPECT_NE(std::string::npos, BoxText(box).find("列表是空的，没有可导出的文件。")) << BoxText(box);
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));

        // Exported through the system's Save dialog: every row parsed back equal, with the
        // sizes the scan read (a file that grew since is not asked again).
        kelvaro.ScanNow(tree.Path());
        ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("扫描已完成", 0) == 0; }, 30000));
        WriteAll(tree.Path(names[0]), std::string(5000, 'g'));
        ::PostMessageW(kelvaro.Window(), WM_SYSCOMMAND, IDM_EXPORT, 0);
        HWND save = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (save = kelvaro.Question()) != nullptr; }));
        EXPECT_EQ("导出列表", Text(save));
        const std::wstring target = Wide(tree.Path("导出, 列表.csv").GetString());
        HWND name = ::GetDlgItem(save, 0x480);  // the file name box
        if (!name)
            name = ::GetDlgItem(save, 0x47C);
        ASSERT_NE(nullptr, name);
        ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        ::PostMessageW(save, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("已将 4 个文件的列表导出到", 0) == 0; })) << kelvaro.Status();
        std::vector<std::vector<std::string>> expected = {{"路径", "大小（字节）", "结果", "匹配"}};
        for (const std::string& n : names)
            expected.push_back({tree.Path(n).GetString(), "1000", "已找到", n.find(".old") != std::string::npos ? "*.old" : "*.tmp"});
        std::sort(expected.begin(), expected.end());
        std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(AfxFromWide(target)));
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(expected, rows);
        WriteAll(tree.Path(names[0]), std::string(1000, 'r'));

        // The option, from the system menu: remembered at once.
        EXPECT_EQ(2u, RecycleOptionValue()) << "off until the user turns it on";
        ::PostMessageW(kelvaro.Window(), WM_SYSCOMMAND, IDM_RECYCLE, 0);
        EXPECT_TRUE(WaitFor([&] { return RecycleOptionValue() == 1; }));
        ::PostMessageW(kelvaro.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(0, kelvaro.ExitCode(10000));
    }

    // Started again, it recycles: the files are in the Recycle Bin, not deleted for good; a
    // read-only file and one held open by another program keep their entries.
    Program kelvaro;
    ASSERT_NE(nullptr, kelvaro.Window());
    kelvaro.ScanNow(tree.Path());
    ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("扫描已完成", 0) == 0; }, 30000));
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.tmp")).c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE open = ::CreateFileW(ExtendedPath(tree.Path("open.tmp")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    kelvaro.Click(IDC_BTN_DELETE_ALL);
    ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("清理完毕！", 0) == 0; })) << kelvaro.Status();
    ::CloseHandle(open);
    EXPECT_EQ("清理完毕！2 个文件已移到回收站，2 个文件未能移到回收站（正在使用或只读），仍列在下方。", kelvaro.Status());
    EXPECT_EQ((std::vector<std::string>{tree.Path("open.tmp").GetString(), tree.Path("ro.tmp").GetString()}), kelvaro.Listed());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ("<none>", ReadAll(tree.Path(names[i]))) << names[i];
        EXPECT_EQ(std::string(1000, 'r'), ReadAll(CString((trashFiles + names[i]).c_str()))) << names[i] << " in the Recycle Bin";
    }
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.tmp")).c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Kelvaro", L"DeleteToRecycleBin");
}

// The user's own patterns, added in the rules dialog: a line each in the check list, ticked,
// listed by a scan; a tick taken off is remembered when the program starts again.
TEST(WholeProgram, OwnPatternsFromTheRulesDialog)
{
    const wchar_t kKey[] = L"Software\\Kelvaro";
    for (const wchar_t* value : {L"Patterns", L"ExcludedFolders", L"OlderThanDays", L"TempFolders"})
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, value);
    CScanTree tree("ownpatterns");
    for (const char* name : {"~$报告.docx", "Thumbs.db", "A.TMP", "keep.docx", "user\\Temp\\old.dat"})
        tree.File(name, 100);
    // The temp folder's file is two days old; the program's TEMP is that folder.
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    const uint64_t old = ((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) - 2 * 864000000000ull;
    ft = FILETIME{static_cast<DWORD>(old), static_cast<DWORD>(old >> 32)};
    HANDLE h = ::CreateFileW(ExtendedPath(tree.Path("user\\Temp\\old.dat")).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
    wchar_t was[2][MAX_PATH] = {};
    bool had[2] = {};
    const wchar_t* names[2] = {L"TEMP", L"TMP"};
    for (int i = 0; i < 2; ++i) {
        had[i] = ::GetEnvironmentVariableW(names[i], was[i], MAX_PATH) > 0;
        ::SetEnvironmentVariableW(names[i], AfxToWide(tree.Path("user\\Temp")).c_str());
    }
    auto lines = [](HWND list) {
        std::vector<std::string> out;
        for (int i = 0, n = static_cast<int>(::SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            std::wstring w(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&w[0]));
            out.push_back(Narrow(w.c_str()) + (::SendMessageW(list, LB_GETITEMDATA, i, 0) == 1 ? "+" : "-"));
        }
        return out;
    };
    const std::vector<std::string> six = {"*.??~+", "*._mp+", "*.gid+", "*.old+", "*.syd+", "*.tmp+"};
    {
        Program kelvaro;
        ASSERT_NE(nullptr, kelvaro.Window());
        ::PostMessageW(kelvaro.Window(), WM_SYSCOMMAND, IDM_RULES, 0);
        HWND rules = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (rules = kelvaro.Question()) != nullptr; }));
        EXPECT_EQ("清理规则", Text(rules));
        // Typed and added with the button; typed and added with Enter in the box; a pattern
        // with a path in it is refused and says why.
        HWND box = ::GetDlgItem(rules, IDC_RULE_PATTERN);
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"~$*"));
        ::SendMessageW(::GetDlgItem(rules, IDC_RULE_ADD), BM_CLICK, 0, 0);
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"thumbs.db"));
        ::SendMessageW(::GetDlgItem(rules, IDC_RULE_ADD), BM_CLICK, 0, 0);
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a\\b"));
        ::PostMessageW(::GetDlgItem(rules, IDC_RULE_ADD), BM_CLICK, 0, 0);
        HWND refusal = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            refusal = FindTopWindow([&](HWND h) { return ::IsWindowVisible(h) && ::GetWindow(h, GW_OWNER) == rules; });
            return refusal != nullptr;
        }));
        EXPECT_NE(std::string::npos, BoxText(refusal).find("不能有")) << BoxText(refusal);
        ::PostMessageW(refusal, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(refusal); }));
        EXPECT_EQ(2, ::SendMessageW(::GetDlgItem(rules, IDC_RULE_PATTERNS), LB_GETCOUNT, 0, 0));
        // What is left typed when OK is clicked is added, not thrown away.
        ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" *.bak "));
        ::SendMessageW(::GetDlgItem(rules, IDC_RULE_TEMP), BM_CLICK, 0, 0);
        ::PostMessageW(::GetDlgItem(rules, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(rules); }));
        std::vector<std::string> expected = six;
        expected.push_back("~$*+");
        expected.push_back("thumbs.db+");
        expected.push_back("*.bak+");
        expected.push_back("临时文件夹+");
        EXPECT_EQ(expected, lines(kelvaro.Item(IDC_LIST_TYPES)));

        kelvaro.ScanNow(tree.Path());
        ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("扫描已完成", 0) == 0; }, 30000));
        EXPECT_EQ((std::vector<std::string>{tree.Path("A.TMP").GetString(), tree.Path("Thumbs.db").GetString(),
                                            tree.Path("user\\Temp\\old.dat").GetString(), tree.Path("~$报告.docx").GetString()}),
                  kelvaro.Listed());
        // Two ticks taken off, as a user clicks their boxes: a pattern's and the temp folders'.
        HWND list = kelvaro.Item(IDC_LIST_TYPES);
        for (int line : {7, 9}) {
            RECT rc = {};
            ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&rc));
            const LPARAM pt = MAKELPARAM(rc.left + 6, (rc.top + rc.bottom) / 2);
            ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, pt);
            ::SendMessageW(list, WM_LBUTTONUP, 0, pt);
        }
        ::PostMessageW(kelvaro.Window(), WM_CLOSE, 0, 0);
        EXPECT_EQ(0, kelvaro.ExitCode(10000));
    }
    Program kelvaro;
    ASSERT_NE(nullptr, kelvaro.Window());
    std::vector<std::string> expected = six;
    expected.push_back("~$*+");
    expected.push_back("thumbs.db-");
    expected.push_back("*.bak+");
    expected.push_back("临时文件夹-");
    EXPECT_EQ(expected, lines(kelvaro.Item(IDC_LIST_TYPES))) << "remembered";
    for (int i = 0; i < 2; ++i)
        ::SetEnvironmentVariableW(names[i], had[i] ? was[i] : nullptr);
    kelvaro.ScanNow(tree.Path());
    ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().rfind("扫描已完成", 0) == 0; }, 30000));
    EXPECT_EQ((std::vector<std::string>{tree.Path("A.TMP").GetString(), tree.Path("~$报告.docx").GetString()}), kelvaro.Listed());
    ::PostMessageW(kelvaro.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(0, kelvaro.ExitCode(10000));
    for (const wchar_t* value : {L"Patterns", L"ExcludedFolders", L"OlderThanDays", L"TempFolders"})
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, value);
}

TEST(WholeProgram, CloseDuringARunAsksFirst)
{
    CScanTree tree("closing");
    tree.HostShell("for d in $(seq 5); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 100)); done");
    CHeldRun held("scan", 100);
    Program kelvaro;
    ASSERT_NE(nullptr, kelvaro.Window());
    ASSERT_TRUE(kelvaro.ScanPaused(tree.Path(), held));

    ::PostMessageW(kelvaro.Window(), WM_CLOSE, 0, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = kelvaro.Question()) != nullptr; })) << "no question";
    EXPECT_EQ("Kelvaro", Text(box));
    bool asked = false;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        asked |= Text(child) == "扫描还未完成，您确定要关闭程序码？";
    EXPECT_TRUE(asked);
    ASSERT_NE(nullptr, ::GetDlgItem(box, IDYES));
    ASSERT_NE(nullptr, ::GetDlgItem(box, IDNO));
    ::PostMessageW(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    // The window answers once the close handler has returned.
    DWORD_PTR answer = 0;
    EXPECT_NE(0, ::SendMessageTimeoutW(kelvaro.Window(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_TRUE(kelvaro.Running()) << "No keeps the program";
    EXPECT_TRUE(kelvaro.StopEnabled()) << "and its run";

    // The popup menu's close item asks the same; Yes ends the program with status 0.
    ::PostMessageW(kelvaro.Window(), WM_COMMAND, ID_MENU_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return (box = kelvaro.Question()) != nullptr; }));
    ::PostMessageW(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(0, kelvaro.ExitCode(10000));
}

TEST(WholeProgram, TwoCopiesScanAtOnce)
{
    CScanTree first("copy1");
    first.HostShell("for d in $(seq 20); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 500)); done");
    CScanTree second("copy2");
    second.File("a.tmp", 1024);
    CHeldRun held("scan", 100);  // the second copy's run has one file: never held
    Program one;
    Program two;
    ASSERT_NE(nullptr, one.Window());
    ASSERT_NE(nullptr, two.Window());
    // The first copy's run stays active, paused; the second copy's run goes through all the same.
    ASSERT_TRUE(one.ScanPaused(first.Path(), held));
    two.ScanNow(second.Path());
    ASSERT_TRUE(WaitFor([&] { return two.Status().rfind("扫描已完成", 0) == 0; }, 30000)) << "the second copy waits";
    EXPECT_EQ("扫描已完成！本次共扫描出 1 个垃圾文件，立即清除可帮您节省 1KB 磁盘空间。", two.Status());
    held.Open();
    one.Click(IDC_BTN_PAUSE);
    ASSERT_TRUE(WaitFor([&] { return one.Status().rfind("扫描已完成", 0) == 0; }, 30000));
    EXPECT_EQ("扫描已完成！本次共扫描出 10000 个垃圾文件，立即清除可帮您节省 0KB 磁盘空间。", one.Status());
}

// Esc during a run asks as the close button does; Yes ends the program at once with status 0,
// whether the walk is under way or held (a paused walker stands for one stuck in a slow call).
TEST(WholeProgram, EscDuringARunAsksThenYesEndsWithStatusZero)
{
    CScanTree tree("escape");
    tree.HostShell("for d in $(seq 5); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 100)); done");
    for (bool paused : {false, true}) {
        // The run is held after 100 files, so that Esc comes while it is active.
        CHeldRun held("scan", 100);
        Program kelvaro;
        ASSERT_NE(nullptr, kelvaro.Window());
        if (paused) {
            ASSERT_TRUE(kelvaro.ScanPaused(tree.Path(), held));
        } else {
            kelvaro.ScanNow(tree.Path());
            ASSERT_TRUE(held.WaitHeld());
            ASSERT_TRUE(WaitFor([&] { return kelvaro.Status().find(".tmp") != std::string::npos; })) << kelvaro.Status();
        }
        kelvaro.PressKey(VK_ESCAPE);
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = kelvaro.Question()) != nullptr; })) << "Esc asks during a run";
        EXPECT_TRUE(kelvaro.Running());
        ::PostMessageW(::GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
        EXPECT_EQ(0, kelvaro.ExitCode(10000));
    }
}

}  // namespace
