#include "CListBox.h"

#include <string>

void CListBox::GetText(int nIndex, CString& rString) const
{
    // Asked in UTF-16 and converted here: the narrow message goes through a conversion that
    // Wine bounds at 512 characters, and a long path overruns it.
    rString.Empty();
    const int n = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0));
    if (n == LB_ERR || n == 0)
        return;
    std::wstring wide(static_cast<size_t>(n) + 1, L'\0');
    const int got = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&wide[0])));
    if (got <= 0)
        return;
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), got, nullptr, 0, nullptr, nullptr);
    std::string buf(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), got, &buf[0], bytes, nullptr, nullptr);
    rString = CString(buf.data(), bytes);
}

BOOL CListBox::OnChildNotify(UINT nMsg, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (nMsg == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    } else if (nMsg == WM_MEASUREITEM) {
        MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    } else {
        return FALSE;
    }
    *pResult = TRUE;
    return TRUE;
}
