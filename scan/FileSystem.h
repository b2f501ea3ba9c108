// The file calls of the walk and the deletions, on paths of any length: a path is handed
// to the system in its \\?\ form, so the 260-byte limit of the narrow calls never applies.
// Names come back in UTF-8; a name that has no exact UTF-8 form is reported as such, since a
// path built from it would name some other file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "../framework/CString.h"
#include "DeleteOutcome.h"

// The \\?\ form of a path (made absolute first); empty if it cannot be converted.
std::wstring ExtendedPath(const CString& path);

// The full path that Windows makes of a path typed by a person (relative to the current
// folder, "." and ".." resolved, trailing dots and blanks of names dropped); empty if none.
CString TypedPath(const CString& typed);

// Whether a name holds "\", "/" or a NUL: a path made of it would name another file.
bool NameHasSeparator(const wchar_t* name, int length);

// Is path the folder itself, or below it? Names compared as the file system does, case ignored.
bool IsPathAtOrBelow(const CString& path, const CString& folder);
// The same path (or name), case ignored.
inline bool SamePath(const CString& a, const CString& b)
{
    return a.GetLength() == b.GetLength() && IsPathAtOrBelow(a, b);
}

// dir, a backslash unless dir already ends in one, and name.
CString JoinPath(const CString& dir, const CString& name);

// How a folder's listing learns that it has come to its end. Windows' way: ask until the
// system says that nothing is left. Under Wine a reply that leaves room for another entry of
// the longest name holds the rest of the folder (its listing hands out every entry that fits),
// and asking again would only cost a round trip to its server, made under a lock that every
// listing in the process waits for.
enum class ListingEnd { AskUntilNothingLeft, ShortReplyEndsIt };
// ShortReplyEndsIt under Wine, AskUntilNothingLeft elsewhere, until set otherwise (the tests
// walk both ways).
ListingEnd GetListingEnd();
void SetListingEnd(ListingEnd end);

// The directory listing of one folder, every entry in the order the system gives them.
class CFileSearch {
public:
    CFileSearch() = default;
    ~CFileSearch() { Close(); }
    CFileSearch(const CFileSearch&) = delete;
    CFileSearch& operator=(const CFileSearch&) = delete;

    // Starts the listing of dir; false if it cannot be listed (Error() says why).
    bool Open(const CString& dir);
    // Moves to the next entry (the first one on the first call); false at the end, or when
    // the listing broke off (Error() is then not ERROR_NO_MORE_FILES).
    bool Next();
    void Close();
    DWORD Error() const { return m_error; }
    // The folder could not be read, as opposed to being empty or listed to its end.
    bool Unreadable() const
    {
        return m_error != ERROR_SUCCESS && m_error != ERROR_NO_MORE_FILES;
    }

    const CString& Name() const { return m_name; }
    // The name has an exact UTF-8 form (no unpaired surrogate), so a path made of it leads back.
    bool NameIsExact() const { return m_exact; }
    DWORD Attributes() const { return m_attributes; }
    // A reparse point's tag (0 for none, or not known).
    DWORD ReparseTag() const { return m_reparseTag; }
    uint64_t Size() const { return m_size; }
    // The last-write time, in FILETIME units.
    uint64_t Modified() const { return m_modified; }

private:
    bool Fetch();

    HANDLE m_hDir = INVALID_HANDLE_VALUE;
    std::unique_ptr<unsigned char[]> m_buffer;  // the entries of one request to the system
    size_t m_next = 0;                          // where the next entry starts, or kNone
    bool m_bComplete = false;                   // the last request gave the rest of the folder
    bool m_bShortReplyEnds = false;             // GetListingEnd() when the listing began
    DWORD m_error = ERROR_SUCCESS;
    DWORD m_attributes = 0;
    DWORD m_reparseTag = 0;
    uint64_t m_size = 0;
    uint64_t m_modified = 0;
    CString m_name;
    bool m_exact = false;
};

// How the checks ask for the path of what they opened. SystemFirst: GetFinalPathNameByHandleW,
// and the object's own name where that fails (on some drives it does, and under Wine for long
// paths). ObjectNameOnly: the object's own name always, so that the tests check that way too.
enum class FinalPathWay { SystemFirst, ObjectNameOnly };
void SetFinalPathWay(FinalPathWay way);

// Opens the root of a run: an existing folder that can be listed. *pCanonical receives its
// full path as the system names it (links on the way resolved, the names' own case), the
// form in which the walk lists its files and the deletion checks them again.
bool OpenScanRoot(const CString& root, CString* pCanonical);

// Deletes the listed file at path, and nothing else: the path is opened without following
// a final link, must still name a file (not a folder), and must be the path the system gives
// for what was opened, so that no folder on the way has become a link since the scan. The
// deletion then goes through that same handle.
DeleteOutcome DeleteListedFile(const CString& path);
// The checks of DeleteListedFile without the deletion, the read-only attribute included:
// Deleted when the file may go, and then *pFile holds it open (the caller closes it).
DeleteOutcome OpenListedFile(const CString& path, HANDLE* pFile);

// The size of the file at path now, in bytes; 0 when it is gone.
uint64_t ListedFileSize(const CString& path);

// Used space of the volume that holds root, in bytes; 0 if it cannot be asked.
uint64_t GetDiskUsedBytes(const CString& root);
