// Files as the tests look at them: whether a path names anything, a small file's bytes, and
// the rows of a CSV report. Paths of any length (\\?\ form).
#pragma once

#include <string>
#include <vector>

#include "framework/CString.h"
#include "scan/FileSystem.h"

inline bool Exists(const CString& path)
{
    return ::GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The whole file, or "<none>" when it cannot be opened.
inline std::string ReadAll(const CString& path)
{
    HANDLE h = ::CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<none>";
    std::string data;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof(buf), &got, nullptr) && got)
        data.append(buf, got);
    ::CloseHandle(h);
    return data;
}

inline void WriteAll(const CString& path, const std::string& bytes)
{
    HANDLE h = ::CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    ::CloseHandle(h);
}

// A report's rows (quoted fields, doubled quotes), its header first; none without the UTF-8
// byte-order mark that a report begins with.
inline std::vector<std::vector<std::string>> ParseCsv(const std::string& utf8WithBom)
{
    std::vector<std::vector<std::string>> rows;
    if (utf8WithBom.compare(0, 3, "\xEF\xBB\xBF") != 0)
        return rows;
    const std::string text = utf8WithBom.substr(3);
    std::vector<std::string> row(1);
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                row.back() += text[++i];
            else if (ch == '"')
                quoted = false;
            else
                row.back() += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            row.emplace_back();
        } else if (ch == '\n') {
            rows.push_back(row);
            row.assign(1, std::string());
        } else if (ch != '\r') {
            row.back() += ch;
        }
    }
    return rows;
}
