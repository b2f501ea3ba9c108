// The scan thread: the walk below the run's root, the end-of-run reset and the summary.
#include <memory>
#include <vector>

#include "../ui/CNorvaneDlg.h"
#include "FileSystem.h"
#include "ScanSummary.h"

namespace {

bool IsDotName(const CString& name)
{
    return name == "." || name == ".." || name == "...";
}

// One directory on the current path of the walk.
struct WalkLevel {
    CString dir;
    CFileSearch search;
};

}  // namespace

DWORD WINAPI ScanThreadProc(LPVOID pParam)
{
    std::unique_ptr<CScanThreadStart> start(static_cast<CScanThreadStart*>(pParam));
    CNorvaneDlg* pDlg = start->pDlg;
    // Its own handle to the event: a later run closes the dialog's while this one may wait.
    ::WaitForSingleObject(start->hEvent, INFINITE);
    if (pDlg->IsCurrentRun(start->nRun))
        pDlg->ScanDirectory(start->strDrive, start->nRun, start->hEvent);
    // The end-of-run steps run on the window's thread, in order with the commands there, and
    // only if no newer run has started meanwhile. A window that is gone answers at once.
    if (pDlg->IsCurrentRun(start->nRun))
        ::SendMessageA(start->hWnd, WM_SCAN_FINISHED, start->nRun, 0);
    ::CloseHandle(start->hEvent);
    return 0;
}

void CNorvaneDlg::ScanDirectory(const CString& dir, unsigned nRun, HANDLE hRunEvent)
{
    // Depth first with a stack of its own rather than recursion: a tree thousands of levels
    // deep must not exhaust the thread's stack.
    std::vector<std::unique_ptr<WalkLevel>> path;
    auto countUnreadable = [&](const CFileSearch& search) {
        if (search.Unreadable() && IsCurrentRun(nRun))
            ++m_nUnreadable;
    };
    auto enter = [&](const CString& d) {
        std::unique_ptr<WalkLevel> level(new WalkLevel);
        level->dir = d;
        if (level->search.Open(d))
            path.push_back(std::move(level));
        else
            countUnreadable(level->search);
    };
    // Stopped, or overtaken by a newer run.
    auto mustLeave = [&] { return m_bStop || !IsCurrentRun(nRun); };
    auto leave = [&] {
        path.clear();  // closes every open search
        // The run's own handle: the dialog's may be replaced by a newer run meanwhile.
        if (hRunEvent)
            ::SetEvent(hRunEvent);
    };

    enter(dir);
    if (mustLeave()) {
        leave();
        return;
    }
    while (!path.empty()) {
        WalkLevel& top = *path.back();
        if (!top.search.Next()) {
            countUnreadable(top.search);
            path.pop_back();
            continue;
        }
        // A pause halts the walk here, between two entries, once the window has been told
        // everything found so far.
        if (m_pauseGate.IsPaused()) {
            m_mailbox.PostNow();
            m_pauseGate.Wait();
        }
        if (mustLeave()) {
            leave();
            return;
        }
        // A name the ANSI code page cannot spell would give a path to some other file.
        if (!top.search.NameIsExact())
            continue;
        const DWORD attributes = top.search.Attributes();
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsDotName(top.search.Name()))
                continue;
            // A folder link, junction or mount point leads out of the tree that the user
            // chose, or into a part of it that the walk reaches anyway: never entered.
            if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            enter(JoinPath(top.dir, top.search.Name()));
            if (mustLeave()) {
                leave();
                return;
            }
            continue;
        }

        const uint64_t size = top.search.Size();
        const CString file = JoinPath(top.dir, top.search.Name());
        std::lock_guard<std::mutex> lock(m_runLock);
        if (!IsCurrentRun(nRun))
            continue;  // the next test of mustLeave ends the walk
        const uint64_t scanned = (m_nScannedBytes += size);
        m_mailbox.Report(ProgressUnits(scanned));
        if (IsJunkFile(file)) {
            m_nJunkBytes += size;
            ++m_nJunkCount;
            m_mailbox.AddFound(file);
        }
    }
}

void CNorvaneDlg::FinishScan()
{
    // Runs on the window's thread only (Stop, and the end of a walk), so the buttons change
    // in order with the commands.
    m_bStop = true;
    if (HANDLE h = m_hScanThread.exchange(nullptr))
        ::CloseHandle(h);
    m_bScanning = false;
    ::SetEvent(m_hEvent);
    GetDlgItem(IDC_BTN_START)->EnableWindow(TRUE);
    GetDlgItem(IDC_BTN_PAUSE)->EnableWindow(FALSE);
    GetDlgItem(IDC_BTN_STOP)->EnableWindow(FALSE);
    m_bAnimating = false;
    m_nScannedBytes = 0;
    // The bar stands full.
    m_progress.SetPos(m_progress.GetRangeUpper());
}

int CNorvaneDlg::ProgressUnits(uint64_t bytes)
{
    // Whole MB: a 16 TB drive is some 16 million of them, far inside the control's range.
    const uint64_t mb = bytes >> 20;
    return mb > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(mb);
}

void CNorvaneDlg::ShowScanSummary()
{
    GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(ScanSummaryText(m_nJunkCount, m_nJunkBytes, m_nUnreadable));
}
