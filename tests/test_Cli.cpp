// KelvaroCli.exe run as a script runs it: its output read through a pipe, its exit code, its
// report parsed back, the files on disk.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include <algorithm>
#include <string>
#include <functional>
#include <thread>
#include <vector>

#include "HeldRun.h"
#include "ModalDialog.h"
#include "ScanTree.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "TestText.h"
#include "scan/CommandLine.h"
#include "scan/FileSystem.h"

namespace {

struct CliResult {
    long code = -1;
    std::string out;  // UTF-8
    std::string err;
};

// Reads a pipe to its end on a thread of its own, so that neither pipe can fill and block.
class CPipeReader {
public:
    CPipeReader()
    {
        SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
        ::CreatePipe(&m_read, &m_write, &sa, 0);
        ::SetHandleInformation(m_read, HANDLE_FLAG_INHERIT, 0);
    }
    ~CPipeReader()
    {
        if (m_thread.joinable())
            m_thread.join();
        ::CloseHandle(m_read);
    }
    HANDLE WriteEnd() const { return m_write; }
    void Start()
    {
        ::CloseHandle(m_write);  // the child holds its own copy
        m_thread = std::thread([this] {
            char buf[4096];
            DWORD got = 0;
            while (::ReadFile(m_read, buf, sizeof(buf), &got, nullptr) && got)
                m_text.append(buf, got);
        });
    }
    std::string Text()
    {
        m_thread.join();
        return m_text;
    }

private:
    HANDLE m_read = nullptr;
    HANDLE m_write = nullptr;
    std::thread m_thread;
    std::string m_text;
};

// What the console that this process is attached to shows, a line each, blanks at the
// ends of the lines cut.
std::string ConsoleScreen()
{
    HANDLE h = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (h == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(h, &info)) {
        ::CloseHandle(h);
        return "<no console>";
    }
    std::string screen;
    std::wstring line(static_cast<size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD got = 0;
        ::ReadConsoleOutputCharacterW(h, &line[0], static_cast<DWORD>(line.size()), COORD{0, y}, &got);
        std::wstring text = line.substr(0, got);
        text.erase(text.find_last_not_of(L' ') + 1);
        screen += Narrow(text) + "\n";
    }
    ::CloseHandle(h);
    return screen;
}

BOOL WINAPI TakeNoNotice(DWORD)
{
    return TRUE;
}

class CCli {
public:
    enum class Streams {
        Pipes,   // the output and error streams read through pipes, as a script reads them
        Console  // both left on the program's console, as a person at a prompt sees them
    };
    // Runs KelvaroCli.exe with args (UTF-8) to its end; whileRunning runs meanwhile. Either
    // way the program has a console of its own, as a cmd.exe window or a scheduled task gives
    // it, where the test can press Ctrl+C. On the console, the result's out is what the
    // console shows at the end.
    CliResult Run(const std::string& args, const std::function<void(DWORD)>& whileRunning = nullptr,
                  Streams streams = Streams::Pipes)
    {
        CPipeReader out, err;
        STARTUPINFOW si = {};
        if (streams == Streams::Pipes) {
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdInput = nullptr;
            si.hStdOutput = out.WriteEnd();
            si.hStdError = err.WriteEnd();
        }
        PROCESS_INFORMATION pi;
        CliResult result;
        const bool started = StartProcess(KELVARO_CLI, args, CREATE_NEW_CONSOLE, si, streams == Streams::Pipes, &pi);
        out.Start();
        err.Start();
        if (!started) {
            ADD_FAILURE() << "KelvaroCli.exe did not start";
            return result;
        }
        m_pid = pi.dwProcessId;
        // Attached to its console from the start, this process keeps it (and what it shows)
        // after the program has ended; an event there is not this process's business.
        bool attached = false;
        if (streams == Streams::Console) {
            ::FreeConsole();
            attached = WaitFor([&] { return ::AttachConsole(pi.dwProcessId) != FALSE; });
            ::SetConsoleCtrlHandler(&TakeNoNotice, TRUE);
            EXPECT_TRUE(attached) << "the program's console";
        }
        if (whileRunning)
            whileRunning(pi.dwProcessId);
        result.code = WaitForExit(pi, 120000);
        if (attached) {
            result.out = ConsoleScreen();
            ::FreeConsole();
        }
        if (streams == Streams::Pipes) {
            result.out = out.Text();
            result.err = err.Text();
        }
        return result;
    }
    DWORD LastPid() const { return m_pid; }

private:
    std::atomic<DWORD> m_pid{0};
};


TEST(Cli, ScanReportAndDeleteAsAScriptWould)
{
    CScanTree tree("cli");
    // The last one is past a thousand characters, deep in folders with Chinese names.
    const std::vector<std::string> junk = {"a.tmp", "with,comma\\b.old", "it's 'quoted'\\c.gid", "有 空格\\临时.tmp",
                                           ChineseFolders(14) + "\\远.tmp"};
    for (const std::string& f : junk)
        tree.File(f, 1500);
    tree.File("keep.txt", 10);
    tree.File("ro.syd", 10, FILE_ATTRIBUTE_READONLY);
    CCli cli;

    // Found only: the window's sentence, a report of every junk file, nothing deleted.
    const CString report = tree.Path("report.csv");
    CliResult r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /report \"" + std::string(report) + "\" /quiet /utf8");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(SummaryText(6, "8KB") + "\r\n  *.tmp        3 个，4.3KB\r\n  *.old        1 个，1.4KB\r\n"
              "  *.gid        1 个，1.4KB\r\n  *.syd        1 个，10字节\r\n", r.out) << "the summary, then what each type found";
    std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"路径", "大小（字节）", "结果", "匹配"}), rows[0]);
    std::vector<std::string> listed;
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(4u, rows[i].size());
        listed.push_back(rows[i][0]);
        EXPECT_EQ(rows[i][0].find("ro.syd") != std::string::npos ? "10" : "1500", rows[i][1]);
        EXPECT_EQ("已找到", rows[i][2]);
        EXPECT_TRUE(Exists(rows[i][0].c_str())) << rows[i][0];
    }
    std::vector<std::string> expected;
    for (const std::string& f : junk)
        expected.push_back(static_cast<const char*>(tree.Path(f)));
    expected.push_back(static_cast<const char*>(tree.Path("ro.syd")));
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(expected, listed);

    // Only some types, and delete: what is said to be deleted is gone, the rest is there.
    r = cli.Run("-SCAN \"" + std::string(tree.Path()) + "\" -types tmp,syd -delete -report \"" + std::string(report) + "\" -UTF8");
    EXPECT_EQ(1, r.code) << "a file could not be deleted";
    EXPECT_EQ(SummaryText(4, "5KB") + "\r\n  *.tmp        3 个，4.3KB\r\n  *.syd        1 个，10字节\r\n"
              "已删除 3 个文件。1 个文件未能删除（只读）。\r\n", r.out);
    rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(5u, rows.size());
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool readOnly = rows[i][0].find("ro.syd") != std::string::npos;
        EXPECT_EQ(readOnly ? "未删除：只读" : "已删除", rows[i][2]);
        EXPECT_EQ(readOnly, Exists(rows[i][0].c_str())) << rows[i][0];
    }
    EXPECT_TRUE(Exists(tree.Path("keep.txt")));
    EXPECT_TRUE(Exists(tree.Path("with,comma\\b.old")));
    EXPECT_TRUE(Exists(tree.Path("it's 'quoted'\\c.gid")));
    ::SetFileAttributesW(ExtendedPath(tree.Path("ro.syd")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Cli, BadUsageAndRootsThatCannotBeOpened)
{
    CScanTree tree("clibad");
    tree.File("a.tmp", 10);
    tree.File("file.txt", 10);
    CCli cli;
    // Read through a pipe, the output is in the console's code page (what PowerShell and
    // cmd.exe decode it with), a character it lacks as "?"; with /utf8, in UTF-8.
    CliResult r = cli.Run("/?");
    EXPECT_EQ(0, r.code);
    const std::wstring usage = AfxToWide(UsageText());
    std::string inCodePage(usage.size() * 4, '\0');
    inCodePage.resize(static_cast<size_t>(::WideCharToMultiByte(::GetOEMCP(), 0, usage.c_str(), static_cast<int>(usage.size()),
                                                                &inCodePage[0], static_cast<int>(inCodePage.size()), "?", nullptr)));
    EXPECT_EQ(inCodePage, r.out);
    r = cli.Run("/? /utf8");
    EXPECT_EQ(std::string(UsageText()), r.out);
    EXPECT_NE(std::string::npos, r.out.find("退出代码")) << "the usage says the exit codes";
    // Reports that could not be put in place are refused before anything is deleted: in a
    // folder that is not there, where a folder has the name, over a read-only file, over a
    // file that a spreadsheet holds open (it lets others read and write, not delete).
    tree.Dir("report.csv");
    tree.File("readonly.csv", 10, FILE_ATTRIBUTE_READONLY);
    tree.File("open.csv", 10);
    HANDLE open = ::CreateFileW(ExtendedPath(tree.Path("open.csv")).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    const std::string scan = "/scan \"" + std::string(tree.Path()) + "\"";
    for (const std::string& args :
         {std::string(""), std::string("/scan"), std::string("/wipe"), scan + " /types \"a\\*.tmp\"", scan + " /types c:x",
          scan + " /types tmp,,old", scan + " /olderthan -1", scan + " /olderthan week", scan + " /types none",
          scan + " /exclude \"" + std::string(tree.Path("missing")) + "\" /delete",
          std::string("/scan \"" + std::string(tree.Path("missing")) + "\""),
          std::string("/scan \"" + std::string(tree.Path("file.txt")) + "\""), std::string("/scan relative\\path"),
          scan + " /delete /report \"" + std::string(tree.Path("no such folder\\r.csv")) + "\"",
          scan + " /delete /report \"" + std::string(tree.Path("report.csv")) + "\"",
          scan + " /delete /report \"" + std::string(tree.Path("readonly.csv")) + "\"",
          scan + " /delete /report \"" + std::string(tree.Path("open.csv")) + "\""}) {
        r = cli.Run(args);
        EXPECT_EQ(2, r.code) << args;
        EXPECT_TRUE(r.out.empty()) << args << ": " << r.out;
        EXPECT_FALSE(r.err.empty()) << args;
        EXPECT_TRUE(Exists(tree.Path("a.tmp"))) << args;
    }
    ::CloseHandle(open);
    ::SetFileAttributesW(ExtendedPath(tree.Path("readonly.csv")).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(10u, ReadAll(tree.Path("open.csv")).size()) << "left as it was";
    EXPECT_FALSE(Exists(tree.Path("open.csv.part")));
}

// What counts as junk is the user's to say: names as Windows matches them, types of their own,
// folders kept out, files too new to list, and the temp folders, whatever the names in them.
TEST(Cli, RulesOfTheUsersOwn)
{
    CScanTree tree("clirules");
    auto file = [&](const std::string& rel, int daysOld) {
        tree.File(rel, 100);
        FILETIME ft;
        ::GetSystemTimeAsFileTime(&ft);
        const uint64_t t = ((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) - daysOld * 864000000000ull;
        ft = FILETIME{static_cast<DWORD>(t), static_cast<DWORD>(t >> 32)};
        HANDLE h = ::CreateFileW(ExtendedPath(tree.Path(rel)).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ::SetFileTime(h, nullptr, nullptr, &ft);
        ::CloseHandle(h);
    };
    file("A.TMP", 10);
    file("c.Old", 10);
    file("x.log", 2);
    file("old.LOG", 30);
    file("~$doc.docx", 10);
    file("Thumbs.db", 10);
    file("keep.txt", 10);
    file("build\\z.tmp", 10);
    file("build\\deeper\\y.log", 30);
    file("user\\Temp\\setup.dat", 2);
    file("user\\Temp\\fresh.dat", 0);
    file("sys\\Temp\\old.bin", 3);
    CCli cli;
    const std::string scan = "/scan \"" + std::string(tree.Path()) + "\" /quiet /utf8 /report \"" + std::string(tree.Path("r.csv")) + "\"";
    auto listed = [&] {
        std::vector<std::string> names;
        const std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(tree.Path("r.csv")));
        for (size_t i = 1; i < rows.size(); ++i)
            names.push_back(rows[i][0].substr(tree.Path().GetLength() + 1) + "|" + rows[i][3]);
        std::sort(names.begin(), names.end());
        return names;
    };

    // The six, whatever the case.
    CliResult r = cli.Run(scan);
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ((std::vector<std::string>{"A.TMP|*.tmp", "build\\z.tmp|*.tmp", "c.Old|*.old"}), listed());

    // Types of the user's own, a folder kept out, only what is a week old: the summary says
    // what the age kept out, and the tally what each type found.
    r = cli.Run(scan + " /types log,~$*,thumbs.db,tmp /exclude \"" + std::string(tree.Path("build")) + "\" /olderthan 7");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ((std::vector<std::string>{"A.TMP|*.tmp", "Thumbs.db|thumbs.db", "old.LOG|*.log", "~$doc.docx|~$*"}), listed());
    EXPECT_NE(std::string::npos, r.out.find("另有 1 个文件未满 7 天，未列出。")) << r.out;
    EXPECT_NE(std::string::npos, r.out.find("*.log")) << r.out;

    // The temp folders alone: what is a day old in the user's and the system's, nothing newer;
    // and where they lie outside the folder scanned, nothing of them.
    // The user's is the program's TEMP, the system's the machine's (in the test prefix).
    wchar_t was[2][MAX_PATH] = {};
    bool had[2] = {};
    const wchar_t* names[2] = {L"TEMP", L"TMP"};
    for (int i = 0; i < 2; ++i)
        had[i] = ::GetEnvironmentVariableW(names[i], was[i], MAX_PATH) > 0;
    ::SetEnvironmentVariableW(L"TEMP", AfxToWide(tree.Path("user\\Temp")).c_str());
    ::SetEnvironmentVariableW(L"TMP", AfxToWide(tree.Path("user\\Temp")).c_str());
    const wchar_t kEnvironment[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    wchar_t machineTemp[MAX_PATH] = {};
    DWORD bytes = sizeof(machineTemp);
    const bool hadTemp = ::RegGetValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"TEMP", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                                        nullptr, machineTemp, &bytes) == ERROR_SUCCESS;
    const std::wstring sysTemp = AfxToWide(tree.Path("sys\\Temp"));
    ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"TEMP", REG_EXPAND_SZ, sysTemp.c_str(),
                      static_cast<DWORD>((sysTemp.size() + 1) * sizeof(wchar_t)));
    r = cli.Run(scan + " /types none /places temp");
    CliResult inner = cli.Run("/scan \"" + std::string(tree.Path("build")) + "\" /types none /places temp /quiet /utf8");
    for (int i = 0; i < 2; ++i)
        ::SetEnvironmentVariableW(names[i], had[i] ? was[i] : nullptr);
    if (hadTemp)
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"TEMP", REG_EXPAND_SZ, machineTemp,
                          static_cast<DWORD>((lstrlenW(machineTemp) + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"TEMP");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ((std::vector<std::string>{"sys\\Temp\\old.bin|临时文件夹", "user\\Temp\\setup.dat|临时文件夹"}), listed());
    EXPECT_EQ(0, inner.code) << inner.err;
    EXPECT_EQ(0u, inner.out.find("扫描已完成！本次共扫描出 0 个垃圾文件")) << inner.out;
    r = cli.Run(scan + " /types none /places temp");
    EXPECT_EQ((std::vector<std::string>{}), listed()) << "the prefix's own temp folders are on C:, outside the tree: " << r.out << r.err;

    // The rules the window saved: a ticked pattern of the user's, one not ticked, a folder.
    const wchar_t kKey[] = L"Software\\Kelvaro";
    const std::wstring patterns = std::wstring(L"1~$*") + L'\0' + L"0thumbs.db" + L'\0' + L'\0';
    const std::wstring folders = AfxToWide(tree.Path("build")) + L'\0' + L'\0';
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Patterns", REG_MULTI_SZ, patterns.c_str(), static_cast<DWORD>(patterns.size() * 2));
    ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"ExcludedFolders", REG_MULTI_SZ, folders.c_str(), static_cast<DWORD>(folders.size() * 2));
    r = cli.Run(scan + " /saved");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Patterns");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"ExcludedFolders");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ((std::vector<std::string>{"A.TMP|*.tmp", "c.Old|*.old", "~$doc.docx|~$*"}), listed());
    EXPECT_TRUE(Exists(tree.Path("user\\Temp\\fresh.dat")));
}

// What the installer asks of the program: its folder into the system's PATH and out again, a
// PATH of 1,500 characters that no string of the installer's own could hold, every other entry
// as it was (one named like ours but longer among them).
TEST(Cli, TheInstallersPathEditKeepsEveryOtherEntry)
{
    const wchar_t kEnvironment[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    auto read = [&]() {
        wchar_t value[8192] = {};
        DWORD bytes = sizeof(value), type = 0;
        ::RegGetValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"Path", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type,
                       value, &bytes);
        return std::make_pair(std::wstring(value), type);
    };
    auto write = [&](const std::wstring& value, DWORD type) {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kEnvironment, L"Path", type, value.c_str(),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    const auto before = read();
    std::wstring path = before.first + L";C:\\Program Files\\Kelvaro Tools;%USERPROFILE%\\bin";
    while (path.size() < 1500)
        path += L";C:\\Tools\\t" + std::to_wstring(path.size());
    write(path, REG_EXPAND_SZ);
    CCli cli;
    EXPECT_EQ(0, cli.Run("/addpath \"C:\\Program Files\\Kelvaro\"").code);
    EXPECT_EQ(path + L";C:\\Program Files\\Kelvaro", read().first);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), read().second) << "%USERPROFILE% stays for the system to expand";
    EXPECT_EQ(0, cli.Run("/addpath \"C:\\Program Files\\Kelvaro\\\"").code);
    EXPECT_EQ(path + L";C:\\Program Files\\Kelvaro", read().first) << "once only";
    EXPECT_EQ(0, cli.Run("/removepath \"C:\\Program Files\\Kelvaro\"").code);
    EXPECT_EQ(path, read().first) << "exactly as it was";
    write(before.first, before.second);
}

// The report's name was free before the scan, and is taken by a spreadsheet while the files
// are deleted: the whole report stays under its temporary name, and the exit code says so.
TEST(Cli, AReportThatCannotBePutInPlaceAfterADeletionIsKept)
{
    CScanTree tree("clikept");
    tree.File("a.tmp", 10);
    tree.File("b.old", 10);
    const CString report = tree.Path("report.csv");
    WriteAll(report, "yesterday");
    CCli cli;
    CHeldRun held("delete", 1);
    HANDLE open = INVALID_HANDLE_VALUE;
    const CliResult r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /delete /quiet /utf8 /report \"" + std::string(report) + "\"",
                                [&](DWORD) {
                                    ASSERT_TRUE(held.WaitHeld());
                                    open = ::CreateFileW(ExtendedPath(report).c_str(), GENERIC_READ,
                                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
                                    held.Open();
                                });
    ASSERT_NE(INVALID_HANDLE_VALUE, open);
    ::CloseHandle(open);
    EXPECT_EQ(4, r.code) << r.out << r.err;
    EXPECT_EQ(SummaryText(2, "1KB") + "\r\n  *.tmp        1 个，10字节\r\n  *.old        1 个，10字节\r\n已删除 2 个文件。\r\n", r.out);
    EXPECT_NE(std::string::npos, r.err.find(std::string(report) + ".part")) << r.err;
    EXPECT_EQ("yesterday", ReadAll(report));
    const std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(std::string(report + ".part").c_str()));
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("已删除", rows[1][2]);
    EXPECT_EQ("已删除", rows[2][2]);
    EXPECT_FALSE(Exists(tree.Path("a.tmp")));
}

// Makes the console this process is attached to width cells wide and empties it.
bool SetConsoleWidth(SHORT width)
{
    HANDLE h = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    if (h == INVALID_HANDLE_VALUE || !::GetConsoleScreenBufferInfo(h, &info))
        return false;
    const SMALL_RECT window = {0, 0, static_cast<SHORT>(width - 1), static_cast<SHORT>(info.srWindow.Bottom - info.srWindow.Top)};
    ::SetConsoleWindowInfo(h, TRUE, &window);  // the window first: it may not be wider than the buffer
    ::SetConsoleScreenBufferSize(h, COORD{width, info.dwSize.Y});
    ::SetConsoleWindowInfo(h, TRUE, &window);
    DWORD done = 0;
    ::FillConsoleOutputCharacterW(h, L' ', static_cast<DWORD>(width) * info.dwSize.Y, COORD{0, 0}, &done);
    ::SetConsoleCursorPosition(h, COORD{0, 0});
    const bool ok = ::GetConsoleScreenBufferInfo(h, &info) && info.srWindow.Right - info.srWindow.Left + 1 == width;
    ::CloseHandle(h);
    return ok;
}

// Run from a prompt, the program shows its progress on the console, a line rewritten in place
// that never wraps, Chinese names or not, whatever the window's width; the report and the
// deletion still cover every file found, those found while the progress was shown too.
TEST(Cli, OnItsConsoleTheReportAndTheDeletionCoverEverythingFound)
{
    for (SHORT width : {80, 40}) {
        CScanTree tree("cliconsole" + std::to_string(width));
        tree.HostShell("for d in $(seq 20); do mkdir 中文目录$d && (cd 中文目录$d && touch $(seq -f 文件%g.tmp 100) $(seq -f k%g.txt 20)); done");
        const CString report = tree.Path("report.csv");
        CCli cli;
        CHeldRun held("scan", 1000);
        const CliResult r = cli.Run(
            "/scan \"" + std::string(tree.Path()) + "\" /delete /report \"" + std::string(report) + "\"",
            [&](DWORD) {
                ASSERT_TRUE(held.WaitHeld());
                ASSERT_TRUE(SetConsoleWidth(width));
                // Files have been found, and the console shows the progress on its one line.
                EXPECT_TRUE(WaitFor([] { return ConsoleScreen().find("已检查") != std::string::npos; }));
                const std::string screen = ConsoleScreen();
                EXPECT_EQ(1, std::count(screen.begin(), screen.end(), '\n')) << screen;
                // Windows gives a Chinese character two cells (Wine's console one, so it shows no
                // wrap of its own): the line fits in the width all the same.
                int cells = 0;
                for (wchar_t ch : Wide(screen.substr(0, screen.find('\n'))))
                    cells += ch >= 0x2E80 && ch <= 0xFFEF ? 2 : 1;
                EXPECT_LT(cells, width) << screen;
                held.Open();
            },
            CCli::Streams::Console);
        EXPECT_EQ(0, r.code) << r.out;
        EXPECT_EQ(std::string::npos, r.out.find("已检查")) << "a progress line left behind:\n" << r.out;
        EXPECT_NE(std::string::npos, r.out.find("已删除 2000 个文件。")) << r.out;
        const std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(report));
        ASSERT_EQ(2001u, rows.size());
        for (size_t i = 1; i < rows.size(); ++i)
            EXPECT_EQ("已删除", rows[i][2]) << rows[i][0];
        for (int d = 1; d <= 20; ++d)
            EXPECT_FALSE(Exists(tree.Path("中文目录" + std::to_string(d) + "\\文件100.tmp")));
        EXPECT_TRUE(Exists(tree.Path("中文目录20\\k20.txt")));
    }
}

// Ctrl+C in the program's console stops the run: during the walk and during the deletion,
// the report tells exactly what happened. Each run is held at a gate until Ctrl+C has been
// pressed, so that it comes in the middle of the work. (The 64-bit build alone: under Wine's
// 32-bit loader the event reaches this test program too, which it ends whatever handler is
// installed.)
#ifdef _WIN64
TEST(Cli, CtrlCLeavesATrueReport)
{
    CScanTree tree("clistop");
    tree.HostShell("for d in $(seq 10); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 1000)); done");
    const CString report = tree.Path("report.csv");
    CCli cli;
    auto ctrlCWhenHeld = [](CHeldRun& held) {
        return [&held](DWORD pid) {
            ASSERT_TRUE(held.WaitHeld());
            EXPECT_EQ(0, RunProgram(SEND_CTRL_C, std::to_string(pid))) << "Ctrl+C was not sent";
        };
    };
    CliResult r;
    {
        // Mid-walk: after 2,000 files.
        CHeldRun held("scan", 2000);
        r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /report \"" + std::string(report) + "\"", ctrlCWhenHeld(held));
    }
    EXPECT_EQ(3, r.code) << r.out << r.err;
    std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(report));
    ASSERT_GE(rows.size(), 2001u) << "every file found is in the report";
    EXPECT_LE(rows.size(), 2011u) << "the walk went on after Ctrl+C";
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ("已找到", rows[i][2]);
    EXPECT_FALSE(Exists(tree.Path("report.csv.part")));

    {
        // Mid-deletion: after 3,000 files.
        CHeldRun held("delete", 3000);
        r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /delete /report \"" + std::string(report) + "\" /quiet",
                    ctrlCWhenHeld(held));
    }
    EXPECT_EQ(3, r.code) << r.out << r.err;
    rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(10001u, rows.size()) << "every file found is in the report";
    size_t deleted = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool gone = rows[i][2] == "已删除";
        EXPECT_TRUE(gone || rows[i][2] == "未删除：已中止") << rows[i][2];
        EXPECT_NE(gone, Exists(rows[i][0].c_str())) << rows[i][0];
        deleted += gone;
    }
    EXPECT_GE(deleted, 3000u);
    EXPECT_LE(deleted, 3010u) << "the deletion went on after Ctrl+C";
}
#endif

}  // namespace
