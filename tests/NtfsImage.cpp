#include "NtfsImage.h"

#include <algorithm>

#include "TestText.h"

namespace {

void Put16(std::vector<uint8_t>& d, size_t at, uint64_t v)
{
    d[at] = static_cast<uint8_t>(v);
    d[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& d, size_t at, uint64_t v)
{
    Put16(d, at, v);
    Put16(d, at + 2, v >> 16);
}
void Put64(std::vector<uint8_t>& d, size_t at, uint64_t v)
{
    Put32(d, at, v);
    Put32(d, at + 4, v >> 32);
}
size_t Round8(size_t n)
{
    return (n + 7) & ~size_t(7);
}
// A little-endian number in as few bytes as it takes (signed: the top bit says the sign).
std::vector<uint8_t> LittleEndian(int64_t v, bool isSigned)
{
    std::vector<uint8_t> out;
    do {
        out.push_back(static_cast<uint8_t>(v));
        v >>= 8;
    } while (isSigned ? !((v == 0 && !(out.back() & 0x80)) || (v == -1 && (out.back() & 0x80))) : v != 0);
    return out;
}

}  // namespace

CNtfsImage::CNtfsImage(uint32_t cluster, uint32_t recordSize, std::vector<uint64_t> extents, uint32_t records)
    : m_nCluster(cluster), m_nRecordSize(recordSize), m_extents(std::move(extents)), m_nRecords(records)
{
    uint64_t at = (8192 + cluster - 1) / cluster;
    for (uint64_t length : m_extents) {
        m_extentStart.push_back(at);
        at += length + 3;  // apart from each other
    }
    m_nClusters = at + 4;
    m_entries[0].names.push_back({kRoot, u"$MFT"});
    m_entries[kRoot].names.push_back({kRoot, u"."});
    m_entries[kRoot].folder = true;
}

uint32_t CNtfsImage::Add(uint32_t parent, const std::string& name, bool folder, uint64_t size)
{
    const uint32_t n = m_nNext++;
    Entry& entry = m_entries[n];
    entry.folder = folder;
    entry.size = size;
    const std::wstring wide = Wide(name);
    entry.names.push_back({parent, std::u16string(wide.begin(), wide.end())});
    return n;
}

uint32_t CNtfsImage::Folder(uint32_t parent, const std::string& name)
{
    return Add(parent, name, true, 0);
}

uint32_t CNtfsImage::File(uint32_t parent, const std::string& name, uint64_t size)
{
    return Add(parent, name, false, size);
}

uint64_t CNtfsImage::Position(uint32_t n, uint32_t k) const
{
    uint64_t at = static_cast<uint64_t>(n) * m_nRecordSize + k;
    for (size_t i = 0; i < m_extents.size(); ++i) {
        const uint64_t bytes = m_extents[i] * m_nCluster;
        if (at < bytes)
            return m_extentStart[i] * m_nCluster + at;
        at -= bytes;
    }
    return 0;
}

std::vector<uint8_t> CNtfsImage::RecordBytes(uint32_t n) const
{
    auto found = m_entries.find(n);
    if (found == m_entries.end())
        return {};
    const Entry& entry = found->second;
    auto seqOf = [](uint32_t record) { return static_cast<uint16_t>(record < 16 ? record : 1); };
    std::vector<uint8_t> r(m_nRecordSize, 0);
    r[0] = 'F', r[1] = 'I', r[2] = 'L', r[3] = 'E';
    Put16(r, 4, 48);
    Put16(r, 6, m_nRecordSize / 512 + 1);
    Put16(r, 16, seqOf(n));
    Put16(r, 18, entry.names.size());
    Put16(r, 20, 56);
    Put16(r, 22, 1 | (entry.folder ? 2 : 0));
    Put32(r, 28, m_nRecordSize);
    Put32(r, 44, n);
    size_t at = 56;
    uint16_t id = 0;
    for (const auto& name : entry.names) {
        const size_t valueLength = 66 + 2 * name.second.size();
        const size_t length = Round8(24 + valueLength);
        Put32(r, at, 0x30);
        Put32(r, at + 4, length);
        Put16(r, at + 10, 0x18);
        Put16(r, at + 14, id++);
        Put32(r, at + 16, valueLength);
        Put16(r, at + 20, 0x18);
        const size_t v = at + 24;
        auto parentSeq = m_parentSeq.find(name.first);
        Put64(r, v, name.first | (static_cast<uint64_t>(parentSeq != m_parentSeq.end() ? parentSeq->second : seqOf(name.first)) << 48));
        Put64(r, v + 40, entry.size);
        Put64(r, v + 48, entry.size);
        Put32(r, v + 56, entry.folder ? 0x10000000 : 0x20);
        r[v + 64] = static_cast<uint8_t>(name.second.size());
        r[v + 65] = 1;  // the Win32 name
        for (size_t i = 0; i < name.second.size(); ++i)
            Put16(r, v + 66 + 2 * i, name.second[i]);
        at += length;
    }
    if (!entry.folder) {
        // The unnamed data stream, not resident. The table's own lists the table's extents.
        std::vector<uint8_t> runs;
        uint64_t size = entry.size, allocated = (entry.size + m_nCluster - 1) / m_nCluster * m_nCluster;
        if (n == 0) {
            int64_t last = 0;
            allocated = 0;
            for (size_t i = 0; i < m_extents.size(); ++i) {
                const std::vector<uint8_t> length = LittleEndian(static_cast<int64_t>(m_extents[i]), false);
                const std::vector<uint8_t> delta = LittleEndian(static_cast<int64_t>(m_extentStart[i]) - last, true);
                runs.push_back(static_cast<uint8_t>(length.size() | (delta.size() << 4)));
                runs.insert(runs.end(), length.begin(), length.end());
                runs.insert(runs.end(), delta.begin(), delta.end());
                last = static_cast<int64_t>(m_extentStart[i]);
                allocated += m_extents[i] * m_nCluster;
            }
            size = static_cast<uint64_t>(m_nRecords) * m_nRecordSize;
        }
        runs.push_back(0);
        const size_t length = Round8(64 + runs.size());
        Put32(r, at, 0x80);
        Put32(r, at + 4, length);
        r[at + 8] = 1;
        Put16(r, at + 10, 0x40);
        Put16(r, at + 14, id++);
        Put64(r, at + 24, allocated / m_nCluster ? allocated / m_nCluster - 1 : 0);
        Put16(r, at + 32, 64);
        Put64(r, at + 40, allocated);
        Put64(r, at + 48, size);
        Put64(r, at + 56, size);
        std::copy(runs.begin(), runs.end(), r.begin() + static_cast<ptrdiff_t>(at + 64));
        at += length;
    }
    if (entry.reparseTag) {
        // Resident: the tag, the data's length (none) and a reserved word.
        Put32(r, at, 0xC0);
        Put32(r, at + 4, 32);
        Put16(r, at + 14, id++);
        Put32(r, at + 16, 8);
        Put16(r, at + 20, 0x18);
        Put32(r, at + 24, entry.reparseTag);
        at += 32;
    }
    Put32(r, at, 0xFFFFFFFF);
    at += 8;
    Put32(r, 24, at);
    Put16(r, 40, id);
    return r;
}

uint32_t CNtfsImage::AttributeAt(uint32_t n, uint32_t type) const
{
    const std::vector<uint8_t> r = RecordBytes(n);
    for (size_t at = 56; at + 8 <= r.size();) {
        const uint32_t t = r[at] | (r[at + 1] << 8) | (r[at + 2] << 16) | (static_cast<uint32_t>(r[at + 3]) << 24);
        const uint32_t length = r[at + 4] | (r[at + 5] << 8);
        if (t == type)
            return static_cast<uint32_t>(at);
        if (t == 0xFFFFFFFF || length == 0)
            break;
        at += length;
    }
    return 0;
}

std::vector<uint8_t> CNtfsImage::Bytes() const
{
    std::vector<uint8_t> image(m_nClusters * m_nCluster, 0);
    image[0] = 0xEB, image[1] = 0x52, image[2] = 0x90;
    std::copy_n("NTFS    ", 8, image.begin() + 3);
    Put16(image, 11, 512);
    image[13] = static_cast<uint8_t>(m_nCluster / 512);
    Put64(image, 40, m_nClusters * (m_nCluster / 512) - 1);
    Put64(image, 48, m_extentStart.empty() ? 0 : m_extentStart[0]);
    Put64(image, 56, m_extentStart.empty() ? 0 : m_extentStart[0]);
    int code = 0;
    if (m_nRecordSize >= m_nCluster) {
        code = static_cast<int>(m_nRecordSize / m_nCluster);
    } else {
        int shift = 0;
        while ((1u << shift) < m_nRecordSize)
            ++shift;
        code = -shift;
    }
    image[64] = static_cast<uint8_t>(static_cast<int8_t>(code));
    image[510] = 0x55, image[511] = 0xAA;
    for (uint32_t n = 0; n < m_nRecords; ++n) {
        std::vector<uint8_t> r = RecordBytes(n);
        if (r.empty())
            continue;
        // The update sequence: the last two bytes of every 512 go to the array, the
        // sequence number takes their place.
        const uint16_t usn = 1;
        const uint32_t count = m_nRecordSize / 512 + 1;
        Put16(r, 48, usn);
        for (uint32_t i = 1; i < count; ++i) {
            const size_t end = i * 512 - 2;
            r[48 + 2 * i] = r[end];
            r[48 + 2 * i + 1] = r[end + 1];
            Put16(r, end, usn);
        }
        // Byte by byte: a record may begin in one extent and end in the next.
        for (uint32_t i = 0; i < m_nRecordSize; ++i) {
            const uint64_t at = Position(n, i);
            if (at < image.size())
                image[at] = r[i];
        }
    }
    return image;
}
