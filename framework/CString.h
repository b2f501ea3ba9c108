// Narrow string in the ANSI code page. Searches for a character step over the double-byte
// characters of that code page, so a trail byte that happens to equal the searched byte
// (0x5C, the backslash, is a valid trail byte in code page 936) is never found.
#pragma once

#include <string>

#include "Afx.h"

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, pch + nLength) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    char GetAt(int nIndex) const { return m_str[static_cast<size_t>(nIndex)]; }

    // First position at or after nStart where ch starts a character, or -1.
    int Find(char ch, int nStart = 0) const;
    // First position at or after nStart where the text pszSub starts on a character boundary.
    int Find(const char* pszSub, int nStart = 0) const;
    // Last position where ch starts a character, or -1.
    int ReverseFind(char ch) const;

    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    CString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }

    // Byte-wise comparison: < 0, 0, > 0.
    int Compare(const char* psz) const { return m_str.compare(psz ? psz : ""); }

    void Format(const char* pszFormat, ...);
    BOOL LoadString(UINT nID);

    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
    friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_str;
};

// Is this byte the first of a double-byte character in the ANSI code page?
bool AfxIsLeadByte(unsigned char ch);

// The text in UTF-16. A byte sequence that is no text of the ANSI code page gives an empty
// result when bStrict is set, and is converted as well as it goes otherwise.
std::wstring AfxToWide(const CString& text, bool bStrict = false);
// The text in UTF-8, as files and pipes outside the program take it.
std::string AfxToUtf8(const CString& text);
// The UTF-16 text in the ANSI code page. *pExact (when given) tells whether every character
// had its own form there; a text that had not names something else.
CString AfxFromWide(const wchar_t* text, int nLength, bool* pExact = nullptr);
