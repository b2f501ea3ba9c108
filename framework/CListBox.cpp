#include "CListBox.h"

#include <string>

void CListBox::GetText(int nIndex, std::wstring& rText) const
{
    const LRESULT n = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    rText.assign(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
    const LRESULT got = ::SendMessageW(m_hWnd, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&rText[0]));
    rText.resize(static_cast<size_t>(got > 0 ? got : 0));
}

void CListBox::GetText(int nIndex, CString& rString) const
{
    std::wstring wide;
    GetText(nIndex, wide);
    rString = AfxFromWide(wide);
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
