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
        StartScanRun(root);
        ::DuplicateHandle(::GetCurrentProcess(), m_hScanThread.load(), ::GetCurrentProcess(), &thread,
                          SYNCHRONIZE, FALSE, 0);
    });
    return thread;
}

std::vector<std::string> CTestDlg::ListedFiles()
{
    std::vector<std::string> items;
    OnWindowThread([&] {
        for (int i = 0, n = m_listFiles.GetCount(); i < n; ++i) {
            CString text;
            m_listFiles.GetText(i, text);
            items.push_back(static_cast<const char*>(text));
        }
    });
    return items;
}

HANDLE CTestDlg::CreateRunEvent()
{
    if (!m_bHold)
        return CNorvaneDlg::CreateRunEvent();
    HANDLE h = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), h, ::GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    std::lock_guard<std::mutex> lock(m_heldLock);
    m_held.push_back(copy);
    return h;
}

void CTestDlg::Release()
{
    m_bHold = false;
    std::lock_guard<std::mutex> lock(m_heldLock);
    for (HANDLE h : m_held) {
        ::SetEvent(h);
        ::CloseHandle(h);
    }
    m_held.clear();
}
