// The command-line Kelvaro: the scan engine with no window, for scripts and the Task
// Scheduler. A console program, so that cmd.exe and PowerShell wait for it, pipe its output
// and see its exit code (0 done, 1 some files not deleted, 2 bad usage or root, 3 stopped,
// 4 the report is not where it was asked for; 2 only ever before anything was deleted).
#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "../scan/CleaningRules.h"
#include "../scan/CommandLine.h"
#include "../scan/ConsoleLine.h"
#include "../scan/FileSystem.h"
#include "../scan/PathVariable.h"
#include "../scan/Report.h"
#include "../scan/RootPath.h"
#include "../scan/RunController.h"
#include "../scan/TempFolders.h"
#include "../scan/ScanSummary.h"

#include <shellapi.h>

namespace {

enum ExitCode { kDone = 0, kSomeKept = 1, kBadUsage = 2, kStopped = 3, kReportNotInPlace = 4 };

// Text to one of the standard streams: UTF-16 to a console, whatever its code page. Sent
// elsewhere (a file, a pipe) it is read by whatever started the program, which reads it in the
// console's output code page (PowerShell 5.1 and cmd.exe do): in that code page, a character
// it lacks as "?", unless /utf8 asks for UTF-8. (The report keeps every name exactly.)
class COutStream {
public:
    COutStream(DWORD nStd, bool bUtf8) : m_h(::GetStdHandle(nStd))
    {
        DWORD mode = 0;
        m_bConsole = m_h && m_h != INVALID_HANDLE_VALUE && ::GetConsoleMode(m_h, &mode);
        const UINT console = ::GetConsoleOutputCP();
        m_nCodePage = bUtf8 ? CP_UTF8 : console ? console : ::GetOEMCP();
    }
    bool IsConsole() const { return m_bConsole; }
    void Write(const CString& text) const
    {
        if (text.IsEmpty() || !m_h || m_h == INVALID_HANDLE_VALUE)
            return;
        DWORD done = 0;
        if (!m_bConsole && m_nCodePage == CP_UTF8) {
            ::WriteFile(m_h, text.GetString(), static_cast<DWORD>(text.GetLength()), &done, nullptr);
            return;
        }
        const std::wstring wide = AfxToWide(text);
        if (m_bConsole) {
            ::WriteConsoleW(m_h, wide.c_str(), static_cast<DWORD>(wide.size()), &done, nullptr);
            return;
        }
        const int n = ::WideCharToMultiByte(m_nCodePage, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
        std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            ::WideCharToMultiByte(m_nCodePage, 0, wide.c_str(), static_cast<int>(wide.size()), &bytes[0], n, "?", nullptr);
        ::WriteFile(m_h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    }
    // The console window's width, in cells (not its buffer's, which may be wider).
    int Width() const
    {
        CONSOLE_SCREEN_BUFFER_INFO info;
        if (!m_bConsole || !::GetConsoleScreenBufferInfo(m_h, &info))
            return 80;
        return info.srWindow.Right - info.srWindow.Left + 1;
    }

private:
    HANDLE m_h;
    bool m_bConsole = false;
    UINT m_nCodePage = CP_UTF8;
};

class CEndEvents : public IScanEvents {
public:
    ~CEndEvents() { ::CloseHandle(hEnded); }
    HANDLE hEnded = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    void OnRunNews(unsigned) override {}
    void OnRunEnded(unsigned) override { ::SetEvent(hEnded); }
};

// Ctrl+C, Ctrl+Break, the console closed: the run stops, the report is still written. For a
// closing console the system ends the process once the handler returns, so it waits for that.
std::atomic<bool> g_bStopped{false};
// The engine of the run; the handler stops it under the lock, so the run cannot end and
// take the engine away while it does.
std::mutex g_engineLock;
CScanEngine* g_pEngine = nullptr;
HANDLE g_hFinished = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type)
{
    g_bStopped = true;
    {
        std::lock_guard<std::mutex> lock(g_engineLock);
        if (g_pEngine)
            g_pEngine->Stop();
    }
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT)
        ::WaitForSingleObject(g_hFinished, 4000);
    return TRUE;
}

// Waits for run nRun to end, taking its news into the model ten times a second; meanwhile,
// with bShow, a progress line on the error stream rewritten in place.
void WaitForRun(CRunController& runs, CEndEvents& events, unsigned nRun, const COutStream& err, bool bShow)
{
    CString shownPath;
    while (nRun != 0 && ::WaitForSingleObject(events.hEnded, 100) == WAIT_TIMEOUT) {
        const CRunController::News news = runs.TakeNews(nRun);
        if (!bShow)
            continue;
        if (news.hasPath)
            shownPath = news.path;
        const CScanTotals totals = runs.Engine().Totals();
        CString line;
        line.Format("已检查 %llu 个文件，找到 %d 个垃圾文件：%s", static_cast<unsigned long long>(totals.files),
                    static_cast<int>(runs.Files().Count()), static_cast<const char*>(shownPath));
        // One console line: fitted to the window's width in cells, short of its last one,
        // so that it never wraps.
        const std::wstring fitted = FitToCells(AfxToWide(line), std::max(1, err.Width() - 1));
        err.Write("\r" + AfxFromWide(fitted.c_str(), static_cast<int>(fitted.size())) + "\r");
    }
    if (bShow) {
        const std::wstring blank = FitToCells(L"", std::max(1, err.Width() - 1));
        err.Write("\r" + AfxFromWide(blank.c_str(), static_cast<int>(blank.size())) + "\r");
    }
    runs.RunEnded(nRun);
}

int Run(const CCommandLine& cmd, const COutStream& out, const COutStream& err)
{
    CString root;
    const CString normalized = NormalizeRootText(cmd.root);
    if (normalized.IsEmpty() || !OpenScanRoot(normalized, &root)) {
        err.Write(BadRootText(cmd.root) + "\r\n");
        return kBadUsage;
    }
    // The report's name as Windows reads a typed name (trailing dots and blanks dropped), then
    // asked before anything is deleted: its temporary name and its final one.
    const CString report = cmd.report.IsEmpty() ? CString() : TypedPath(cmd.report);
    if (!cmd.report.IsEmpty() && (report.IsEmpty() || !CanPutReportAt(report))) {
        err.Write("无法写入报告文件 " + cmd.report + "。\r\n");
        return kBadUsage;
    }

    // With /saved, the window's rules besides the switches: its ticked patterns, its folders, its
    // age unless one is given, its temp folders.
    std::vector<CString> patterns = cmd.patterns;
    std::vector<CString> typedExcluded = cmd.excluded;
    int olderThanDays = cmd.olderThanDays;
    bool tempFolders = cmd.bTempFolders;
    if (cmd.bSaved) {
        const CCleaningRules saved = LoadCleaningRules();
        for (const CCleaningRules::Pattern& p : saved.patterns) {
            if (p.ticked && std::find(patterns.begin(), patterns.end(), p.text) == patterns.end())
                patterns.push_back(p.text);
        }
        for (const CString& folder : saved.excluded) {
            CString canonical;
            if (OpenScanRoot(folder, &canonical))
                typedExcluded.push_back(canonical);
        }
        if (olderThanDays == 0)
            olderThanDays = saved.olderThanDays;
        tempFolders = tempFolders || (saved.tempFolders && saved.tempTicked);
    }
    if (patterns.empty() && !tempFolders) {
        err.Write("没有要查找的文件类型。\r\n");
        return kBadUsage;
    }
    // The folders kept out must be folders there are: a typing error would keep nothing out.
    CScanOptions options;
    for (const CString& typed : typedExcluded) {
        CString folder;
        const CString full = TypedPath(typed);
        if (full.IsEmpty() || !OpenScanRoot(full, &folder)) {
            err.Write("要排除的文件夹不存在或无法打开：" + typed + "\r\n");
            return kBadUsage;
        }
        options.excluded.push_back(folder);
    }
    options.olderThanDays = olderThanDays;
    if (tempFolders) {
        std::vector<CString> refused;
        options.places = TempFoldersWithin(root, &refused);
        for (const CString& folder : refused)
            err.Write("临时文件夹设为 " + folder + "，它不像临时文件夹（名称不是 Temp 或 Tmp），已跳过。\r\n");
    }

    CEndEvents events;
    CRunController runs(&events);
    {
        std::lock_guard<std::mutex> lock(g_engineLock);
        g_pEngine = &runs.Engine();
    }
    const bool bShow = !cmd.bQuiet && err.IsConsole();
    runs.StartScan(root, patterns, nullptr, options);
    if (g_bStopped)
        runs.Engine().Stop();
    WaitForRun(runs, events, runs.ScanRun(), err, bShow);
    out.Write(runs.WalkSummary() + "\r\n");
    // What each type found, when more than one found something.
    std::vector<CRunController::RuleTally> tally = runs.TallyByRule();
    tally.erase(std::remove_if(tally.begin(), tally.end(), [](const CRunController::RuleTally& t) { return t.count == 0; }), tally.end());
    if (tally.size() > 1) {
        for (const CRunController::RuleTally& t : tally) {
            // The types in a column of 12 cells (a Chinese character takes two).
            std::wstring name = AfxToWide(t.text);
            int cells = 0;
            for (wchar_t ch : name)
                cells += ConsoleCells(ch);
            if (cells < 12)
                name += std::wstring(static_cast<size_t>(12 - cells), L' ');
            CString line;
            line.Format(" %d 个，%s\r\n", t.count, FileSizeText(t.bytes, false).GetString());
            out.Write("  " + AfxFromWide(name) + line);
        }
    }

    bool bKept = false;
    const bool bDeleting = cmd.bDelete && !g_bStopped && runs.Files().Count() > 0;
    if (bDeleting && runs.StartDelete(true, cmd.bRecycle ? DeleteMode::ToRecycleBin : DeleteMode::ForGood)) {
        if (g_bStopped)
            runs.Engine().Stop();
        WaitForRun(runs, events, runs.DeleteRun(), err, false);
        bKept = runs.LastTally().Kept() > 0;
        out.Write(DeleteCountText(runs.LastTally(), cmd.bRecycle) + "\r\n");
    }
    {
        std::lock_guard<std::mutex> lock(g_engineLock);
        g_pEngine = nullptr;
    }
    runs.Engine().Shutdown(10000);

    // The final name may still refuse the report (another program opened it meanwhile): the
    // complete report then stays under its temporary name, and the exit code says so.
    bool bReportMissing = false;
    if (!report.IsEmpty()) {
        CString keptAt;
        switch (WriteFileAtomically(report, ReportCsv(runs.Files(), bDeleting, [&runs](uint16_t rule) { return runs.RuleText(rule); }, cmd.bRecycle), true, &keptAt)) {
        case WriteResult::Written:
            break;
        case WriteResult::KeptAsTemporary:
            err.Write("无法替换报告文件 " + report + "，完整的报告保存在 " + keptAt + "。\r\n");
            bReportMissing = true;
            break;
        case WriteResult::Failed:
            err.Write("无法写入报告文件 " + report + "。\r\n");
            bReportMissing = true;
            break;
        }
    }
    if (g_bStopped)
        err.Write("已被用户中止。\r\n");
    if (bReportMissing)
        return kReportNotInPlace;
    if (g_bStopped)
        return kStopped;
    return bKept ? kSomeKept : kDone;
}

// The installer's request: folder into or out of the system's PATH, which keeps its type
// (REG_EXPAND_SZ: the %SystemRoot% in it stay unexpanded) and every other entry, at any length.
int EditSystemPath(bool bAdd, const CString& folder, const COutStream& err)
{
    const wchar_t kEnvironment[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kEnvironment, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        err.Write("无法修改系统的 PATH（需要管理员权限）。\r\n");
        return kBadUsage;
    }
    DWORD type = REG_EXPAND_SZ, bytes = 0;
    std::wstring path;
    if (::RegQueryValueExW(key, L"Path", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS && bytes > 0) {
        path.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        ::RegQueryValueExW(key, L"Path", nullptr, &type, reinterpret_cast<BYTE*>(&path[0]), &bytes);
        path.resize(bytes / sizeof(wchar_t));
        while (!path.empty() && path.back() == L'\0')
            path.pop_back();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        type = REG_EXPAND_SZ;
    const std::wstring wanted = bAdd ? PathWithFolder(path, AfxToWide(folder)) : PathWithoutFolder(path, AfxToWide(folder));
    LONG result = ERROR_SUCCESS;
    if (wanted != path)
        result = ::RegSetValueExW(key, L"Path", 0, type, reinterpret_cast<const BYTE*>(wanted.c_str()),
                                  static_cast<DWORD>((wanted.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        err.Write("无法修改系统的 PATH（需要管理员权限）。\r\n");
        return kBadUsage;
    }
    // Programs started from now on (a new command prompt) see the change.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                          SMTO_ABORTIFHUNG, 5000, &answer);
    return kDone;
}

}  // namespace

int main()
{
    g_hFinished = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // A drive with no medium answers with an error, never with the system's "no disk" box,
    // which nobody would answer in a scheduled run.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Ctrl+C may come disabled from whoever started us (a new process group has it off).
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    // The switches' text first: /utf8 says how the output is written, whatever else it says.
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<CString> args;
    bool exact = true, utf8 = false;
    for (int i = 1; argv && i < argc; ++i) {
        bool one = false;
        args.push_back(AfxFromWide(argv[i], lstrlenW(argv[i]), &one));
        exact = exact && one;
        utf8 = utf8 || IsUtf8Switch(args.back());
    }
    ::LocalFree(argv);
    const COutStream out(STD_OUTPUT_HANDLE, utf8);
    const COutStream err(STD_ERROR_HANDLE, utf8);
    if (!exact) {
        err.Write("参数中有本程序无法表示的字符。\r\n");
        return kBadUsage;
    }

    const CCommandLine cmd = ParseCommandLine(args);
    int code = kBadUsage;
    switch (cmd.action) {
    case CCommandLine::Action::Help:
        out.Write(UsageText());
        code = kDone;
        break;
    case CCommandLine::Action::Bad:
        err.Write(cmd.error + "\r\n\r\n" + UsageText());
        code = kBadUsage;
        break;
    case CCommandLine::Action::Scan:
        code = Run(cmd, out, err);
        break;
    case CCommandLine::Action::AddToPath:
    case CCommandLine::Action::RemoveFromPath:
        code = EditSystemPath(cmd.action == CCommandLine::Action::AddToPath, cmd.pathFolder, err);
        break;
    }
    ::SetEvent(g_hFinished);
    return code;
}
