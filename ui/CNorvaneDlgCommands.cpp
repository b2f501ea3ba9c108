// The commands with which the user drives a scan run, and the life of a run around them.
#include "../scan/FileSystem.h"
#include "../scan/RootPath.h"
#include "CNorvaneDlg.h"

namespace {

const char kNoPattern[] = "请选择文件类型！";

// Waits for a worker to end, while still answering what other threads send to this one.
void WaitAnswering(HANDLE hThread, DWORD timeoutMs)
{
    const DWORD end = ::GetTickCount() + timeoutMs;
    for (;;) {
        const DWORD now = ::GetTickCount();
        const DWORD left = static_cast<LONG>(end - now) > 0 ? end - now : 0;
        const DWORD r = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, left, QS_SENDMESSAGE);
        if (r != WAIT_OBJECT_0 + 1)
            return;
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// Ends the process now, with status 0, whatever a worker is doing: nothing it may still
// use is freed under it first.
[[noreturn]] void EndProcessNow()
{
    ::TerminateProcess(::GetCurrentProcess(), 0);
    ::ExitProcess(0);
}

}  // namespace

HANDLE CNorvaneDlg::CreateRunEvent()
{
    // Unnamed: no other copy of the program, nor any other program, can hold a run still.
    return ::CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

void CNorvaneDlg::StartScanRun(const CString& root)
{
    GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_SHOW);
    unsigned run;
    {
        std::lock_guard<std::mutex> lock(m_runLock);
        run = ++m_nRunId;
        m_nScannedBytes = 0;
        m_nJunkBytes = 0;
        m_nJunkCount = 0;
        m_nUnreadable = 0;
        m_mailbox.Reset();
    }
    m_bEndPending = true;
    m_bStop = false;
    m_bScanning = true;
    m_strDrive = root;
    m_progress.SetRange32(0, ProgressUnits(GetDiskUsedBytes(m_strDrive)));
    if (m_hEvent) {
        ::CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }
    m_listFiles.ResetContent();
    m_listFiles.UpdateHorizontalExtent();
    m_hEvent = CreateRunEvent();

    // Threads that have ended need no waiting for any more.
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (::WaitForSingleObject(*it, 0) == WAIT_OBJECT_0) {
            ::CloseHandle(*it);
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
    auto keep = [this](HANDLE h) {
        HANDLE copy = nullptr;
        if (h && ::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
            m_workers.push_back(copy);
    };

    CScanThreadStart* start = new CScanThreadStart{this, m_hWnd, run, nullptr, m_strDrive};
    if (m_hEvent)
        ::DuplicateHandle(::GetCurrentProcess(), m_hEvent, ::GetCurrentProcess(), &start->hEvent, 0, FALSE,
                          DUPLICATE_SAME_ACCESS);
    HANDLE scan = ::CreateThread(nullptr, 0, &ScanThreadProc, start, 0, nullptr);
    if (!scan) {
        if (start->hEvent)
            ::CloseHandle(start->hEvent);
        delete start;
    }
    m_hScanThread = scan;
    keep(scan);
    if (m_hAnimThread)
        ::CloseHandle(m_hAnimThread);
    m_hAnimThread = ::CreateThread(nullptr, 0, &AnimationThreadProc, this, 0, nullptr);
    keep(m_hAnimThread);

    GetDlgItem(IDC_BTN_START)->EnableWindow(FALSE);
    GetDlgItem(IDC_BTN_STOP)->EnableWindow(TRUE);
    GetDlgItem(IDC_BTN_PAUSE)->EnableWindow(TRUE);
    GetDlgItem(IDC_BTN_PAUSE)->SetWindowText("暂停");
    // Read by the animation thread only after its first whole cycle.
    m_bAnimating = true;
}

CNorvaneDlg::StartResult CNorvaneDlg::TryStartRun()
{
    if (m_bScanning)
        return StartResult::Refused;
    if (m_bEndPending)
        RetirePreviousRun();
    // A run matches exactly what is ticked when it starts.
    {
        std::lock_guard<std::mutex> lock(m_filterLock);
        m_filterList.RemoveAll();
    }
    if (!CollectCheckedFilters())
        return StartResult::Refused;
    CString typed;
    m_comboDrive.GetWindowText(typed);
    const CString root = NormalizeRootText(typed);
    CString canonical;
    if (root.IsEmpty() || !OpenScanRoot(root, &canonical)) {
        std::lock_guard<std::mutex> lock(m_filterLock);
        m_filterList.RemoveAll();
        ShowBadRoot(typed);
        return StartResult::BadRoot;
    }
    StartScanRun(canonical);
    return StartResult::Started;
}

void CNorvaneDlg::ShowBadRoot(const CString& typed)
{
    GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(BadRootText(typed));
}

void CNorvaneDlg::EndPause()
{
    m_pauseGate.Resume();
    m_bPaused = false;
    GetDlgItem(IDC_BTN_PAUSE)->SetWindowText("暂停");
}

void CNorvaneDlg::EndRun()
{
    m_bEndPending = false;
    DrainMailbox();
    FinishScan();
    EndPause();
    ShowScanSummary();
    m_nJunkBytes = 0;
    m_nJunkCount = 0;
    std::lock_guard<std::mutex> lock(m_filterLock);
    m_filterList.RemoveAll();
}

void CNorvaneDlg::RetirePreviousRun()
{
    // What the old thread would have done at its end, done now; the thread itself, when it
    // comes back, finds a newer run and changes nothing.
    {
        std::lock_guard<std::mutex> lock(m_runLock);
        ++m_nRunId;
    }
    m_bEndPending = false;
    m_nJunkBytes = 0;
    m_nJunkCount = 0;
    std::lock_guard<std::mutex> lock(m_filterLock);
    m_filterList.RemoveAll();
}

LRESULT CNorvaneDlg::OnScanFinished(WPARAM wParam, LPARAM)
{
    if (m_bEndPending && IsCurrentRun(static_cast<unsigned>(wParam)))
        EndRun();
    return 0;
}

void CNorvaneDlg::StopWorkers()
{
    {
        std::lock_guard<std::mutex> lock(m_runLock);
        ++m_nRunId;
    }
    m_bStop = true;
    m_bAnimating = false;
    m_pauseGate.Resume();
    if (m_hEvent)
        ::SetEvent(m_hEvent);
    for (HANDLE h : m_workers) {
        WaitAnswering(h, 5000);
        // A worker held up in the file system (a network folder that stopped answering)
        // would use the dialog after it is gone: the process ends here instead.
        if (::WaitForSingleObject(h, 0) != WAIT_OBJECT_0)
            EndProcessNow();
        ::CloseHandle(h);
    }
    m_workers.clear();
}

void CNorvaneDlg::OnBnClickedStart()
{
    CWnd* scanNow = GetDlgItem(IDC_BTN_SCAN_NOW);
    const bool scanNowShown = scanNow->IsWindowVisible() != FALSE;
    scanNow->ShowWindow(SW_HIDE);
    switch (TryStartRun()) {
    case StartResult::Started:
        break;
    case StartResult::Refused:
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(kNoPattern);
        scanNow->ShowWindow(SW_SHOW);
        GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_HIDE);
        break;
    case StartResult::BadRoot:
        // No run: the window as it was, the status line says why.
        if (scanNowShown)
            scanNow->ShowWindow(SW_SHOW);
        break;
    }
    m_bAnimating = true;
}

void CNorvaneDlg::OnBnClickedScanNow()
{
    switch (TryStartRun()) {
    case StartResult::Started:
        GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_HIDE);
        break;
    case StartResult::Refused:
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(kNoPattern);
        break;
    case StartResult::BadRoot:
        break;
    }
    m_bAnimating = true;
}

void CNorvaneDlg::OnOK()
{
    OnBnClickedScanNow();
}

void CNorvaneDlg::OnCancel()
{
    if (m_bScanning)
        OnClose();
    else
        CDialog::OnCancel();
}

void CNorvaneDlg::OnBnClickedPause()
{
    if (!m_bPaused) {
        // The walk halts before its next entry, the animation before its next frame.
        m_pauseGate.Pause();
        m_bPaused = true;
        GetDlgItem(IDC_BTN_START)->EnableWindow(FALSE);
        GetDlgItem(IDC_BTN_PAUSE)->SetWindowText("继续");
    } else {
        m_pauseGate.Resume();
        m_bPaused = false;
        GetDlgItem(IDC_BTN_PAUSE)->SetWindowText("暂停");
    }
}

void CNorvaneDlg::OnBnClickedStop()
{
    m_bAnimating = false;
    EndPause();
    // The summary counts what the list shows.
    DrainMailbox();
    ShowScanSummary();
    FinishScan();
}

void CNorvaneDlg::OnBnClickedSelectAll()
{
    for (int i = 0; i <= 5; ++i)
        m_checkList.SetCheck(i, 1);
    // A run under way matches the widened set at once; otherwise the next start collects.
    if (m_bScanning)
        CollectCheckedFilters();
}

void CNorvaneDlg::OnBnClickedSelectNone()
{
    for (int i = 0; i <= 5; ++i)
        m_checkList.SetCheck(i, 0);
}

void CNorvaneDlg::OnBnClickedDelete()
{
    const int current = m_listFiles.GetCurSel();
    if (current < 0)
        return;
    // In a list that selects several entries the current one is the one with the focus,
    // selected or not: with nothing selected, nothing is deleted.
    if ((m_listFiles.GetStyle() & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) &&
        m_listFiles.SendMessage(LB_GETSEL, static_cast<WPARAM>(current)) <= 0)
        return;
    CString path;
    m_listFiles.GetText(current, path);
    const DeleteOutcome outcome = DeleteListedFile(path);
    if (IsGone(outcome))
        m_listFiles.DeleteString(static_cast<UINT>(current));
    else
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(DeleteOneFailureText(outcome));
}

void CNorvaneDlg::OnBnClickedDeleteAll()
{
    CWnd* status = GetDlgItem(IDC_STATIC_STATUS);
    DWORD lastPaint = ::GetTickCount();
    CDeleteTally tally;
    std::vector<CString> kept;
    for (int i = 0, n = m_listFiles.GetCount(); i < n; ++i) {
        CString path;
        m_listFiles.GetText(i, path);
        status->SetWindowText(path);
        // The loop holds the window's thread; the status line alone is repainted now and
        // then so that the deletion is seen to advance.
        const DWORD now = ::GetTickCount();
        if (now - lastPaint >= 100) {
            ::UpdateWindow(status->m_hWnd);
            lastPaint = now;
        }
        const DeleteOutcome outcome = DeleteListedFile(path);
        tally.Add(outcome);
        if (!IsGone(outcome))
            kept.push_back(path);
    }
    m_listFiles.ResetContent();
    status->SetWindowText(DeleteAllResultText(tally));
    if (!kept.empty()) {
        // What could not be deleted stays listed, for the user to see and try again.
        m_listFiles.AddStrings(kept);
        return;
    }
    m_listFiles.UpdateHorizontalExtent();
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_BTN_SCAN_NOW)->SetWindowText("重新扫描");
}

void CNorvaneDlg::OnClose()
{
    if (m_bScanning &&
        ::MessageBoxA(m_hWnd, "扫描还未完成，您确定要关闭程序码？", "Kelvaro", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    EndProcessNow();
}
