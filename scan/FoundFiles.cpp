#include "FoundFiles.h"

#include <algorithm>
#include <cstring>

namespace {

// The locale's sort key of a plain-ASCII path, made here instead of asking the system for each
// path (a key is some two bytes a character: a million paths' keys would double what the list
// holds). A key is the primary weights of the characters one after another, the separators of
// sections that are empty for these characters, then an entry for each character that the
// locale's word sort passes over (the hyphen, the apostrophe), which says where it stood, and
// the end. All of it is learnt from the system's own keys: of each character alone, and of
// each passed-over one after 0 to kPlaces others. The whole is then checked against the
// system's keys of every pair of characters (a locale's contractions, such as Czech "ch" or
// Hungarian "cs", show there) and of some paths; where anything differs, every path keeps the
// system's key.
class CAsciiKeys {
public:
    static const CAsciiKeys& Get()
    {
        static const CAsciiKeys keys;
        return keys;
    }
    bool Covers(const char* text, size_t length) const
    {
        if (!m_bUsable)
            return false;
        size_t weighted = 0;
        for (size_t i = 0; i < length; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 128 || m_kind[c] == Kind::Other)
                return false;
            // A passed-over character after more than kPlaces others: its entry is not known.
            if (m_kind[c] == Kind::PassedOver && weighted >= kPlaces)
                return false;
            weighted += m_kind[c] == Kind::Weighted;
        }
        return true;
    }
    // The primary weights of a covered text into out (room for kMaxWeights a character), and
    // where they end.
    uint8_t* PutWeights(const char* text, uint8_t* out) const
    {
        for (; *text; ++text) {
            const Weights& w = m_weights[static_cast<unsigned char>(*text)];
            std::memcpy(out, w.bytes, sizeof(w.bytes));
            out += w.length;
        }
        return out;
    }
    void AppendWeights(const char* text, std::string& out) const
    {
        for (; *text; ++text) {
            const Weights& w = m_weights[static_cast<unsigned char>(*text)];
            out.append(reinterpret_cast<const char*>(w.bytes), w.length);
        }
    }
    static const size_t kMaxWeights = 4;
    const std::string& Separators() const { return m_separators; }
    // The entries of the passed-over characters of a whole covered text, and the end.
    void AppendRest(const char* text, std::string& out) const
    {
        size_t weighted = 0;
        for (; *text; ++text) {
            const unsigned char c = static_cast<unsigned char>(*text);
            if (m_kind[c] == Kind::PassedOver)
                out += m_entries[c][weighted];
            else
                weighted += m_kind[c] == Kind::Weighted;
        }
        out += '\0';
    }
    std::string Key(const char* text) const
    {
        std::string key;
        AppendWeights(text, key);
        key += m_separators;
        AppendRest(text, key);
        return key;
    }

private:
    enum class Kind : uint8_t { Other, Weighted, PassedOver };
    static const size_t kPlaces = 250;

    CAsciiKeys()
    {
        // "a": its weights, then the separators, then the end.
        const std::string a = PathSortKey(L"a");
        const size_t split = a.find('\x01');
        if (split == std::string::npos || a.back() != '\0')
            return;
        m_separators = a.substr(split, a.size() - split - 1);
        const std::string aWeights = a.substr(0, split);
        std::string printable;
        for (int c = 1; c < 128; ++c) {
            const std::string key = PathSortKey(std::wstring(1, static_cast<wchar_t>(c)));
            const size_t at = key.find('\x01');
            if (at == std::string::npos || key.compare(at, m_separators.size(), m_separators) != 0 || key.back() != '\0')
                continue;
            const size_t restAt = at + m_separators.size();
            if (restAt + 1 == key.size() && at > 0 && at <= kMaxWeights) {
                m_weights[c].length = static_cast<uint8_t>(at);
                std::memcpy(m_weights[c].bytes, key.data(), at);
                m_kind[c] = Kind::Weighted;
            } else if (at == 0 && restAt + 1 < key.size()) {
                // Passed over: where it stands goes in its entry, learnt for every place.
                m_entries[c].resize(kPlaces + 1);
                std::wstring before;
                for (size_t k = 0; k <= kPlaces; ++k, before += L'a') {
                    const std::string placed = PathSortKey(before + static_cast<wchar_t>(c));
                    const size_t head = aWeights.size() * k + m_separators.size();
                    if (placed.size() < head + 1)
                        return;
                    m_entries[c][k] = placed.substr(head, placed.size() - head - 1);
                }
                m_kind[c] = Kind::PassedOver;
            } else {
                continue;
            }
            if (c >= 0x20 && c < 0x7F)
                printable += static_cast<char>(c);
        }
        m_bUsable = true;
        auto same = [this](const std::string& text) { return Key(text.c_str()) == PathSortKey(std::wstring(text.begin(), text.end())); };
        bool ok = true;
        for (char x : printable) {
            for (char y : printable)
                ok = ok && same(std::string{x, y});
        }
        for (const char* path : {"C:\\Users\\Public\\Downloads\\setup_1.2 (3)~x.TMP", "D:\\a-b\\c'd-e\\f--g-.tmp",
                                 "B:\\junk1m\\d0999\\junk-0999999.tmp"})
            ok = ok && same(path);
        m_bUsable = ok;
    }

    struct Weights {
        uint8_t bytes[kMaxWeights] = {};
        uint8_t length = 0;
    };
    Weights m_weights[128];
    std::vector<std::string> m_entries[128];
    Kind m_kind[128] = {};
    std::string m_separators;
    bool m_bUsable = false;
};

// The order of two covered texts. What they start with alike gives the same weights, so only
// the rest of each is weighed; only texts of the same weights need their entries made.
int CompareCovered(const char* a, const char* b)
{
    const char* ra = a;
    const char* rb = b;
    while (*ra && *ra == *rb) {
        ++ra;
        ++rb;
    }
    const CAsciiKeys& keys = CAsciiKeys::Get();
    // The rests are short as a rule (paths of one folder differ in their names only).
    const size_t la = std::strlen(ra), lb = std::strlen(rb);
    const std::string& separators = keys.Separators();
    const size_t kSmall = 256;
    uint8_t small[2][kSmall * CAsciiKeys::kMaxWeights + 16];
    std::vector<uint8_t> large[2];
    uint8_t* wa = small[0];
    uint8_t* wb = small[1];
    if (la > kSmall || lb > kSmall || separators.size() > 16) {
        large[0].resize(la * CAsciiKeys::kMaxWeights + separators.size());
        large[1].resize(lb * CAsciiKeys::kMaxWeights + separators.size());
        wa = large[0].data();
        wb = large[1].data();
    }
    // Weights, then the separators: the keys' bytes up to the entries.
    uint8_t* ea = keys.PutWeights(ra, wa);
    uint8_t* eb = keys.PutWeights(rb, wb);
    std::memcpy(ea, separators.data(), separators.size());
    std::memcpy(eb, separators.data(), separators.size());
    const size_t na = static_cast<size_t>(ea - wa) + separators.size();
    const size_t nb = static_cast<size_t>(eb - wb) + separators.size();
    const int res = std::memcmp(wa, wb, std::min(na, nb));
    if (res != 0)
        return res;
    if (na != nb)
        return na < nb ? -1 : 1;
    // The same weights: the entries of what the word sort passed over decide.
    std::string restA, restB;
    keys.AppendRest(a, restA);
    keys.AppendRest(b, restB);
    return restA.compare(restB);
}

int CompareBytes(const char* a, size_t na, const char* b, size_t nb)
{
    const int res = std::memcmp(a, b, std::min(na, nb));
    return res != 0 ? res : na < nb ? -1 : na > nb ? 1 : 0;
}

}  // namespace

uint64_t CFoundFiles::CTextStore::Add(const char* text, size_t length)
{
    const uint32_t kBlock = 1u << 20;
    // Nothing the file system names is near a block long; a longer text is cut.
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(length, kBlock - 1));
    if (m_blocks.empty() || m_nUsed + n + 1 > kBlock) {
        m_blocks.emplace_back(new char[kBlock], std::default_delete<char[]>());
        m_nUsed = 0;
    }
    const uint64_t offset = (static_cast<uint64_t>(m_blocks.size() - 1) << 20) + m_nUsed;
    std::memcpy(m_blocks.back().get() + m_nUsed, text, n);
    m_blocks.back().get()[m_nUsed + n] = '\0';
    m_nUsed += n + 1;
    return offset;
}

std::shared_ptr<const void> CFoundFiles::CTextStore::Pin() const
{
    return std::make_shared<std::vector<std::shared_ptr<char>>>(m_blocks);
}

void CFoundFiles::CTextStore::Clear()
{
    m_blocks.clear();
    m_nUsed = 0;
}

CFoundFiles::CFoundFiles() = default;
CFoundFiles::~CFoundFiles() = default;

void CFoundFiles::Clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();  // a deque gives its blocks back
    m_paths.Clear();
    m_keys.Clear();
    m_byPath.clear();
    m_byPath.shrink_to_fit();
    m_byColumn.clear();
    m_byColumn.shrink_to_fit();
    m_nSelected = 0;
    m_nSelectedBytes = 0;
    ++m_nVersion;
}

const char* CFoundFiles::Path(Row row) const
{
    return m_paths.At(m_rows[row].path);
}

int CFoundFiles::ComparePaths(Row a, Row b) const
{
    const RowData& ra = m_rows[a];
    const RowData& rb = m_rows[b];
    int res = 0;
    if (ra.keyLength && rb.keyLength) {
        res = CompareBytes(m_keys.At(ra.key), ra.keyLength, m_keys.At(rb.key), rb.keyLength);
    } else if (!ra.keyLength && !rb.keyLength) {
        res = CompareCovered(m_paths.At(ra.path), m_paths.At(rb.path));
    } else {
        // One key kept, the other made.
        const std::string made = CAsciiKeys::Get().Key(m_paths.At(ra.keyLength ? rb.path : ra.path));
        res = ra.keyLength ? CompareBytes(m_keys.At(ra.key), ra.keyLength, made.data(), made.size())
                           : CompareBytes(made.data(), made.size(), m_keys.At(rb.key), rb.keyLength);
    }
    if (res != 0)
        return res;
    // Equal for the locale (names equal but for case): in the order they came.
    return a < b ? -1 : a > b ? 1 : 0;
}

bool CFoundFiles::Less(FoundColumn column, Row a, Row b) const
{
    if (column == FoundColumn::Size && m_rows[a].size != m_rows[b].size)
        return m_rows[a].size < m_rows[b].size;
    if (column == FoundColumn::Modified && m_rows[a].modified != m_rows[b].modified)
        return m_rows[a].modified < m_rows[b].modified;
    return ComparePaths(a, b) < 0;
}

void CFoundFiles::MergeInto(std::vector<Row>& order, std::vector<Row> batch, FoundColumn column)
{
    auto less = [this, column](Row a, Row b) { return Less(column, a, b); };
    std::sort(batch.begin(), batch.end(), less);
    if (order.empty() || less(order.back(), batch.front())) {
        order.insert(order.end(), batch.begin(), batch.end());
        return;
    }
    // Each new row's place is found by halving (b log n comparisons); the rows shown then move
    // up in whole runs, from the end, in place.
    std::vector<size_t> places(batch.size());
    size_t lo = 0;
    for (size_t i = 0; i < batch.size(); ++i) {
        lo = static_cast<size_t>(std::upper_bound(order.begin() + static_cast<ptrdiff_t>(lo), order.end(), batch[i], less) - order.begin());
        places[i] = lo;
    }
    size_t end = order.size();
    order.resize(order.size() + batch.size());
    for (size_t i = batch.size(); i-- > 0;) {
        const size_t place = places[i];
        std::move_backward(order.begin() + static_cast<ptrdiff_t>(place), order.begin() + static_cast<ptrdiff_t>(end),
                           order.begin() + static_cast<ptrdiff_t>(end + i + 1));
        order[place + i] = batch[i];
        end = place;
    }
}

void CFoundFiles::Add(const CFoundBatch& batch, size_t first, size_t end)
{
    end = std::min(end, batch.size());
    if (first >= end)
        return;
    std::vector<Row> added;
    added.reserve(end - first);
    for (size_t i = first; i < end; ++i) {
        const CFoundBatch::Item item = batch.At(i);
        RowData row = {};
        row.path = m_paths.Add(item.path, item.pathLength);
        if (item.keyLength > 0) {
            row.key = m_keys.Add(item.key, item.keyLength);
            row.keyLength = static_cast<uint32_t>(std::min<size_t>(item.keyLength, (1u << 20) - 1));
        }
        row.size = item.size;
        row.modified = item.modified;
        row.rule = item.rule;
        row.outcome = static_cast<uint8_t>(DeleteOutcome::NotTried);
        added.push_back(static_cast<Row>(m_rows.size()));
        m_rows.push_back(row);
    }
    ++m_nVersion;
    if (m_column != FoundColumn::Path)
        MergeInto(m_byColumn, added, m_column);
    MergeInto(m_byPath, std::move(added), FoundColumn::Path);
}

CFoundFiles::Row CFoundFiles::RowAt(size_t position) const
{
    const std::vector<Row>& order = Ascending();
    return order[m_bDescending ? order.size() - 1 - position : position];
}

size_t CFoundFiles::PositionOf(Row row) const
{
    const std::vector<Row>& order = Ascending();
    if (row >= m_rows.size())
        return npos;
    const FoundColumn column = m_column;
    const auto it = std::lower_bound(order.begin(), order.end(), row, [this, column](Row a, Row b) { return Less(column, a, b); });
    if (it == order.end() || *it != row)
        return npos;
    const size_t ascending = static_cast<size_t>(it - order.begin());
    return m_bDescending ? order.size() - 1 - ascending : ascending;
}

void CFoundFiles::SortBy(FoundColumn column, bool bDescending)
{
    ++m_nVersion;
    m_bDescending = bDescending;
    if (column == m_column)
        return;
    m_column = column;
    m_byColumn.clear();
    if (column == FoundColumn::Path) {
        m_byColumn.shrink_to_fit();
        return;
    }
    // From the order by path, so that equal values stay in path order with no key compared.
    m_byColumn = m_byPath;
    if (column == FoundColumn::Size)
        std::stable_sort(m_byColumn.begin(), m_byColumn.end(), [this](Row a, Row b) { return m_rows[a].size < m_rows[b].size; });
    else
        std::stable_sort(m_byColumn.begin(), m_byColumn.end(), [this](Row a, Row b) { return m_rows[a].modified < m_rows[b].modified; });
}

void CFoundFiles::Select(Row row, bool bSelected)
{
    RowData& r = m_rows[row];
    if ((r.selected != 0) == bSelected)
        return;
    r.selected = bSelected ? 1 : 0;
    if (bSelected) {
        ++m_nSelected;
        m_nSelectedBytes += r.size;
    } else {
        --m_nSelected;
        m_nSelectedBytes -= r.size;
    }
}

void CFoundFiles::SelectAll(bool bSelected)
{
    for (Row row : m_byPath)
        Select(row, bSelected);
}

std::vector<CFoundFiles::Row> CFoundFiles::SelectedRows() const
{
    std::vector<Row> rows;
    rows.reserve(m_nSelected);
    for (size_t i = 0, n = Count(); i < n && rows.size() < m_nSelected; ++i) {
        const Row row = RowAt(i);
        if (m_rows[row].selected)
            rows.push_back(row);
    }
    return rows;
}

std::vector<CFoundFiles::Row> CFoundFiles::AllRows() const
{
    std::vector<Row> rows(Count());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = RowAt(i);
    return rows;
}

size_t CFoundFiles::RemoveGone()
{
    auto gone = [this](Row row) { return IsGone(static_cast<DeleteOutcome>(m_rows[row].outcome)); };
    for (Row row : m_byPath) {
        if (gone(row))
            Select(row, false);
    }
    const size_t before = m_byPath.size();
    m_byPath.erase(std::remove_if(m_byPath.begin(), m_byPath.end(), gone), m_byPath.end());
    m_byColumn.erase(std::remove_if(m_byColumn.begin(), m_byColumn.end(), gone), m_byColumn.end());
    if (before != m_byPath.size())
        ++m_nVersion;
    return before - m_byPath.size();
}

size_t CFoundFiles::MemoryBytes() const
{
    return m_rows.size() * sizeof(RowData) + m_paths.Bytes() + m_keys.Bytes() +
           (m_byPath.capacity() + m_byColumn.capacity()) * sizeof(Row);
}

std::string PathSortKey(const std::wstring& path)
{
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(path.size());
    const int n = ::LCMapStringW(LOCALE_USER_DEFAULT, flags, path.c_str(), length, nullptr, 0);
    std::string key(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::LCMapStringW(LOCALE_USER_DEFAULT, flags, path.c_str(), length, reinterpret_cast<LPWSTR>(&key[0]), n);
    return key;
}

std::string FoundSortKey(const CString& path)
{
    if (CAsciiKeys::Get().Covers(path.GetString(), static_cast<size_t>(path.GetLength())))
        return std::string();
    return PathSortKey(AfxToWide(path));
}

CString FileSizeText(uint64_t bytes, bool bSpace)
{
    CString text;
    if (bytes < 1024) {
        text.Format("%llu%s字节", static_cast<unsigned long long>(bytes), bSpace ? " " : "");
        return text;
    }
    const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    int unit = 0;
    while (unit < 5 && bytes >> (10 * (unit + 2)) != 0)
        ++unit;
    // Tenths of the unit shown, cut.
    const int shift = 10 * (unit + 1);
    const uint64_t tenths = bytes <= UINT64_MAX / 10 ? bytes * 10 >> shift : (bytes >> shift) * 10;
    if (tenths < 100)
        text.Format("%llu.%llu%s%s", static_cast<unsigned long long>(tenths / 10), static_cast<unsigned long long>(tenths % 10),
                    bSpace ? " " : "", units[unit]);
    else
        text.Format("%llu%s%s", static_cast<unsigned long long>(tenths / 10), bSpace ? " " : "", units[unit]);
    return text;
}

CString FileTimeText(uint64_t fileTime)
{
    if (fileTime == 0)
        return CString();
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME st = {}, local = {};
    if (!::FileTimeToSystemTime(&utc, &st) || !::SystemTimeToTzSpecificLocalTime(nullptr, &st, &local))
        return CString();
    CString text;
    text.Format("%04u/%02u/%02u %02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute);
    return text;
}
