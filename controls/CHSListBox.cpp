#include "CHSListBox.h"

#include <algorithm>

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
        m_pending.clear();
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

namespace {
// An item this close to the end is inserted at once: the list moves only the few after it.
const int kCheapShift = 64;
// Below this many items every insertion is cheap enough; above, held-back items are merged
// in when there are this many, or half as many as are shown.
const size_t kMinMerge = 2048;
}  // namespace

void CHSListBox::AddStrings(const std::vector<CString>& items)
{
    if (items.empty())
        return;
    const bool wasCurrent = !m_bStale && GetCount() == m_nMeasured;
    const LCID lcid = Locale();
    SendMessage(WM_SETREDRAW, FALSE);
    m_bOwnInsert = true;
    std::vector<const CString*> inserted;
    for (const CString& item : items) {
        if (!m_bKeysValid)
            RebuildSortKeys();
        std::wstring wide = AfxToWide(item);
        std::string key = SortKey(lcid, wide);
        const int place = FindSortedPlace(key);
        const size_t shown = m_keyOrder.size();
        if (shown >= kMinMerge && static_cast<int>(shown) - place > kCheapShift) {
            m_pending.push_back(Pending{std::move(key), std::move(wide)});
            continue;
        }
        if (::SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(wide.c_str())) < 0) {
            m_bKeysValid = false;  // the list refused it: keys and items no longer match
            continue;
        }
        m_keyOrder.insert(m_keyOrder.begin() + place, static_cast<uint32_t>(m_keyPool.size()));
        m_keyPool.push_back(std::move(key));
        inserted.push_back(&item);
    }
    m_bOwnInsert = false;
    if (m_pending.size() >= std::max(kMinMerge, m_keyOrder.size() / 2))
        Merge();
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);

    if (wasCurrent) {
        CItemMeasure measure(m_hWnd);
        if (measure.Ok()) {
            for (const CString* item : inserted) {
                const int cx = measure.Width(*item);
                if (cx > m_cxWidest)
                    m_cxWidest = cx;
            }
            m_nMeasured += static_cast<int>(inserted.size());
        }
    }
    UpdateHorizontalExtent();
}

void CHSListBox::Flush()
{
    if (m_pending.empty())
        return;
    SendMessage(WM_SETREDRAW, FALSE);
    Merge();
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    UpdateHorizontalExtent();
}

void CHSListBox::Merge()
{
    // The held-back items in key order (an item equal to one shown goes after it), then one
    // pass that fills the list anew from the end: every insertion is an append.
    if (!m_bKeysValid)
        RebuildSortKeys();
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [](const Pending& a, const Pending& b) { return a.key < b.key; });
    const size_t shown = m_keyOrder.size();
    std::vector<std::wstring> texts(shown);
    size_t chars = 0;
    for (size_t i = 0; i < shown; ++i) {
        const LRESULT len = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, i, 0);
        texts[i].assign(static_cast<size_t>(len > 0 ? len : 0) + 1, L'\0');
        const LRESULT got = ::SendMessageW(m_hWnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&texts[i][0]));
        texts[i].resize(static_cast<size_t>(got > 0 ? got : 0));
        chars += texts[i].size() + 1;
    }
    for (const Pending& p : m_pending)
        chars += p.text.size() + 1;

    int widest = m_cxWidest;
    const bool measured = !m_bStale && static_cast<int>(shown) == m_nMeasured;
    if (measured) {
        CItemMeasure measure(m_hWnd);
        for (const Pending& p : m_pending) {
            if (measure.Ok())
                widest = std::max(widest, measure.Width(AfxFromWide(p.text.c_str(), static_cast<int>(p.text.size()))));
        }
    }

    std::vector<std::string> pool;
    pool.reserve(shown + m_pending.size());
    std::vector<std::wstring> order;
    order.reserve(shown + m_pending.size());
    size_t a = 0, b = 0;
    while (a < shown || b < m_pending.size()) {
        const bool takeShown =
            b == m_pending.size() || (a < shown && m_keyPool[m_keyOrder[a]].compare(m_pending[b].key) <= 0);
        if (takeShown) {
            pool.push_back(std::move(m_keyPool[m_keyOrder[a]]));
            order.push_back(std::move(texts[a]));
            ++a;
        } else {
            pool.push_back(std::move(m_pending[b].key));
            order.push_back(std::move(m_pending[b].text));
            ++b;
        }
    }
    m_pending.clear();

    CListBox::WindowProc(LB_RESETCONTENT, 0, 0);
    ::SendMessageW(m_hWnd, LB_INITSTORAGE, order.size(), chars * sizeof(wchar_t));
    m_bOwnInsert = true;
    m_keyPool = std::move(pool);
    m_keyOrder.resize(m_keyPool.size());
    for (size_t i = 0; i < order.size(); ++i) {
        m_keyOrder[i] = static_cast<uint32_t>(i);
        ::SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(order[i].c_str()));
    }
    m_bOwnInsert = false;
    m_bKeysValid = true;
    if (measured) {
        m_cxWidest = widest;
        m_nMeasured = static_cast<int>(order.size());
        m_bStale = false;
    } else {
        m_bStale = true;
    }
}
