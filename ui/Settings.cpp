#include "Settings.h"

#include "../framework/Afx.h"

namespace {
const wchar_t kKey[] = L"Software\\Kelvaro";
const wchar_t kRecycle[] = L"DeleteToRecycleBin";
}  // namespace

bool LoadRecycleOption()
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    return ::RegGetValueW(HKEY_CURRENT_USER, kKey, kRecycle, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS &&
           value != 0;
}

bool SaveRecycleOption(bool bOn)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD value = bOn ? 1 : 0;
    const LONG result = ::RegSetValueExW(key, kRecycle, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}
