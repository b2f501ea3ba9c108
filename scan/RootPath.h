// What the text of the drive box names as the root of a run. A pure rule over the text.
#pragma once

#include "../framework/CString.h"

// The text trimmed; a bare drive letter, "C:" or "c:/" made the drive's root ("C:\");
// forward slashes made backslashes. Empty when the text names no full path (empty, a
// relative path, "C:foo", which means the drive's current folder): no run starts on those.
CString NormalizeRootText(const CString& typed);

// The status line when typed names no folder that a run can start on.
CString BadRootText(const CString& typed);
