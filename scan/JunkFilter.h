// Which file names count as junk. Pure rules over UTF-8 text.
//
// A pattern of the six fixed ones keeps its meaning: the name's extension (the part after its
// last ".", or the whole name when it has none) equals the pattern less its first two
// characters, literally ("*.??~" wants the text "??~", which no Windows name can hold). Any
// other pattern, the user's own, is a Windows wildcard over the whole name: "*" any run of
// characters, "?" any one. Both ignore case, as Windows names do.
#pragma once

#include "../framework/CString.h"

// A pattern's key: the pattern less its first two characters ("*.tmp" -> "tmp").
CString PatternKey(const CString& pattern);
// Does the file name's extension equal the key, case ignored? No byte of a longer UTF-8
// character is a dot, so the last dot byte is the last dot character.
bool NameMatchesKey(const char* name, const char* key);
// Does the whole name match the wildcard pattern, case ignored?
bool NameMatchesWildcard(const char* name, const char* pattern);

// A pattern as a scan matches it.
struct CJunkPattern {
    CString text;      // as the user sees it: "*.tmp", "~$*"
    CString key;       // what is compared: the extension, or the wildcard
    bool wildcard = false;
};
CJunkPattern MakeJunkPattern(const CString& pattern);
bool NameMatches(const char* name, const CJunkPattern& pattern);

// text without the blanks at its ends.
CString TrimBlanks(const CString& text);

// Whether text may be one of the user's own patterns: not empty, a name's characters only
// (none of \ / : < > " |), at most 255 of them, no blank at either end, and not one that every
// name or nearly every name matches ("*", "*.*"); *pWhy says what is wrong.
bool IsValidUserPattern(const CString& text, CString* pWhy);
