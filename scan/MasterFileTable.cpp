#include "MasterFileTable.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "FileSystem.h"

namespace {

// Little-endian fields of the on-disk structures.
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return U16(p) | (static_cast<uint32_t>(U16(p + 2)) << 16); }
uint64_t U64(const uint8_t* p) { return U32(p) | (static_cast<uint64_t>(U32(p + 4)) << 32); }

const uint32_t kRootFolder = 5;      // the record of the volume's root folder
const uint32_t kFirstUserRecord = 16;  // below: the volume's own metadata ($MFT, $Extend ...)
const uint32_t kFileName = 0x30, kData = 0x80, kReparsePoint = 0xC0, kEnd = 0xFFFFFFFF;
const uint32_t kPiece = 1 << 20;     // bytes read at once

// A buffer that raw-device reads accept: aligned to any sector size.
class CAlignedBuffer {
public:
    explicit CAlignedBuffer(uint32_t bytes)
        : m_p(static_cast<uint8_t*>(::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~CAlignedBuffer()
    {
        if (m_p)
            ::VirtualFree(m_p, 0, MEM_RELEASE);
    }
    CAlignedBuffer(const CAlignedBuffer&) = delete;
    CAlignedBuffer& operator=(const CAlignedBuffer&) = delete;
    uint8_t* Get() const { return m_p; }

private:
    uint8_t* m_p;
};

// Puts back the last two bytes of every 512-byte stride from the update sequence array, after
// checking that each still holds the sequence number (a torn or corrupt write shows there).
bool ApplyFixups(uint8_t* record, uint32_t size)
{
    const uint16_t offset = U16(record + 4);
    const uint16_t count = U16(record + 6);
    if (count != size / 512 + 1 || offset < 42 || offset + count * 2u > size)
        return false;
    const uint8_t* usa = record + offset;
    for (uint32_t i = 1; i < count; ++i) {
        uint8_t* end = record + i * 512 - 2;
        if (end[0] != usa[0] || end[1] != usa[1])
            return false;
        end[0] = usa[i * 2];
        end[1] = usa[i * 2 + 1];
    }
    return true;
}

// The extents of a non-resident attribute from its mapping pairs: (first cluster, clusters).
bool DecodeRuns(const uint8_t* p, const uint8_t* end, std::vector<std::pair<uint64_t, uint64_t>>* pRuns)
{
    int64_t lcn = 0;
    while (p < end && *p) {
        const int lengthBytes = *p & 0x0F, offsetBytes = *p >> 4;
        if (lengthBytes == 0 || lengthBytes > 8 || offsetBytes > 8 || p + 1 + lengthBytes + offsetBytes > end)
            return false;
        ++p;
        uint64_t length = 0;
        for (int i = 0; i < lengthBytes; ++i)
            length |= static_cast<uint64_t>(p[i]) << (8 * i);
        p += lengthBytes;
        if (offsetBytes == 0)
            return false;  // a hole: the table has none
        uint64_t raw = 0;
        for (int i = 0; i < offsetBytes; ++i)
            raw |= static_cast<uint64_t>(p[i]) << (8 * i);
        if (offsetBytes < 8 && (p[offsetBytes - 1] & 0x80))
            raw |= ~0ull << (8 * offsetBytes);  // negative: relative to the extent before
        const int64_t delta = static_cast<int64_t>(raw);
        p += offsetBytes;
        lcn += delta;
        if (lcn < 0 || length == 0)
            return false;
        pRuns->emplace_back(static_cast<uint64_t>(lcn), length);
    }
    return !pRuns->empty();
}

}  // namespace

CMasterFileTable::~CMasterFileTable()
{
    if (m_hVolume)
        ::CloseHandle(m_hVolume);
}

bool CMasterFileTable::ReadAt(uint64_t offset, void* buffer, uint32_t bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    return ::SetFilePointerEx(m_hVolume, at, nullptr, FILE_BEGIN) &&
           ::ReadFile(m_hVolume, buffer, bytes, &got, nullptr) && got == bytes;
}

bool CMasterFileTable::Open(const CString& root)
{
    const std::wstring wide = AfxToWide(root, true);
    if (wide.size() < 3 || !iswalpha(wide[0]) || wide[1] != L':' || wide[2] != L'\\')
        return false;
    m_root = root;
    m_rootRest = wide.substr(3);
    while (!m_rootRest.empty() && m_rootRest.back() == L'\\')
        m_rootRest.pop_back();
    const std::wstring device = L"\\\\.\\" + wide.substr(0, 2);
    HANDLE h = ::CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_hVolume = h;

    CAlignedBuffer boot(4096);
    if (!boot.Get() || !ReadAt(0, boot.Get(), 4096))
        return false;
    const uint8_t* b = boot.Get();
    if (std::memcmp(b + 3, "NTFS    ", 8) != 0)
        return false;
    m_nSector = U16(b + 11);
    uint32_t sectorsPerCluster = b[13];
    if (sectorsPerCluster > 0x80)
        sectorsPerCluster = 1u << (256 - sectorsPerCluster);
    const uint64_t sectors = U64(b + 40);
    const uint64_t tableCluster = U64(b + 48);
    const int8_t recordCode = static_cast<int8_t>(b[64]);
    if (m_nSector < 512 || m_nSector > 4096 || (m_nSector & (m_nSector - 1)) || sectorsPerCluster == 0 ||
        sectorsPerCluster > 4096)
        return false;
    m_nCluster = m_nSector * sectorsPerCluster;
    m_nClusters = sectors / sectorsPerCluster;
    if (recordCode > 0)
        m_nRecordSize = static_cast<uint32_t>(recordCode) * m_nCluster;
    else if (recordCode > -31)
        m_nRecordSize = 1u << -recordCode;
    else
        return false;
    if (m_nRecordSize < 512 || m_nRecordSize > 65536 || m_nRecordSize % m_nSector || tableCluster >= m_nClusters ||
        kPiece % m_nRecordSize)
        return false;

    // The table's own record, the first of the table, says where the rest of it lies.
    const uint32_t readSize = std::max(m_nRecordSize, m_nSector);
    CAlignedBuffer first(readSize);
    if (!first.Get() || !ReadAt(tableCluster * m_nCluster, first.Get(), readSize))
        return false;
    uint8_t* r = first.Get();
    if (std::memcmp(r, "FILE", 4) != 0 || !ApplyFixups(r, m_nRecordSize))
        return false;
    const uint32_t used = std::min(U32(r + 24), m_nRecordSize);
    for (uint32_t at = U16(r + 20); at + 16 <= used;) {
        const uint32_t type = U32(r + at), length = U32(r + at + 4);
        if (type == kEnd || length < 16 || at + length > used)
            break;
        if (type == kData && r[at + 8] && r[at + 9] == 0 && length >= 64) {
            const uint64_t bytes = U64(r + at + 48);
            if (!DecodeRuns(r + at + U16(r + at + 32), r + at + length, &m_runs))
                return false;
            uint64_t clusters = 0;
            for (const auto& run : m_runs) {
                if (run.first + run.second > m_nClusters)
                    return false;  // a table outside the volume
                clusters += run.second;
            }
            if (bytes == 0 || bytes > clusters * m_nCluster)
                return false;
            m_nRecords = bytes / m_nRecordSize;
            return m_nRecords > kRootFolder && m_nRecords < 0xFFFFFFFFull;
        }
        at += length;
    }
    return false;
}

bool CMasterFileTable::ParseRecord(uint8_t* r, uint32_t number)
{
    if (std::memcmp(r, "FILE", 4) != 0)
        return true;  // never used, or cleared
    if (!ApplyFixups(r, m_nRecordSize))
        return false;
    const uint16_t headerFlags = U16(r + 22);
    if (!(headerFlags & 1))
        return true;  // not in use: a deleted file
    const uint64_t base = U64(r + 32) & 0xFFFFFFFFFFFFull;
    if (base >= m_nRecords)
        return false;
    // An extension record's attributes belong to its base record.
    const uint32_t owner = base ? static_cast<uint32_t>(base) : number;
    Record& rec = m_records[owner];
    if (!base)
        rec.flags |= kInUse | kBase | ((headerFlags & 2) ? kFolder : 0);
    const uint32_t used = std::min(U32(r + 24), m_nRecordSize);
    for (uint32_t at = U16(r + 20); at + 16 <= used;) {
        const uint32_t type = U32(r + at), length = U32(r + at + 4);
        if (type == kEnd)
            break;
        if (length < 16 || at + length > used)
            return false;
        const uint8_t* a = r + at;
        const bool resident = a[8] == 0;
        const uint8_t nameLength = a[9];
        if (type == kFileName && resident) {
            const uint32_t valueLength = U32(a + 16), valueOffset = U16(a + 20);
            if (valueOffset + valueLength > length || valueLength < 66)
                return false;
            const uint8_t* v = a + valueOffset;
            const uint8_t chars = v[64], space = v[65];
            if (66u + chars * 2u > valueLength)
                return false;
            // A short DOS name is a second name for what its long name already lists.
            if (space != 2 && chars > 0) {
                const uint64_t parent = U64(v) & 0xFFFFFFFFFFFFull;
                Link link = {owner, static_cast<uint32_t>(std::min<uint64_t>(parent, 0xFFFFFFFFu)),
                             static_cast<uint32_t>(m_names.size()), chars};
                for (uint32_t i = 0; i < chars; ++i)
                    m_names += static_cast<wchar_t>(U16(v + 66 + i * 2));
                m_links.push_back(link);
            }
        } else if (type == kData && nameLength == 0) {
            if (resident)
                rec.size = U32(a + 16);
            else if (length >= 64 && U64(a + 16) == 0)  // the extent that starts the stream
                rec.size = U64(a + 48);
        } else if (type == kReparsePoint) {
            rec.flags |= kReparse;
        }
        at += length;
    }
    return true;
}

bool CMasterFileTable::ReadTable(const Sink& sink)
{
    m_records.assign(static_cast<size_t>(m_nRecords), Record());
    m_links.clear();
    m_names.clear();
    m_nBadRecords = 0;
    CAlignedBuffer piece(kPiece);
    if (!piece.Get())
        return false;
    uint64_t number = 0;
    for (const auto& run : m_runs) {
        const uint64_t runBytes = run.second * m_nCluster;
        for (uint64_t done = 0; done < runBytes && number < m_nRecords;) {
            if (sink.proceed && !sink.proceed())
                return false;
            const uint32_t bytes = static_cast<uint32_t>(std::min<uint64_t>(kPiece, runBytes - done));
            if (!ReadAt(run.first * m_nCluster + done, piece.Get(), bytes))
                return false;
            for (uint32_t at = 0; at + m_nRecordSize <= bytes && number < m_nRecords; at += m_nRecordSize, ++number) {
                if (!ParseRecord(piece.Get() + at, static_cast<uint32_t>(number)))
                    ++m_nBadRecords;
            }
            done += bytes;
            if (sink.progress)
                sink.progress(number, m_nRecords);
        }
    }
    return number == m_nRecords;
}

bool CMasterFileTable::FindRoot(uint32_t* pRecord)
{
    uint32_t folder = kRootFolder;
    size_t start = 0;
    while (start < m_rootRest.size()) {
        size_t end = m_rootRest.find(L'\\', start);
        if (end == std::wstring::npos)
            end = m_rootRest.size();
        const wchar_t* part = m_rootRest.c_str() + start;
        const int partLength = static_cast<int>(end - start);
        bool found = false;
        for (const Link& link : m_links) {
            const Record& rec = m_records[link.record];
            if (link.parent == folder && (rec.flags & kInUse) && (rec.flags & kFolder) && !(rec.flags & kReparse) &&
                ::CompareStringOrdinal(&m_names[link.name], link.length, part, partLength, TRUE) == CSTR_EQUAL) {
                folder = link.record;
                found = true;
                break;
            }
        }
        if (!found)
            return false;
        start = end + 1;
    }
    *pRecord = folder;
    return true;
}

bool CMasterFileTable::IsRootRecord(uint32_t record) const
{
    HANDLE h = ::CreateFileW(ExtendedPath(m_root).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool ok = ::GetFileInformationByHandle(h, &info) != FALSE;
    ::CloseHandle(h);
    // On NTFS a file's index is its record number (with a sequence number above bit 48).
    const uint64_t index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return ok && (index & 0xFFFFFFFFFFFFull) == record;
}

CMasterFileTable::Result CMasterFileTable::List(const Sink& sink)
{
    if (!m_hVolume)
        return Result::Failed;
    if (!ReadTable(sink))
        return sink.proceed && !sink.proceed() ? Result::Stopped : Result::Failed;
    const Record& top = m_records[kRootFolder];
    if (!(top.flags & kInUse) || !(top.flags & kFolder))
        return Result::Failed;
    uint32_t rootRecord = kRootFolder;
    if (!FindRoot(&rootRecord) || !IsRootRecord(rootRecord))
        return Result::Failed;

    // Every name under the folder that holds it: the links in the order of their folders.
    std::vector<uint32_t> order(m_links.size());
    for (uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](uint32_t a, uint32_t b) { return m_links[a].parent < m_links[b].parent; });

    int badFolders = 0, badFiles = m_nBadRecords;
    std::vector<bool> entered(m_records.size(), false);
    std::vector<std::pair<uint32_t, CString>> pending = {{rootRecord, m_root}};
    entered[rootRecord] = true;
    uint64_t sinceCheck = 0;
    while (!pending.empty()) {
        const std::pair<uint32_t, CString> folder = std::move(pending.back());
        pending.pop_back();
        auto first = std::lower_bound(order.begin(), order.end(), folder.first,
                                      [this](uint32_t link, uint32_t parent) { return m_links[link].parent < parent; });
        for (auto it = first; it != order.end() && m_links[*it].parent == folder.first; ++it) {
            if (++sinceCheck % 4096 == 0 && sink.proceed && !sink.proceed())
                return Result::Stopped;
            const Link& link = m_links[*it];
            const Record& rec = m_records[link.record];
            // Windows' own files at the root ($MFT, $Extend ...) are no part of any listing.
            if (!(rec.flags & kInUse) || !(rec.flags & kBase) || link.record < kFirstUserRecord)
                continue;
            bool exact = false;
            const CString name = AfxFromWide(&m_names[link.name], link.length, &exact);
            const bool isFolder = (rec.flags & kFolder) != 0;
            if (!exact) {
                ++(isFolder ? badFolders : badFiles);
                continue;
            }
            if (isFolder) {
                // A link, junction or mount point is never entered; a folder met twice (a
                // corrupt table) is entered once.
                if (!(rec.flags & kReparse) && !entered[link.record]) {
                    entered[link.record] = true;
                    pending.emplace_back(link.record, JoinPath(folder.second, name));
                }
                continue;
            }
            if (sink.file)
                sink.file(JoinPath(folder.second, name), name, rec.size);
        }
    }
    if (sink.unreadable && (badFolders || badFiles))
        sink.unreadable(badFolders, badFiles);
    return Result::Listed;
}
