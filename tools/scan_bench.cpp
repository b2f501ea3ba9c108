// Times the real scan (the dialog's scan thread, the visible controls, from the start of the
// walk to the summary) against the plainest walk of the same tree in the same run.
//   scan_bench.exe ROOT [ROUNDS]
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

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
        dlg.StartScanRun();
        ::DuplicateHandle(::GetCurrentProcess(), dlg.m_hScanThread.load(), ::GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
    });
    ::WaitForSingleObject(thread, INFINITE);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::CloseHandle(thread);
    dlg.OnWindowThread([&] { *listed = dlg.m_listFiles.GetCount(); });
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: scan_bench ROOT [ROUNDS]\n");
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
