#include "MasterFileTable.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <cwctype>

#include "FileSystem.h"
#include "ReparsePoints.h"
#include "SystemStores.h"

namespace {

// Little-endian fields of the on-disk structures.
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return U16(p) | (static_cast<uint32_t>(U16(p + 2)) << 16); }
uint64_t U64(const uint8_t* p) { return U32(p) | (static_cast<uint64_t>(U32(p + 4)) << 32); }

const uint32_t kRootFolder = 5;        // the record of the volume's root folder
const uint32_t kFirstUserRecord = 16;  // below: the volume's own metadata ($MFT, $Extend ...)
const uint32_t kStandardInformation = 0x10, kFileName = 0x30, kData = 0x80, kReparsePoint = 0xC0, kEnd = 0xFFFFFFFF;
const uint32_t kPiece = 1 << 20;         // bytes read at once
const uint64_t kLargestCluster = 2 << 20;  // NTFS's largest cluster, 2 MB
const uint64_t kRecordMask = 0xFFFFFFFFFFFFull;  // a file reference: the record's number
const unsigned kCheckEvery = 1 << 16;   // items between two looks at a Stop

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
    const uint32_t offset = U16(record + 4);
    const uint32_t count = U16(record + 6);
    if (count != size / 512 + 1 || offset < 42 || offset + count * 2ull > size)
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

// The extents of a non-resident attribute from its mapping pairs: (first cluster, clusters),
// each inside a volume of that many clusters.
bool DecodeRuns(const uint8_t* p, const uint8_t* end, uint64_t clusters, std::vector<std::pair<uint64_t, uint64_t>>* pRuns)
{
    int64_t lcn = 0;
    while (p < end && *p) {
        const int lengthBytes = *p & 0x0F, offsetBytes = *p >> 4;
        // No hole (offsetBytes 0): the table has none.
        if (lengthBytes == 0 || lengthBytes > 8 || offsetBytes == 0 || offsetBytes > 8 ||
            end - p < 1 + lengthBytes + offsetBytes)
            return false;
        ++p;
        uint64_t length = 0;
        for (int i = 0; i < lengthBytes; ++i)
            length |= static_cast<uint64_t>(p[i]) << (8 * i);
        p += lengthBytes;
        uint64_t raw = 0;
        for (int i = 0; i < offsetBytes; ++i)
            raw |= static_cast<uint64_t>(p[i]) << (8 * i);
        if (offsetBytes < 8 && (p[offsetBytes - 1] & 0x80))
            raw |= ~0ull << (8 * offsetBytes);  // negative: relative to the extent before
        p += offsetBytes;
        if (__builtin_add_overflow(lcn, static_cast<int64_t>(raw), &lcn) || lcn < 0 || length == 0 ||
            length > clusters || static_cast<uint64_t>(lcn) > clusters - length)
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
    if (offset > m_nDeviceBytes || bytes > m_nDeviceBytes - offset)
        return false;
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
    // The root must lie on the drive's own volume: a folder where another volume is mounted
    // (C:\mnt\data) has its own table, and C:'s would be read whole for nothing.
    wchar_t volume[MAX_PATH + 1] = {};
    if (!::GetVolumePathNameW(wide.size() < MAX_PATH ? wide.c_str() : wide.substr(0, 3).c_str(), volume, MAX_PATH + 1) ||
        ::CompareStringOrdinal(volume, -1, wide.substr(0, 3).c_str(), 3, TRUE) != CSTR_EQUAL)
        return false;
    const std::wstring device = L"\\\\.\\" + wide.substr(0, 2);
    HANDLE h = ::CreateFileW(device.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_bCheckRoot = true;
    return OpenDevice(h, root);
}

bool CMasterFileTable::OpenImage(const CString& imagePath, const CString& root)
{
    const std::wstring wide = AfxToWide(root, true);
    if (wide.size() < 3 || !iswalpha(wide[0]) || wide[1] != L':' || wide[2] != L'\\')
        return false;
    HANDLE h = ::CreateFileW(ExtendedPath(imagePath).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_bCheckRoot = false;
    return OpenDevice(h, root);
}

bool CMasterFileTable::OpenDevice(void* hDevice, const CString& root)
{
    if (m_hVolume)
        ::CloseHandle(m_hVolume);
    m_hVolume = hDevice;
    m_root = root;
    m_rootRest = AfxToWide(root, true).substr(3);
    while (!m_rootRest.empty() && m_rootRest.back() == L'\\')
        m_rootRest.pop_back();
    m_runs.clear();

    // How large the device really is: a volume says so, an image is as long as its file. No
    // size, no reading: every length on the volume is checked against it.
    GET_LENGTH_INFORMATION length = {};
    DWORD got = 0;
    LARGE_INTEGER size = {};
    if (::DeviceIoControl(m_hVolume, IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length, sizeof(length), &got, nullptr))
        m_nDeviceBytes = static_cast<uint64_t>(length.Length.QuadPart);
    else if (::GetFileSizeEx(m_hVolume, &size))
        m_nDeviceBytes = static_cast<uint64_t>(size.QuadPart);
    else
        return false;

    CAlignedBuffer boot(4096);
    if (!boot.Get() || !ReadAt(0, boot.Get(), 4096))
        return false;
    const uint8_t* b = boot.Get();
    if (std::memcmp(b + 3, "NTFS    ", 8) != 0)
        return false;
    m_nSector = U16(b + 11);
    if (m_nSector < 512 || m_nSector > 4096 || (m_nSector & (m_nSector - 1)))
        return false;
    uint64_t sectorsPerCluster = b[13];
    if (sectorsPerCluster > 0x80) {
        if (256 - sectorsPerCluster > 12)
            return false;
        sectorsPerCluster = 1ull << (256 - sectorsPerCluster);
    }
    if (sectorsPerCluster == 0 || m_nSector * sectorsPerCluster > kLargestCluster)
        return false;
    m_nCluster = static_cast<uint32_t>(m_nSector * sectorsPerCluster);
    // A volume that claims more than its device holds is no volume to read.
    const uint64_t sectors = U64(b + 40);
    if (sectors > m_nDeviceBytes / m_nSector)
        return false;
    m_nClusters = sectors / sectorsPerCluster;
    const uint64_t tableCluster = U64(b + 48);
    const int8_t recordCode = static_cast<int8_t>(b[64]);
    uint64_t recordSize = 0;
    if (recordCode > 0)
        recordSize = static_cast<uint64_t>(recordCode) * m_nCluster;
    else if (recordCode > -31)
        recordSize = 1ull << -recordCode;
    if (recordSize < 512 || recordSize > 65536 || recordSize % m_nSector || recordSize % 512 || kPiece % recordSize ||
        tableCluster >= m_nClusters)
        return false;
    m_nRecordSize = static_cast<uint32_t>(recordSize);

    // The table's own record, the first of the table, says where the rest of it lies.
    CAlignedBuffer first(m_nRecordSize);
    if (!first.Get() || !ReadAt(tableCluster * m_nCluster, first.Get(), m_nRecordSize))
        return false;
    uint8_t* r = first.Get();
    if (std::memcmp(r, "FILE", 4) != 0 || !ApplyFixups(r, m_nRecordSize))
        return false;
    const uint64_t used = std::min<uint64_t>(U32(r + 24), m_nRecordSize);
    for (uint64_t at = U16(r + 20); at + 16 <= used;) {
        const uint32_t type = U32(r + at);
        const uint64_t attributeLength = U32(r + at + 4);
        if (type == kEnd || attributeLength < 16 || at + attributeLength > used)
            break;
        const uint8_t* a = r + at;
        if (type == kData && a[8] && a[9] == 0 && attributeLength >= 64 && U64(a + 16) == 0) {
            const uint64_t bytes = U64(a + 48);
            const uint32_t runsAt = U16(a + 32);
            if (runsAt < 64 || runsAt >= attributeLength || !DecodeRuns(a + runsAt, a + attributeLength, m_nClusters, &m_runs))
                return false;
            uint64_t clusters = 0;
            for (const auto& run : m_runs) {
                clusters += run.second;
                if (clusters > m_nClusters)
                    return false;  // a table larger than the volume
            }
            if (bytes == 0 || bytes > clusters * m_nCluster)
                return false;
            m_nRecords = bytes / m_nRecordSize;
            return m_nRecords > kFirstUserRecord && m_nRecords < 0xFFFFFFFFull;
        }
        at += attributeLength;
    }
    return false;
}

bool CMasterFileTable::ReadTableBytes(uint64_t offset, uint8_t* buffer, uint32_t bytes)
{
    // A record may begin in one extent and end in the next (clusters smaller than records).
    uint64_t start = 0;
    for (const auto& run : m_runs) {
        if (bytes == 0)
            break;
        const uint64_t runBytes = run.second * m_nCluster;
        if (offset < start + runBytes) {
            const uint64_t within = offset - start;
            const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(bytes, runBytes - within));
            if (!ReadAt(run.first * m_nCluster + within, buffer, n))
                return false;
            buffer += n;
            offset += n;
            bytes -= n;
        }
        start += runBytes;
    }
    return bytes == 0;
}

bool CMasterFileTable::ParseRecord(uint8_t* r, uint32_t number)
{
    // A damaged record leaves nothing behind: no name, no size, no flag of its file's.
    const size_t links = m_links.size(), names = m_names.size();
    const uint64_t base = std::memcmp(r, "FILE", 4) == 0 ? U64(r + 32) & kRecordMask : 0;
    const uint32_t owner = base && base < m_nRecords ? static_cast<uint32_t>(base) : number;
    const Record before = m_records[owner];
    if (ParseRecordInto(r, number))
        return true;
    m_links.resize(links);
    m_names.resize(names);
    m_records[owner] = before;
    return false;
}

bool CMasterFileTable::ParseRecordInto(uint8_t* r, uint32_t number)
{
    if (std::memcmp(r, "FILE", 4) != 0)
        return std::memcmp(r, "BAAD", 4) != 0;  // never used or cleared; "BAAD": found damaged
    if (!ApplyFixups(r, m_nRecordSize))
        return false;
    const uint16_t headerFlags = U16(r + 22);
    if (!(headerFlags & 1))
        return true;  // not in use: a deleted file
    // The record's own number (kept by NTFS 3.1 behind the header): a record read from
    // another place than its own is no record of this place.
    if (U16(r + 4) >= 48 && U32(r + 44) != number)
        return false;
    const uint64_t base = U64(r + 32) & kRecordMask;
    if (base >= m_nRecords || (base != 0 && base == number))
        return false;
    // An extension record's attributes belong to its base record.
    const uint32_t owner = base ? static_cast<uint32_t>(base) : number;
    Record& rec = m_records[owner];
    if (!base) {
        rec.flags |= kInUse | kBase | ((headerFlags & 2) ? kFolder : 0);
        rec.seq = U16(r + 16);
    }
    // The attributes run to the end mark, inside the bytes that the record says it uses.
    const uint64_t used = std::min<uint64_t>(U32(r + 24), m_nRecordSize);
    bool ended = false;
    for (uint64_t at = U16(r + 20); at + 4 <= used;) {
        const uint32_t type = U32(r + at);
        if (type == kEnd) {
            ended = true;
            break;
        }
        if (at + 16 > used)
            return false;
        const uint64_t length = U32(r + at + 4);
        if (length < 16 || at + length > used)
            return false;
        const uint8_t* a = r + at;
        const bool resident = a[8] == 0;
        const uint8_t nameLength = a[9];
        // Shorter than the fields that its form fixes, or a value outside the attribute.
        if (length < (resident ? 24u : 64u))
            return false;
        const uint64_t valueLength = resident ? U32(a + 16) : 0, valueOffset = resident ? U16(a + 20) : 0;
        if (resident && valueOffset + valueLength > length)
            return false;
        if (type == kStandardInformation && resident && valueLength >= 16) {
            // Created, then last written: the time a list of files shows.
            rec.modified = U64(a + valueOffset + 8);
        } else if (type == kFileName && resident) {
            if (valueLength < 66)
                return false;
            const uint8_t* v = a + valueOffset;
            const uint8_t chars = v[64], space = v[65];
            if (chars == 0 || 66u + chars * 2u > valueLength)
                return false;
            // A short DOS name is a second name for what its long name already lists.
            if (space != 2 && chars > 0) {
                const uint64_t parent = U64(v) & kRecordMask;
                if (parent >= m_nRecords)
                    return false;
                Link link = {owner, static_cast<uint32_t>(parent), static_cast<uint32_t>(m_names.size()), chars,
                             static_cast<uint16_t>(U64(v) >> 48)};
                for (uint32_t i = 0; i < chars; ++i)
                    m_names += static_cast<wchar_t>(U16(v + 66 + i * 2));
                m_links.push_back(link);
            }
        } else if (type == kData && nameLength == 0) {
            if (resident) {
                rec.size = valueLength;
            } else if (U64(a + 16) == 0) {
                // The extent that starts the stream holds its sizes: no more bytes than are
                // allocated to it (a sparse file's holes count as allocated here).
                const uint64_t allocated = U64(a + 40), size = U64(a + 48), initialized = U64(a + 56);
                if (size > allocated || initialized > allocated || allocated % m_nCluster)
                    return false;
                rec.size = size;
            }
        } else if (type == kReparsePoint) {
            // The tag begins the value; a tag not read is taken for a link's.
            uint32_t tag = 0;
            if (resident && valueLength >= 4)
                tag = U32(a + valueOffset);
            if (!EntersFolder(0x400 /* a reparse point */, tag))
                rec.flags |= kReparse;
        }
        at += length;
    }
    return ended;
}

bool CMasterFileTable::ReadTable(const Sink& sink)
{
    m_records.assign(static_cast<size_t>(m_nRecords), Record());
    m_links.clear();
    m_names.clear();
    m_nBadRecords = 0;
    const uint64_t tableBytes = m_nRecords * m_nRecordSize;
    // Pieces are whole records: a piece and the table are both whole multiples of one.
    const uint32_t pieceBytes = static_cast<uint32_t>(std::min<uint64_t>(kPiece, tableBytes));
    CAlignedBuffer piece(pieceBytes);
    if (!piece.Get())
        return false;
    for (uint64_t offset = 0; offset < tableBytes; offset += pieceBytes) {
        if (sink.proceed && !sink.proceed())
            return false;
        const uint32_t bytes = static_cast<uint32_t>(std::min<uint64_t>(pieceBytes, tableBytes - offset));
        if (!ReadTableBytes(offset, piece.Get(), bytes))
            return false;
        uint64_t number = offset / m_nRecordSize;
        for (uint32_t at = 0; at + m_nRecordSize <= bytes; at += m_nRecordSize, ++number) {
            if (!ParseRecord(piece.Get() + at, static_cast<uint32_t>(number)))
                ++m_nBadRecords;
        }
        if (sink.progress)
            sink.progress(number, m_nRecords);
    }
    return true;
}

bool CMasterFileTable::Consistent(const Sink& sink, const std::vector<uint32_t>& firstLink,
                                  const std::vector<uint32_t>& order)
{
    auto inUseFolder = [this](uint32_t record) {
        const uint8_t flags = m_records[record].flags;
        return (flags & kInUse) && (flags & kBase) && (flags & kFolder);
    };
    // Every name of a file in use is in a folder in use, the one that was there when the name
    // was made: a folder record since reused for another file has another sequence number.
    for (size_t i = 0; i < m_links.size(); ++i) {
        if (i % kCheckEvery == 0 && sink.proceed && !sink.proceed())
            return false;
        const Link& link = m_links[i];
        const uint8_t flags = m_records[link.record].flags;
        if (!(flags & kInUse) || !(flags & kBase))
            continue;
        // The root names itself.
        if (link.record == kRootFolder && link.parent != kRootFolder)
            return false;
        if (!inUseFolder(link.parent) || m_records[link.parent].seq != link.parentSeq)
            return false;
    }
    // Every folder in use is reached from the root: a folder whose chain loops, or leads
    // into its own subtree, is not.
    std::vector<bool> reached(m_records.size(), false);
    std::vector<uint32_t> pending = {kRootFolder};
    reached[kRootFolder] = true;
    size_t steps = 0;
    while (!pending.empty()) {
        const uint32_t folder = pending.back();
        pending.pop_back();
        for (uint32_t k = firstLink[folder]; k < firstLink[folder + 1]; ++k) {
            if (++steps % kCheckEvery == 0 && sink.proceed && !sink.proceed())
                return false;
            const uint32_t child = m_links[order[k]].record;
            if (child != kRootFolder && inUseFolder(child) && !reached[child]) {
                reached[child] = true;
                pending.push_back(child);
            }
        }
    }
    for (uint32_t record = 0; record < m_records.size(); ++record) {
        if (inUseFolder(record) && !reached[record])
            return false;
    }
    return true;
}

bool CMasterFileTable::FindRoot(uint32_t* pRecord, const std::vector<uint32_t>& firstLink,
                                const std::vector<uint32_t>& order)
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
        for (uint32_t k = firstLink[folder]; k < firstLink[folder + 1] && !found; ++k) {
            const Link& link = m_links[order[k]];
            const Record& rec = m_records[link.record];
            if ((rec.flags & kInUse) && (rec.flags & kFolder) && !(rec.flags & kReparse) && link.record != kRootFolder &&
                ::CompareStringOrdinal(&m_names[link.name], link.length, part, partLength, TRUE) == CSTR_EQUAL) {
                folder = link.record;
                found = true;
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
    return ok && (index & kRecordMask) == record;
}

CMasterFileTable::Result CMasterFileTable::List(const Sink& sink)
{
    auto failed = [&sink] { return sink.proceed && !sink.proceed() ? Result::Stopped : Result::Failed; };
    if (!m_hVolume)
        return Result::Failed;
    if (!ReadTable(sink))
        return failed();
    const Record& top = m_records[kRootFolder];
    if (!(top.flags & kInUse) || !(top.flags & kFolder))
        return Result::Failed;

    // Every name under the folder that holds it: the names counted by folder, then placed in
    // the order of their folders (a counting sort, in the order they were read).
    std::vector<uint32_t> firstLink(m_records.size() + 1, 0);
    for (const Link& link : m_links)
        ++firstLink[link.parent + 1];
    for (size_t i = 1; i < firstLink.size(); ++i)
        firstLink[i] += firstLink[i - 1];
    std::vector<uint32_t> order(m_links.size());
    {
        std::vector<uint32_t> next(firstLink.begin(), firstLink.end() - 1);
        for (uint32_t i = 0; i < m_links.size(); ++i)
            order[next[m_links[i].parent]++] = i;
    }
    if (!Consistent(sink, firstLink, order))
        return failed();
    uint32_t rootRecord = kRootFolder;
    if (!FindRoot(&rootRecord, firstLink, order) || (m_bCheckRoot && !IsRootRecord(rootRecord)))
        return Result::Failed;

    int badFolders = 0, badFiles = m_nBadRecords;
    std::vector<bool> entered(m_records.size(), false);
    std::vector<std::pair<uint32_t, CString>> pending = {{rootRecord, m_root}};
    entered[rootRecord] = true;
    uint64_t sinceCheck = 0;
    while (!pending.empty()) {
        const std::pair<uint32_t, CString> folder = std::move(pending.back());
        pending.pop_back();
        for (uint32_t k = firstLink[folder.first]; k < firstLink[folder.first + 1]; ++k) {
            if (++sinceCheck % 4096 == 0 && sink.proceed && !sink.proceed())
                return Result::Stopped;
            const Link& link = m_links[order[k]];
            const Record& rec = m_records[link.record];
            // Windows' own files at the root ($MFT, $Extend ...) are no part of any listing.
            if (!(rec.flags & kInUse) || !(rec.flags & kBase) || link.record < kFirstUserRecord)
                continue;
            bool exact = false;
            const CString name = AfxFromWide(&m_names[link.name], link.length, &exact);
            exact = exact && !NameHasSeparator(&m_names[link.name], link.length);
            const bool isFolder = (rec.flags & kFolder) != 0;
            if (!exact) {
                ++(isFolder ? badFolders : badFiles);
                continue;
            }
            if (isFolder) {
                // A link, junction or mount point is never entered, nor the system's own
                // stores at the volume's root; a folder met twice (a second name) once.
                if (!(rec.flags & kReparse) && !entered[link.record] &&
                    !(folder.first == kRootFolder && IsSystemStoreName(name))) {
                    entered[link.record] = true;
                    pending.emplace_back(link.record, JoinPath(folder.second, name));
                }
                continue;
            }
            if (sink.file)
                sink.file(JoinPath(folder.second, name), name, rec.size, rec.modified);
        }
    }
    if (sink.unreadable && (badFolders || badFiles))
        sink.unreadable(badFolders, badFiles);
    return Result::Listed;
}
