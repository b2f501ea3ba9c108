#include "JunkFilter.h"

CString FileNameOf(const CString& path)
{
    int sep = path.ReverseFind('\\');
    if (sep < 0)
        sep = path.ReverseFind('/');
    return sep < 0 ? path : path.Mid(sep + 1);
}

CString ExtensionOf(const CString& fileName)
{
    const int dot = fileName.ReverseFind('.');
    return dot < 0 ? fileName : fileName.Mid(dot + 1);
}

CString PatternKey(const CString& pattern)
{
    return pattern.Mid(2);
}

bool MatchesPattern(const CString& path, const CString& pattern)
{
    return ExtensionOf(FileNameOf(path)) == PatternKey(pattern);
}
