#include "TestDialog.h"

BEGIN_MESSAGE_MAP(CTestDlg, CNorvaneDlg)
    ON_MESSAGE(WM_APP + 100, &CTestDlg::OnRunHere)
END_MESSAGE_MAP()

LRESULT CTestDlg::OnRunHere(WPARAM, LPARAM lParam)
{
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
}

HANDLE CTestDlg::StartScan(const char* root)
{
    HANDLE thread = nullptr;
    OnWindowThread([&] {
        m_comboDrive.SetWindowText(root);
        if (!CollectCheckedFilters())
            return;
        StartScanRun();
        ::DuplicateHandle(::GetCurrentProcess(), m_hScanThread.load(), ::GetCurrentProcess(), &thread,
                          SYNCHRONIZE, FALSE, 0);
    });
    return thread;
}
