// What a run hands to its owner: the latest path under work, the progress position, the junk
// files found (with their count and bytes, taken together so that a summary always counts what
// the list shows) and, for a deletion, how many files were done. Workers only write here and
// call the owner's notice now and then; they never wait for the owner.
#pragma once

#include <atomic>
#include <cstring>
#include <string>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "../framework/CString.h"

// Found files, one after another: each path with its sort key (made on the worker that found
// it, so the window's thread does not), its size and its last-write time. A long list that
// waits for a busy owner costs its bytes and little more.
class CFoundBatch {
public:
    struct Item {
        const char* path;
        size_t pathLength;
        const char* key;
        size_t keyLength;
        uint64_t size;
        uint64_t modified;
        uint16_t rule;  // what made it junk (ScanEngine.h: a pattern's number, or a place's)
    };
    void Add(const CString& path, const std::string& key, uint64_t size, uint64_t modified, uint16_t rule = 0)
    {
        m_items.push_back(Entry{size, modified, m_paths.size(), static_cast<uint32_t>(path.GetLength()), m_keys.size(),
                                static_cast<uint32_t>(key.size()), rule});
        m_paths.append(path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
        m_keys += key;
    }
    // Everything of other after what this batch holds.
    void Append(const CFoundBatch& other)
    {
        const size_t paths = m_paths.size(), keys = m_keys.size();
        for (Entry e : other.m_items) {
            e.pathAt += paths;
            e.keyAt += keys;
            m_items.push_back(e);
        }
        m_paths += other.m_paths;
        m_keys += other.m_keys;
    }
    size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    Item At(size_t i) const
    {
        const Entry& e = m_items[i];
        return Item{m_paths.data() + e.pathAt, e.pathLength, m_keys.data() + e.keyAt, e.keyLength, e.size, e.modified, e.rule};
    }
    // Calls fn(const Item&) for each file, in the order they were added.
    template <class Fn>
    void ForEach(Fn fn) const
    {
        for (size_t i = 0; i < m_items.size(); ++i)
            fn(At(i));
    }

private:
    struct Entry {
        uint64_t size;
        uint64_t modified;
        size_t pathAt;
        uint32_t pathLength;
        size_t keyAt;
        uint32_t keyLength;
        uint16_t rule;
    };
    std::vector<Entry> m_items;
    std::string m_paths;
    std::string m_keys;
};

class CScanMailbox {
public:
    struct Batch {
        bool hasPath = false;
        CString path;
        int progress = 0;
        CFoundBatch found;
        // Totals of the whole run up to this batch.
        int count = 0;
        uint64_t bytes = 0;
    };

    // notify is called when news waits and no earlier notice is still unanswered (see Take);
    // it says whether the notice went out.
    explicit CScanMailbox(std::function<bool()> notify) : m_notify(std::move(notify)) {}

    // Worker side.
    // Once per item (file walked, file deleted): the progress position. True now and then:
    // the caller then hands over the item's path with SetPath, so that the status line shows
    // one being worked on (the path is made only when it is wanted).
    bool Report(int progress);
    void SetPath(const CString& path);
    // A junk file found: its path, size, last-write time (FILETIME units; 0 unknown) and what
    // made it junk.
    void AddFound(const CString& path, uint64_t bytes, uint64_t modified, uint16_t rule);
    // A notice now, whatever the interval: the worker is about to halt.
    void PostNow();

    // Owner side: takes everything that waits; a new notice may come after this.
    Batch Take();
    // The run's totals, as the last Take left them plus what waits.
    int Count();
    uint64_t Bytes();

private:
    void PostIfDue(bool now = false);

    std::function<bool()> m_notify;
    std::mutex m_lock;
    Batch m_batch;
    int m_count = 0;
    uint64_t m_bytes = 0;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_posted{false};
    std::atomic<unsigned> m_reports{0};
    std::atomic<DWORD> m_lastPost{0};
};
