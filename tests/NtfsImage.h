// A small NTFS volume made in code, for the table reader's tests: a boot sector, the master
// file table's own record with the table's extents, the root folder, and the folders and files
// that a test adds, each record with its update sequence applied. Only what a reader of the
// table looks at is there (no indexes, no bitmap, no log), so no FUSE mount is needed, and a
// test can then damage any field it likes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CNtfsImage {
public:
    // cluster and record sizes in bytes; the table's extents, in clusters each, lie apart in
    // the image in this order; records: the table's length.
    CNtfsImage(uint32_t cluster, uint32_t recordSize, std::vector<uint64_t> extents, uint32_t records);

    static constexpr uint32_t kRoot = 5;
    // A folder or a file named name (UTF-8) in the folder parent; its record's number.
    uint32_t Folder(uint32_t parent, const std::string& name);
    uint32_t File(uint32_t parent, const std::string& name, uint64_t size);
    // Makes record a reparse point with this tag (a link, a cloud placeholder ...).
    void Reparse(uint32_t record, uint32_t tag) { m_entries[record].reparseTag = tag; }
    // Record's first name moves to the folder parent, whatever that makes of the tree.
    void Reparent(uint32_t record, uint32_t parent) { m_entries[record].names[0].first = parent; }
    // The sequence number that names in the folder record give for it (the folder's own is
    // its number below 16, else 1).
    void SetParentSequence(uint32_t record, uint16_t seq) { m_parentSeq[record] = seq; }

    // The whole image, and where byte k of record n lies in it, for tests that damage it (a
    // record may begin in one extent of the table and end in the next).
    std::vector<uint8_t> Bytes() const;
    uint64_t Position(uint32_t n, uint32_t k = 0) const;
    uint32_t RecordSize() const { return m_nRecordSize; }
    // The record's bytes before its update sequence is applied: an attribute's place in it is
    // its place in the image.
    std::vector<uint8_t> RecordBytes(uint32_t n) const;
    // Where in record n the attribute of this type begins (the first of them); 0 if none.
    uint32_t AttributeAt(uint32_t n, uint32_t type) const;

private:
    struct Entry {
        std::vector<std::pair<uint32_t, std::u16string>> names;  // (folder, name)
        bool folder = false;
        uint64_t size = 0;
        uint32_t reparseTag = 0;  // none
    };
    uint32_t Add(uint32_t parent, const std::string& name, bool folder, uint64_t size);

    uint32_t m_nCluster;
    uint32_t m_nRecordSize;
    std::vector<uint64_t> m_extents;
    std::vector<uint64_t> m_extentStart;  // the first cluster of each
    uint64_t m_nClusters = 0;
    uint32_t m_nRecords;
    uint32_t m_nNext = 16;
    std::map<uint32_t, Entry> m_entries;
    std::map<uint32_t, uint16_t> m_parentSeq;
};
