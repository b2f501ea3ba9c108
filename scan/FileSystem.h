// The file calls of the walk and the deletions, on paths of any length: a path is handed
// to the system in its \\?\ form, so the 260-byte limit of the narrow calls never applies.
// Names come back in the ANSI code page; a name that the code page cannot spell exactly is
// reported as such, since a path built from it would name some other file.
#pragma once

#include <string>

#include "../framework/CString.h"

// The \\?\ form of an ANSI path (made absolute first); empty if it cannot be converted.
std::wstring ExtendedPath(const CString& path);

// dir, a backslash unless dir already ends in one, and name.
CString JoinPath(const CString& dir, const CString& name);

// The directory listing of one folder, every entry in the order the system gives them.
class CFileSearch {
public:
    CFileSearch() = default;
    ~CFileSearch() { Close(); }
    CFileSearch(const CFileSearch&) = delete;
    CFileSearch& operator=(const CFileSearch&) = delete;

    // Starts the listing of dir; false if it cannot be listed.
    bool Open(const CString& dir);
    // Moves to the next entry (the first one on the first call); false at the end.
    bool Next();
    void Close();

    const CString& Name() const { return m_name; }
    bool NameIsExact() const { return m_exact; }
    DWORD Attributes() const { return m_data.dwFileAttributes; }
    DWORD SizeLow() const { return m_data.nFileSizeLow; }

private:
    bool Convert();

    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    bool m_bPending = false;  // the entry from the opening call is still to be handed out
    WIN32_FIND_DATAW m_data = {};
    CString m_name;
    bool m_exact = false;
};

// What makes a directory the same one again, however it was reached.
struct DirectoryIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const DirectoryIdentity& o) const
    {
        return volume == o.volume && indexHigh == o.indexHigh && indexLow == o.indexLow;
    }
};
bool GetDirectoryIdentity(const CString& dir, DirectoryIdentity* pId);

// Deletes one file by its ANSI path, however long. TRUE if it is gone.
BOOL DeleteFileAnyLength(const CString& path);
