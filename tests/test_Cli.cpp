// KelvaroCli.exe run as a script runs it: its output read through a pipe, its exit code, its
// report parsed back, the files on disk.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>

#include <algorithm>
#include <string>
#include <functional>
#include <thread>
#include <vector>

#include "ModalDialog.h"
#include "ScanTree.h"
#include "TestText.h"
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

class CCli {
public:
    // Runs KelvaroCli.exe with args (UTF-8) to its end; whileRunning runs meanwhile.
    CliResult Run(const std::string& args, const std::function<void(DWORD)>& whileRunning = nullptr)
    {
        std::string exe = KELVARO_CLI;
        std::replace(exe.begin(), exe.end(), '/', '\\');
        const std::wstring path = L"\\\\?\\unix" + Wide(exe);
        std::wstring cmd = L"KelvaroCli.exe " + Wide(args);
        CPipeReader out, err;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = nullptr;
        si.hStdOutput = out.WriteEnd();
        si.hStdError = err.WriteEnd();
        PROCESS_INFORMATION pi = {};
        CliResult result;
        // A console of its own, as a cmd.exe window or a scheduled task gives it: the test can
        // press Ctrl+C there.
        if (!::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, L"C:\\", &si, &pi)) {
            ADD_FAILURE() << "KelvaroCli.exe did not start";
            out.Start();
            err.Start();
            return result;
        }
        out.Start();
        err.Start();
        m_pid = pi.dwProcessId;
        if (whileRunning)
            whileRunning(pi.dwProcessId);
        if (::WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            ::GetExitCodeProcess(pi.hProcess, &code);
            result.code = static_cast<long>(code);
        } else {
            ::TerminateProcess(pi.hProcess, 99);
        }
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        result.out = out.Text();
        result.err = err.Text();
        return result;
    }
    DWORD LastPid() const { return m_pid; }

private:
    std::atomic<DWORD> m_pid{0};
};

// Runs a program of the build by its Unix path and returns its exit code.
long RunProgram(const std::string& unixPath, const std::string& args)
{
    std::string exe = unixPath;
    std::replace(exe.begin(), exe.end(), '/', '\\');
    const std::wstring path = L"\\\\?\\unix" + Wide(exe);
    std::wstring cmd = L"program " + Wide(args);
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, L"C:\\", &si, &pi))
        return -1;
    DWORD code = 1;
    if (::WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<long>(code);
}

// How many threads process pid has now.
int ThreadsOf(DWORD pid)
{
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te))
        n += te.th32OwnerProcessID == pid;
    ::CloseHandle(snap);
    return n;
}

bool Exists(const CString& path)
{
    return ::GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadAll(const CString& path)
{
    HANDLE h = ::CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<none>";
    std::string data;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got)
        data.append(buf, got);
    ::CloseHandle(h);
    return data;
}

// The report's rows, parsed as CSV (quoted fields, doubled quotes), header first.
std::vector<std::vector<std::string>> ParseCsv(const std::string& utf8WithBom)
{
    std::vector<std::vector<std::string>> rows;
    if (utf8WithBom.compare(0, 3, "\xEF\xBB\xBF") != 0)
        return rows;
    const std::string text = utf8WithBom.substr(3);
    std::vector<std::string> row;
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (ch == '"')
                quoted = false;
            else
                field += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            row.push_back(field), field.clear();
        } else if (ch == '\n') {
            row.push_back(field), field.clear();
            rows.push_back(row), row.clear();
        } else if (ch != '\r') {
            field += ch;
        }
    }
    return rows;
}

TEST(Cli, ScanReportAndDeleteAsAScriptWould)
{
    CScanTree tree("cli");
    const std::vector<std::string> junk = {"a.tmp", "with,comma\\b.old", "it's 'quoted'\\c.gid", "有 空格\\临时.tmp"};
    for (const std::string& f : junk)
        tree.File(f, 1500);
    tree.File("keep.txt", 10);
    tree.File("ro.syd", 10, FILE_ATTRIBUTE_READONLY);
    CCli cli;

    // Found only: the window's sentence, a report of every junk file, nothing deleted.
    const CString report = tree.Path("report.csv");
    CliResult r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /report \"" + std::string(report) + "\" /quiet");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(SummaryText(5, "6KB") + "\r\n", r.out);
    std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(6u, rows.size());
    EXPECT_EQ((std::vector<std::string>{"路径", "大小（字节）", "结果"}), rows[0]);
    std::vector<std::string> listed;
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(3u, rows[i].size());
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
    r = cli.Run("-SCAN \"" + std::string(tree.Path()) + "\" -types tmp,syd -delete -report \"" + std::string(report) + "\"");
    EXPECT_EQ(1, r.code) << "a file could not be deleted";
    EXPECT_EQ(SummaryText(3, "3KB") + "\r\n已删除 2 个文件。1 个文件未能删除（只读）。\r\n", r.out);
    rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(4u, rows.size());
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
    CliResult r = cli.Run("/?");
    EXPECT_EQ(0, r.code);
    EXPECT_NE(std::string::npos, r.out.find("退出代码")) << "the usage says the exit codes";
    for (const std::string& args : {std::string(""), std::string("/scan"), std::string("/wipe"),
                                    std::string("/scan \"" + std::string(tree.Path()) + "\" /types exe"),
                                    std::string("/scan \"" + std::string(tree.Path("missing")) + "\""),
                                    std::string("/scan \"" + std::string(tree.Path("file.txt")) + "\""),
                                    std::string("/scan relative\\path"),
                                    std::string("/scan \"" + std::string(tree.Path()) + "\" /report \"" +
                                                std::string(tree.Path("no such folder\\r.csv")) + "\"")}) {
        r = cli.Run(args);
        EXPECT_EQ(2, r.code) << args;
        EXPECT_TRUE(r.out.empty()) << args << ": " << r.out;
        EXPECT_FALSE(r.err.empty()) << args;
    }
    EXPECT_TRUE(Exists(tree.Path("a.tmp")));
}

// Ctrl+C in the program's console stops the run: during the walk and during the deletion,
// the report tells exactly what happened.
TEST(Cli, CtrlCLeavesATrueReport)
{
#ifndef _WIN64
    // Under Wine's 32-bit loader the event also reaches this test program, which it ends
    // whatever handler is installed: the 64-bit build shows the behaviour.
    GTEST_SKIP() << "Ctrl+C cannot be sent to a 32-bit console program from a 32-bit test under Wine";
#endif
    CScanTree tree("clistop");
    tree.HostShell("for d in $(seq 40); do mkdir d$d && (cd d$d && touch $(seq -f f%g.tmp 1000)); done");
    const CString report = tree.Path("report.csv");
    CCli cli;
    auto ctrlCWhen = [](const std::function<bool()>& when) {
        return [when](DWORD pid) {
            WaitFor(when, 60000);
            EXPECT_EQ(0, RunProgram(SEND_CTRL_C, std::to_string(pid))) << "Ctrl+C was not sent";
        };
    };
    // Mid-walk: once the walkers have started (the program has more threads than its own).
    CliResult r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /report \"" + std::string(report) + "\"",
                          ctrlCWhen([&] { return ThreadsOf(cli.LastPid()) >= 3; }));
    EXPECT_EQ(3, r.code) << r.out << r.err;
    std::vector<std::vector<std::string>> rows = ParseCsv(ReadAll(report));
    ASSERT_GE(rows.size(), 1u) << "the report is written";
    EXPECT_LT(rows.size(), 40001u) << "the walk went on to its end";
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ("已找到", rows[i][2]);
    EXPECT_FALSE(Exists(tree.Path("report.csv.part")));

    // Mid-deletion: once the first files are gone, and before the last.
    r = cli.Run("/scan \"" + std::string(tree.Path()) + "\" /delete /report \"" + std::string(report) + "\" /quiet",
                          ctrlCWhen([&] { return !Exists(tree.Path("d1\\f1.tmp")) || !Exists(tree.Path("d40\\f1000.tmp")); }));
    EXPECT_EQ(3, r.code) << r.out << r.err;
    rows = ParseCsv(ReadAll(report));
    ASSERT_EQ(40001u, rows.size()) << "every file found is in the report";
    size_t deleted = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool gone = rows[i][2] == "已删除";
        EXPECT_TRUE(gone || rows[i][2] == "未删除：已中止") << rows[i][2];
        EXPECT_NE(gone, Exists(rows[i][0].c_str())) << rows[i][0];
        deleted += gone;
    }
    EXPECT_GT(deleted, 0u);
    EXPECT_LT(deleted, 40000u) << "the deletion went on to its end";
}

}  // namespace
