#include "JunkFilter.h"

#include <cstring>
#include <string>

#include "Patterns.h"

namespace {

bool IsAscii(const char* text)
{
    for (; *text; ++text) {
        if (static_cast<unsigned char>(*text) >= 0x80)
            return false;
    }
    return true;
}

char UpperAscii(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

// The text in UTF-16 capitals, as the file system compares names.
std::wstring Upper(const char* text)
{
    std::wstring wide = AfxToWide(CString(text));
    if (!wide.empty())
        ::CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return wide;
}

bool EqualIgnoringCase(const char* a, const char* b)
{
    if (IsAscii(a) && IsAscii(b)) {
        for (; *a && *b; ++a, ++b) {
            if (UpperAscii(*a) != UpperAscii(*b))
                return false;
        }
        return *a == *b;
    }
    return Upper(a) == Upper(b);
}

// "*" any run, "?" any one character; the classic two-pointer match, linear but for the
// stars' backtracking, which goes back to the last star only.
template <class Ch>
bool Wildcard(const Ch* name, size_t nName, const Ch* pattern, size_t nPattern)
{
    size_t n = 0, p = 0, star = static_cast<size_t>(-1), mark = 0;
    while (n < nName) {
        if (p < nPattern && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < nPattern && pattern[p] == '*') {
            star = p++;
            mark = n;
        } else if (star != static_cast<size_t>(-1)) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < nPattern && pattern[p] == '*')
        ++p;
    return p == nPattern;
}

}  // namespace

CString PatternKey(const CString& pattern)
{
    return pattern.Mid(2);
}

bool NameMatchesKey(const char* name, const char* key)
{
    const char* dot = std::strrchr(name, '.');
    return EqualIgnoringCase(dot ? dot + 1 : name, key);
}

bool NameMatchesWildcard(const char* name, const char* pattern)
{
    if (IsAscii(name) && IsAscii(pattern)) {
        std::string n(name), p(pattern);
        for (char& ch : n)
            ch = UpperAscii(ch);
        for (char& ch : p)
            ch = UpperAscii(ch);
        return Wildcard(n.data(), n.size(), p.data(), p.size());
    }
    // A character past the first 65,536 is two units here: "?" takes one of them, so such
    // a character wants "??" (the system's own matching counts units too).
    const std::wstring n = Upper(name), p = Upper(pattern);
    return Wildcard(n.data(), n.size(), p.data(), p.size());
}

CJunkPattern MakeJunkPattern(const CString& pattern)
{
    CJunkPattern junk;
    junk.text = pattern;
    for (const char* fixed : kPatterns) {
        if (pattern == fixed) {
            junk.key = PatternKey(pattern);
            return junk;
        }
    }
    junk.key = pattern;
    junk.wildcard = true;
    return junk;
}

bool NameMatches(const char* name, const CJunkPattern& pattern)
{
    return pattern.wildcard ? NameMatchesWildcard(name, pattern.key) : NameMatchesKey(name, pattern.key);
}

CString TrimBlanks(const CString& text)
{
    int first = 0, last = text.GetLength();
    while (first < last && text.GetAt(first) == ' ')
        ++first;
    while (last > first && text.GetAt(last - 1) == ' ')
        --last;
    return text.Mid(first, last - first);
}

bool IsValidUserPattern(const CString& text, CString* pWhy)
{
    if (text.IsEmpty()) {
        *pWhy = "文件类型不能为空。";
        return false;
    }
    const std::wstring wide = AfxToWide(text, true);
    if (wide.empty() || wide.size() > 255) {
        *pWhy = "文件类型太长或无法识别：" + text;
        return false;
    }
    for (wchar_t ch : wide) {
        if (ch < 0x20 || std::wcschr(L"\\/:<>\"|", ch)) {
            *pWhy = "文件类型中不能有 \\ / : < > \" | 等字符：" + text;
            return false;
        }
    }
    if (wide.front() == L' ' || wide.back() == L' ') {
        *pWhy = "文件类型的首尾不能是空格：" + text;
        return false;
    }
    // "*", "*.*", "?*": every name, or nearly; one click on 全部删除 would empty the drive.
    if (wide.find_first_not_of(L"*?.") == std::wstring::npos) {
        *pWhy = "这个文件类型会匹配几乎所有文件，不能使用：" + text;
        return false;
    }
    return true;
}
