// Trees of files that a test makes for itself, below a folder of its own on the test drive
// (a drive letter that the test script links to a fresh temporary folder).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "framework/CString.h"

// "T:" unless KELVARO_TEST_DRIVE names another letter.
std::string TestDrive();

// Runs a Linux program (ln, rm) and waits until check() holds.
bool RunHostProgram(const std::wstring& commandLine);

// levels folder names of 70 Chinese characters each, joined by backslashes: a path some
// 71 characters longer a level (three bytes a character on the host).
std::string ChineseFolders(int levels);

class CScanTree {
public:
    // A fresh folder named name at the root of the test drive; removed again with the object.
    explicit CScanTree(const std::string& name);
    ~CScanTree();
    CScanTree(const CScanTree&) = delete;
    CScanTree& operator=(const CScanTree&) = delete;

    // The path of rel inside the tree ("" for the tree itself).
    CString Path(const std::string& rel = "") const;
    void File(const std::string& rel, DWORD bytes = 0, DWORD attributes = 0);
    void Dir(const std::string& rel);
    // Runs a shell script in the tree's folder on the host, for trees too big to make one
    // file at a time through Wine, and waits until it has finished.
    void HostShell(const std::string& script);
    // A symbolic link at rel to the directory target (both inside the tree).
    void Link(const std::string& rel, const std::string& target);

private:
    std::string m_root;
};
