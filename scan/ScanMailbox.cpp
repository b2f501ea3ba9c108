#include "ScanMailbox.h"

#include "FoundFiles.h"

namespace {
// The owner is told at most this often (ten times a second), and at most one notice is
// outstanding: enough for the eye, and the window's drawing, which shares the cores with
// the walkers, does not hold them back.
const DWORD kNotifyIntervalMs = 100;
// The clock is read, and the path kept, only every so many items.
const unsigned kReportsPerClockCheck = 32;
}  // namespace

bool CScanMailbox::Report(int progress)
{
    m_progress.store(progress, std::memory_order_relaxed);
    return ++m_reports % kReportsPerClockCheck == 0;
}

void CScanMailbox::SetPath(const CString& path)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_batch.path = path;
        m_batch.hasPath = true;
    }
    PostIfDue();
}

void CScanMailbox::AddFound(const CString& path, uint64_t bytes, uint64_t modified, uint16_t rule)
{
    // The key is made here, on the worker, outside the lock.
    const std::string key = FoundSortKey(path);
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_batch.found.Add(path, key, bytes, modified, rule);
        ++m_count;
        m_bytes += bytes;
    }
    PostIfDue();
}

void CScanMailbox::PostNow()
{
    PostIfDue(true);
}

void CScanMailbox::PostIfDue(bool immediately)
{
    if (m_posted.load())
        return;
    const DWORD now = ::GetTickCount();
    if (!immediately && now - m_lastPost.load() < kNotifyIntervalMs)
        return;
    if (m_posted.exchange(true))
        return;
    m_lastPost = now;
    if (!m_notify || !m_notify())
        m_posted = false;
}

CScanMailbox::Batch CScanMailbox::Take()
{
    Batch out;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        out = std::move(m_batch);
        m_batch = Batch();
        out.count = m_count;
        out.bytes = m_bytes;
        m_posted = false;
    }
    out.progress = m_progress.load();
    return out;
}

int CScanMailbox::Count()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count;
}

uint64_t CScanMailbox::Bytes()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_bytes;
}
