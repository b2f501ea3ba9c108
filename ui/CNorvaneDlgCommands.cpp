// The commands with which the user drives a scan run, and the life of a run around them.
#include "../scan/FileSystem.h"
#include "../scan/Patterns.h"
#include "../scan/RootPath.h"
#include "../scan/ScanSummary.h"
#include "Animation.h"
#include "AppMessages.h"
#include "CNorvaneDlg.h"

namespace {

const char kNoPattern[] = "请选择文件类型！";
const char kBusy[] = "扫描正在进行，请先停止。";

// Ends the process now, with status 0, whatever a worker is doing: nothing it may still
// use is freed under it first.
[[noreturn]] void EndProcessNow()
{
    ::TerminateProcess(::GetCurrentProcess(), 0);
    ::ExitProcess(0);
}

}  // namespace

RunView CNorvaneDlg::View() const
{
    // A deletion is shown until its end has been shown.
    if (m_runs.Deleting())
        return RunView::Deleting;
    if (!m_runs.Walking())
        return RunView::Idle;
    return m_runs.Paused() ? RunView::Paused : RunView::Scanning;
}

void CNorvaneDlg::UpdateButtons()
{
    const ButtonStates states = ButtonStatesFor(View());
    GetDlgItem(IDC_BTN_START)->EnableWindow(states.start);
    GetDlgItem(IDC_BTN_PAUSE)->EnableWindow(states.pause);
    GetDlgItem(IDC_BTN_STOP)->EnableWindow(states.stop);
    GetDlgItem(IDC_BTN_DELETE)->EnableWindow(states.deleteOne);
    GetDlgItem(IDC_BTN_DELETE_ALL)->EnableWindow(states.deleteAll);
    CString caption;
    GetDlgItem(IDC_BTN_PAUSE)->GetWindowText(caption);
    if (caption != states.pauseCaption)
        GetDlgItem(IDC_BTN_PAUSE)->SetWindowText(states.pauseCaption);
    KeepKeyboardFocus();
}

void CNorvaneDlg::KeepKeyboardFocus()
{
    // Only while this window is the one in use: the focus of another is not ours to take.
    if (::GetActiveWindow() != m_hWnd)
        return;
    HWND focus = ::GetFocus();
    if (focus && focus != m_hWnd && ::IsWindowEnabled(focus) && ::IsWindowVisible(focus))
        return;
    // The button pressed was disabled or hidden with the focus on it (Start, Scan now, Stop):
    // the list takes it where it shows, the first control otherwise, and the keys work on.
    HWND next = m_listFiles.IsWindowVisible() ? m_listFiles.m_hWnd : ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    if (next)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

HANDLE CNorvaneDlg::CreateRunEvent()
{
    // Unnamed: no other copy of the program, nor any other program, can hold a run still.
    return ::CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

std::vector<CString> CNorvaneDlg::CollectCheckedFilters(std::vector<int>* pLines)
{
    std::vector<CString> patterns;
    // The lines of the patterns: the six and the user's (the temp folders' line is no pattern).
    for (int i = 0, n = kPatternCount + static_cast<int>(m_rules.patterns.size()); i < n && i < m_checkList.GetCount(); ++i) {
        if (m_checkList.GetCheck(i) != 1)
            continue;
        CString text;
        m_checkList.GetText(i, text);
        patterns.push_back(text);
        if (pLines)
            pLines->push_back(i);
    }
    return patterns;
}

void CNorvaneDlg::StartScanRun(const CString& root, const std::vector<CString>& patterns, const CScanOptions& options)
{
    GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_SHOW);
    m_strDrive = root;
    m_progress.SetRange32(0, ProgressUnits(GetDiskUsedBytes(m_strDrive)));
    m_progress.SetPos(0);
    if (m_hEvent)
        ::CloseHandle(m_hEvent);
    m_hEvent = CreateRunEvent();
    m_runs.StartScan(m_strDrive, patterns, m_hEvent, options);
    m_listFiles.Show();
    m_checkList.ClearNotes();
    m_animation.Play();
    UpdateButtons();
}

CNorvaneDlg::StartResult CNorvaneDlg::TryStartRun()
{
    if (View() != RunView::Idle)
        return StartResult::Busy;
    // A run matches exactly what is ticked when it starts, and the rules saved then.
    SaveUserTicks();
    std::vector<int> lines;
    const std::vector<CString> patterns = CollectCheckedFilters(&lines);
    const int tempLine = kPatternCount + static_cast<int>(m_rules.patterns.size());
    CCleaningRules rules = m_rules;
    rules.tempTicked = m_checkList.GetCheck(tempLine) == 1;
    if (patterns.empty() && !(rules.tempFolders && rules.tempTicked))
        return StartResult::Refused;
    CString typed;
    m_comboDrive.GetWindowText(typed);
    const CString root = NormalizeRootText(typed);
    CString canonical;
    if (root.IsEmpty() || !OpenScanRoot(root, &canonical)) {
        SetStatus(BadRootText(typed));
        return StartResult::BadRoot;
    }
    m_ruleLines = lines;
    StartScanRun(canonical, patterns, ScanOptionsFor(rules, canonical));
    return StartResult::Started;
}

void CNorvaneDlg::FinishScan()
{
    m_animation.Stop();
    UpdateButtons();
    // The bar stands full.
    m_progress.SetPos(m_progress.GetRangeUpper());
    SetStatus(m_runs.WalkSummary());
    ShowTally();
}

void CNorvaneDlg::SetStatus(const CString& text)
{
    m_strStatus = text;
    m_statusLine.SetWindowText(text);
    AnnounceNameChange(m_statusLine);
}

void CNorvaneDlg::ShowSelection()
{
    // While a run is active, the status line follows it.
    if (View() != RunView::Idle)
        return;
    const CString selection = m_runs.SelectionText();
    m_statusLine.SetWindowText(selection.IsEmpty() ? m_strStatus : selection);
    AnnounceNameChange(m_statusLine);
}

void CNorvaneDlg::OnBnClickedStart()
{
    CWnd* scanNow = GetDlgItem(IDC_BTN_SCAN_NOW);
    const bool scanNowShown = scanNow->IsWindowVisible() != FALSE;
    scanNow->ShowWindow(SW_HIDE);
    switch (TryStartRun()) {
    case StartResult::Started:
        break;
    case StartResult::Busy:
        SetStatus(kBusy);
        if (scanNowShown)
            scanNow->ShowWindow(SW_SHOW);
        break;
    case StartResult::Refused:
        SetStatus(kNoPattern);
        scanNow->ShowWindow(SW_SHOW);
        GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_HIDE);
        break;
    case StartResult::BadRoot:
        // No run: the window as it was, the status line says why.
        if (scanNowShown)
            scanNow->ShowWindow(SW_SHOW);
        break;
    }
}

void CNorvaneDlg::OnBnClickedScanNow()
{
    switch (TryStartRun()) {
    case StartResult::Started:
        GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_HIDE);
        KeepKeyboardFocus();
        break;
    case StartResult::Busy:
        SetStatus(kBusy);
        break;
    case StartResult::Refused:
        SetStatus(kNoPattern);
        break;
    case StartResult::BadRoot:
        break;
    }
}

void CNorvaneDlg::OnOK()
{
    OnBnClickedScanNow();
}

void CNorvaneDlg::OnCancel()
{
    if (View() != RunView::Idle) {
        OnClose();
    } else {
        SaveUserTicks();
        CDialog::OnCancel();
    }
}

void CNorvaneDlg::OnBnClickedPause()
{
    const RunView view = View();
    if (view == RunView::Scanning) {
        // Every walker halts before its next entry, the animation before its next frame.
        m_runs.Pause();
        m_animation.Pause(true);
    } else if (view == RunView::Paused) {
        m_runs.Resume();
        m_animation.Pause(false);
    }
    UpdateButtons();
}

void CNorvaneDlg::OnBnClickedStop()
{
    if (m_runs.Deleting()) {
        // The workers finish the file in hand; the end is shown when they have.
        m_runs.StopDeletion();
        return;
    }
    if (!m_runs.Walking())
        return;
    // The summary counts what the list shows.
    ChangeList([&] { m_runs.StopScan(); });
    FinishScan();
}

void CNorvaneDlg::OnBnClickedSelectAll()
{
    for (int i = 0, n = m_checkList.GetCount(); i < n; ++i)
        m_checkList.SetCheck(i, 1);
    // A run under way matches the widened set at once; otherwise the next start collects.
    if (View() == RunView::Scanning || View() == RunView::Paused) {
        std::vector<int> lines;
        m_runs.AddPatterns(CollectCheckedFilters(&lines));
        m_ruleLines.insert(m_ruleLines.end(), lines.begin(), lines.end());
    }
}

void CNorvaneDlg::OnBnClickedSelectNone()
{
    for (int i = 0, n = m_checkList.GetCount(); i < n; ++i)
        m_checkList.SetCheck(i, 0);
}

void CNorvaneDlg::OnBnClickedDelete()
{
    if (m_runs.Deleting())
        return;
    // Every selected entry (Shift for a range, Ctrl for single ones, Ctrl+A for all); with
    // nothing selected, nothing is deleted.
    const CFoundFiles& files = m_runs.Files();
    if (files.SelectedCount() == 0)
        return;
    if (files.SelectedCount() == 1 && !m_bRecycle) {
        // One file, deleted at once.
        DeleteOutcome outcome = DeleteOutcome::NotTried;
        ChangeList([&] { outcome = m_runs.DeleteRowNow(files.SelectedRows().front()); });
        if (!IsGone(outcome))
            SetStatus(DeleteOneFailureText(outcome));
        else if (!m_runs.Walking())
            ShowTally();
        return;
    }
    StartDeleteRun(false);
}

void CNorvaneDlg::StartDeleteRun(bool bAll)
{
    m_runs.StartDelete(bAll, m_bRecycle ? DeleteMode::ToRecycleBin : DeleteMode::ForGood);
    UpdateButtons();
}

void CNorvaneDlg::OnBnClickedDeleteAll()
{
    if (m_runs.Deleting())
        return;
    // The deletion runs on the engine's workers; the window stays with the user.
    StartDeleteRun(true);
    if (!m_runs.Deleting())
        EndDelete();  // nothing listed
}

void CNorvaneDlg::EndDelete()
{
    ChangeList([&] { m_runs.Files().RemoveGone(); });
    SetStatus(m_runs.DeletionText(m_bRecycle));
    if (!m_runs.Walking())
        ShowTally();
    UpdateButtons();
    // What is listed stays shown, for the user to see and try again; so does the list while
    // the walk goes on filling it.
    if (!m_runs.DeletedEverything() || m_runs.Walking())
        return;
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_BTN_SCAN_NOW)->SetWindowText("重新扫描");
}

void CNorvaneDlg::OnClose()
{
    if (View() != RunView::Idle &&
        ::MessageBoxW(m_hWnd, L"扫描还未完成，您确定要关闭程序码？", L"Kelvaro", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    SaveUserTicks();
    EndProcessNow();
}
