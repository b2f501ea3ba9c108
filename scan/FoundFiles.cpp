#include "FoundFiles.h"

#include <algorithm>
#include <cstring>
#include <numeric>

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
    m_rows.shrink_to_fit();
    m_paths.Clear();
    m_keys.Clear();
    m_byPath.clear();
    m_byPath.shrink_to_fit();
    m_byColumn.clear();
    m_byColumn.shrink_to_fit();
    m_nSelected = 0;
    m_nSelectedBytes = 0;
}

const char* CFoundFiles::Path(Row row) const
{
    return m_paths.At(m_rows[row].path);
}

int CFoundFiles::ComparePaths(Row a, Row b) const
{
    const RowData& ra = m_rows[a];
    const RowData& rb = m_rows[b];
    const int res = std::memcmp(m_keys.At(ra.key), m_keys.At(rb.key), std::min(ra.keyLength, rb.keyLength));
    if (res != 0)
        return res;
    if (ra.keyLength != rb.keyLength)
        return ra.keyLength < rb.keyLength ? -1 : 1;
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

void CFoundFiles::Add(const CFoundBatch& batch)
{
    if (batch.empty())
        return;
    std::vector<Row> added;
    added.reserve(batch.size());
    m_rows.reserve(m_rows.size() + batch.size());
    batch.ForEach([&](const CFoundBatch::Item& item) {
        RowData row = {};
        row.path = m_paths.Add(item.path, item.pathLength);
        row.key = m_keys.Add(item.key, item.keyLength);
        row.keyLength = static_cast<uint32_t>(std::min<size_t>(item.keyLength, (1u << 20) - 1));
        row.size = item.size;
        row.modified = item.modified;
        row.outcome = static_cast<uint8_t>(DeleteOutcome::NotTried);
        added.push_back(static_cast<Row>(m_rows.size()));
        m_rows.push_back(row);
    });
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
    return before - m_byPath.size();
}

size_t CFoundFiles::MemoryBytes() const
{
    return m_rows.capacity() * sizeof(RowData) + m_paths.Bytes() + m_keys.Bytes() +
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
    const uint64_t tenths = static_cast<uint64_t>((static_cast<unsigned __int128>(bytes) * 10) >> (10 * (unit + 1)));
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
