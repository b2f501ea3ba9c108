// The main dialog with one addition for tests: code handed to it runs on the dialog's own
// thread, where the program's commands run.
#pragma once

#include <functional>
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

protected:
    LRESULT OnRunHere(WPARAM, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
