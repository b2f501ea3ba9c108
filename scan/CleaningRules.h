// What the user has said counts as junk beyond the six fixed patterns, and what is kept out:
// the rules that the window's "清理规则…" dialog edits and KelvaroCli's /saved reads, kept for
// each user under HKEY_CURRENT_USER\Software\Kelvaro.
#pragma once

#include <vector>

#include "../framework/CString.h"
#include "ScanEngine.h"

struct CCleaningRules {
    struct Pattern {
        CString text;         // a Windows wildcard over the whole name: "*.log", "~$*"
        bool ticked = true;   // its line in the check list is ticked
    };
    std::vector<Pattern> patterns;
    std::vector<CString> excluded;  // folders never entered, as the system names them
    int olderThanDays = 0;          // list only files at least this old; 0 all
    bool tempFolders = false;       // the user's and the system's temp folders, whatever the names
    bool tempTicked = true;         // their line in the check list is ticked
};

// The rules saved, or none (the default: a scan lists what the six find).
CCleaningRules LoadCleaningRules();
// False when they could not be written.
bool SaveCleaningRules(const CCleaningRules& rules);

// Adds pattern unless it is there already (case ignored) or is one of the six; false with
// *pWhy when it cannot be a pattern.
bool AddUserPattern(CCleaningRules& rules, const CString& pattern, CString* pWhy);

// The options of a scan of root under the rules: the folders kept out that still exist, the
// age, and the temp folders that lie inside root.
CScanOptions ScanOptionsFor(const CCleaningRules& rules, const CString& root);
