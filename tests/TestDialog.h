// The main dialog with one addition for tests: code handed to it runs on the dialog's own
// thread, where the program's commands run.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ui/CNorvaneDlg.h"

class CTestDlg : public CNorvaneDlg {
public:
    // Runs fn on the dialog's thread and returns when it is done.
    void OnWindowThread(const std::function<void()>& fn)
    {
        ::SendMessageA(m_hWnd, WM_APP + 100, 0, reinterpret_cast<LPARAM>(&fn));
    }
    using CNorvaneDlg::StartScanRun;

    // The found-files list in its order, read on the dialog's thread (Wine hangs on a long
    // item's text sent across threads).
    std::vector<std::string> ListedFiles();

    // Starts a run on root with the ticked patterns, as the Start command does, and returns
    // a handle to the scan thread that the caller closes.
    HANDLE StartScan(const char* root);

    // While held, a run that starts waits at its very start: it stays active for as long as
    // the test needs it. Release lets every run held so far go on.
    void Hold() { m_bHold = true; }
    void Release();
    ~CTestDlg() override { Release(); }

protected:
    HANDLE CreateRunEvent() override;

    LRESULT OnRunHere(WPARAM, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::atomic<bool> m_bHold{false};
    std::mutex m_heldLock;
    std::vector<HANDLE> m_held;  // the events of the runs held
};
