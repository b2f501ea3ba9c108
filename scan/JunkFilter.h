// Which file names count as junk. Pure rules over UTF-8 text.
#pragma once

#include "../framework/CString.h"

// The part of a path after its last backslash; without one, after its last "/"; else all of it.
CString FileNameOf(const CString& path);
// The part of a file name after its last "."; a name without a dot is its own extension.
CString ExtensionOf(const CString& fileName);
// A pattern's key: the pattern less its first two characters ("*.tmp" -> "tmp").
CString PatternKey(const CString& pattern);
// Does the path's extension equal the key exactly (case-sensitive, no wildcards)?
bool MatchesPattern(const CString& path, const CString& pattern);
