#include "TestDialog.h"

#include <commctrl.h>

std::string ListCell(HWND list, int row, int column)
{
    std::wstring text(32768, L'\0');
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = &text[0];
    item.cchTextMax = static_cast<int>(text.size());
    const LRESULT got = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return static_cast<const char*>(AfxFromWide(text.c_str(), got > 0 ? static_cast<int>(got) : 0));
}

std::vector<std::string> CTestDlg::ListedFiles()
{
    // Read on the dialog's thread, through the list's own messages, as a screen reader reads it.
    std::vector<std::string> items;
    OnWindowThread([&] {
        HWND list = ::GetDlgItem(m_hWnd, IDC_LIST_FILES);
        for (int i = 0, n = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); i < n; ++i)
            items.push_back(ListCell(list, i, 0));
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
