#include "CListBox.h"

#include <string>

void CListBox::GetText(int nIndex, CString& rString) const
{
    const int n = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(nIndex)));
    if (n == LB_ERR) {
        rString.Empty();
        return;
    }
    std::string buf(static_cast<size_t>(n) + 1, '\0');
    const int got = static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&buf[0])));
    rString = CString(buf.data(), got > 0 ? got : 0);
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
