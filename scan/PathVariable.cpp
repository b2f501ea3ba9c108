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

std::vector<std::wstring> Entries(const std::wstring& path)
{
    std::vector<std::wstring> entries;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(L';', start);
        entries.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            return entries;
        start = end + 1;
    }
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
    return path.empty() || path.back() == L';' ? path + folder : path + L";" + folder;
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
