#include "CHSListBox.h"

#include <algorithm>
#include <cstring>

namespace {

// Width of one text in the list's own font.
class CItemMeasure {
public:
    explicit CItemMeasure(HWND hList)
        : m_dc(hList), m_font(m_dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(hList, WM_GETFONT, 0, 0)))
    {
    }
    bool Ok() const { return m_dc.GetSafeHdc() != nullptr; }
    int Width(const std::wstring& text) const
    {
        SIZE size = {0, 0};
        ::GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    int Width(const CString& text) const { return Width(AfxToWide(text)); }

private:
    CClientDC m_dc;
    CSelectObject m_font;
};

}  // namespace

LRESULT CHSListBox::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    switch (nMsg) {
    case LB_DELETESTRING:
        m_bStale = true;
        break;
    case LB_RESETCONTENT:
        m_bStale = true;
        m_pending.clear();
        ClearKeys();
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

std::string CHSListBox::ShownKey(LCID lcid, int index) const
{
    std::wstring text;
    GetText(index, text);
    return SortKey(lcid, text);
}

int CHSListBox::FindSortedPlace(LCID lcid, const std::string& key, const Tail& tail) const
{
    // The same halving as the list's own search, so that texts that compare equal land
    // where it would put them. An item before the tail is no greater than the tail's first;
    // only when that one equals the key is the item's own key needed.
    const bool pastTailStart = !tail.keys.empty() && key.compare(tail.keys.front()) > 0;
    int lo = 0, hi = tail.start + static_cast<int>(tail.keys.size()) - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int res = mid >= tail.start ? tail.keys[static_cast<size_t>(mid - tail.start)].compare(key)
                        : pastTailStart   ? -1
                                          : ShownKey(lcid, mid).compare(key);
        if (res == 0)
            return mid;
        if (res > 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return lo;
}

uint32_t CHSListBox::StoreKey(const std::string& key)
{
    const uint32_t kBlock = 1u << 20;
    // A key longer than a block is cut: such a path would be some 300,000 characters long.
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(key.size(), kBlock));
    if (m_keyBlocks.empty() || m_nBlockUsed + length > kBlock) {
        m_keyBlocks.emplace_back(new char[kBlock]);
        m_nBlockUsed = 0;
    }
    const uint32_t offset = static_cast<uint32_t>((m_keyBlocks.size() - 1) << 20) + m_nBlockUsed;
    std::memcpy(m_keyBlocks.back().get() + m_nBlockUsed, key.data(), length);
    m_nBlockUsed += length;
    m_keyPool.push_back(KeySpan{offset, length});
    return static_cast<uint32_t>(m_keyPool.size() - 1);
}

int CHSListBox::CompareKey(uint32_t a, const std::string& key) const
{
    const KeySpan& s = m_keyPool[a];
    const int res = std::string::traits_type::compare(KeyBytes(s), key.data(), std::min<size_t>(s.length, key.size()));
    return res != 0 ? res : (s.length < key.size() ? -1 : s.length > key.size() ? 1 : 0);
}

int CHSListBox::CompareKeys(uint32_t a, uint32_t b) const
{
    const KeySpan& sa = m_keyPool[a];
    const KeySpan& sb = m_keyPool[b];
    const int res = std::string::traits_type::compare(KeyBytes(sa), KeyBytes(sb), std::min(sa.length, sb.length));
    return res != 0 ? res : (sa.length < sb.length ? -1 : sa.length > sb.length ? 1 : 0);
}

void CHSListBox::ClearKeys()
{
    m_keyPool.clear();
    m_keyBlocks.clear();
    m_nBlockUsed = 0;
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
// in when there are this many, or as many as are shown: each merge then at least doubles the
// list, so that all the merges of a run write each item about twice.
const size_t kMinMerge = 2048;
}  // namespace

void CHSListBox::AddStrings(const std::vector<CString>& items)
{
    if (items.empty())
        return;
    const bool wasCurrent = !m_bStale && GetCount() == m_nMeasured;
    const LCID lcid = Locale();
    SendMessage(WM_SETREDRAW, FALSE);
    // Room for the whole batch at once, rather than the list's own few items at a time.
    SendMessage(LB_INITSTORAGE, items.size(), 0);
    // Shown items keep no key: the keys of the last few are made from their texts once for
    // the batch, and a walk in the list's order compares each item with the last one only.
    Tail tail;
    const int count = GetCount();
    tail.start = std::max(0, count - kCheapShift);
    for (int i = tail.start; i < count; ++i)
        tail.keys.push_back(ShownKey(lcid, i));
    std::vector<const CString*> inserted;
    for (const CString& item : items) {
        std::wstring wide = AfxToWide(item);
        std::string key = SortKey(lcid, wide);
        const int shown = tail.start + static_cast<int>(tail.keys.size());
        int place = shown;
        // After the last item, the list's own search ends past it too.
        if (shown > 0 && key.compare(tail.keys.back()) <= 0) {
            // An item that would land far from the end waits (see Merge).
            if (static_cast<size_t>(shown) >= kMinMerge && key.compare(tail.keys.front()) < 0) {
                m_pending.push_back(Pending{StoreKey(key), std::move(wide)});
                continue;
            }
            place = FindSortedPlace(lcid, key, tail);
        }
        if (::SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(place), reinterpret_cast<LPARAM>(wide.c_str())) < 0)
            continue;  // the list refused it (no room): nothing moved
        if (place >= tail.start) {
            tail.keys.insert(tail.keys.begin() + (place - tail.start), std::move(key));
            if (tail.keys.size() > static_cast<size_t>(kCheapShift)) {
                tail.keys.pop_front();
                ++tail.start;
            }
        } else {
            ++tail.start;
        }
        inserted.push_back(&item);
    }
    const size_t shown = static_cast<size_t>(tail.start) + tail.keys.size();
    if (m_pending.size() >= std::max(kMinMerge, shown))
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
    // pass that fills the list anew from the start: every insertion is an append.
    std::stable_sort(m_pending.begin(), m_pending.end(),
                     [this](const Pending& a, const Pending& b) { return CompareKeys(a.key, b.key) < 0; });
    const size_t shown = static_cast<size_t>(GetCount());
    // The shown texts, read back into one buffer.
    std::wstring texts;
    std::vector<uint32_t> starts(shown + 1, 0);
    for (size_t i = 0; i < shown; ++i) {
        const LRESULT len = ::SendMessageW(m_hWnd, LB_GETTEXTLEN, i, 0);
        const size_t at = texts.size();
        texts.resize(at + static_cast<size_t>(len > 0 ? len : 0) + 1);
        const LRESULT got = ::SendMessageW(m_hWnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&texts[at]));
        texts.resize(at + static_cast<size_t>(got > 0 ? got : 0) + 1);
        starts[i + 1] = static_cast<uint32_t>(texts.size());
    }
    size_t chars = texts.size();
    for (const Pending& p : m_pending)
        chars += p.text.size() + 1;

    int widest = m_cxWidest;
    const bool measured = !m_bStale && static_cast<int>(shown) == m_nMeasured;
    if (measured) {
        CItemMeasure measure(m_hWnd);
        for (const Pending& p : m_pending) {
            if (measure.Ok())
                widest = std::max(widest, measure.Width(p.text));
        }
    }

    // What the user has done with the shown items: which are selected, where the caret and
    // the anchor are, which is at the top. The list is filled anew, so each goes with its item.
    std::vector<int> selected(static_cast<size_t>(std::max<LRESULT>(0, ::SendMessageW(m_hWnd, LB_GETSELCOUNT, 0, 0))));
    if (!selected.empty())
        ::SendMessageW(m_hWnd, LB_GETSELITEMS, selected.size(), reinterpret_cast<LPARAM>(selected.data()));
    const LRESULT caret = ::SendMessageW(m_hWnd, LB_GETCARETINDEX, 0, 0);
    const LRESULT anchor = ::SendMessageW(m_hWnd, LB_GETANCHORINDEX, 0, 0);
    const LRESULT top = ::SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0);
    std::vector<uint32_t> placeOf(shown);  // where each shown item goes

    const LCID lcid = Locale();
    const size_t total = shown + m_pending.size();
    CListBox::WindowProc(LB_RESETCONTENT, 0, 0);
    ::SendMessageW(m_hWnd, LB_INITSTORAGE, total, chars * sizeof(wchar_t));
    size_t a = 0, b = 0;
    std::string shownKey;  // the key of shown item a, made once
    bool haveKey = false;
    while (a < shown || b < m_pending.size()) {
        bool takeShown = b == m_pending.size();
        if (!takeShown && a < shown) {
            if (!haveKey) {
                const wchar_t* text = &texts[starts[a]];
                shownKey = SortKey(lcid, std::wstring(text, starts[a + 1] - starts[a] - 1));
                haveKey = true;
            }
            takeShown = CompareKey(m_pending[b].key, shownKey) >= 0;
        }
        if (takeShown)
            placeOf[a] = static_cast<uint32_t>(a + b);
        const wchar_t* text = takeShown ? &texts[starts[a++]] : m_pending[b++].text.c_str();
        if (takeShown)
            haveKey = false;
        ::SendMessageW(m_hWnd, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    }
    for (int index : selected) {
        if (index >= 0 && static_cast<size_t>(index) < shown)
            ::SendMessageW(m_hWnd, LB_SETSEL, TRUE, placeOf[static_cast<size_t>(index)]);
    }
    auto moved = [&](LRESULT index) { return static_cast<WPARAM>(index >= 0 && static_cast<size_t>(index) < shown ? placeOf[static_cast<size_t>(index)] : 0); };
    if (shown > 0) {
        ::SendMessageW(m_hWnd, LB_SETANCHORINDEX, moved(anchor), 0);
        ::SendMessageW(m_hWnd, LB_SETCARETINDEX, moved(caret), TRUE);
        ::SendMessageW(m_hWnd, LB_SETTOPINDEX, moved(top), 0);
    }
    m_pending.clear();
    ClearKeys();
    if (measured) {
        m_cxWidest = widest;
        m_nMeasured = static_cast<int>(total);
        m_bStale = false;
    } else {
        m_bStale = true;
    }
}
