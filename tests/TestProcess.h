// Starting the programs that the tests run: the build's own (Kelvaro.exe, KelvaroCli.exe, the
// Ctrl+C sender), the installer, and the host's (ln, rm, sh). A program named by a Unix path
// (with '/') is started through Wine's \\?\unix form of it; one named by a Windows path as it is.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>

#include "TestText.h"

// Starts program with arguments (UTF-8), in folder C:\ (the host's programs: the current
// one). si says which standard handles it gets; inherit whether it inherits this process's.
inline bool StartProcess(const std::string& program, const std::string& arguments, DWORD flags, STARTUPINFOW& si,
                         bool inherit, PROCESS_INFORMATION* pi)
{
    const bool unix = program.find('/') != std::string::npos;
    std::string windows = program;
    if (unix)
        std::replace(windows.begin(), windows.end(), '/', '\\');
    const std::wstring path = (unix ? L"\\\\?\\unix" : L"") + Wide(windows);
    const bool host = unix && program.find(".exe") == std::string::npos;
    std::wstring cmd = L"\"" + Wide(program.substr(program.find_last_of("/\\") + 1)) + L"\" " + Wide(arguments);
    si.cb = sizeof(si);
    *pi = PROCESS_INFORMATION();
    return ::CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, inherit, flags, nullptr, host ? nullptr : L"C:\\", &si,
                            pi) != FALSE;
}

// Waits up to timeoutMs for a started program, then closes its handles (ending it first if it
// has not ended): its exit status, or -1.
inline long WaitForExit(PROCESS_INFORMATION& pi, DWORD timeoutMs)
{
    long code = -1;
    if (::WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD status = 0;
        ::GetExitCodeProcess(pi.hProcess, &status);
        code = static_cast<long>(status);
    } else {
        ::TerminateProcess(pi.hProcess, 99);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    pi = PROCESS_INFORMATION();
    return code;
}

// Runs program to its end with no window and no standard handles of this process.
inline long RunProgram(const std::string& program, const std::string& arguments, DWORD timeoutMs = 30000)
{
    STARTUPINFOW si = {};
    PROCESS_INFORMATION pi;
    if (!StartProcess(program, arguments, CREATE_NO_WINDOW, si, false, &pi))
        return -1;
    return WaitForExit(pi, timeoutMs);
}
