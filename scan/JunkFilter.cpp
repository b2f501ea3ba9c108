#include "JunkFilter.h"

#include <cstring>

CString PatternKey(const CString& pattern)
{
    return pattern.Mid(2);
}

bool NameMatchesKey(const char* name, const char* key)
{
    const char* dot = std::strrchr(name, '.');
    return std::strcmp(dot ? dot + 1 : name, key) == 0;
}
