#include "CHSListBox.h"

namespace {

// Width of one text in the list's own font.
class CItemMeasure {
public:
    explicit CItemMeasure(HWND hList)
        : m_dc(hList), m_font(m_dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hList, WM_GETFONT, 0, 0)))
    {
    }
    bool Ok() const { return m_dc.GetSafeHdc() != nullptr; }
    int Width(const CString& text) const
    {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32A(m_dc, text, text.GetLength(), &size);
        return size.cx;
    }

private:
    CClientDC m_dc;
    CSelectObject m_font;
};

}  // namespace

LRESULT CHSListBox::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == LB_DELETESTRING || nMsg == LB_RESETCONTENT)
        m_bStale = true;
    return CListBox::WindowProc(nMsg, wParam, lParam);
}

int CHSListBox::MeasureAll()
{
    CItemMeasure measure(m_hWnd);
    if (!measure.Ok())
        return -1;
    const int count = GetCount();
    int widest = 0;
    CString text;
    for (int i = 0; i < count; ++i) {
        GetText(i, text);
        const int cx = measure.Width(text);
        if (cx > widest)
            widest = cx;
    }
    m_cxWidest = widest;
    m_nMeasured = count;
    m_bStale = false;
    return widest;
}

void CHSListBox::UpdateHorizontalExtent()
{
    const int count = GetCount();
    if (count < 1) {
        SetHorizontalExtent(0);
        m_cxWidest = 0;
        m_nMeasured = 0;
        m_bStale = false;
        return;
    }
    if ((m_bStale || count != m_nMeasured) && MeasureAll() < 0)
        return;  // no device context: the extent stays as it was
    SetHorizontalExtent(m_cxWidest + 5);
}

void CHSListBox::AddStrings(const std::vector<CString>& items)
{
    if (items.empty())
        return;
    const bool wasCurrent = !m_bStale && GetCount() == m_nMeasured;
    SendMessage(WM_SETREDRAW, FALSE);
    for (const CString& item : items)
        AddString(item);
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);

    if (wasCurrent) {
        CItemMeasure measure(m_hWnd);
        if (measure.Ok()) {
            for (const CString& item : items) {
                const int cx = measure.Width(item);
                if (cx > m_cxWidest)
                    m_cxWidest = cx;
            }
            m_nMeasured += static_cast<int>(items.size());
        }
    }
    UpdateHorizontalExtent();
}
