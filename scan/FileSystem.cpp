#include "FileSystem.h"

#include <cwctype>
#include <vector>

std::wstring ExtendedPath(const CString& path)
{
    // Strict: a path that is no text of the code page names no file of ours.
    const std::wstring wide = AfxToWide(path, true);
    if (wide.empty())
        return wide;
    if (wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    // A full path such as the walk builds goes through as it is: normalising it would drop
    // the trailing dots and blanks of a name and so name another file.
    const bool absolute = wide.size() >= 3 && iswalpha(wide[0]) && wide[1] == L':' && wide[2] == L'\\';
    if (absolute && wide.find(L'/') == std::wstring::npos && wide.find(L"\\.\\") == std::wstring::npos &&
        wide.find(L"\\..\\") == std::wstring::npos)
        return L"\\\\?\\" + wide;
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::wstring();
    std::vector<wchar_t> full(n + 1);
    const DWORD got = ::GetFullPathNameW(wide.c_str(), n + 1, full.data(), nullptr);
    if (got == 0 || got > n)
        return std::wstring();
    std::wstring abs(full.data(), got);
    if (abs.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + abs.substr(2);
    return L"\\\\?\\" + abs;
}

CString JoinPath(const CString& dir, const CString& name)
{
    // The last character, not the last byte: 乗 ends in 0x5C but is no separator.
    const bool endsWithSeparator = !dir.IsEmpty() && dir.ReverseFind('\\') == dir.GetLength() - 1;
    CString path(dir);
    if (!endsWithSeparator)
        path += '\\';
    path += name;
    return path;
}

bool CFileSearch::Open(const CString& dir)
{
    Close();
    std::wstring pattern = ExtendedPath(dir);
    if (pattern.empty())
        return false;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';
    // The basic information level leaves out the short 8.3 names, which nothing here uses.
    m_hFind = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &m_data, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
    m_bPending = m_hFind != INVALID_HANDLE_VALUE;
    return m_bPending;
}

bool CFileSearch::Next()
{
    if (m_hFind == INVALID_HANDLE_VALUE)
        return false;
    if (m_bPending)
        m_bPending = false;
    else if (!::FindNextFileW(m_hFind, &m_data))
        return false;
    return Convert();
}

bool CFileSearch::Convert()
{
    char buf[MAX_PATH * 2 + 2];
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, m_data.cFileName, -1, buf,
                                        sizeof(buf), nullptr, &usedDefault);
    m_exact = n > 0 && !usedDefault;
    m_name = n > 0 ? CString(buf, n - 1) : CString();
    return true;
}

void CFileSearch::Close()
{
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bPending = false;
}

bool GetDirectoryIdentity(const CString& dir, DirectoryIdentity* pId)
{
    const std::wstring path = ExtendedPath(dir);
    if (path.empty())
        return false;
    HANDLE h = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != FALSE;
    ::CloseHandle(h);
    if (ok) {
        pId->volume = info.dwVolumeSerialNumber;
        pId->indexHigh = info.nFileIndexHigh;
        pId->indexLow = info.nFileIndexLow;
    }
    return ok;
}

BOOL DeleteFileAnyLength(const CString& path)
{
    const std::wstring wide = ExtendedPath(path);
    return !wide.empty() && ::DeleteFileW(wide.c_str());
}
