#include "ScanMailbox.h"

namespace {
// The window is told about the walk at most this often, and at most one notification is
// outstanding: enough for the eye, little enough that the walk is not held back.
const DWORD kNotifyIntervalMs = 25;
// The clock is read only every so many files.
const unsigned kReportsPerClockCheck = 32;
}  // namespace

void CScanMailbox::Reset()
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_batch = Batch();
    m_progress = 0;
    m_reports = 0;
}

void CScanMailbox::SetPath(const CString& path)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_batch.path = path;
    m_batch.hasPath = true;
}

void CScanMailbox::AddFound(const CString& path)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_batch.found.push_back(path);
    }
    PostIfDue();
}

void CScanMailbox::Report(int progress)
{
    m_progress.store(progress, std::memory_order_relaxed);
    if (++m_reports % kReportsPerClockCheck == 0)
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
    if (!m_hWnd || !::PostMessageA(m_hWnd, m_nMsg, 0, 0))
        m_posted = false;
}

CScanMailbox::Batch CScanMailbox::Take()
{
    Batch out;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        out = std::move(m_batch);
        m_batch = Batch();
        m_posted = false;
    }
    out.progress = m_progress.load();
    return out;
}
