#include "ScanEngine.h"

#include <algorithm>
#include <condition_variable>

#include "FileSystem.h"
#include "JunkFilter.h"
#include "MasterFileTable.h"
#include "PauseGate.h"
#include "ReparsePoints.h"
#include "RecycleBin.h"
#include "ScanSummary.h"
#include "SystemStores.h"
#include "TestGate.h"

namespace {

bool IsDotName(const CString& name)
{
    return name == "." || name == ".." || name == "...";
}

// Is dir (a folder of the walk) the root of its volume?
bool IsVolumeRoot(const std::wstring& volumeRoot, const CString& dir)
{
    std::wstring wide = L"\\\\?\\" + AfxToWide(dir);
    if (wide.back() != L'\\')
        wide += L'\\';
    std::wstring volume = volumeRoot;
    if (volume.empty())
        return false;
    if (volume.compare(0, 4, L"\\\\?\\") != 0)
        volume = L"\\\\?\\" + volume;
    return ::CompareStringOrdinal(wide.c_str(), static_cast<int>(wide.size()), volume.c_str(),
                                  static_cast<int>(volume.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

// A walker's own copy of the run's patterns: matching a name takes no lock, and a widening
// during the run is seen at the next name.
class CScanEngine::KeyCopy {
public:
    explicit KeyCopy(Run& run) : m_run(run) {}
    // The number of the first pattern that name matches, or -1.
    int Matches(const char* name);

private:
    Run& m_run;
    unsigned m_version = ~0u;
    std::vector<CJunkPattern> m_keys;
};

namespace {

// FILETIME units in a day.
const uint64_t kDay = 864000000000ull;

uint64_t Now()
{
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

}  // namespace

struct CScanEngine::Run {
    Run(unsigned nId, std::function<bool()> notify) : id(nId), mailbox(std::move(notify)) {}
    ~Run()
    {
        if (startEvent)
            ::CloseHandle(startEvent);
    }

    const unsigned id;
    std::atomic<bool> stop{false};
    CPauseGate gate;
    CScanMailbox mailbox;
    std::atomic<int> live{0};     // workers not yet ended
    std::atomic<int> halted{0};   // workers held by the pause, or waiting for a folder
    HANDLE startEvent = nullptr;  // the walk begins once it is signalled
    std::unique_ptr<CTestGate> testGate;  // where a test may hold the run (TestGate.h)
    CString root;
    std::wstring volumeRoot;  // the root of the volume that holds root, with its backslash
    std::atomic<bool> starterTaken{false};

    // The walk: the extensions to match (each walker keeps a copy, taken again when the
    // version moves), and the folders still to list, shared by the walkers.
    std::mutex keyLock;
    std::vector<CJunkPattern> keys;
    CScanOptions options;
    uint64_t ageCutoff = 0;    // files written after it are too new (0: none)
    uint64_t placeCutoff = 0;  // the same for the places' files
    std::atomic<int> tooNew{0};
    std::atomic<unsigned> keysVersion{0};
    std::mutex workLock;
    std::condition_variable workReady;
    std::vector<CString> folders;
    int listing = 0;              // walkers listing a folder now (they may add more)
    std::atomic<uint64_t> scanned{0};
    std::atomic<uint64_t> files{0};
    std::atomic<int> unreadable{0};
    std::atomic<int> unreadableFiles{0};
    bool useTable = true;                // may list from the volume's master file table
    std::atomic<bool> readTable{false};  // it did

    // The deletion.
    std::vector<const char*> paths;
    std::shared_ptr<const void> keepPaths;  // what holds their texts
    bool recycle = false;                 // to the Recycle Bin, a batch at a time
    std::vector<DeleteOutcome> outcomes;  // each slot written by the one worker that took it
    std::atomic<size_t> next{0};
    std::atomic<int> done{0};

    void AddKeys(const std::vector<CString>& patterns)
    {
        std::lock_guard<std::mutex> lock(keyLock);
        for (const CString& pattern : patterns)
            keys.push_back(MakeJunkPattern(pattern));
        ++keysVersion;
    }
    // Neither stopped nor ended.
    bool Active() const { return !stop && live > 0; }
    // A worker halts here while the run is paused, once the owner has been told everything
    // found so far.
    void HoldWhilePaused()
    {
        if (!gate.IsPaused())
            return;
        mailbox.PostNow();
        ++halted;
        gate.Wait();
        --halted;
    }
    void StopNow()
    {
        stop = true;
        if (startEvent)
            ::SetEvent(startEvent);
        gate.Resume();
        std::lock_guard<std::mutex> lock(workLock);
        workReady.notify_all();
    }
};

int CScanEngine::KeyCopy::Matches(const char* name)
{
    if (m_run.keysVersion.load() != m_version) {
        std::lock_guard<std::mutex> lock(m_run.keyLock);
        m_keys = m_run.keys;
        m_version = m_run.keysVersion.load();
    }
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (NameMatches(name, m_keys[i]))
            return static_cast<int>(i);
    }
    return -1;
}

uint16_t CScanEngine::JunkRule(Run& run, KeyCopy& keys, const char* name, int place, uint64_t modified)
{
    const int pattern = keys.Matches(name);
    uint16_t rule = kNoRule;
    if (pattern >= 0 && pattern < kPlaceRule)
        rule = static_cast<uint16_t>(pattern);
    else if (place >= 0 && modified <= run.placeCutoff)
        rule = static_cast<uint16_t>(kPlaceRule + place);
    if (rule == kNoRule)
        return kNoRule;
    if (run.ageCutoff && modified > run.ageCutoff) {
        ++run.tooNew;
        return kNoRule;
    }
    return rule;
}

CScanEngine::CScanEngine(IScanEvents* pEvents, int nThreads) : m_pEvents(pEvents), m_nThreads(nThreads)
{
    if (m_nThreads <= 0) {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        m_nThreads = std::max(2, static_cast<int>(info.dwNumberOfProcessors));
    }
}

CScanEngine::~CScanEngine()
{
    Shutdown(5000);
}

std::shared_ptr<CScanEngine::Run> CScanEngine::NewRun()
{
    const unsigned id = ++m_nLastRun;
    IScanEvents* events = m_pEvents;
    return std::make_shared<Run>(id, [events, id] {
        if (events)
            events->OnRunNews(id);
        return events != nullptr;
    });
}

void CScanEngine::StartWorkers(const std::shared_ptr<Run>& run, int n,
                               void (CScanEngine::*work)(const std::shared_ptr<Run>&))
{
    // Workers of earlier runs that have ended need no waiting for any more.
    m_workers.erase(std::remove_if(m_workers.begin(), m_workers.end(),
                                   [](const std::unique_ptr<CWorker>& w) { return !w->IsRunning(); }),
                    m_workers.end());
    run->live = n;
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<CWorker> worker(new CWorker);
        if (worker->Start([this, run, work] { (this->*work)(run); }))
            m_workers.push_back(std::move(worker));
        else
            WorkerEnded(*run);
    }
}

unsigned CScanEngine::StartScan(const CString& root, const std::vector<CString>& patterns, HANDLE hStartEvent,
                                const CScanOptions& options)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan && m_scan->Active())
        return 0;
    std::shared_ptr<Run> run = NewRun();
    run->AddKeys(patterns);
    run->options = options;
    const uint64_t now = Now();
    if (options.olderThanDays > 0)
        run->ageCutoff = now - std::min<uint64_t>(static_cast<uint64_t>(options.olderThanDays) * kDay, now);
    run->placeCutoff = now - kDay;
    run->root = root;
    // Only a root short enough to be asked can be the volume's root, or hold it.
    wchar_t volume[MAX_PATH + 1] = {};
    if (::GetVolumePathNameW(AfxToWide(root).c_str(), volume, MAX_PATH + 1))
        run->volumeRoot = volume;
    run->testGate.reset(new CTestGate(CTestGate::Kind::Scan));
    if (!hStartEvent ||
        !::DuplicateHandle(::GetCurrentProcess(), hStartEvent, ::GetCurrentProcess(), &run->startEvent, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
        run->startEvent = nullptr;
    // The first walker lists the volume's table, or hands out the root once the event allows.
    run->listing = 1;
    run->useTable = m_bUseTable;
    m_scan = run;
    StartWorkers(run, m_nThreads, &CScanEngine::Walk);
    return run->id;
}

void CScanEngine::AddPatterns(const std::vector<CString>& patterns)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan && m_scan->Active())
        m_scan->AddKeys(patterns);
}

unsigned CScanEngine::StartDelete(std::vector<CString> paths, DeleteMode mode)
{
    auto texts = std::make_shared<std::vector<CString>>(std::move(paths));
    std::vector<const char*> pointers;
    pointers.reserve(texts->size());
    for (const CString& path : *texts)
        pointers.push_back(path.GetString());
    return StartDelete(std::move(pointers), mode, texts);
}

unsigned CScanEngine::StartDelete(std::vector<const char*> paths, DeleteMode mode, std::shared_ptr<const void> keep)
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_delete && m_delete->Active())
        return 0;
    std::shared_ptr<Run> run = NewRun();
    run->paths = std::move(paths);
    run->keepPaths = std::move(keep);
    run->testGate.reset(new CTestGate(CTestGate::Kind::Delete));
    run->recycle = mode == DeleteMode::ToRecycleBin;
    run->outcomes.assign(run->paths.size(), DeleteOutcome::NotTried);
    m_delete = run;
    // A deletion waits on the disk more than on the processor: one worker more than cores.
    // The shell moves to the Recycle Bin one operation at a time: one worker.
    const int n = run->recycle ? 1 : static_cast<int>(std::min<size_t>(run->paths.size(), static_cast<size_t>(m_nThreads + 1)));
    StartWorkers(run, std::max(n, 1), &CScanEngine::Delete);
    return run->id;
}

void CScanEngine::Pause()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan && m_scan->Active())
        m_scan->gate.Pause();
}

void CScanEngine::Resume()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan)
        m_scan->gate.Resume();
}

void CScanEngine::Stop()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan)
        m_scan->StopNow();
    if (m_delete)
        m_delete->StopNow();
}

void CScanEngine::StopDelete()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_delete)
        m_delete->StopNow();
}

void CScanEngine::StopScan()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan)
        m_scan->StopNow();
}

EngineState CScanEngine::State() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_delete && m_delete->Active())
        return EngineState::Deleting;
    if (m_scan && m_scan->Active())
        return m_scan->gate.IsPaused() ? EngineState::Paused : EngineState::Scanning;
    return EngineState::Idle;
}

std::shared_ptr<CScanEngine::Run> CScanEngine::Current(unsigned nRun) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_scan && m_scan->id == nRun)
        return m_scan;
    if (m_delete && m_delete->id == nRun)
        return m_delete;
    return nullptr;
}

bool CScanEngine::IsCurrentRun(unsigned nRun) const
{
    return nRun != 0 && Current(nRun) != nullptr;
}

bool CScanEngine::IsHalted() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_scan && m_scan->gate.IsPaused() && m_scan->halted >= m_scan->live;
}

CScanMailbox::Batch CScanEngine::TakeNews(unsigned nRun)
{
    std::shared_ptr<Run> run = Current(nRun);
    return run ? run->mailbox.Take() : CScanMailbox::Batch();
}

CScanTotals CScanEngine::Totals() const
{
    std::shared_ptr<Run> run;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        run = m_scan;
    }
    CScanTotals totals;
    if (run) {
        totals.count = run->mailbox.Count();
        totals.bytes = run->mailbox.Bytes();
        totals.unreadable = run->unreadable;
        totals.unreadableFiles = run->unreadableFiles;
        totals.readTable = run->readTable;
        totals.files = run->files;
        totals.tooNew = run->tooNew;
    }
    return totals;
}

std::vector<DeleteOutcome> CScanEngine::DeleteOutcomes() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_delete ? m_delete->outcomes : std::vector<DeleteOutcome>();
}

bool CScanEngine::Shutdown(DWORD timeoutMs)
{
    Stop();
    std::vector<std::unique_ptr<CWorker>> workers;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        workers.swap(m_workers);
    }
    const DWORD end = ::GetTickCount() + timeoutMs;
    bool all = true;
    for (auto& worker : workers) {
        const DWORD now = ::GetTickCount();
        const DWORD left = static_cast<LONG>(end - now) > 0 ? end - now : 0;
        all = worker->Join(left) && all;
    }
    return all;
}

void CScanEngine::WorkerEnded(Run& run)
{
    if (--run.live == 0 && m_pEvents) {
        // The totals are final now: the owner is told once more, then that the run is over.
        run.mailbox.PostNow();
        m_pEvents->OnRunEnded(run.id);
    }
}

void CScanEngine::Walk(const std::shared_ptr<Run>& run)
{
    KeyCopy keys(*run);
    if (!run->starterTaken.exchange(true)) {
        if (run->startEvent)
            ::WaitForSingleObject(run->startEvent, INFINITE);
        const bool listed = !run->stop && run->useTable && ListFromTable(*run, keys);
        std::lock_guard<std::mutex> lock(run->workLock);
        bool rootKeptOut = false;
        for (const CString& out : run->options.excluded)
            rootKeptOut = rootKeptOut || IsPathAtOrBelow(run->root, out);
        if (!run->stop && !listed && !rootKeptOut)
            run->folders.push_back(run->root);
        --run->listing;
        run->workReady.notify_all();
    }
    for (;;) {
        CString dir;
        {
            std::unique_lock<std::mutex> lock(run->workLock);
            for (;;) {
                if (run->stop)
                    break;
                if (!run->folders.empty()) {
                    dir = run->folders.back();
                    run->folders.pop_back();
                    ++run->listing;
                    break;
                }
                if (run->listing == 0) {
                    // Nothing left to list, and nobody listing who could add more: done.
                    run->workReady.notify_all();
                    break;
                }
                ++run->halted;
                run->workReady.wait(lock);
                --run->halted;
            }
        }
        if (dir.IsEmpty())
            break;
        // No exception leaves a worker: a folder that could not be walked to its end (out of
        // memory) is counted as unreadable, and the summary says so.
        try {
            WalkFolder(*run, keys, dir);
        } catch (...) {
            ++run->unreadable;
        }
        std::lock_guard<std::mutex> lock(run->workLock);
        --run->listing;
        if (run->listing == 0 && run->folders.empty())
            run->workReady.notify_all();
    }
    WorkerEnded(*run);
}

bool CScanEngine::ListFromTable(Run& run, KeyCopy& keys)
{
    CMasterFileTable table;
    const uint64_t used = GetDiskUsedBytes(run.root);
    CMasterFileTable::Sink sink;
    sink.proceed = [&run] {
        run.HoldWhilePaused();
        return !run.stop;
    };
    // The bar advances with the records read, over the whole of the drive's used space.
    sink.progress = [&run, used](uint64_t read, uint64_t total) {
        run.scanned = total ? static_cast<uint64_t>(static_cast<double>(used) * static_cast<double>(read) / static_cast<double>(total)) : 0;
        if (run.mailbox.Report(ProgressUnits(run.scanned)))
            run.mailbox.SetPath(run.root);
    };
    sink.unreadable = [&run](int folders, int files) {
        run.unreadable += folders;
        run.unreadableFiles += files;
    };
    bool listing = false;  // files have been handed on: a walk now would list them twice
    sink.file = [this, &run, &keys, &listing](const CString& path, const CString& name, uint64_t size, uint64_t modified) {
        listing = true;
        run.testGate->Pass(run.files.load(), run.stop, [&run] { run.mailbox.PostNow(); });
        ++run.files;
        for (const CString& excluded : run.options.excluded) {
            if (IsPathAtOrBelow(path, excluded))
                return;
        }
        int place = -1;
        for (size_t i = 0; i < run.options.places.size() && place < 0; ++i) {
            if (IsPathAtOrBelow(path, run.options.places[i]))
                place = static_cast<int>(i);
        }
        const uint16_t rule = JunkRule(run, keys, name, place, modified);
        if (rule != kNoRule)
            run.mailbox.AddFound(path, size, modified, rule);
    };
    try {
        if (!table.Open(run.root) || table.List(sink) == CMasterFileTable::Result::Failed)
            return false;
    } catch (...) {
        // No exception leaves a worker. Out of memory before the listing began: the walk
        // does the work; during it, the rest of the volume counts as a folder not read.
        if (!listing)
            return false;
        ++run.unreadable;
    }
    run.readTable = true;
    return true;
}

void CScanEngine::WalkFolder(Run& run, KeyCopy& keys, const CString& dir)
{
    // Which place, if any, this folder is in: its files a day old are junk whatever their names.
    int place = -1;
    for (size_t i = 0; i < run.options.places.size() && place < 0; ++i) {
        if (IsPathAtOrBelow(dir, run.options.places[i]))
            place = static_cast<int>(i);
    }
    CFileSearch search;
    if (!search.Open(dir)) {
        if (search.Unreadable())
            ++run.unreadable;
        return;
    }
    while (search.Next()) {
        // A pause halts the walker here, between two entries.
        run.HoldWhilePaused();
        if (run.stop)
            return;
        const DWORD attributes = search.Attributes();
        // A name with no exact UTF-8 form would give a path to some other file, or to none:
        // neither listed nor entered, and counted as what could not be read.
        if (!search.NameIsExact()) {
            ++((attributes & FILE_ATTRIBUTE_DIRECTORY) ? run.unreadable : run.unreadableFiles);
            continue;
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A folder link, junction or mount point leads out of the tree that the user
            // chose, or into a part of it that the walk reaches anyway: never entered.
            if (IsDotName(search.Name()) || !EntersFolder(attributes, search.ReparseTag()))
                continue;
            // The Recycle Bin and the restore points at the volume's root are the system's.
            if (IsSystemStoreName(search.Name()) && IsVolumeRoot(run.volumeRoot, dir))
                continue;
            CString folder = JoinPath(dir, search.Name());
            // A folder the user keeps out is not entered.
            bool excluded = false;
            for (const CString& out : run.options.excluded)
                excluded = excluded || SamePath(folder, out);
            if (excluded)
                continue;
            std::lock_guard<std::mutex> lock(run.workLock);
            run.folders.push_back(std::move(folder));
            run.workReady.notify_one();
            continue;
        }
        const uint64_t size = search.Size();
        run.testGate->Pass(run.files.load(), run.stop, [&run] { run.mailbox.PostNow(); });
        ++run.files;
        if (run.mailbox.Report(ProgressUnits(run.scanned += size)))
            run.mailbox.SetPath(JoinPath(dir, search.Name()));
        const uint16_t rule = JunkRule(run, keys, search.Name(), place, search.Modified());
        if (rule != kNoRule)
            run.mailbox.AddFound(JoinPath(dir, search.Name()), size, search.Modified(), rule);
    }
    if (search.Unreadable())
        ++run.unreadable;
}

void CScanEngine::Delete(const std::shared_ptr<Run>& run)
{
    for (;;) {
        if (run->stop)
            break;
        if (run->recycle) {
            // One operation of the shell for each batch; a Stop waits for the batch in hand.
            const size_t kBatch = 256;
            const size_t first = run->next.fetch_add(kBatch);
            if (first >= run->paths.size())
                break;
            const size_t end = std::min(first + kBatch, run->paths.size());
            const std::vector<CString> batch(run->paths.begin() + static_cast<ptrdiff_t>(first),
                                             run->paths.begin() + static_cast<ptrdiff_t>(end));
            run->mailbox.SetPath(batch.front());
            const std::vector<DeleteOutcome> outcomes = RecycleListedFiles(batch);
            std::copy(outcomes.begin(), outcomes.end(), run->outcomes.begin() + static_cast<ptrdiff_t>(first));
            run->mailbox.Report(run->done += static_cast<int>(batch.size()));
            continue;
        }
        run->testGate->Pass(static_cast<uint64_t>(run->done.load()), run->stop, [&run] { run->mailbox.PostNow(); });
        const size_t i = run->next++;
        if (i >= run->paths.size() || run->stop)
            break;
        try {
            run->outcomes[i] = DeleteListedFile(CString(run->paths[i]));
        } catch (...) {
            run->outcomes[i] = DeleteOutcome::Failed;
        }
        if (run->mailbox.Report(++run->done))
            run->mailbox.SetPath(CString(run->paths[i]));
    }
    WorkerEnded(*run);
}
