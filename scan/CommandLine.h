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
    std::vector<CString> patterns;   // "*.tmp", "*.log", "~$*" ...; all six unless /types says otherwise
    std::vector<CString> excluded;   // folders kept out, as typed
    int olderThanDays = 0;           // list only files this many days old or older; 0 all
    bool bTempFolders = false;       // /places temp
    bool bSaved = false;             // the rules the window saved, besides these
    bool bDelete = false;
    bool bRecycle = false;           // deletions to the Recycle Bin
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
