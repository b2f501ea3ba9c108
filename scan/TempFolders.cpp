#include "TempFolders.h"

#include "FileSystem.h"

namespace {

bool IsTempName(const CString& folder)
{
    std::wstring path = AfxToWide(folder);
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    for (const wchar_t* temp : {L"Temp", L"Tmp"}) {
        if (::CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()), temp, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

}  // namespace

std::vector<CString> TempFoldersWithin(const CString& root, std::vector<CString>* pRefused)
{
    std::vector<CString> candidates;
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (n > 0 && n <= MAX_PATH + 1)
        candidates.push_back(AfxFromWide(buffer, static_cast<int>(n)));
    // The system's: the machine's own TEMP (what the system's services and a task run as
    // SYSTEM get), %SystemRoot%\Temp where it says none.
    wchar_t value[MAX_PATH + 2] = L"%SystemRoot%\\Temp";
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", L"TEMP",
                       RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, value, &bytes) != ERROR_SUCCESS)
        lstrcpyW(value, L"%SystemRoot%\\Temp");
    wchar_t system[MAX_PATH + 2] = {};
    const DWORD m = ::ExpandEnvironmentStringsW(value, system, MAX_PATH + 1);
    if (m > 0 && m <= MAX_PATH + 1 && system[0] != L'%')
        candidates.push_back(AfxFromWide(system, lstrlenW(system)));
    std::vector<CString> places;
    for (const CString& candidate : candidates) {
        CString canonical;
        if (!OpenScanRoot(candidate, &canonical) || !IsPathAtOrBelow(canonical, root))
            continue;
        if (!IsTempName(canonical)) {
            if (pRefused)
                pRefused->push_back(canonical);
            continue;
        }
        bool already = false;
        for (const CString& place : places)
            already = already || SamePath(place, canonical);
        if (!already)
            places.push_back(canonical);
    }
    return places;
}
