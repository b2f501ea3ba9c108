// Text in UTF-8, whatever the system's code page. A byte below 0x80 is always a character of
// its own in UTF-8 (never part of a longer one), so searching for '\\' or '.' byte by byte
// finds only real separators and dots.
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

// The program's one crossing between its UTF-8 text and the system's UTF-16.
// The text in UTF-16. Bytes that are no UTF-8 give an empty result when bStrict is set, and
// are converted as well as it goes otherwise.
std::wstring AfxToWide(const CString& text, bool bStrict = false);
// The UTF-16 text in UTF-8. *pExact (when given) tells whether it had an exact UTF-8 form: an
// unpaired surrogate has none, and a text with one, converted as well as it goes, names
// something else.
CString AfxFromWide(const wchar_t* text, int nLength, bool* pExact = nullptr);
inline CString AfxFromWide(const std::wstring& text) { return AfxFromWide(text.c_str(), static_cast<int>(text.size())); }
