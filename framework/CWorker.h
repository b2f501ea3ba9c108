// A thread of the program's own: started with a function, asked to stop, joined with a limit.
// The function polls StopRequested(); nothing stops a thread from outside.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "Afx.h"

class CWorker {
public:
    CWorker() = default;
    // A worker still running is left to end by itself; only the handle is given back.
    ~CWorker();
    CWorker(const CWorker&) = delete;
    CWorker& operator=(const CWorker&) = delete;

    // Runs fn on a new thread; false if no thread could be made (fn then never runs).
    bool Start(std::function<void()> fn);
    void RequestStop() { m_bStop = true; }
    bool StopRequested() const { return m_bStop.load(); }
    // Waits up to timeoutMs for the thread to end; true once it has (or was never started).
    bool Join(DWORD timeoutMs);
    bool IsRunning() const;

private:
    static DWORD WINAPI ThreadProc(LPVOID pParam);

    HANDLE m_hThread = nullptr;
    std::atomic<bool> m_bStop{false};
};

// Runs fn on hWnd's thread and returns once it has run there (at once when called on that
// thread). The window must be bound to a CWnd, whose base handles the request.
void AfxRunOnWindowThread(HWND hWnd, const std::function<void()>& fn);
// The message that carries such a request: wParam 0, lParam the function.
const UINT WM_AFX_RUN_HERE = WM_APP + 0x3F00;
