#include "CString.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    const size_t at = m_str.find(ch, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* pszSub, int nStart) const
{
    if (!pszSub)
        return -1;
    if (nStart < 0)
        nStart = 0;
    const size_t at = m_str.find(pszSub, static_cast<size_t>(nStart));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const
{
    const size_t at = m_str.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
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
    // A pointer to the resource's own text; its length is the answer.
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(AfxGetResourceHandle(), nID, reinterpret_cast<LPWSTR>(&text), 0);
    *this = n > 0 ? AfxFromWide(text, n) : CString();
    return n > 0;
}

std::wstring AfxToWide(const CString& text, bool bStrict)
{
    const DWORD flags = bStrict ? MB_ERR_INVALID_CHARS : 0;
    const int n = text.IsEmpty() ? 0 : ::MultiByteToWideChar(CP_UTF8, flags, text, text.GetLength(), nullptr, 0);
    if (n <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, flags, text, text.GetLength(), &wide[0], n);
    return wide;
}

CString AfxFromWide(const wchar_t* text, int nLength, bool* pExact)
{
    if (pExact)
        *pExact = true;
    if (nLength <= 0)
        return CString();
    // Most texts are names and short paths: converted in one call, on the stack.
    char local[1024];
    if (nLength <= static_cast<int>(sizeof(local) / 3)) {
        const int n = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, nLength, local, sizeof(local), nullptr, nullptr);
        if (n > 0)
            return CString(local, n);
    }
    DWORD flags = WC_ERR_INVALID_CHARS;
    int n = ::WideCharToMultiByte(CP_UTF8, flags, text, nLength, nullptr, 0, nullptr, nullptr);
    if (n <= 0) {
        if (pExact)
            *pExact = false;
        flags = 0;
        n = ::WideCharToMultiByte(CP_UTF8, flags, text, nLength, nullptr, 0, nullptr, nullptr);
        if (n <= 0)
            return CString();
    }
    std::vector<char> buf(static_cast<size_t>(n));
    ::WideCharToMultiByte(CP_UTF8, flags, text, nLength, buf.data(), n, nullptr, nullptr);
    return CString(buf.data(), n);
}
