// Text conversions and the program's sentences, as the tests need them.
#pragma once

#include <string>

#include "framework/CString.h"

// UTF-8: the host's paths and commands (the tests' own literals are in the ANSI code page).
inline std::wstring Utf8ToWide(const std::string& s)
{
    std::wstring w(s.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return w;
}

// Between the ANSI code page and UTF-16, through the framework's one conversion.
inline std::wstring Wide(const std::string& ansi)
{
    return AfxToWide(CString(ansi.c_str()));
}
inline std::string Narrow(const std::wstring& wide)
{
    return static_cast<const char*>(AfxFromWide(wide.c_str(), static_cast<int>(wide.size())));
}

// The end-of-run sentence for count files of the given size text ("12KB").
inline std::string SummaryText(int count, const char* size)
{
    return "扫描已完成！本次共扫描出 " + std::to_string(count) + " 个垃圾文件，立即清除可帮您节省 " + size + " 磁盘空间。";
}
