#include "CCheckListBox.h"

#include "Dpi.h"

namespace {
const int kBoxSize = 13;  // at 96 dpi
}

BEGIN_MESSAGE_MAP(CCheckListBox, CListBox)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

int CCheckListBox::GetCheck(int nIndex) const
{
    const LRESULT data = SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(nIndex));
    return data == LB_ERR ? -1 : static_cast<int>(data & 3);
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
    if (nCheck < 0 || nCheck > 2 || SetItemData(nIndex, static_cast<DWORD_PTR>(nCheck)) == LB_ERR)
        return;
    RECT rc;
    if (GetItemRect(nIndex, &rc))
        ::InvalidateRect(m_hWnd, &rc, FALSE);
}

void CCheckListBox::SetScale(int dpi)
{
    m_nDpi = dpi;
    SetItemHeight(0, static_cast<UINT>(ItemHeight()));
    Invalidate(FALSE);
}

int CCheckListBox::CheckColumn() const
{
    return ScaleBy(kCheckColumn, m_nDpi);
}

int CCheckListBox::BoxSize() const
{
    return ScaleBy(kBoxSize, m_nDpi);
}

int CCheckListBox::ItemHeight() const
{
    // The taller of the list's font and the check box, with a pixel above and below.
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CClientDC dc(m_hWnd);
    CSelectObject font(dc, hFont);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    const int text = static_cast<int>(tm.tmHeight);
    const int box = BoxSize();
    return (text > box ? text : box) + ScaleBy(2, m_nDpi);
}

void CCheckListBox::PreSubclassWindow()
{
    // The list measured its items before this object was bound; set the height now.
    SetItemHeight(0, static_cast<UINT>(ItemHeight()));
}

void CCheckListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    lpMeasureItemStruct->itemHeight = static_cast<UINT>(ItemHeight());
}

void CCheckListBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    HDC hdc = dis->hDC;
    RECT rc = dis->rcItem;
    if (static_cast<int>(dis->itemID) < 0) {
        if (dis->itemState & ODS_FOCUS)
            ::DrawFocusRect(hdc, &rc);
        return;
    }

    const int state = static_cast<int>(dis->itemData & 3);
    const int size = BoxSize();
    RECT box = {rc.left + ScaleBy(2, m_nDpi), rc.top + (rc.bottom - rc.top - size) / 2, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    RECT column = {rc.left, rc.top, rc.left + CheckColumn(), rc.bottom};
    ::FillRect(hdc, &column, ::GetSysColorBrush(COLOR_WINDOW));
    UINT flags = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (state == 1)
        flags |= DFCS_CHECKED;
    else if (state == 2)
        flags = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
    ::DrawFrameControl(hdc, &box, DFC_BUTTON, flags);

    RECT text = {rc.left + CheckColumn(), rc.top, rc.right, rc.bottom};
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    ::FillRect(hdc, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    CString item;
    GetText(static_cast<int>(dis->itemID), item);
    const COLORREF oldText = ::SetTextColor(hdc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    RECT textInner = text;
    textInner.left += 2;
    const std::wstring wide = AfxToWide(item);
    ::DrawTextW(hdc, wide.c_str(), static_cast<int>(wide.size()), &textInner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetBkMode(hdc, oldMode);
    ::SetTextColor(hdc, oldText);
    if (dis->itemState & ODS_FOCUS)
        ::DrawFocusRect(hdc, &text);
}

void CCheckListBox::ToggleItem(int nIndex)
{
    const int state = GetCheck(nIndex);
    if (state >= 0)
        SetCheck(nIndex, state == 1 ? 0 : 1);
}

void CCheckListBox::ToggleAt(CPoint point)
{
    BOOL outside = TRUE;
    const int index = ItemFromPoint(point, outside);
    RECT rc;
    if (!outside && GetItemRect(index, &rc) && point.x >= rc.left && point.x < rc.left + CheckColumn())
        ToggleItem(index);
}

void CCheckListBox::OnLButtonDown(UINT, CPoint point)
{
    ToggleAt(point);
    Default();
}

void CCheckListBox::OnLButtonDblClk(UINT, CPoint point)
{
    // The second click of a quick double click on the box toggles again, like a single one.
    ToggleAt(point);
    Default();
}

void CCheckListBox::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_SPACE) {
        const int caret = GetCaretIndex();
        if (caret >= 0)
            ToggleItem(caret);
    }
    Default();
}
