// The files a scan found: the one store of them between the walk and the screen. Each row
// holds the path (UTF-8, kept once), the size and the last-write time as the walk or the
// volume's table read them, whether the user selected it, and what a deletion made of it.
// The window's list draws from here (ui/FoundFilesView.h) and the console's report is written
// from here; neither keeps a copy.
//
// How a found file gets to the screen: a walker (ScanEngine.cpp) or the table reader finds it
// and hands its path, size and date to the run's mailbox (ScanMailbox.h), which makes its sort
// key there, on the worker; the run controller (RunController.h) takes the mailbox's batch
// into this model on the owner's thread; the list view asks the model for the rows it draws,
// and converts a path to UTF-16 only then. A deletion reads the paths from here too, and its
// outcomes are set on the rows.
//
// Rows keep their number for as long as the model holds them (a row's number is its place in
// arrival order). The order the list shows is the order of one column, ascending or
// descending; ties go by path. The order by path is the one a sorted list box of the user's
// locale gives (case ignored), and is kept as rows arrive: each batch is sorted and merged in
// (n log n over a run, in any arrival order).
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "../framework/CString.h"
#include "DeleteOutcome.h"
#include "ScanMailbox.h"

enum class FoundColumn { Path, Size, Modified };

class CFoundFiles {
public:
    using Row = uint32_t;
    static const size_t npos = static_cast<size_t>(-1);

    CFoundFiles();
    ~CFoundFiles();
    CFoundFiles(const CFoundFiles&) = delete;
    CFoundFiles& operator=(const CFoundFiles&) = delete;

    // Forgets every row.
    void Clear();
    // Takes a batch of found files in (its items from first to before end), each at its place
    // in the order shown.
    void Add(const CFoundBatch& batch, size_t first = 0, size_t end = npos);

    // The rows shown, in the order shown.
    size_t Count() const { return m_byPath.size(); }
    Row RowAt(size_t position) const;
    // Where row is shown; npos for a row no longer held.
    size_t PositionOf(Row row) const;

    const char* Path(Row row) const;
    uint64_t Size(Row row) const { return m_rows[row].size; }
    // The last-write time, as a FILETIME's 100-ns units since 1601 (UTC); 0 when not known.
    uint64_t Modified(Row row) const { return m_rows[row].modified; }
    DeleteOutcome Outcome(Row row) const { return static_cast<DeleteOutcome>(m_rows[row].outcome); }
    // What made it junk: a pattern's number in the run's list, or kPlaceRule plus a place's.
    uint16_t Rule(Row row) const { return m_rows[row].rule; }
    void SetOutcome(Row row, DeleteOutcome outcome) { m_rows[row].outcome = static_cast<uint8_t>(outcome); }

    // The order shown.
    void SortBy(FoundColumn column, bool bDescending);
    FoundColumn SortColumn() const { return m_column; }
    bool Descending() const { return m_bDescending; }

    // The user's selection, by row: it stays with its rows whatever arrives or goes.
    void Select(Row row, bool bSelected);
    void SelectAll(bool bSelected);
    bool IsSelected(Row row) const { return m_rows[row].selected != 0; }
    size_t SelectedCount() const { return m_nSelected; }
    uint64_t SelectedBytes() const { return m_nSelectedBytes; }
    // The selected rows, or every row, in the order shown.
    std::vector<Row> SelectedRows() const;
    std::vector<Row> AllRows() const;

    // Drops the rows whose files a deletion took (Deleted, AlreadyGone); the others stay, with
    // their outcome. The number dropped.
    size_t RemoveGone();

    // Moves on whenever rows come or go or change places (not for the selection).
    unsigned Version() const { return m_nVersion; }
    // Rows taken in since the last Clear, gone ones included: a row's number is below it.
    size_t RowsTaken() const { return m_rows.size(); }
    // Keeps the paths of the rows held now readable, for as long as the result lives (a
    // deletion's workers read them while the model goes on).
    std::shared_ptr<const void> PinPaths() const { return m_paths.Pin(); }

    // Bytes the model holds, for the benchmark.
    size_t MemoryBytes() const;

private:
    struct RowData {
        uint64_t path;      // where the path starts in the text store
        uint64_t size;
        uint64_t modified;
        uint64_t key;       // where its sort key starts in the key store
        uint32_t keyLength; // 0: none kept, the model makes it from the path
        uint16_t rule;
        uint8_t outcome;
        uint8_t selected;
    };
    // Text kept in blocks of 1 MB that never move (a path is at most some 98 KB of UTF-8).
    class CTextStore {
    public:
        uint64_t Add(const char* text, size_t length);
        const char* At(uint64_t offset) const { return m_blocks[offset >> 20].get() + (offset & 0xFFFFF); }
        void Clear();
        size_t Bytes() const { return m_blocks.size() << 20; }
        // Holds the texts stored so far for as long as the result lives, whatever the store does.
        std::shared_ptr<const void> Pin() const;

    private:
        std::vector<std::shared_ptr<char>> m_blocks;
        uint32_t m_nUsed = 0;
    };

    int ComparePaths(Row a, Row b) const;
    bool Less(FoundColumn column, Row a, Row b) const;
    // Merges the sorted rows of batch into order (sorted by column).
    void MergeInto(std::vector<Row>& order, std::vector<Row> batch, FoundColumn column);
    const std::vector<Row>& Ascending() const { return m_column == FoundColumn::Path ? m_byPath : m_byColumn; }

    // In blocks, not one vector: a million rows never move, nor are they held twice while growing.
    std::deque<RowData> m_rows;
    CTextStore m_paths;
    CTextStore m_keys;
    std::vector<Row> m_byPath;    // every row held, by path
    std::vector<Row> m_byColumn;  // the same, by the sort column when it is not the path
    FoundColumn m_column = FoundColumn::Path;
    bool m_bDescending = false;
    size_t m_nSelected = 0;
    uint64_t m_nSelectedBytes = 0;
    unsigned m_nVersion = 0;
};

// The sort key of a path as a sorted list box of the user's locale compares it, case ignored.
std::string PathSortKey(const std::wstring& path);
// The key that a found file carries to the model: empty for a path whose key the model makes
// itself (plain ASCII, where that gives the system's key exactly), else PathSortKey's. Made on
// the worker that found the file.
std::string FoundSortKey(const CString& path);
// A file's size as a list of files shows it: "532 字节", "1.2 KB", "34 MB", "1.5 GB" (one
// decimal below 10, cut, not rounded); bSpace false writes "1.2KB".
CString FileSizeText(uint64_t bytes, bool bSpace = true);
// A last-write time in local time: "2026/12/08 14:05"; empty when not known.
CString FileTimeText(uint64_t fileTime);
