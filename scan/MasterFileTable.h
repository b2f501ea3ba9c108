// The fast way through a whole NTFS volume: its master file table (MFT) read in large
// sequential pieces from the volume's raw device, instead of asking for one folder at a time.
// The raw device opens for an elevated process on Windows, and under Wine for a drive whose
// device link leads to an image. Everything else is walked as before.
//
// What the table gives is what a walk of the same folder gives: each file by every one of its
// names (hard links), its size from its unnamed data stream, no folder behind a reparse point
// (link, junction, mount point) entered, Windows' own metadata files left out. A record that
// fails its update-sequence check is skipped and counted as unreadable. Structures that make
// no sense (a table outside the volume, a folder chain that loops or leads nowhere) give no
// listing at all: the run walks instead.
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
    // table's own record; false when that cannot be done or the volume is no NTFS.
    bool Open(const CString& root);

    // What the reading tells its caller. Each is called on the reading thread.
    struct Sink {
        // Between pieces: false ends the reading (a Stop); a pause waits inside.
        std::function<bool()> proceed;
        // Records read so far, of how many.
        std::function<void(uint64_t read, uint64_t total)> progress;
        // A file below the root: its full path (the root's own spelling first) and its size.
        std::function<void(const CString& path, const CString& name, uint64_t size)> file;
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
        uint32_t record;   // the file
        uint32_t parent;   // the folder that holds this name
        uint32_t name;     // where the name starts in m_names
        uint16_t length;   // in UTF-16 units
    };
    struct Record {
        uint64_t size = 0;
        uint8_t flags = 0;
    };
    enum : uint8_t { kInUse = 1, kFolder = 2, kReparse = 4, kBroken = 8, kBase = 16 };

    bool ReadAt(uint64_t offset, void* buffer, uint32_t bytes);
    bool ParseRecord(uint8_t* data, uint32_t number);
    bool ReadTable(const Sink& sink);
    bool FindRoot(uint32_t* pRecord);
    // The file system gives the root folder this record's number: the drive letter leads to
    // the volume's own root (under Wine a drive may lead into any folder of a volume, whose
    // table would then name its files from the wrong place).
    bool IsRootRecord(uint32_t record) const;

    void* m_hVolume = nullptr;
    CString m_root;           // as given, without a trailing separator unless a drive's root
    std::wstring m_rootRest;  // the part after "X:\"
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
