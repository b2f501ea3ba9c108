#include "TestDialog.h"

std::vector<std::string> CTestDlg::ListedFiles()
{
    // Read on the dialog's thread: Wine hangs on a long item's text sent across threads.
    std::vector<std::string> items;
    OnWindowThread([&] {
        HWND list = ::GetDlgItem(m_hWnd, IDC_LIST_FILES);
        for (int i = 0, n = static_cast<int>(::SendMessageA(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
            const LRESULT got = ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
            items.push_back(static_cast<const char*>(AfxFromWide(text.c_str(), got > 0 ? static_cast<int>(got) : 0)));
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
