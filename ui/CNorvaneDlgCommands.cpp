// The commands with which the user drives a scan run, and the life of a run around them.
#include <algorithm>
#include <string>
#include <unordered_set>

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
    // A deletion is shown from the reading of the list until its end has been shown.
    if (m_nDeleteRun || m_bGathering)
        return RunView::Deleting;
    if (!m_bEndPending || m_bStopped)
        return RunView::Idle;
    return m_bPaused ? RunView::Paused : RunView::Scanning;
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
}

HANDLE CNorvaneDlg::CreateRunEvent()
{
    // Unnamed: no other copy of the program, nor any other program, can hold a run still.
    return ::CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

std::vector<CString> CNorvaneDlg::CollectCheckedFilters()
{
    std::vector<CString> patterns;
    for (int i = 0; i < kPatternCount; ++i) {
        if (m_checkList.GetCheck(i) != 1)
            continue;
        CString text;
        m_checkList.GetText(i, text);
        patterns.push_back(text);
    }
    return patterns;
}

void CNorvaneDlg::StartScanRun(const CString& root, const std::vector<CString>& patterns)
{
    GetDlgItem(IDC_PROGRESS)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_SHOW);
    m_strDrive = root;
    m_progress.SetRange32(0, ProgressUnits(GetDiskUsedBytes(m_strDrive)));
    m_progress.SetPos(0);
    m_listFiles.ResetContent();
    m_listFiles.UpdateHorizontalExtent();
    if (m_hEvent)
        ::CloseHandle(m_hEvent);
    m_hEvent = CreateRunEvent();
    m_nScanRun = m_engine.StartScan(m_strDrive, patterns, m_hEvent);
    m_bEndPending = m_nScanRun != 0;
    m_bStopped = false;
    m_nDeletedDuringScan = 0;
    m_bPaused = false;
    m_animationGate.Resume();

    // The animation of an earlier run may still be finishing its cycle; those that have
    // ended need no waiting for any more.
    for (auto it = m_animations.begin(); it != m_animations.end();)
        it = (*it)->IsRunning() ? it + 1 : m_animations.erase(it);
    std::unique_ptr<CWorker> animation(new CWorker);
    CWorker* self = animation.get();
    const HWND hWnd = m_hWnd;
    CPauseGate* gate = &m_animationGate;
    if (animation->Start([hWnd, self, gate] { PlayAnimation(hWnd, *self, *gate); }))
        m_animations.push_back(std::move(animation));
    UpdateButtons();
}

CNorvaneDlg::StartResult CNorvaneDlg::TryStartRun()
{
    if (View() != RunView::Idle)
        return StartResult::Busy;
    // A run matches exactly what is ticked when it starts.
    const std::vector<CString> patterns = CollectCheckedFilters();
    if (patterns.empty())
        return StartResult::Refused;
    CString typed;
    m_comboDrive.GetWindowText(typed);
    const CString root = NormalizeRootText(typed);
    CString canonical;
    if (root.IsEmpty() || !OpenScanRoot(root, &canonical)) {
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(BadRootText(typed));
        return StartResult::BadRoot;
    }
    StartScanRun(canonical, patterns);
    return StartResult::Started;
}

void CNorvaneDlg::StopAnimation()
{
    for (auto& animation : m_animations)
        animation->RequestStop();
}

void CNorvaneDlg::FinishScan()
{
    m_bStopped = true;
    // The walk only: a Delete all started during it goes on to its own end.
    m_engine.StopScan();
    StopAnimation();
    UpdateButtons();
    // The bar stands full.
    m_progress.SetPos(m_progress.GetRangeUpper());
}

void CNorvaneDlg::ShowScanSummary()
{
    const CScanTotals totals = m_engine.Totals();
    // Files deleted while the walk went on are no longer there to be cleaned: the summary
    // says so, and counts what the list shows.
    if (m_nDeletedDuringScan > 0) {
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(ScanSummaryAfterDeletionText(
            totals.count, m_nDeletedDuringScan, m_listFiles.GetCount(), totals.unreadable, totals.unreadableFiles));
        return;
    }
    GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(ScanSummaryText(totals.count, totals.bytes, totals.unreadable, totals.unreadableFiles));
}

void CNorvaneDlg::EndPause()
{
    m_bPaused = false;
    m_animationGate.Resume();
    m_engine.Resume();
}

void CNorvaneDlg::EndRun()
{
    m_bEndPending = false;
    DrainMailbox();
    EndPause();
    FinishScan();
    ShowScanSummary();
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
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(kBusy);
        if (scanNowShown)
            scanNow->ShowWindow(SW_SHOW);
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
}

void CNorvaneDlg::OnBnClickedScanNow()
{
    switch (TryStartRun()) {
    case StartResult::Started:
        GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_HIDE);
        break;
    case StartResult::Busy:
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(kBusy);
        break;
    case StartResult::Refused:
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(kNoPattern);
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
    if (View() != RunView::Idle)
        OnClose();
    else
        CDialog::OnCancel();
}

void CNorvaneDlg::OnBnClickedPause()
{
    const RunView view = View();
    if (view == RunView::Scanning) {
        // Every walker halts before its next entry, the animation before its next frame.
        m_bPaused = true;
        m_engine.Pause();
        m_animationGate.Pause();
        m_listFiles.Flush();
    } else if (view == RunView::Paused) {
        EndPause();
    }
    UpdateButtons();
}

void CNorvaneDlg::OnBnClickedStop()
{
    if (m_bGathering) {
        // Nothing deleted yet: everything stays listed.
        m_bGathering = false;
        CDeleteTally tally;
        for (size_t i = 0, n = static_cast<size_t>(m_listFiles.GetCount()); i < n; ++i)
            tally.Add(DeleteOutcome::NotTried);
        m_deleting.clear();
        GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(DeleteAllResultText(tally, m_bRecycle));
        UpdateButtons();
        return;
    }
    if (m_nDeleteRun) {
        // The workers finish the file in hand; the end is shown when they have.
        m_engine.Stop();
        return;
    }
    if (!m_bEndPending || m_bStopped)
        return;
    EndPause();
    // The summary counts what the list shows.
    DrainMailbox();
    m_listFiles.Flush();
    ShowScanSummary();
    FinishScan();
}

void CNorvaneDlg::OnBnClickedSelectAll()
{
    for (int i = 0; i < kPatternCount; ++i)
        m_checkList.SetCheck(i, 1);
    // A run under way matches the widened set at once; otherwise the next start collects.
    if (View() == RunView::Scanning || View() == RunView::Paused)
        m_engine.AddPatterns(CollectCheckedFilters());
}

void CNorvaneDlg::OnBnClickedSelectNone()
{
    for (int i = 0; i < kPatternCount; ++i)
        m_checkList.SetCheck(i, 0);
}

void CNorvaneDlg::OnBnClickedDelete()
{
    if (m_nDeleteRun || m_bGathering)
        return;
    m_listFiles.Flush();
    // Every selected entry (Shift for a range, Ctrl for single ones, Ctrl+A for all); with
    // nothing selected, nothing is deleted.
    const int count = static_cast<int>(m_listFiles.SendMessage(LB_GETSELCOUNT));
    if (count <= 0)
        return;
    std::vector<int> selected(static_cast<size_t>(count));
    m_listFiles.SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(selected.data()));
    if (count == 1 && !m_bRecycle) {
        // One file, deleted at once.
        CString path;
        m_listFiles.GetText(selected[0], path);
        const DeleteOutcome outcome = DeleteListedFile(path);
        if (IsGone(outcome))
            m_listFiles.DeleteString(static_cast<UINT>(selected[0]));
        else
            GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(DeleteOneFailureText(outcome));
        return;
    }
    m_deleting.clear();
    for (int index : selected)
        ReadListEntries(static_cast<size_t>(index), static_cast<size_t>(index) + 1, &m_deleting);
    m_bDeletingAll = false;
    StartDeleteRun();
}

LRESULT CNorvaneDlg::OnVKeyToItem(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != m_listFiles.m_hWnd)
        return -1;  // the list's own handling
    if (LOWORD(wParam) == VK_DELETE) {
        if (GetDlgItem(IDC_BTN_DELETE)->IsWindowEnabled())
            OnBnClickedDelete();
        return -2;  // handled: the list does nothing more with the key
    }
    if (LOWORD(wParam) == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
        m_listFiles.Flush();
        m_listFiles.SendMessage(LB_SETSEL, TRUE, -1);
        return -2;
    }
    return -1;
}

void CNorvaneDlg::ReadListEntries(size_t first, size_t end, std::vector<CString>* pInto) const
{
    CString text;
    for (size_t i = first; i < end; ++i) {
        m_listFiles.GetText(static_cast<int>(i), text);
        pInto->push_back(text);
    }
}

void CNorvaneDlg::StartDeleteRun()
{
    m_nDeleteRun = m_engine.StartDelete(m_deleting, m_bRecycle ? DeleteMode::ToRecycleBin : DeleteMode::ForGood);
    UpdateButtons();
}

void CNorvaneDlg::OnBnClickedDeleteAll()
{
    if (m_nDeleteRun || m_bGathering)
        return;
    m_listFiles.Flush();
    m_deleting.clear();
    m_bDeletingAll = true;
    if (m_listFiles.GetCount() == 0) {
        EndDelete();
        return;
    }
    m_deleting.reserve(static_cast<size_t>(m_listFiles.GetCount()));
    m_bGathering = true;
    UpdateButtons();
    GatherForDelete();
}

LRESULT CNorvaneDlg::OnDeleteGather(WPARAM, LPARAM)
{
    if (m_bGathering)
        GatherForDelete();
    return 0;
}

void CNorvaneDlg::GatherForDelete()
{
    // A slice at a time, the window answering in between: a hundred thousand entries take
    // a while to read. A walk under way adds entries meanwhile, so then all are read at once.
    const size_t kSlice = 8192;
    const size_t count = static_cast<size_t>(m_listFiles.GetCount());
    const bool walking = m_bEndPending && !m_bStopped;
    const size_t end = walking ? count : std::min(count, m_deleting.size() + kSlice);
    ReadListEntries(m_deleting.size(), end, &m_deleting);
    if (m_deleting.size() < count) {
        PostMessage(WM_DELETE_GATHER);
        return;
    }
    // The deletion runs on the engine's workers; the window stays with the user.
    m_bGathering = false;
    StartDeleteRun();
}

void CNorvaneDlg::EndDelete()
{
    const std::vector<DeleteOutcome> outcomes = m_nDeleteRun ? m_engine.DeleteOutcomes() : std::vector<DeleteOutcome>();
    auto outcomeOf = [&](size_t i) { return i < outcomes.size() ? outcomes[i] : DeleteOutcome::NotTried; };
    CDeleteTally tally;
    for (size_t i = 0; i < m_deleting.size(); ++i)
        tally.Add(outcomeOf(i));
    m_nDeleteRun = 0;
    const bool walking = m_bEndPending && !m_bStopped;
    if (walking)
        m_nDeletedDuringScan += tally.Deleted();
    m_listFiles.Flush();
    const size_t listed = static_cast<size_t>(m_listFiles.GetCount());
    // The walk may have gone on finding files while Delete all ran: they were not part of it.
    const size_t foundMeanwhile = m_bDeletingAll && listed > m_deleting.size() ? listed - m_deleting.size() : 0;
    CString said = DeleteAllResultText(tally, m_bRecycle);
    if (foundMeanwhile > 0) {
        CString more;
        more.Format("清理期间又找到 %d 个文件，列在下方。", static_cast<int>(foundMeanwhile));
        said += more;
    }
    GetDlgItem(IDC_STATIC_STATUS)->SetWindowText(said);
    if (m_bDeletingAll && foundMeanwhile == 0) {
        // Delete all of a list that nothing was added to meanwhile: what stays is what could
        // not be deleted.
        std::vector<CString> kept;
        for (size_t i = 0; i < m_deleting.size(); ++i) {
            if (!IsGone(outcomeOf(i)))
                kept.push_back(m_deleting[i]);
        }
        m_listFiles.ResetContent();
        m_listFiles.AddStrings(kept);
    } else if (tally.Deleted() > 0) {
        // A selection, or a walk that went on finding files: the list as it is now, less what
        // went.
        std::unordered_set<std::string> gone;
        for (size_t i = 0; i < m_deleting.size(); ++i) {
            if (IsGone(outcomeOf(i)))
                gone.insert(m_deleting[i].GetString());
        }
        std::vector<CString> entries, stay;
        ReadListEntries(0, listed, &entries);
        for (CString& entry : entries) {
            if (!gone.count(entry.GetString()))
                stay.push_back(std::move(entry));
        }
        m_listFiles.ResetContent();
        m_listFiles.AddStrings(stay);
    }
    m_listFiles.Flush();
    m_deleting.clear();
    UpdateButtons();
    // What is listed stays shown, for the user to see and try again; so does the list while
    // the walk goes on filling it.
    if (!m_bDeletingAll || m_listFiles.GetCount() > 0 || walking)
        return;
    m_listFiles.UpdateHorizontalExtent();
    GetDlgItem(IDC_LIST_FILES)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_BTN_SCAN_NOW)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_BTN_SCAN_NOW)->SetWindowText("重新扫描");
}

void CNorvaneDlg::OnClose()
{
    if (View() != RunView::Idle &&
        ::MessageBoxW(m_hWnd, L"扫描还未完成，您确定要关闭程序码？", L"Kelvaro", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    EndProcessNow();
}
