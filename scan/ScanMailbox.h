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

class CScanMailbox {
public:
    // Found paths, one after another, each ending in a zero byte: a long list that waits for
    // a busy owner costs its bytes and little more.
    class CPathList {
    public:
        void Add(const CString& path, uint64_t size)
        {
            m_data.append(path.GetString(), static_cast<size_t>(path.GetLength()) + 1);
            m_sizes.push_back(size);
            ++m_nCount;
        }
        // Everything of other after what this list holds.
        void Append(const CPathList& other)
        {
            m_data += other.m_data;
            m_sizes.insert(m_sizes.end(), other.m_sizes.begin(), other.m_sizes.end());
            m_nCount += other.m_nCount;
        }
        size_t size() const { return m_nCount; }
        bool empty() const { return m_nCount == 0; }
        // Calls fn(const char*) for each path, in the order they were added.
        template <class Fn>
        void ForEach(Fn fn) const
        {
            for (size_t at = 0; at < m_data.size(); at += std::strlen(m_data.c_str() + at) + 1)
                fn(m_data.c_str() + at);
        }
        // Calls fn(const char* path, uint64_t size) for each path.
        template <class Fn>
        void ForEachWithSize(Fn fn) const
        {
            size_t i = 0;
            ForEach([&](const char* path) { fn(path, m_sizes[i++]); });
        }
        std::vector<CString> ToVector() const
        {
            std::vector<CString> v;
            v.reserve(m_nCount);
            ForEach([&](const char* p) { v.emplace_back(p); });
            return v;
        }

    private:
        std::string m_data;
        std::vector<uint64_t> m_sizes;
        size_t m_nCount = 0;
    };

    struct Batch {
        bool hasPath = false;
        CString path;
        int progress = 0;
        CPathList found;
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
    void AddFound(const CString& path, uint64_t bytes);
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
