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
    switch (nMsg) {
    case LB_DELETESTRING: {
        m_bStale = true;
        const LRESULT result = CListBox::WindowProc(nMsg, wParam, lParam);
        if (result != LB_ERR && m_bKeysValid && wParam < m_keyOrder.size())
            m_keyOrder.erase(m_keyOrder.begin() + static_cast<ptrdiff_t>(wParam));
        return result;
    }
    case LB_RESETCONTENT:
        m_bStale = true;
        m_keyPool.clear();
        m_keyOrder.clear();
        m_bKeysValid = true;
        break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DIR:
        if (!m_bOwnInsert)
            m_bKeysValid = false;  // someone else placed an item: the keys are rebuilt when next needed
        break;
    }
    return CListBox::WindowProc(nMsg, wParam, lParam);
}

LCID CHSListBox::Locale() const
{
    return static_cast<LCID>(::SendMessageW(m_hWnd, LB_GETLOCALE, 0, 0));
}

std::string CHSListBox::SortKey(LCID lcid, const std::wstring& text)
{
    // The key of the list's own comparison: its locale, case ignored.
    const int n = ::LCMapStringW(lcid, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::string key(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::LCMapStringW(lcid, LCMAP_SORTKEY | NORM_IGNORECASE, text.c_str(), static_cast<int>(text.size()),
                       reinterpret_cast<LPWSTR>(&key[0]), n);
    return key;
}

int CHSListBox::FindSortedPlace(const std::string& key) const
{
    // The same halving as the list's own search, so that texts that compare equal land
    // where it would put them.
    int lo = 0, hi = static_cast<int>(m_keyOrder.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int res = m_keyPool[m_keyOrder[static_cast<size_t>(mid)]].compare(key);
        if (res == 0)
            return mid;
        if (res > 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return lo;
}

void CHSListBox::RebuildSortKeys()
{
    m_keyPool.clear();
    m_keyOrder.clear();
    const int count = GetCount();
    const LCID lcid = Locale();
    for (int i = 0; i < count; ++i) {
        CString text;
        GetText(i, text);
        m_keyOrder.push_back(static_cast<uint32_t>(m_keyPool.size()));
        m_keyPool.push_back(SortKey(lcid, AfxToWide(text)));
    }
    m_bKeysValid = true;
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
    const LCID lcid = Locale();
    SendMessage(WM_SETREDRAW, FALSE);
    m_bOwnInsert = true;
    for (const CString& item : items) {
        if (!m_bKeysValid)
            RebuildSortKeys();
        const std::wstring wide = AfxToWide(item);
        std::string key = SortKey(lcid, wide);
        const int place = FindSortedPlace(key);
        if (::SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(wide.c_str())) < 0) {
            m_bKeysValid = false;  // the list refused it: keys and items no longer match
            continue;
        }
        m_keyOrder.insert(m_keyOrder.begin() + place, static_cast<uint32_t>(m_keyPool.size()));
        m_keyPool.push_back(std::move(key));
    }
    m_bOwnInsert = false;
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
