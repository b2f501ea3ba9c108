#include "CleaningRules.h"

#include <algorithm>

#include "FileSystem.h"
#include "JunkFilter.h"
#include "Patterns.h"
#include "TempFolders.h"

namespace {

const wchar_t kKey[] = L"Software\\Kelvaro";

// A REG_MULTI_SZ value as UTF-8 texts.
std::vector<CString> ReadList(const wchar_t* name)
{
    std::vector<CString> out;
    DWORD bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS || bytes == 0)
        return out;
    std::wstring data(bytes / sizeof(wchar_t) + 2, L'\0');
    if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_MULTI_SZ, nullptr, &data[0], &bytes) != ERROR_SUCCESS)
        return out;
    for (const wchar_t* at = data.c_str(); *at; at += lstrlenW(at) + 1)
        out.push_back(AfxFromWide(at, lstrlenW(at)));
    return out;
}

bool WriteList(HKEY key, const wchar_t* name, const std::vector<CString>& texts)
{
    std::wstring data;
    for (const CString& text : texts)
        data += AfxToWide(text) + L'\0';
    data += L'\0';
    return ::RegSetValueExW(key, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
}

DWORD ReadNumber(const wchar_t* name)
{
    DWORD value = 0, size = sizeof(value);
    return ::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS ? value : 0;
}

}  // namespace

CCleaningRules LoadCleaningRules()
{
    CCleaningRules rules;
    // Each pattern after its tick: "1*.log", "0~$*".
    for (const CString& line : ReadList(L"Patterns")) {
        CString why;
        if (line.GetLength() >= 2 && (line.GetAt(0) == '0' || line.GetAt(0) == '1') && AddUserPattern(rules, line.Mid(1), &why) &&
            !rules.patterns.empty() && rules.patterns.back().text == line.Mid(1))
            rules.patterns.back().ticked = line.GetAt(0) == '1';
    }
    rules.excluded = ReadList(L"ExcludedFolders");
    rules.olderThanDays = static_cast<int>(std::min<DWORD>(ReadNumber(L"OlderThanDays"), 36500));
    // 1 on and ticked, 2 on but its line not ticked.
    const DWORD temp = ReadNumber(L"TempFolders");
    rules.tempFolders = temp != 0;
    rules.tempTicked = temp != 2;
    return rules;
}

bool SaveCleaningRules(const CCleaningRules& rules)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<CString> lines;
    for (const CCleaningRules::Pattern& p : rules.patterns)
        lines.push_back(CString(p.ticked ? "1" : "0") + p.text);
    const DWORD days = static_cast<DWORD>(rules.olderThanDays), temp = rules.tempFolders ? (rules.tempTicked ? 1 : 2) : 0;
    bool ok = WriteList(key, L"Patterns", lines) && WriteList(key, L"ExcludedFolders", rules.excluded);
    ok = ::RegSetValueExW(key, L"OlderThanDays", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&days), sizeof(days)) == ERROR_SUCCESS && ok;
    ok = ::RegSetValueExW(key, L"TempFolders", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&temp), sizeof(temp)) == ERROR_SUCCESS && ok;
    ::RegCloseKey(key);
    return ok;
}

bool AddUserPattern(CCleaningRules& rules, const CString& pattern, CString* pWhy)
{
    if (!IsValidUserPattern(pattern, pWhy))
        return false;
    for (const char* fixed : kPatterns) {
        if (SamePath(fixed, pattern))
            return true;
    }
    for (const CCleaningRules::Pattern& p : rules.patterns) {
        if (SamePath(p.text, pattern))
            return true;
    }
    rules.patterns.push_back(CCleaningRules::Pattern{pattern, true});
    return true;
}

CScanOptions ScanOptionsFor(const CCleaningRules& rules, const CString& root)
{
    CScanOptions options;
    for (const CString& folder : rules.excluded) {
        CString canonical;
        if (OpenScanRoot(folder, &canonical))
            options.excluded.push_back(canonical);
    }
    options.olderThanDays = rules.olderThanDays;
    if (rules.tempFolders && rules.tempTicked)
        options.places = TempFoldersWithin(root);
    return options;
}
