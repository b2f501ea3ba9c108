#include "CListBox.h"

#include <string>

void CListBox::GetText(int nIndex, CString& rString) const
{
    rString.Empty();
    const int n = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0));
    if (n == LB_ERR || n == 0)
        return;
    std::wstring wide(static_cast<size_t>(n) + 1, L'\0');
    const int got = static_cast<int>(::SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&wide[0])));
    if (got > 0)
        rString = AfxFromWide(wide.c_str(), got);
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
