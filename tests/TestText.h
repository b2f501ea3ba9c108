// Text conversions and the program's sentences, as the tests need them.
#pragma once

#include <string>

#include "framework/CString.h"

// Between UTF-8 (the tests' literals, the host's paths) and UTF-16, through the framework's
// one conversion.
inline std::wstring Wide(const std::string& utf8)
{
    return AfxToWide(CString(utf8.c_str()));
}
inline std::string Narrow(const std::wstring& wide)
{
    return AfxFromWide(wide).GetString();
}

// The text in the system's ANSI code page, as a program that reads windows with the narrow
// calls gets it.
inline std::string Ansi(const std::string& utf8)
{
    const std::wstring wide = Wide(utf8);
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &ansi[0], n, nullptr, nullptr);
    return ansi;
}

// The end-of-run sentence for count files of the given size text ("12KB").
inline std::string SummaryText(int count, const char* size)
{
    return "扫描已完成！本次共扫描出 " + std::to_string(count) + " 个垃圾文件，立即清除可帮您节省 " + size + " 磁盘空间。";
}
