// The fast way through a whole NTFS volume: its master file table (MFT) read in large
// sequential pieces from the volume's raw device, instead of asking for one folder at a time.
// The raw device opens for an elevated process on Windows, and under Wine for a drive whose
// device link leads to an image. Everything else is walked as before.
//
// What the table gives is what a walk of the same folder gives: each file by every one of its
// names (hard links), its size from its unnamed data stream, no folder behind a reparse point
// (link, junction, mount point) entered, Windows' own metadata files and the system's stores
// at the volume's root ($Recycle.Bin, RECYCLER, RECYCLED, System Volume Information) left out.
//
// The volume is hostile input: every offset and length read from it is checked in 64-bit
// arithmetic before use, every loop is bounded by the data it reads, and memory by the
// device's real size. A record that fails its own checks (update sequence, its number) is
// skipped and counted as unreadable. A table that makes no sense as a whole gives no listing
// at all, and the run walks instead: a table or a volume larger than the device, a name whose
// folder is not in use, is no folder, or has been reused since (its sequence number), an
// in-use folder that cannot be reached from the root (a chain that loops or leads nowhere).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "../framework/CString.h"

class CMasterFileTable {
public:
    CMasterFileTable() = default;
    ~CMasterFileTable();
    CMasterFileTable(const CMasterFileTable&) = delete;
    CMasterFileTable& operator=(const CMasterFileTable&) = delete;

    // Opens the raw device of root's drive ("T:\..." only) and reads its boot sector and the
    // table's own record; false when that cannot be done or the volume is no NTFS. The listing
    // is then made only when root's drive leads to the volume's own root.
    bool Open(const CString& root);
    // The same on an image of a volume in a file, whose root folder is taken to be root's
    // drive: what a device gives, without the file system to ask.
    bool OpenImage(const CString& imagePath, const CString& root);

    // What the reading tells its caller. Each is called on the reading thread.
    struct Sink {
        // Between pieces: false ends the reading (a Stop); a pause waits inside.
        std::function<bool()> proceed;
        // Records read so far, of how many.
        std::function<void(uint64_t read, uint64_t total)> progress;
        // A file below the root: its full path (the root's own spelling first) and its size.
        std::function<void(const CString& path, const CString& name, uint64_t size, uint64_t modified)> file;
        // Folders and files that could not be read: records that failed their check, and
        // names with no exact UTF-8 form.
        std::function<void(int folders, int files)> unreadable;
    };
    enum class Result { Listed, Stopped, Failed };
    // Reads the whole table, then lists every file below root (the folder given to Open).
    // Failed: nothing was listed, and a walk should do the work.
    Result List(const Sink& sink);

    uint64_t RecordCount() const { return m_nRecords; }

private:
    struct Link {
        uint32_t record;     // the file
        uint32_t parent;     // the folder that holds this name
        uint32_t name;       // where the name starts in m_names
        uint16_t length;     // in UTF-16 units
        uint16_t parentSeq;  // the folder's sequence number when the name was made
    };
    struct Record {
        uint64_t size = 0;
        uint64_t modified = 0;  // the last write, from the standard information
        uint16_t seq = 0;
        uint8_t flags = 0;
    };
    // kReparse: a reparse point not to be entered (a link, junction or mount point).
    enum : uint8_t { kInUse = 1, kFolder = 2, kReparse = 4, kBase = 16 };

    bool OpenDevice(void* hDevice, const CString& root);
    bool ReadAt(uint64_t offset, void* buffer, uint32_t bytes);
    // Bytes of the table as one stream, across its extents.
    bool ReadTableBytes(uint64_t offset, uint8_t* buffer, uint32_t bytes);
    // False: the record is damaged (skipped and counted), and nothing of it is kept.
    bool ParseRecord(uint8_t* data, uint32_t number);
    bool ParseRecordInto(uint8_t* data, uint32_t number);
    bool ReadTable(const Sink& sink);
    // Every name's folder is an in-use folder of the same generation, and every in-use folder
    // is reached from the root.
    bool Consistent(const Sink& sink, const std::vector<uint32_t>& firstLink, const std::vector<uint32_t>& order);
    bool FindRoot(uint32_t* pRecord, const std::vector<uint32_t>& firstLink, const std::vector<uint32_t>& order);
    // The file system gives the root folder this record's number: the drive letter leads to
    // the volume's own root (under Wine a drive may lead into any folder of a volume, whose
    // table would then name its files from the wrong place).
    bool IsRootRecord(uint32_t record) const;

    void* m_hVolume = nullptr;
    bool m_bCheckRoot = true;  // false for an image: no file system to ask
    CString m_root;            // as given, without a trailing separator unless a drive's root
    std::wstring m_rootRest;   // the part after "X:\"
    uint64_t m_nDeviceBytes = 0;
    uint32_t m_nSector = 512;
    uint32_t m_nCluster = 4096;
    uint32_t m_nRecordSize = 1024;
    uint64_t m_nClusters = 0;
    uint64_t m_nRecords = 0;
    std::vector<std::pair<uint64_t, uint64_t>> m_runs;  // the table's extents: (cluster, count)

    std::vector<Record> m_records;
    std::vector<Link> m_links;
    std::wstring m_names;
    int m_nBadRecords = 0;
};
