#include "RunController.h"

#include "FileSystem.h"
#include "ScanSummary.h"

CRunController::CRunController(IScanEvents* pOwner, int nThreads) : m_engine(pOwner, nThreads) {}

bool CRunController::StartScan(const CString& root, const std::vector<CString>& patterns, HANDLE hStartEvent,
                               const CScanOptions& options)
{
    if (Busy())
        return false;
    m_patterns = patterns;
    m_options = options;
    m_files.Clear();
    m_waiting = CFoundBatch();
    m_nWaitingAt = 0;
    m_nScanRun = m_engine.StartScan(root, patterns, hStartEvent, options);
    m_bEndPending = m_nScanRun != 0;
    m_bStopped = false;
    m_bPaused = false;
    m_nDeletedDuringWalk = 0;
    return m_nScanRun != 0;
}

void CRunController::AddPatterns(const std::vector<CString>& patterns)
{
    if (!Walking())
        return;
    m_engine.AddPatterns(patterns);
    m_patterns.insert(m_patterns.end(), patterns.begin(), patterns.end());
}

void CRunController::Pause()
{
    if (!Walking() || m_bPaused)
        return;
    m_bPaused = true;
    m_engine.Pause();
}

void CRunController::Resume()
{
    m_bPaused = false;
    m_engine.Resume();
}

void CRunController::StopScan()
{
    if (!Walking())
        return;
    Resume();
    m_bStopped = true;
    m_engine.StopScan();
    // What the walk found up to here is listed; the summary counts it.
    TakeFound(m_engine.TakeNews(m_nScanRun).found, 0, nullptr);
}

void CRunController::StopDeletion()
{
    // The deletion only: a walk under way goes on to its end.
    if (Deleting())
        m_engine.StopDelete();
}

void CRunController::TakeFound(CFoundBatch found, size_t maxRows, News* pNews)
{
    if (m_nWaitingAt >= m_waiting.size()) {
        m_waiting = std::move(found);
        m_nWaitingAt = 0;
    } else {
        m_waiting.Append(found);
    }
    const size_t end = maxRows ? std::min(m_waiting.size(), m_nWaitingAt + maxRows) : m_waiting.size();
    m_files.Add(m_waiting, m_nWaitingAt, end);
    if (pNews)
        pNews->more = end < m_waiting.size();
    m_nWaitingAt = end;
    if (m_nWaitingAt >= m_waiting.size()) {
        m_waiting = CFoundBatch();
        m_nWaitingAt = 0;
    }
}

CRunController::News CRunController::TakeNews(unsigned nRun, size_t maxRows)
{
    News news;
    if (nRun == 0)
        return news;
    if (nRun == m_nScanRun) {
        CScanMailbox::Batch batch = m_engine.TakeNews(nRun);
        news.bWalk = true;
        // Once the walk is stopping, the owner shows its summary, not the path.
        if (!m_bStopped) {
            news.hasPath = batch.hasPath;
            news.path = batch.path;
        }
        news.progress = batch.progress;
        TakeFound(std::move(batch.found), maxRows, &news);
    } else if (nRun == m_nDeleteRun) {
        CScanMailbox::Batch batch = m_engine.TakeNews(nRun);
        news.hasPath = batch.hasPath;
        news.path = batch.path;
    }
    return news;
}

CRunController::Ended CRunController::RunEnded(unsigned nRun, size_t maxRows)
{
    if (nRun != 0 && nRun == m_nScanRun && m_bEndPending) {
        News news;
        TakeFound(m_engine.TakeNews(nRun).found, maxRows, &news);
        if (news.more)
            return Ended::TakeMore;
        m_bEndPending = false;
        Resume();
        m_bStopped = true;
        // The walk only: a Delete all started during it goes on to its own end.
        m_engine.StopScan();
        return Ended::Walk;
    }
    if (nRun == 0 || nRun != m_nDeleteRun)
        return Ended::Nothing;
    const std::vector<DeleteOutcome> outcomes = m_engine.DeleteOutcomes();
    m_tally = CDeleteTally();
    for (size_t i = 0; i < m_deleting.size(); ++i) {
        const DeleteOutcome outcome = i < outcomes.size() ? outcomes[i] : DeleteOutcome::NotTried;
        m_files.SetOutcome(m_deleting[i], outcome);
        m_tally.Add(outcome);
    }
    m_nDeleteRun = 0;
    if (Walking())
        m_nDeletedDuringWalk += m_tally.Deleted();
    m_nFoundMeanwhile = m_bDeletingAll ? m_files.RowsTaken() - m_nRowsAtDelete : 0;
    m_deleting.clear();
    m_deleting.shrink_to_fit();
    return Ended::Deletion;
}

bool CRunController::StartDelete(bool bAll, DeleteMode mode)
{
    if (Deleting())
        return false;
    m_bDeletingAll = bAll;
    m_tally = CDeleteTally();
    m_nFoundMeanwhile = 0;
    m_deleting = bAll ? m_files.AllRows() : m_files.SelectedRows();
    if (m_deleting.empty())
        return false;
    std::vector<const char*> paths;
    paths.reserve(m_deleting.size());
    for (CFoundFiles::Row row : m_deleting)
        paths.push_back(m_files.Path(row));
    m_nRowsAtDelete = m_files.RowsTaken();
    m_nDeleteRun = m_engine.StartDelete(std::move(paths), mode, m_files.PinPaths());
    if (m_nDeleteRun == 0)
        m_deleting.clear();
    return m_nDeleteRun != 0;
}

DeleteOutcome CRunController::DeleteRowNow(CFoundFiles::Row row)
{
    const DeleteOutcome outcome = DeleteListedFile(CString(m_files.Path(row)));
    m_files.SetOutcome(row, outcome);
    if (IsGone(outcome)) {
        if (Walking())
            ++m_nDeletedDuringWalk;
        m_files.RemoveGone();
    }
    return outcome;
}

CString CRunController::WalkSummary() const
{
    const CScanTotals totals = m_engine.Totals();
    // Files deleted while the walk went on are no longer there to be cleaned: the summary
    // says so, and counts what the list shows.
    CString said = m_nDeletedDuringWalk > 0
                       ? ScanSummaryAfterDeletionText(totals.count, m_nDeletedDuringWalk, static_cast<int>(m_files.Count()),
                                                      totals.unreadable, totals.unreadableFiles)
                       : ScanSummaryText(totals.count, totals.bytes, totals.unreadable, totals.unreadableFiles);
    // What the age rule kept out.
    if (m_options.olderThanDays > 0 && totals.tooNew > 0) {
        CString more;
        more.Format("另有 %d 个文件未满 %d 天，未列出。", totals.tooNew, m_options.olderThanDays);
        said += more;
    }
    return said;
}

CString CRunController::DeletionText(bool bRecycled) const
{
    CString said = DeleteAllResultText(m_tally, bRecycled);
    if (m_nFoundMeanwhile > 0) {
        CString more;
        more.Format("清理期间又找到 %d 个文件，列在下方。", static_cast<int>(m_nFoundMeanwhile));
        said += more;
    }
    return said;
}

CString CRunController::SelectionText() const
{
    if (m_files.SelectedCount() < 2)
        return CString();
    CString text;
    text.Format("已选择 %d 个文件，共 %s。", static_cast<int>(m_files.SelectedCount()),
                FileSizeText(m_files.SelectedBytes(), false).GetString());
    return text;
}

CString CRunController::RuleText(uint16_t rule) const
{
    if (rule >= kPlaceRule && rule != kNoRule)
        return "临时文件夹";
    return rule < m_patterns.size() ? m_patterns[rule] : CString();
}

std::vector<CRunController::RuleTally> CRunController::TallyByRule() const
{
    std::vector<RuleTally> tally(m_patterns.size() + 1);
    for (size_t i = 0; i < m_patterns.size(); ++i)
        tally[i].text = m_patterns[i];
    tally.back().text = RuleText(kPlaceRule);
    for (size_t i = 0, n = m_files.Count(); i < n; ++i) {
        const CFoundFiles::Row row = m_files.RowAt(i);
        const uint16_t rule = m_files.Rule(row);
        RuleTally& t = rule >= kPlaceRule ? tally.back() : tally[std::min<size_t>(rule, m_patterns.size())];
        ++t.count;
        t.bytes += m_files.Size(row);
    }
    if (m_options.places.empty())
        tally.pop_back();
    return tally;
}
