// Times the scan and the deletion against the plainest way of doing the same work on the same
// tree in the same run.
//   scan_bench.exe ROOT [ROUNDS]                       the engine alone against a plain walk
//   scan_bench.exe --program KELVARO ROOT [ROUNDS]     Kelvaro.exe: click on Scan now to the
//                                                      summary, against a plain walk
//   scan_bench.exe --program-delete KELVARO ROOT PLAIN [ROUNDS]
//                                                      Kelvaro.exe's Delete all of ROOT-r against
//                                                      a plain DeleteFileW loop over PLAIN-r,
//                                                      r = 1..ROUNDS
//   scan_bench.exe --cli KELVARO CLI ROOT [ROUNDS]     KelvaroCli.exe /scan ROOT /quiet, start to
//                                                      exit, against the window's click to summary
//   scan_bench.exe --table ROOT [ROUNDS]               the NTFS master file table of ROOT's drive
//                                                      alone: read and listed
//   scan_bench.exe --split N ROOT [ROUNDS]             the plain walk with ROOT's folders dealt
//                                                      out to N threads, and to N processes
//   scan_bench.exe --sort ROWS [ROUNDS]                the model of found files alone: ROWS rows
//                                                      sorted by size and back by path
// KELVARO is the Unix path of Kelvaro.exe.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "res/resource.h"
#include "scan/FoundFiles.h"
#include "scan/MasterFileTable.h"
#include "scan/Patterns.h"
#include "scan/ScanEngine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

std::wstring Wide(const std::string& s)
{
    return AfxToWide(CString(s.c_str()));
}

// Calls fn(fd) for each entry of dir but . and .., as FindFirstFileExW gives them at the basic
// information level with large fetches.
template <class Fn>
void ForEachEntry(const std::wstring& dir, Fn fn)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileExW((dir + L"\\*").c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                  FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
            fn(fd);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

// The floor: one thread, and nothing but the listing. With paths, it also collects every
// file's path.
long long PlainWalk(const std::wstring& dir, std::vector<std::wstring>* paths = nullptr)
{
    long long files = 0;
    ForEachEntry(dir, [&](const WIN32_FIND_DATAW& fd) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            files += PlainWalk(dir + L"\\" + fd.cFileName, paths);
        } else {
            ++files;
            if (paths)
                paths->push_back(dir + L"\\" + fd.cFileName);
        }
    });
    return files;
}

// The folders directly in root.
std::vector<std::wstring> TopFolders(const std::wstring& root)
{
    std::vector<std::wstring> tops;
    ForEachEntry(root, [&](const WIN32_FIND_DATAW& fd) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            tops.push_back(root + L"\\" + fd.cFileName);
    });
    return tops;
}

// The plain walk of every nth of tops from the kth on.
long long WalkShare(const std::vector<std::wstring>& tops, size_t k, size_t n)
{
    long long files = 0;
    for (size_t i = k; i < tops.size(); i += n)
        files += PlainWalk(tops[i]);
    return files;
}

// The same plain walk dealt out to n threads of one process, and to n processes: Wine lists
// a folder under a lock of the whole process, so threads of one process wait for each other
// there and processes do not. The processes' time includes their start.
int SplitBench(int n, const std::string& root, int rounds)
{
    if (n < 1) {
        std::fprintf(stderr, "scan_bench --split: N is a number of walkers, 1 or more\n");
        return 2;
    }
    const std::wstring wroot = Wide(root);
    wchar_t name[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, name, MAX_PATH);
    // Started by its Unix path, this program is named "unix\..." without the \\?\ before it.
    const std::wstring self = (std::wcsncmp(name, L"unix\\", 5) == 0 ? L"\\\\?\\" : L"") + std::wstring(name);
    double bestFloor = 1e9, bestThreads = 1e9, bestProcesses = 1e9;
    long long files = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        files = PlainWalk(wroot);
        bestFloor = std::min(bestFloor, Since(t0));

        t0 = Clock::now();
        {
            const std::vector<std::wstring> tops = TopFolders(wroot);
            std::vector<std::thread> threads;
            for (int k = 0; k < n; ++k)
                threads.emplace_back([&tops, k, n] { WalkShare(tops, static_cast<size_t>(k), static_cast<size_t>(n)); });
            for (std::thread& t : threads)
                t.join();
        }
        bestThreads = std::min(bestThreads, Since(t0));

        t0 = Clock::now();
        std::vector<PROCESS_INFORMATION> children;
        for (int k = 0; k < n; ++k) {
            std::wstring cmd = L"scan_bench.exe --split-part " + std::to_wstring(n) + L" " + std::to_wstring(k) +
                               L" \"" + wroot + L"\"";
            STARTUPINFOW si = {};
            si.cb = sizeof(si);
            PROCESS_INFORMATION pi = {};
            if (!::CreateProcessW(self.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
                break;
            children.push_back(pi);
        }
        const DWORD error = ::GetLastError();
        for (PROCESS_INFORMATION& pi : children) {
            ::WaitForSingleObject(pi.hProcess, INFINITE);
            ::CloseHandle(pi.hThread);
            ::CloseHandle(pi.hProcess);
        }
        if (children.size() != static_cast<size_t>(n)) {
            std::printf("%-24s cannot start a walking process (%ls: %lu)\n", root.c_str(), self.c_str(), error);
            return 1;
        }
        bestProcesses = std::min(bestProcesses, Since(t0));
    }
    std::printf("%-24s plain walk %.3f s (%lld files); its folders dealt to %d threads: %.3f s, ratio %.2f; "
                "to %d processes: %.3f s, ratio %.2f\n",
                root.c_str(), bestFloor, files, n, bestThreads, bestThreads / bestFloor, n, bestProcesses,
                bestProcesses / bestFloor);
    return 0;
}

// The engine alone: one whole walk.
class CWaitEnd : public IScanEvents {
public:
    ~CWaitEnd() { ::CloseHandle(hEnded); }
    HANDLE hEnded = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    void OnRunNews(unsigned) override {}
    void OnRunEnded(unsigned) override { ::SetEvent(hEnded); }
};

int EngineBench(const std::string& root, int rounds)
{
    CWaitEnd events;
    CScanEngine engine(&events);
    const std::vector<CString> patterns(kPatterns, kPatterns + kPatternCount);
    double bestFloor = 1e9, bestScan = 1e9;
    long long files = 0;
    int found = 0;
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        files = PlainWalk(Wide(root));
        bestFloor = std::min(bestFloor, Since(t0));
        t0 = Clock::now();
        const unsigned run = engine.StartScan(root.c_str(), patterns);
        ::WaitForSingleObject(events.hEnded, INFINITE);
        bestScan = std::min(bestScan, Since(t0));
        found = static_cast<int>(engine.TakeNews(run).found.size());
    }
    std::printf("%-24s engine alone (%d walkers): %.3f s, plain walk %.3f s, ratio %.2f (%lld files, %d junk)\n",
                root.c_str(), engine.ThreadCount(), bestScan, bestFloor, bestScan / bestFloor, files, found);
    return 0;
}

// The whole program, driven from here as a user drives it.
class CProgram {
public:
    explicit CProgram(const std::string& exeUnixPath)
    {
        std::string exe = exeUnixPath;
        for (char& c : exe)
            if (c == '/')
                c = '\\';
        const std::wstring path = L"\\\\?\\unix" + Wide(exe);
        std::wstring cmd = L"Kelvaro.exe";
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        if (!::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &si, &m_pi))
            return;
        for (int i = 0; i < 3000 && !m_hWnd; ++i) {
            ::Sleep(5);
            ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(this));
        }
    }
    ~CProgram()
    {
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        if (m_pi.hProcess) {
            if (::WaitForSingleObject(m_pi.hProcess, 10000) != WAIT_OBJECT_0)
                ::TerminateProcess(m_pi.hProcess, 1);
            ::CloseHandle(m_pi.hThread);
            ::CloseHandle(m_pi.hProcess);
        }
    }
    HWND Window() const { return m_hWnd; }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // The status text without asking the (possibly busy) window thread.
    std::wstring Status() const
    {
        wchar_t buf[1024] = {};
        ::InternalGetWindowText(m_hStatus, buf, 1024);
        return buf;
    }
    bool StatusStarts(const char* text) const { return Status().rfind(Wide(text), 0) == 0; }
    // Waits until the status line starts with text. Each look costs Wine's server, which the
    // program under measurement needs, one round trip (the control's handle is found once:
    // finding another process's control by its id takes a dozen) and wakes this thread on the
    // program's cores. So a look every 5 ms (every millisecond slowed the scan measurably), and
    // the figure is late by 5 ms at most.
    void WaitForStatus(const char* text) const
    {
        while (!StatusStarts(text))
            ::Sleep(5);
    }
    void Click(int id) const { ::PostMessageW(Item(id), BM_CLICK, 0, 0); }
    int Listed() const { return static_cast<int>(::SendMessageW(Item(IDC_LIST_FILES), LVM_GETITEMCOUNT, 0, 0)); }

    double PeakMB() const
    {
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof(pmc);
        ::GetProcessMemoryInfo(m_pi.hProcess, &pmc, sizeof(pmc));
        return pmc.PeakWorkingSetSize / 1048576.0;
    }
    // Scan now on root; the seconds from the click to the summary.
    double Scan(const std::string& root) const
    {
        ::SendMessageW(Item(IDC_COMBO_DRIVE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(root).c_str()));
        // The last run's summary must not count as this one's.
        ::SendMessageW(m_hStatus, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        const auto t0 = Clock::now();
        Click(IDC_BTN_SCAN_NOW);
        WaitForStatus("扫描已完成");
        return Since(t0);
    }

private:
    static BOOL CALLBACK FindMain(HWND h, LPARAM lp)
    {
        auto* self = reinterpret_cast<CProgram*>(lp);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        if (pid != self->m_pi.dwProcessId || !::IsWindowVisible(h) || !::GetDlgItem(h, IDC_LIST_TYPES))
            return TRUE;
        self->m_hWnd = h;
        self->m_hStatus = ::GetDlgItem(h, IDC_STATIC_STATUS);
        return FALSE;
    }

    PROCESS_INFORMATION m_pi = {};
    HWND m_hWnd = nullptr;
    HWND m_hStatus = nullptr;
};

// How long the window takes to answer, measured while work runs: a message every 10 ms.
class CResponsiveness {
public:
    explicit CResponsiveness(HWND hWnd)
        : m_thread([this, hWnd] {
              while (!m_stop) {
                  const auto t0 = Clock::now();
                  DWORD_PTR result = 0;
                  ::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
                  m_worst = std::max(m_worst.load(), Since(t0));
                  ::Sleep(10);
              }
          }) {}
    double Stop()
    {
        m_stop = true;
        m_thread.join();
        return m_worst;
    }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<double> m_worst{0};
    std::thread m_thread;
};

int ProgramBench(const std::string& exe, const std::string& root, int rounds)
{
    CProgram kelvaro(exe);
    if (!kelvaro.Window())
        return 1;
    double bestScan = 1e9, bestFloor = 1e9, worst = 0;
    long long files = 0;
    for (int r = 0; r < rounds; ++r) {
        {
            CResponsiveness answer(kelvaro.Window());
            bestScan = std::min(bestScan, kelvaro.Scan(root));
            worst = std::max(worst, answer.Stop());
        }
        const auto t0 = Clock::now();
        files = PlainWalk(Wide(root));
        bestFloor = std::min(bestFloor, Since(t0));
    }
    std::printf("%-24s whole program, click to summary: %.3f s (%.2f us/file), plain walk %.3f s, ratio %.2f "
                "(%lld files, %d listed, peak working set %.1f MB); longest answer during the scan %.0f ms\n",
                root.c_str(), bestScan, bestScan * 1e6 / (files ? files : 1), bestFloor, bestScan / bestFloor, files,
                kelvaro.Listed(), kelvaro.PeakMB(), worst * 1e3);
    return 0;
}

// Each round deletes trees of its own, ROOT-r and PLAIN_ROOT-r (r from 1), made identical
// beforehand: the best of Kelvaro's times against the best of the plain loop's, and the
// longest answer over all rounds.
int DeleteBench(const std::string& exe, const std::string& root, const std::string& plainRoot, int rounds)
{
    double bestDel = 1e9, bestPlain = 1e9, worst = 0;
    int listed = 0;
    size_t plainFiles = 0;
    for (int r = 1; r <= rounds; ++r) {
        const std::string suffix = "-" + std::to_string(r);
        CProgram kelvaro(exe);
        if (!kelvaro.Window())
            return 1;
        kelvaro.Scan(root + suffix);
        listed = kelvaro.Listed();
        CResponsiveness answer(kelvaro.Window());
        const auto t0 = Clock::now();
        kelvaro.Click(IDC_BTN_DELETE_ALL);
        kelvaro.WaitForStatus("清理");
        bestDel = std::min(bestDel, Since(t0));
        worst = std::max(worst, answer.Stop());

        std::vector<std::wstring> paths;
        PlainWalk(Wide(plainRoot + suffix), &paths);
        const auto p0 = Clock::now();
        for (const std::wstring& path : paths)
            ::DeleteFileW(path.c_str());
        bestPlain = std::min(bestPlain, Since(p0));
        plainFiles = paths.size();
    }
    std::printf("%-24s Delete all of %d files: %.3f s (%.0f us/file); plain DeleteFileW loop of %zu: %.3f s; "
                "ratio %.2f; longest answer %.0f ms\n",
                root.c_str(), listed, bestDel, bestDel * 1e6 / (listed ? listed : 1), plainFiles, bestPlain,
                bestDel / bestPlain, worst * 1e3);
    return 0;
}

// KelvaroCli.exe /scan root /quiet, from its start to its exit.
double CliScan(const std::string& cliUnixPath, const std::string& root)
{
    std::string exe = cliUnixPath;
    for (char& c : exe)
        if (c == '/')
            c = '\\';
    const std::wstring path = L"\\\\?\\unix" + Wide(exe);
    std::wstring cmd = L"KelvaroCli.exe /scan \"" + Wide(root) + L"\" /quiet";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    const auto t0 = Clock::now();
    if (!::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, L"C:\\", &si, &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    const double seconds = Since(t0);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return seconds;
}

int CliBench(const std::string& exe, const std::string& cli, const std::string& root, int rounds)
{
    CProgram kelvaro(exe);
    if (!kelvaro.Window())
        return 1;
    double bestWindow = 1e9, bestCli = 1e9;
    for (int r = 0; r < rounds; ++r) {
        bestWindow = std::min(bestWindow, kelvaro.Scan(root));
        bestCli = std::min(bestCli, CliScan(cli, root));
    }
    std::printf("%-24s KelvaroCli /scan, start to exit: %.3f s; the window, click to summary: %.3f s; ratio %.2f\n",
                root.c_str(), bestCli, bestWindow, bestCli / bestWindow);
    return 0;
}

}  // namespace

// The volume's master file table alone: read and listed, nothing matched.
int TableBench(const std::string& root, int rounds)
{
    double best = 1e9;
    uint64_t records = 0, listed = 0;
    for (int r = 0; r < rounds; ++r) {
        CMasterFileTable table;
        if (!table.Open(root.c_str())) {
            std::printf("%-24s no master file table can be read here\n", root.c_str());
            return 1;
        }
        CMasterFileTable::Sink sink;
        uint64_t files = 0;
        sink.file = [&files](const CString&, const CString&, uint64_t, uint64_t) { ++files; };
        const auto t0 = Clock::now();
        if (table.List(sink) != CMasterFileTable::Result::Listed)
            return 1;
        best = std::min(best, Since(t0));
        records = table.RecordCount();
        listed = files;
    }
    PROCESS_MEMORY_COUNTERS pmc = {};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof(pmc));
    std::printf("%-24s master file table alone: %.3f s for %llu records (%.0f records/s), %llu files listed, "
                "peak working set %.1f MB\n",
                root.c_str(), best, static_cast<unsigned long long>(records), records / best,
                static_cast<unsigned long long>(listed), pmc.PeakWorkingSetSize / 1048576.0);
    return 0;
}

// The model of found files alone: N rows of paths like a walk's, taken in batches in the order
// a walk gives them, then sorted by size and back by path.
int SortBench(int rows, int rounds)
{
    CFoundFiles files;
    std::mt19937_64 rng(1);
    // What the program learns of the locale's keys, once, before the first key.
    const auto tInit = Clock::now();
    FoundSortKey("B:\\x.tmp");
    const double init = Since(tInit);
    const auto t0 = Clock::now();
    for (int at = 0; at < rows;) {
        CFoundBatch batch;
        for (int i = 0; i < 25000 && at < rows; ++i, ++at) {
            char path[64];
            std::snprintf(path, sizeof(path), "B:\\junk1m\\d%04d\\junk-%07d.tmp", at / 1000, at);
            batch.Add(path, FoundSortKey(path), rng() % (1u << 24), 133000000000000000ull + rng() % 1000000000000ull);
        }
        files.Add(batch);
    }
    const double take = Since(t0);
    double best = 1e9, back = 1e9;
    for (int r = 0; r < rounds; ++r) {
        auto t1 = Clock::now();
        files.SortBy(FoundColumn::Size, r % 2 == 1);
        best = std::min(best, Since(t1));
        t1 = Clock::now();
        files.SortBy(FoundColumn::Path, false);
        back = std::min(back, Since(t1));
    }
    std::printf("model of %d rows: the locale's keys learnt in %.3f s; taken in (keys made as a walker makes them) "
                "%.3f s; sort by size %.3f s; back to the path order %.3f s; %.0f bytes a row\n",
                rows, init, take, best, back, static_cast<double>(files.MemoryBytes()) / rows);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc >= 3 && std::strcmp(argv[1], "--sort") == 0)
        return SortBench(std::atoi(argv[2]), argc > 3 ? std::atoi(argv[3]) : 3);
    if (argc >= 3 && std::strcmp(argv[1], "--table") == 0)
        return TableBench(argv[2], argc > 3 ? std::atoi(argv[3]) : 3);
    if (argc >= 5 && std::strcmp(argv[1], "--cli") == 0)
        return CliBench(argv[2], argv[3], argv[4], argc > 5 ? std::atoi(argv[5]) : 3);
    if (argc >= 4 && std::strcmp(argv[1], "--program") == 0)
        return ProgramBench(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 3);
    if (argc >= 4 && std::strcmp(argv[1], "--split") == 0)
        return SplitBench(std::atoi(argv[2]), argv[3], argc > 4 ? std::atoi(argv[4]) : 3);
    if (argc >= 5 && std::strcmp(argv[1], "--split-part") == 0) {
        if (std::atoi(argv[2]) < 1)
            return 2;
        WalkShare(TopFolders(Wide(argv[4])), static_cast<size_t>(std::atoi(argv[3])), static_cast<size_t>(std::atoi(argv[2])));
        return 0;
    }
    if (argc >= 5 && std::strcmp(argv[1], "--program-delete") == 0)
        return DeleteBench(argv[2], argv[3], argv[4], argc > 5 ? std::atoi(argv[5]) : 1);
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench ROOT [ROUNDS]\n"
                             "       scan_bench --program KELVARO ROOT [ROUNDS]\n"
                             "       scan_bench --program-delete KELVARO ROOT PLAIN_ROOT [ROUNDS]\n"
                             "       scan_bench --split N ROOT [ROUNDS]\n");
        return 2;
    }
    return EngineBench(argv[1], argc > 2 ? std::atoi(argv[2]) : 3);
}
