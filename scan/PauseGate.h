// Where the workers halt for a pause: between two entries of the walk, between two frames of
// the animation. They halt themselves, so nothing is ever stopped while it holds a lock that
// another thread needs next.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

class CPauseGate {
public:
    void Pause()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_bPaused = true;
    }
    void Resume()
    {
        {
            std::lock_guard<std::mutex> lock(m_lock);
            m_bPaused = false;
        }
        m_resumed.notify_all();
    }
    bool IsPaused() const { return m_bPaused.load(); }
    // Returns at once unless paused; then when resumed.
    void Wait()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        m_resumed.wait(lock, [this] { return !m_bPaused.load(); });
    }

private:
    std::mutex m_lock;
    std::condition_variable m_resumed;
    std::atomic<bool> m_bPaused{false};
};
