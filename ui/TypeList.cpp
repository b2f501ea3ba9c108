#include "TypeList.h"

#include "../framework/Dpi.h"

#include <algorithm>

#include "../scan/FoundFiles.h"

void CTypeList::SetNote(int nIndex, const CString& note)
{
    if (nIndex < 0)
        return;
    if (static_cast<size_t>(nIndex) >= m_notes.size())
        m_notes.resize(static_cast<size_t>(nIndex) + 1);
    if (m_notes[static_cast<size_t>(nIndex)] == note)
        return;
    m_notes[static_cast<size_t>(nIndex)] = note;
    RECT rc;
    if (GetItemRect(nIndex, &rc))
        ::InvalidateRect(m_hWnd, &rc, FALSE);
}

CString CTypeList::Note(int nIndex) const
{
    return nIndex >= 0 && static_cast<size_t>(nIndex) < m_notes.size() ? m_notes[static_cast<size_t>(nIndex)] : CString();
}

void CTypeList::ClearNotes()
{
    m_notes.clear();
    Invalidate(FALSE);
}

void CTypeList::DrawItem(LPDRAWITEMSTRUCT dis)
{
    CCheckListBox::DrawItem(dis);
    const CString note = Note(static_cast<int>(dis->itemID));
    if (static_cast<int>(dis->itemID) < 0 || note.IsEmpty())
        return;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    RECT rc = dis->rcItem;
    rc.right -= ScaleBy(3, Dpi());
    // Over the line's own background, so that a long pattern runs under it, not through it.
    const std::wstring wideNote = AfxToWide(note);
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(dis->hDC, wideNote.c_str(), static_cast<int>(wideNote.size()), &size);
    RECT back = {std::max<LONG>(dis->rcItem.left + CheckColumn(), rc.right - size.cx - ScaleBy(6, Dpi())), rc.top, dis->rcItem.right, rc.bottom};
    ::FillRect(dis->hDC, &back, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const COLORREF old = ::SetTextColor(dis->hDC, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(128, 128, 128));
    const int oldMode = ::SetBkMode(dis->hDC, TRANSPARENT);
    const std::wstring wide = AfxToWide(note);
    ::DrawTextW(dis->hDC, wide.c_str(), static_cast<int>(wide.size()), &rc, DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SetBkMode(dis->hDC, oldMode);
    ::SetTextColor(dis->hDC, old);
}

CString TallyNote(int count, uint64_t bytes)
{
    CString digits;
    digits.Format("%d", count);
    CString grouped;
    for (int i = 0; i < digits.GetLength(); ++i) {
        if (i > 0 && (digits.GetLength() - i) % 3 == 0)
            grouped += ',';
        grouped += digits.GetAt(i);
    }
    return grouped + " · " + FileSizeText(bytes, false);
}
