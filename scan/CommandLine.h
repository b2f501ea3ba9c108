// The switches of the command-line program, as Windows users type them: "/" or "-", any case.
// A pure rule over the arguments.
#pragma once

#include <vector>

#include "../framework/CString.h"

struct CCommandLine {
    enum class Action { Scan, Help, Bad };
    Action action = Action::Bad;
    CString root;                    // as typed; the drive box's rules make it a root
    std::vector<CString> patterns;   // "*.tmp" ...; all six unless /types says otherwise
    bool bDelete = false;
    bool bQuiet = false;
    CString report;                  // empty: no report
    CString error;                   // what is wrong, when action is Bad
};

// args without the program's own name.
CCommandLine ParseCommandLine(const std::vector<CString>& args);

// The usage text, in Chinese, with the exit codes.
CString UsageText();
