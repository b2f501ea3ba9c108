// The system's PATH as a list of folders, as the installer adds the command-line program's
// folder to it and takes it out again. Pure rules over the whole text, of any length: every
// other entry stays exactly as it was, and only whole entries are compared (a folder named
// "...\Kelvaro Tools" is not "...\Kelvaro").
#pragma once

#include <string>

// Does one entry of PATH (maybe in quotes, maybe with a trailing backslash) name folder?
// Compared without regard to case, as Windows compares file names.
bool PathEntryNames(const std::wstring& entry, const std::wstring& folder);
// path with folder as its last entry, unless an entry names it already.
std::wstring PathWithFolder(const std::wstring& path, const std::wstring& folder);
// path less every entry that names folder.
std::wstring PathWithoutFolder(const std::wstring& path, const std::wstring& folder);
