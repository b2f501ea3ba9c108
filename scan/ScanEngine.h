// The scan engine: it owns the runs. A run is a walk of one root by a small pool of threads
// that share the folders still to list, or the deletion of a list of files by another pool.
//
// How a run goes:
//   StartScan(root, patterns) -> workers walk (or, on an NTFS volume whose raw device opens,
//   one reads the volume's master file table: scan/MasterFileTable.h); news (paths found, progress, the path being
//   looked at) gathers in the run's mailbox and the owner is told through OnRunNews, at most
//   every 25 ms; it takes the news with TakeNews on its own thread.
//   Pause / Resume halt every worker between two entries and let them go on.
//   Stop ends the run at once for the owner (State() is Idle again); the workers unwind by
//   themselves, and a new run may start before they have.
//   When the last worker of a run has ended, OnRunEnded(run) is called on that worker's
//   thread; the owner takes the last news and the totals. A run that a newer one has
//   replaced changes nothing any more (IsCurrentRun tells).
//   StartDelete(paths) deletes the listed files with the checked deletion (DeleteListedFile),
//   or moves them to the Recycle Bin (RecycleListedFiles) a batch at a time;
//   DeleteOutcomes() says what became of each once the run has ended.
// A scan and a deletion may be under way at the same time (Delete all during a scan).
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "../framework/CString.h"
#include "../framework/CWorker.h"
#include "DeleteOutcome.h"
#include "ScanMailbox.h"

// What a run tells its owner. Both are called on worker threads and must not wait for the
// owner's thread (post, don't send).
class IScanEvents {
public:
    // Something waits in the mailbox of run nRun.
    virtual void OnRunNews(unsigned nRun) = 0;
    // Every worker of run nRun has ended.
    virtual void OnRunEnded(unsigned nRun) = 0;

protected:
    ~IScanEvents() = default;
};

enum class EngineState { Idle, Scanning, Paused, Deleting };
enum class DeleteMode { ForGood, ToRecycleBin };

// What else a scan heeds besides the patterns. Folders are full paths as the system names
// them (OpenScanRoot's form).
struct CScanOptions {
    std::vector<CString> excluded;  // never entered, nor listed from
    int olderThanDays = 0;          // list only files last written at least this long ago; 0 all
    std::vector<CString> places;    // folders whose every file a day old is junk, whatever its name
};

// What matched a found file: a pattern's number in the run's list, or kPlaceRule plus a
// place's number.
const uint16_t kPlaceRule = 0x8000;
const uint16_t kNoRule = 0xFFFF;

struct CScanTotals {
    int count = 0;        // junk files found
    uint64_t bytes = 0;   // their size
    int unreadable = 0;       // folders that could not be read
    int unreadableFiles = 0;  // files whose names have no exact form
    uint64_t files = 0;   // files looked at
    bool readTable = false;  // listed from the volume's master file table, not walked
    int tooNew = 0;       // files that matched but were written too recently to list
};

class CScanEngine {
public:
    // nThreads walkers per scan; 0: as many as the machine has cores, at least 2.
    explicit CScanEngine(IScanEvents* pEvents, int nThreads = 0);
    // Stops every run and waits for its workers (see Shutdown).
    ~CScanEngine();
    CScanEngine(const CScanEngine&) = delete;
    CScanEngine& operator=(const CScanEngine&) = delete;

    // Starts a walk of root (a folder that OpenScanRoot accepted) matching patterns ("*.tmp"),
    // and returns its run number; 0 while a scan is under way. With hStartEvent, the walk
    // begins once that event is signalled (the engine waits on its own copy; Stop signals it).
    unsigned StartScan(const CString& root, const std::vector<CString>& patterns, HANDLE hStartEvent = nullptr,
                       const CScanOptions& options = CScanOptions());
    // The scan under way matches these patterns too from now on.
    void AddPatterns(const std::vector<CString>& patterns);
    // Starts deleting paths (or moving them to the Recycle Bin); 0 while a deletion is under way.
    // The texts are the caller's: keep holds them for as long as a worker may read them.
    unsigned StartDelete(std::vector<const char*> paths, DeleteMode mode, std::shared_ptr<const void> keep);
    unsigned StartDelete(std::vector<CString> paths, DeleteMode mode = DeleteMode::ForGood);

    void Pause();
    void Resume();
    // Ends the scan and the deletion under way, for the owner at once.
    void Stop();
    // Ends the scan alone; a deletion under way goes on.
    void StopScan();
    // Ends the deletion alone; a scan under way goes on.
    void StopDelete();

    EngineState State() const;
    bool IsCurrentRun(unsigned nRun) const;
    // Paused, and every worker of the scan has halted (or has nothing to do).
    bool IsHalted() const;

    // The news of run nRun (nothing for a run that is not current).
    CScanMailbox::Batch TakeNews(unsigned nRun);
    CScanTotals Totals() const;
    // What became of each path of the last deletion, in the order given; paths that a Stop
    // left untried are NotTried. Complete once its run has ended.
    std::vector<DeleteOutcome> DeleteOutcomes() const;

    // Stops everything and waits up to timeoutMs for every worker; false if one did not end
    // (it may be held up in the file system and still use its run).
    bool Shutdown(DWORD timeoutMs);

    int ThreadCount() const { return m_nThreads; }
    // Whether a scan may list an NTFS volume from its master file table (the default) when
    // its raw device opens; off, every scan walks.
    void UseMasterFileTable(bool bUse) { m_bUseTable = bUse; }

private:
    struct Run;
    class KeyCopy;
    void Walk(const std::shared_ptr<Run>& run);
    void WalkFolder(Run& run, KeyCopy& keys, const CString& dir);
    // The rule that makes a file junk, kNoRule for none; counts one too new to list.
    uint16_t JunkRule(Run& run, KeyCopy& keys, const char* name, int place, uint64_t modified);
    // The whole run from the volume's table; false when it cannot be read (then walk).
    bool ListFromTable(Run& run, KeyCopy& keys);
    void Delete(const std::shared_ptr<Run>& run);
    void WorkerEnded(Run& run);
    std::shared_ptr<Run> NewRun();
    void StartWorkers(const std::shared_ptr<Run>& run, int n, void (CScanEngine::*work)(const std::shared_ptr<Run>&));
    std::shared_ptr<Run> Current(unsigned nRun) const;

    IScanEvents* m_pEvents;
    int m_nThreads;
    mutable std::mutex m_lock;  // the two current runs and the worker list
    std::shared_ptr<Run> m_scan;
    std::shared_ptr<Run> m_delete;
    std::vector<std::unique_ptr<CWorker>> m_workers;
    unsigned m_nLastRun = 0;
    bool m_bUseTable = true;
};
