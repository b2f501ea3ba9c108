#include "PathVariable.h"

#include <cwctype>
#include <vector>

namespace {

std::wstring Bare(std::wstring text)
{
    while (!text.empty() && (text.back() == L' ' || text.back() == L'"'))
        text.pop_back();
    size_t start = 0;
    while (start < text.size() && (text[start] == L' ' || text[start] == L'"'))
        ++start;
    text.erase(0, start);
    // "C:\Tools\" and "C:\Tools" name one folder; "C:\" keeps its backslash.
    while (text.size() > 3 && text.back() == L'\\')
        text.pop_back();
    return text;
}

// The entries between semicolons; a semicolon inside quotes is part of its entry's folder.
std::vector<std::wstring> Entries(const std::wstring& path)
{
    std::vector<std::wstring> entries(1);
    bool quoted = false;
    for (wchar_t ch : path) {
        if (ch == L'"')
            quoted = !quoted;
        if (ch == L';' && !quoted)
            entries.emplace_back();
        else
            entries.back() += ch;
    }
    return entries;
}

}  // namespace

bool PathEntryNames(const std::wstring& entry, const std::wstring& folder)
{
    const std::wstring a = Bare(entry), b = Bare(folder);
    if (a.empty() || a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i]))
            return false;
    }
    return true;
}

std::wstring PathWithFolder(const std::wstring& path, const std::wstring& folder)
{
    for (const std::wstring& entry : Entries(path)) {
        if (PathEntryNames(entry, folder))
            return path;
    }
    // A folder whose name holds a semicolon goes in quotes, as Windows reads PATH.
    const std::wstring entry = folder.find(L';') != std::wstring::npos ? L"\"" + folder + L"\"" : folder;
    return path.empty() || path.back() == L';' ? path + entry : path + L";" + entry;
}

std::wstring PathWithoutFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring kept;
    bool first = true, removed = false;
    for (const std::wstring& entry : Entries(path)) {
        if (PathEntryNames(entry, folder)) {
            removed = true;
            continue;
        }
        kept += first ? entry : L";" + entry;
        first = false;
    }
    return removed ? kept : path;
}
