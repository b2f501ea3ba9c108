// One run loop for the window and the console program: it starts, pauses and stops the walk,
// takes the walk's news into the model of found files (FoundFiles.h), deletes what the user
// chose, tallies what became of it and gives the texts that say so. It has no window. Its owner
// hears of news and ends through IScanEvents, on worker threads (post, don't wait), and calls
// TakeNews and RunEnded on its own thread, the one that uses the model.
//
// A walk and a deletion may be under way at once (Delete all during a scan): the deletion takes
// the rows held when it starts, and the walk goes on adding rows meanwhile.
#pragma once

#include <memory>
#include <vector>

#include "../framework/CString.h"
#include "DeleteOutcome.h"
#include "FoundFiles.h"
#include "ScanEngine.h"

class CRunController {
public:
    explicit CRunController(IScanEvents* pOwner, int nThreads = 0);

    CFoundFiles& Files() { return m_files; }
    const CFoundFiles& Files() const { return m_files; }
    CScanEngine& Engine() { return m_engine; }

    // The walk is under way for the owner (paused or not): started, and neither stopped nor ended.
    bool Walking() const { return m_nScanRun != 0 && m_bEndPending && !m_bStopped; }
    bool Paused() const { return Walking() && m_bPaused; }
    // A deletion is under way, until its end has been taken.
    bool Deleting() const { return m_nDeleteRun != 0; }
    bool Busy() const { return Walking() || Deleting(); }
    unsigned ScanRun() const { return m_nScanRun; }
    unsigned DeleteRun() const { return m_nDeleteRun; }

    // Empties the model and starts a walk of root (as OpenScanRoot gave it) matching patterns;
    // false while the walk or a deletion is under way. With hStartEvent the walk waits for it.
    bool StartScan(const CString& root, const std::vector<CString>& patterns, HANDLE hStartEvent = nullptr,
                   const CScanOptions& options = CScanOptions());
    // The walk under way matches these patterns too from now on.
    void AddPatterns(const std::vector<CString>& patterns);
    // Every walker halts before its next entry, and goes on.
    void Pause();
    void Resume();
    // Ends the walk for the owner now: what it found so far is in the model, the summary
    // counts it. A deletion under way goes on.
    void StopScan();
    // Ends the deletion under way: the workers finish the file in hand, and its end comes as
    // for any deletion.
    void StopDeletion();

    // What TakeNews brought.
    struct News {
        bool bWalk = false;    // news of the walk (else of the deletion, or of no current run)
        bool hasPath = false;  // a path being looked at, or being deleted
        CString path;
        int progress = 0;      // the walk's position, in ProgressUnits
        bool more = false;     // found files wait still: take news again soon
    };
    // With maxRows, no more than that many rows are taken in at once (the window answers
    // between two takes); the rest wait in the controller for the next take.
    News TakeNews(unsigned nRun, size_t maxRows = 0);

    enum class Ended { Nothing, Walk, Deletion, TakeMore };
    // Every worker of run nRun has ended: its last news is taken, and its end is done (a
    // deletion's outcomes are set on its rows; the window then drops the rows of the files
    // gone, the console's report lists them). With maxRows, a walk's found files are taken in
    // no more than that many at once: TakeMore until the last of them is in.
    Ended RunEnded(unsigned nRun, size_t maxRows = 0);

    // Starts deleting the selected rows, or every row, on the engine's workers (for good or to
    // the Recycle Bin); false when there is none or a deletion is under way.
    bool StartDelete(bool bAll, DeleteMode mode);
    // Deletes one row's file now, on this thread; the row goes when its file did.
    DeleteOutcome DeleteRowNow(CFoundFiles::Row row);

    // The walk's end: how many found and how large, or, when deletions took some meanwhile,
    // how many went and how many are listed.
    CString WalkSummary() const;
    // The last deletion's end: what stayed and why, and for Delete all what the walk found
    // while it ran.
    CString DeletionText(bool bRecycled) const;
    const CDeleteTally& LastTally() const { return m_tally; }
    // The last deletion was of every row, and the model holds none now.
    bool DeletedEverything() const { return m_bDeletingAll && m_files.Count() == 0; }
    // "已选择 3 个文件，共 1.2MB。" while two rows or more are selected; empty otherwise.
    CString SelectionText() const;
    // What a row's rule is called: its pattern ("*.tmp"), or "临时文件夹".
    CString RuleText(uint16_t rule) const;
    // How many rows each rule found, and how large, in the order of the rules.
    struct RuleTally {
        CString text;
        int count = 0;
        uint64_t bytes = 0;
    };
    std::vector<RuleTally> TallyByRule() const;

private:
    // Takes what the walk found into the model: everything waiting, or at most maxRows of it.
    void TakeFound(CFoundBatch found, size_t maxRows, News* pNews);

    CScanEngine m_engine;
    CFoundFiles m_files;
    std::vector<CString> m_patterns;  // the walk's, in their numbers' order
    CScanOptions m_options;
    CFoundBatch m_waiting;        // found files of the walk not yet taken in
    size_t m_nWaitingAt = 0;      // the first of them
    unsigned m_nScanRun = 0;
    bool m_bEndPending = false;   // the walk's end has not been taken
    bool m_bStopped = false;      // the walk was stopped: the owner shows its summary already
    bool m_bPaused = false;
    int m_nDeletedDuringWalk = 0; // files of the walk under way that deletions took meanwhile

    unsigned m_nDeleteRun = 0;
    std::vector<CFoundFiles::Row> m_deleting;  // the rows handed to the engine, in order
    bool m_bDeletingAll = false;
    size_t m_nRowsAtDelete = 0;   // rows the model had taken in when Delete all began
    size_t m_nFoundMeanwhile = 0; // rows that arrived while Delete all ran
    CDeleteTally m_tally;
};
