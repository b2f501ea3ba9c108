#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

bool AfxIsLeadByte(unsigned char ch)
{
    return ch >= 0x80 && IsDBCSLeadByte(ch);
}

namespace {

// Length in bytes of the character that starts at s[i]: a lead byte with a byte after it
// makes a pair; a lead byte at the very end stands alone.
int CharLength(const std::string& s, size_t i)
{
    return (AfxIsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

}  // namespace

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    for (size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (static_cast<int>(i) >= nStart && m_str[i] == ch)
            return static_cast<int>(i);
    }
    return -1;
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub)
        return -1;
    const size_t n = std::strlen(pszSub);
    if (nStart < 0)
        nStart = 0;
    for (size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (static_cast<int>(i) >= nStart && m_str.compare(i, n, pszSub) == 0 && i + n <= m_str.size())
            return static_cast<int>(i);
    }
    return n == 0 && static_cast<size_t>(nStart) <= m_str.size() ? nStart : -1;
}

int CString::ReverseFind(char ch) const
{
    int found = -1;
    for (size_t i = 0; i < m_str.size(); i += CharLength(m_str, i)) {
        if (m_str[i] == ch)
            found = static_cast<int>(i);
    }
    return found;
}

CString CString::Left(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    return CString(m_str.substr(0, static_cast<size_t>(nCount)).c_str());
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    CString r;
    r.m_str = m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount));
    return r;
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return Mid(GetLength() - nCount);
}

void CString::Format(const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
    } else {
        std::vector<char> buf(static_cast<size_t>(n) + 1);
        std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
        m_str.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
}

BOOL CString::LoadString(UINT nID)
{
    char buf[256];
    const int n = ::LoadStringA(AfxGetResourceHandle(), nID, buf, sizeof(buf));
    m_str.assign(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}

std::wstring AfxToWide(const CString& text, bool bStrict)
{
    const DWORD flags = bStrict ? MB_ERR_INVALID_CHARS : 0;
    const int n = text.IsEmpty() ? 0 : ::MultiByteToWideChar(CP_ACP, flags, text, text.GetLength(), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, flags, text, text.GetLength(), &wide[0], n);
    return wide;
}

std::string AfxToUtf8(const CString& text)
{
    const std::wstring wide = AfxToWide(text);
    const int n = wide.empty() ? 0 : ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

CString AfxFromWide(const wchar_t* text, int nLength, bool* pExact)
{
    if (pExact)
        *pExact = true;
    if (nLength <= 0)
        return CString();
    BOOL usedDefault = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, nLength, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0) {
        if (pExact)
            *pExact = false;
        return CString();
    }
    std::vector<char> buf(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, nLength, buf.data(), n, nullptr, &usedDefault);
    if (pExact)
        *pExact = !usedDefault;
    return CString(buf.data(), n);
}
