// Which file names count as junk. Pure rules over UTF-8 text.
#pragma once

#include "../framework/CString.h"

// A pattern's key: the pattern less its first two characters ("*.tmp" -> "tmp").
CString PatternKey(const CString& pattern);
// Does the file name's extension (the part after its last ".", or the whole name when it has
// none) equal the key exactly (case-sensitive, no wildcards)? No byte of a longer UTF-8
// character is a dot, so the last dot byte is the last dot character.
bool NameMatchesKey(const char* name, const char* key);
