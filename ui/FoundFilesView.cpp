#include "FoundFilesView.h"

#include "AppMessages.h"
#include "../framework/Dpi.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const struct {
    const wchar_t* title;
    int width;  // 0: the rest of the control's width
    int format;
} kColumns[] = {
    {L"路径", 0, LVCFMT_LEFT},
    {L"大小", 72, LVCFMT_RIGHT},
    {L"修改时间", 112, LVCFMT_LEFT},
};

const FoundColumn kColumnOf[] = {FoundColumn::Path, FoundColumn::Size, FoundColumn::Modified};

}  // namespace

void CFoundFilesView::Attach(CFoundFiles* pFiles)
{
    m_pFiles = pFiles;
    // Whole rows are selected; a path cut short by its column shows whole in a tip.
    const DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_INFOTIP;
    SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = kColumns[i].format;
        col.cx = kColumns[i].width ? kColumns[i].width : 100;
        col.pszText = const_cast<wchar_t*>(kColumns[i].title);
        col.iSubItem = i;
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    }
    FitColumns();
    ShowSortMark();
}

void CFoundFilesView::SetScale(int dpi)
{
    m_nDpi = dpi;
    for (int i = 1; i < 3; ++i)
        SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(ScaleBy(kColumns[i].width, dpi), 0));
    FitColumns();
}

void CFoundFilesView::FitColumns()
{
    CRect rc;
    GetClientRect(&rc);
    int fixed = 0;
    for (int i = 1; i < 3; ++i)
        fixed += static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i)));
    // Room for the vertical scroll bar, whether it shows yet or not.
    static const auto forDpi = AfxSystemFunction<int(WINAPI*)(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
    const int bar = forDpi ? forDpi(SM_CXVSCROLL, static_cast<UINT>(m_nDpi)) : ::GetSystemMetrics(SM_CXVSCROLL);
    const int scroll = (GetStyle() & WS_VSCROLL) ? 0 : bar;
    SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(std::max(80, rc.Width() - fixed - scroll), 0));
}

void CFoundFilesView::ShowSortMark()
{
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    if (!header || !m_pFiles)
        return;
    for (int i = 0; i < 3; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (kColumnOf[i] == m_pFiles->SortColumn())
            item.fmt |= m_pFiles->Descending() ? HDF_SORTDOWN : HDF_SORTUP;
        ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

CFoundFilesView::Places CFoundFilesView::Remember() const
{
    Places places;
    if (!m_pFiles)
        return places;
    const size_t count = m_pFiles->Count();
    if (static_cast<size_t>(SendMessage(LVM_GETITEMCOUNT)) != count)
        return places;  // the control does not show the model as it is: nothing to keep
    auto position = [count](LRESULT at) { return at >= 0 && static_cast<size_t>(at) < count ? static_cast<size_t>(at) : CFoundFiles::npos; };
    places.top = position(SendMessage(LVM_GETTOPINDEX));
    places.focus = position(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    places.mark = position(SendMessage(LVM_GETSELECTIONMARK));
    if (places.top != CFoundFiles::npos)
        places.topRow = m_pFiles->RowAt(places.top);
    if (places.focus != CFoundFiles::npos)
        places.focusRow = m_pFiles->RowAt(places.focus);
    if (places.mark != CFoundFiles::npos)
        places.markRow = m_pFiles->RowAt(places.mark);
    places.bRows = true;
    return places;
}

void CFoundFilesView::Show(const Places& places)
{
    if (!m_pFiles)
        return;
    // News that brought no row (a path, the progress) leaves the control as it is.
    const size_t count = m_pFiles->Count();
    if (m_pFiles->Version() == m_nShownVersion && static_cast<size_t>(SendMessage(LVM_GETITEMCOUNT)) == count)
        return;
    m_nShownVersion = m_pFiles->Version();
    m_bSyncing = true;
    SendMessage(LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
    SyncSelection();
    if (places.bRows) {
        auto now = [&](size_t was, CFoundFiles::Row row) { return was == CFoundFiles::npos ? CFoundFiles::npos : m_pFiles->PositionOf(row); };
        const size_t focus = now(places.focus, places.focusRow);
        if (focus != CFoundFiles::npos && focus != places.focus) {
            LVITEMW item = {};
            item.stateMask = LVIS_FOCUSED;
            item.state = LVIS_FOCUSED;
            SendMessage(LVM_SETITEMSTATE, focus, reinterpret_cast<LPARAM>(&item));
        }
        const size_t mark = now(places.mark, places.markRow);
        if (mark != CFoundFiles::npos && mark != places.mark)
            SendMessage(LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(mark));
        const size_t top = now(places.top, places.topRow);
        const LRESULT shownTop = SendMessage(LVM_GETTOPINDEX);
        if (top != CFoundFiles::npos && static_cast<LRESULT>(top) != shownTop) {
            RECT rc = {};
            rc.left = LVIR_BOUNDS;
            if (SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rc)) && rc.bottom > rc.top)
                SendMessage(LVM_SCROLL, 0, static_cast<LPARAM>((static_cast<LRESULT>(top) - shownTop) * (rc.bottom - rc.top)));
        }
    }
    Invalidate(FALSE);
    m_bSyncing = false;
}

void CFoundFilesView::SyncSelection()
{
    const size_t count = m_pFiles->Count();
    const size_t selected = m_pFiles->SelectedCount();
    auto set = [this](WPARAM position, bool bSelected) {
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = bSelected ? LVIS_SELECTED : 0;
        SendMessage(LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&item));
    };
    const size_t shownCount = static_cast<size_t>(SendMessage(LVM_GETSELECTEDCOUNT));
    if (selected * 2 > count || shownCount * 2 > count) {
        // Most rows selected (Ctrl+A during a scan): all of them, then the others cleared, in
        // as few messages as the rows not selected.
        const bool bFew = selected * 2 <= count;
        set(static_cast<WPARAM>(-1), !bFew);
        for (size_t i = 0; i < count; ++i) {
            if (m_pFiles->IsSelected(m_pFiles->RowAt(i)) == bFew)
                set(i, bFew);
        }
        return;
    }
    // A few rows: only those whose state is wrong are told (the control would walk every row
    // for a message to all of them).
    std::vector<size_t> shown;
    for (LRESULT i = SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); i >= 0;
         i = SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))
        shown.push_back(static_cast<size_t>(i));
    for (size_t i : shown) {
        if (i >= count || !m_pFiles->IsSelected(m_pFiles->RowAt(i)))
            set(i, false);
    }
    if (selected == 0)
        return;
    for (size_t i = 0; i < count; ++i) {
        if (m_pFiles->IsSelected(m_pFiles->RowAt(i)) && !std::binary_search(shown.begin(), shown.end(), i))
            set(i, true);
    }
}

void CFoundFilesView::PostSelectionNotice()
{
    if (m_bNoticePosted)
        return;
    m_bNoticePosted = true;
    ::PostMessageW(::GetParent(m_hWnd), WM_LIST_SELECTION, 0, 0);
}

void CFoundFilesView::SelectionNoticed()
{
    m_bNoticePosted = false;
    if (m_onSelection)
        m_onSelection();
}

void CFoundFilesView::SelectAll()
{
    if (!m_pFiles)
        return;
    m_pFiles->SelectAll(true);
    m_bSyncing = true;
    SyncSelection();
    m_bSyncing = false;
    if (m_onSelection)
        m_onSelection();
}

void CFoundFilesView::SortByColumn(int column)
{
    if (!m_pFiles || column < 0 || column >= 3)
        return;
    Places places = Remember();
    const FoundColumn by = kColumnOf[column];
    m_pFiles->SortBy(by, by == m_pFiles->SortColumn() && !m_pFiles->Descending());
    ShowSortMark();
    // A new order: the rows at the top are others now, and the caret's row is brought in sight.
    places.top = CFoundFiles::npos;
    Show(places);
    const LRESULT focus = SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
    if (focus >= 0)
        SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(focus), FALSE);
}

BOOL CFoundFilesView::OnChildNotify(UINT nMsg, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (nMsg != WM_NOTIFY || !m_pFiles)
        return FALSE;
    const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
    const int count = static_cast<int>(m_pFiles->Count());
    switch (hdr->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        LVITEMW& item = info->item;
        if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= count)
            break;
        const CFoundFiles::Row row = RowAt(item.iItem);
        // The path goes back to UTF-16 here, to be drawn; nothing keeps it.
        m_text = item.iSubItem == 0   ? AfxToWide(CString(m_pFiles->Path(row)))
                 : item.iSubItem == 1 ? AfxToWide(FileSizeText(m_pFiles->Size(row)))
                                      : AfxToWide(FileTimeText(m_pFiles->Modified(row)));
        if (item.pszText && item.cchTextMax > 0 && m_text.size() < static_cast<size_t>(item.cchTextMax)) {
            std::copy(m_text.begin(), m_text.end(), item.pszText);
            item.pszText[m_text.size()] = L'\0';
        } else {
            // Longer than the control's buffer (a path past 260 characters): the control
            // reads it from here, whole.
            item.pszText = &m_text[0];
        }
        *pResult = 0;
        return TRUE;
    }
    case LVN_ITEMCHANGED: {
        const auto* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if (m_bSyncing || !(nm->uChanged & LVIF_STATE) || !((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED))
            break;
        const bool bSelected = (nm->uNewState & LVIS_SELECTED) != 0;
        if (nm->iItem < 0)
            m_pFiles->SelectAll(bSelected);
        else if (nm->iItem < count)
            m_pFiles->Select(RowAt(nm->iItem), bSelected);
        PostSelectionNotice();
        break;
    }
    case LVN_ODSTATECHANGED: {
        const auto* nm = reinterpret_cast<const NMLVODSTATECHANGE*>(lParam);
        if (m_bSyncing || !((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED))
            break;
        const bool bSelected = (nm->uNewState & LVIS_SELECTED) != 0;
        for (int i = std::max(0, nm->iFrom); i <= nm->iTo && i < count; ++i)
            m_pFiles->Select(RowAt(i), bSelected);
        PostSelectionNotice();
        break;
    }
    case LVN_COLUMNCLICK:
        SortByColumn(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        break;
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey;
        if (key == VK_DELETE && m_onDelete)
            m_onDelete();
        else if (key == 'A' && ::GetKeyState(VK_CONTROL) < 0)
            SelectAll();
        break;
    }
    case LVN_ODFINDITEMW:
        // No search by typed text: a path list has no useful first letters.
        *pResult = -1;
        return TRUE;
    default:
        break;
    }
    return FALSE;
}
