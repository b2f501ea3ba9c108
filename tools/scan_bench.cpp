// Times the real scan (the dialog's scan thread, the visible controls, from the start of the
// walk to the summary) against the plainest walk of the same tree in the same run.
//   scan_bench.exe ROOT [ROUNDS]
#include <chrono>
#include <cstring>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "res/resource.h"
#include "ui/CNorvaneDlg.h"

namespace {

using Clock = std::chrono::steady_clock;

// The floor: FindFirstFileA / FindNextFileA and nothing else.
long long PlainWalk(const std::string& dir)
{
    long long files = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0)
                files += PlainWalk(dir + "\\" + fd.cFileName);
        } else {
            ++files;
        }
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    return files;
}

class CBenchDlg : public CNorvaneDlg {
public:
    void OnWindowThread(const std::function<void()>& fn) { ::SendMessageA(m_hWnd, WM_APP + 100, 0, reinterpret_cast<LPARAM>(&fn)); }
    using CNorvaneDlg::StartScanRun;

protected:
    LRESULT OnRunHere(WPARAM, LPARAM lParam)
    {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBenchDlg, CNorvaneDlg)
    ON_MESSAGE(WM_APP + 100, &CBenchDlg::OnRunHere)
END_MESSAGE_MAP()

// One whole scan run; returns the seconds and the number of files listed.
double TimedScan(CBenchDlg& dlg, const std::string& root, int* listed)
{
    HANDLE thread = nullptr;
    Clock::time_point start;
    dlg.OnWindowThread([&] {
        dlg.m_comboDrive.SetWindowText(root.c_str());
        dlg.CollectCheckedFilters();
        start = Clock::now();
        dlg.StartScanRun(root.c_str());
        ::DuplicateHandle(::GetCurrentProcess(), dlg.m_hScanThread.load(), ::GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
    });
    ::WaitForSingleObject(thread, INFINITE);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::CloseHandle(thread);
    dlg.OnWindowThread([&] { *listed = dlg.m_listFiles.GetCount(); });
    return seconds;
}

std::wstring Wide(const std::string& s)
{
    std::wstring w(s.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return w;
}

// The program's status text without asking its (possibly busy) window thread.
std::wstring StatusOf(HWND hStatus)
{
    wchar_t buf[1024] = {};
    ::InternalGetWindowText(hStatus, buf, 1024);
    return buf;
}

bool StartsWith(const std::wstring& s, const char* ansiPrefix)
{
    return s.rfind(Wide(ansiPrefix), 0) == 0;
}

struct MainSearch {
    DWORD pid;
    HWND h;
};

BOOL CALLBACK FindMainStep(HWND h, LPARAM lp)
{
    auto* s = reinterpret_cast<MainSearch*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && ::IsWindowVisible(h) && ::GetDlgItem(h, IDC_LIST_TYPES)) {
        s->h = h;
        return FALSE;
    }
    return TRUE;
}

// The whole program: Kelvaro.exe started, the drive typed, Scan now clicked; the time to
// the summary, then (with --delete) the time of Delete all.
int ProgramBench(const std::string& exeUnixPath, const std::string& root, bool alsoDelete)
{
    std::string exe = exeUnixPath;
    for (char& c : exe)
        if (c == '/')
            c = '\\';
    const std::wstring path = L"\\\\?\\unix" + Wide(exe);
    std::wstring cmd = L"Kelvaro.exe";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &si, &pi))
        return 1;
    HWND hWnd = nullptr;
    for (int i = 0; i < 3000 && !hWnd; ++i) {
        ::Sleep(5);
        MainSearch s = {pi.dwProcessId, nullptr};
        ::EnumWindows(&FindMainStep, reinterpret_cast<LPARAM>(&s));
        hWnd = s.h;
    }
    if (!hWnd)
        return 1;
    HWND hStatus = ::GetDlgItem(hWnd, IDC_STATIC_STATUS);
    ::SendMessageW(::GetDlgItem(hWnd, IDC_COMBO_DRIVE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(root).c_str()));

    const auto t0 = Clock::now();
    ::PostMessageW(::GetDlgItem(hWnd, IDC_BTN_SCAN_NOW), BM_CLICK, 0, 0);
    while (!StartsWith(StatusOf(hStatus), "扫描已完成"))
        ::Sleep(2);
    const double scan = std::chrono::duration<double>(Clock::now() - t0).count();
    const auto f0 = Clock::now();
    const long long files = PlainWalk(root);
    const double floor = std::chrono::duration<double>(Clock::now() - f0).count();
    const int listed = static_cast<int>(::SendMessageW(::GetDlgItem(hWnd, IDC_LIST_FILES), LB_GETCOUNT, 0, 0));
    std::printf("%-28s whole program, click to summary: %.3f s (%lld files, %d listed); plain walk %.3f s; ratio %.2f\n",
                root.c_str(), scan, files, listed, floor, scan / floor);

    if (alsoDelete) {
        // The status line must follow the loop: count how often its text changes.
        int changes = 0;
        double longestStill = 0;
        std::wstring last = StatusOf(hStatus);
        auto lastChange = Clock::now();
        const auto d0 = Clock::now();
        ::PostMessageW(::GetDlgItem(hWnd, IDC_BTN_DELETE_ALL), BM_CLICK, 0, 0);
        for (;;) {
            const std::wstring now = StatusOf(hStatus);
            if (now != last) {
                const double still = std::chrono::duration<double>(Clock::now() - lastChange).count();
                if (changes > 0 && still > longestStill)
                    longestStill = still;
                ++changes;
                last = now;
                lastChange = Clock::now();
            }
            if (StartsWith(now, "清理完毕"))
                break;
            ::Sleep(1);
        }
        const double del = std::chrono::duration<double>(Clock::now() - d0).count();
        std::printf("%-28s Delete all of %d files: %.3f s (%.0f us/file); status text changed %d times, "
                    "longest still %.3f s\n", root.c_str(), listed, del, del * 1e6 / (listed ? listed : 1), changes, longestStill);
    }
    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && (std::strcmp(argv[1], "--program") == 0 || std::strcmp(argv[1], "--program-delete") == 0))
        return ProgramBench(argv[2], argv[3], std::strcmp(argv[1], "--program-delete") == 0);
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench ROOT [ROUNDS]\n"
                             "       scan_bench --program|--program-delete KELVARO_UNIX_PATH ROOT\n");
        return 2;
    }
    const std::string root = argv[1];
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;

    CBenchDlg dlg;
    std::thread ui([&] { dlg.DoModal(); });
    while (!dlg.m_hWnd || !::IsWindowVisible(dlg.m_hWnd))
        ::Sleep(10);

    double bestFloor = 1e9, bestScan = 1e9;
    long long files = 0;
    int listed = 0;
    // Alternating rounds, so both see the same state of the caches.
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = Clock::now();
        files = PlainWalk(root);
        const double floor = std::chrono::duration<double>(Clock::now() - t0).count();
        const double scan = TimedScan(dlg, root, &listed);
        if (floor < bestFloor)
            bestFloor = floor;
        if (scan < bestScan)
            bestScan = scan;
    }
    std::printf("%-28s files %7lld  junk listed %6d\n", root.c_str(), files, listed);
    std::printf("  plain walk  %8.3f s  %9.0f files/s  %6.1f us/file\n", bestFloor, files / bestFloor, bestFloor * 1e6 / files);
    std::printf("  scan        %8.3f s  %9.0f files/s  %6.1f us/file\n", bestScan, files / bestScan, bestScan * 1e6 / files);
    std::printf("  ratio scan/floor %.2f\n", bestScan / bestFloor);
    std::fflush(stdout);

    ::PostMessageA(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    ui.join();
    return 0;
}
