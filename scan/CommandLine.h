// The switches of the command-line program, as Windows users type them: "/" or "-", any case.
// A pure rule over the arguments.
#pragma once

#include <vector>

#include "../framework/CString.h"

struct CCommandLine {
    // AddToPath, RemoveFromPath: what the installer asks (pathFolder into or out of the
    // system's PATH).
    enum class Action { Scan, Help, Bad, AddToPath, RemoveFromPath };
    Action action = Action::Bad;
    CString root;                    // as typed; the drive box's rules make it a root
    std::vector<CString> patterns;   // "*.tmp" ...; all six unless /types says otherwise
    bool bDelete = false;
    bool bQuiet = false;
    bool bUtf8 = false;              // redirected output in UTF-8, not the console's code page
    CString report;                  // empty: no report
    CString pathFolder;              // for AddToPath and RemoveFromPath
    CString error;                   // what is wrong, when action is Bad
};

// args without the program's own name.
CCommandLine ParseCommandLine(const std::vector<CString>& args);

// "/utf8" or "-UTF8", as ParseCommandLine takes it.
bool IsUtf8Switch(const CString& arg);

// The usage text, in Chinese, with the exit codes.
CString UsageText();
