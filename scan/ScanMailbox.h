// What the walk hands to the window: the latest path under test, the progress position and
// the junk files found since the window last looked. The walker only writes here and posts
// a notification now and then; it never waits for the window.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "../framework/CString.h"

class CScanMailbox {
public:
    struct Batch {
        bool hasPath = false;
        CString path;
        int progress = 0;
        std::vector<CString> found;
    };

    // The window that is told, and the message it is told with.
    void SetTarget(HWND hWnd, UINT nMsg) { m_hWnd = hWnd; m_nMsg = nMsg; }
    // Forgets everything of an earlier run.
    void Reset();

    // Walker side.
    void SetPath(const CString& path);
    void AddFound(const CString& path);
    // Once per file: the progress position, and a notification when one is due.
    void Report(int progress);
    // A notification now, whatever the interval: the walk is about to halt.
    void PostNow();

    // Window side: takes everything that waits; a new notification may be posted after this.
    Batch Take();

private:
    void PostIfDue(bool now = false);

    HWND m_hWnd = nullptr;
    UINT m_nMsg = 0;
    std::mutex m_lock;
    Batch m_batch;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_posted{false};
    std::atomic<unsigned> m_reports{0};
    std::atomic<DWORD> m_lastPost{0};
};
