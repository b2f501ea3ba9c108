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
    DirectoryIdentity id;
    bool idKnown = false;
    bool idTried = false;

    const DirectoryIdentity* Identity()
    {
        if (!idTried) {
            idTried = true;
            idKnown = GetDirectoryIdentity(dir, &id);
        }
        return idKnown ? &id : nullptr;
    }
};

// A linked directory that leads back to one on the current path would be walked forever.
bool LeadsBackOntoPath(std::vector<std::unique_ptr<WalkLevel>>& path, const CString& dir)
{
    DirectoryIdentity target;
    if (!GetDirectoryIdentity(dir, &target))
        return false;
    for (auto& level : path) {
        const DirectoryIdentity* id = level->Identity();
        if (id && *id == target)
            return true;
    }
    return false;
}

}  // namespace

DWORD WINAPI ScanThreadProc(LPVOID pParam)
{
    CNorvaneDlg* pDlg = static_cast<CNorvaneDlg*>(pParam);
    ::WaitForSingleObject(pDlg->m_hEvent, INFINITE);
    const CString drive = pDlg->m_strDrive;
    pDlg->ScanDirectory(drive);
    // Everything the walk found is in the window before the summary counts it.
    pDlg->SendMessage(WM_SCAN_MAILBOX);
    pDlg->FinishScan();
    pDlg->ShowScanSummary();
    pDlg->m_nJunkKB = 0;
    pDlg->m_nJunkCount = 0;
    std::lock_guard<std::mutex> lock(pDlg->m_filterLock);
    pDlg->m_filterList.RemoveAll();
    return 0;
}

void CNorvaneDlg::ScanDirectory(const CString& dir)
{
    // Depth first with a stack of its own rather than recursion: a tree thousands of levels
    // deep must not exhaust the thread's stack.
    std::vector<std::unique_ptr<WalkLevel>> path;
    auto enter = [&](const CString& d) {
        std::unique_ptr<WalkLevel> level(new WalkLevel);
        level->dir = d;
        if (level->search.Open(d))
            path.push_back(std::move(level));
    };
    auto stop = [&] {
        path.clear();  // closes every open search
        ::SetEvent(m_hEvent);
    };

    enter(dir);
    if (m_bStop) {
        stop();
        return;
    }
    while (!path.empty()) {
        WalkLevel& top = *path.back();
        if (!top.search.Next()) {
            path.pop_back();
            continue;
        }
        if (m_bStop) {
            stop();
            return;
        }
        // A name the ANSI code page cannot spell would give a path to some other file.
        if (!top.search.NameIsExact())
            continue;
        const DWORD attributes = top.search.Attributes();
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsDotName(top.search.Name()))
                continue;
            const CString child = JoinPath(top.dir, top.search.Name());
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && LeadsBackOntoPath(path, child))
                continue;
            enter(child);
            if (m_bStop) {
                stop();
                return;
            }
            continue;
        }

        const UINT kb = top.search.SizeLow() >> 10;
        const UINT scanned = (m_nScannedKB += kb);
        m_mailbox.Report(static_cast<int>(scanned >> 10));
        const CString file = JoinPath(top.dir, top.search.Name());
        if (IsJunkFile(file)) {
            m_nJunkKB += kb;
            ++m_nJunkCount;
            m_mailbox.AddFound(file);
        }
    }
}

void CNorvaneDlg::FinishScan()
{
    m_bStop = true;
    if (HANDLE h = m_hScanThread.exchange(nullptr))
        ::CloseHandle(h);
    m_bScanning = false;
    ::SetEvent(m_hEvent);
    GetDlgItem(IDC_BTN_START)->EnableWindow(TRUE);
    GetDlgItem(IDC_BTN_PAUSE)->EnableWindow(FALSE);
    GetDlgItem(IDC_BTN_STOP)->EnableWindow(FALSE);
    m_bAnimating = false;
    m_nScannedKB = 0;
    // A KB figure against a range in MB: the control holds it at the top, the bar stands full.
    m_progress.SetPos(static_cast<int>(m_nDiskUsedKB.load()));
}

UINT CNorvaneDlg::GetDiskUsedKB(const CString& root)
{
    const CString drive(root);
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!::GetDiskFreeSpaceA(drive, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return 0;  // an empty range; the run goes on
    return UsedKBFromClusters(sectorsPerCluster, bytesPerSector, freeClusters, totalClusters);
}

void CNorvaneDlg::ShowScanSummary()
{
    GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(ScanSummaryText(m_nJunkCount, m_nJunkKB));
}
