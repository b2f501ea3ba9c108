// The installer run silently under Wine, as a deployment tool would run it: what it puts in
// place, that the installed program starts, and that the uninstaller takes it all away.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ModalDialog.h"
#include "TestProcess.h"
#include "TestText.h"
#include "res/resource.h"

namespace {

std::string Folder(int csidl)
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The installer that ships (a 32-bit program), or, where the test script says that 32-bit
// programs cannot start here (KELVARO_RUN_32BIT=0), the same script made as a 64-bit one.
std::string Installer()
{
    const char* run32 = std::getenv("KELVARO_RUN_32BIT");
    std::string setup = run32 && std::string(run32) == "0" ? KELVARO_INSTALLER_AMD64 : KELVARO_INSTALLER;
    std::replace(setup.begin(), setup.end(), '/', '\\');
    return setup;
}

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvaro";

std::string UninstallValue(const char* name)
{
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return "<no key>";
    char value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    const LONG r = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    ::RegCloseKey(key);
    return r == ERROR_SUCCESS ? value : "<no value>";
}

// Runs a program and waits for it; its exit status, or -1.
long RunAndWait(const std::wstring& application, const std::wstring& arguments)
{
    STARTUPINFOW si = {};
    PROCESS_INFORMATION pi;
    if (!StartProcess(Narrow(application), Narrow(arguments), 0, si, false, &pi))
        return -1;
    return WaitForExit(pi, 60000);
}

// The system's PATH, as the installer would change it.
std::string SystemPath()
{
    char value[32768] = {};
    DWORD size = sizeof(value);
    ::RegGetValueA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", "Path",
                   RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size);
    return value;
}

TEST(Installer, InstallsStartsAndUninstallsCleanly)
{
    const std::string setup = Installer();
    const std::string dir = Folder(CSIDL_PROGRAM_FILES) + "\\Kelvaro";
    const std::string exe = dir + "\\Kelvaro.exe";
    const std::string uninstaller = dir + "\\Uninstall.exe";
    const std::string shortcut = Folder(CSIDL_COMMON_PROGRAMS) + "\\Kelvaro\\Kelvaro.lnk";
    ASSERT_FALSE(Exists(exe)) << "installed already before the test";

    // From a folder of Windows' own, as it arrives on a Windows machine: the setup program
    // reads its payload from its own file, which it cannot do by a \\?\unix name.
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring local = std::wstring(temp) + L"Kelvaro-1.0.0.1-setup.exe";
    ASSERT_TRUE(::CopyFileW((L"\\\\?\\unix" + Wide(setup)).c_str(), local.c_str(), FALSE));
    const long installed = RunAndWait(local, L"/S");
    ::DeleteFileW(local.c_str());
    ASSERT_EQ(0, installed) << "the installer failed";
    EXPECT_TRUE(Exists(exe)) << exe;
    EXPECT_TRUE(Exists(dir + "\\KelvaroCli.exe")) << "the command-line program beside it";
    EXPECT_EQ(std::string::npos, SystemPath().find(dir)) << "PATH is left alone unless the user asks";
    EXPECT_TRUE(Exists(uninstaller));
    EXPECT_TRUE(Exists(shortcut)) << shortcut;
    EXPECT_EQ("Kelvaro", UninstallValue("DisplayName"));
    EXPECT_EQ("1.0.0.1", UninstallValue("DisplayVersion"));
    EXPECT_EQ("\"" + uninstaller + "\"", UninstallValue("UninstallString"));

    // The installed program is the 64-bit one, and it starts and shows its window.
    DWORD type = 0;
    EXPECT_TRUE(::GetBinaryTypeA(exe.c_str(), &type));
    EXPECT_EQ(static_cast<DWORD>(SCS_64BIT_BINARY), type);
    EXPECT_TRUE(::GetBinaryTypeA((dir + "\\KelvaroCli.exe").c_str(), &type));
    EXPECT_EQ(static_cast<DWORD>(SCS_64BIT_BINARY), type);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &si, &pi));
    HWND window = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        window = ::FindWindowA("#32770", "Kelvaro");
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        return window && pid == pi.dwProcessId && ::IsWindowVisible(window);
    }, 15000));
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(pi.hProcess, 10000));
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    // The uninstaller copies itself away and returns at once; it finishes a little later.
    RunAndWait(Wide(uninstaller), L"/S");
    EXPECT_TRUE(WaitFor([&] { return !Exists(exe) && !Exists(dir) && !Exists(shortcut); }, 30000)) << "left behind";
    EXPECT_TRUE(WaitFor([&] { return UninstallValue("DisplayName") == "<no key>"; }, 10000));
    EXPECT_FALSE(Exists(Folder(CSIDL_COMMON_PROGRAMS) + "\\Kelvaro"));
}

// A silent install into a folder of the user's choice (/D=) with the PATH component (/PATH),
// on a machine whose PATH is longer than any string of the installer's own, holding a folder
// named like the program's but longer: the uninstall leaves PATH exactly as it was.
TEST(Installer, AFolderOfTheUsersChoiceAndALongPath)
{
    const std::string setup = Installer();
    const std::string dir = "C:\\Kelvaro Elsewhere";
    const char kEnvironment[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const std::string before = SystemPath();
    std::string path = before + ";C:\\Kelvaro Elsewhere Tools";
    while (path.size() < 1500)
        path += ";C:\\Tools\\t" + std::to_string(path.size());
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEnvironment, "Path", REG_EXPAND_SZ, path.c_str(), static_cast<DWORD>(path.size() + 1));

    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring local = std::wstring(temp) + L"Kelvaro-1.0.0.1-setup.exe";
    ASSERT_TRUE(::CopyFileW((L"\\\\?\\unix" + Wide(setup)).c_str(), local.c_str(), FALSE));
    const long installed = RunAndWait(local, L"/S /PATH /D=" + Wide(dir));
    ::DeleteFileW(local.c_str());
    ASSERT_EQ(0, installed) << "the installer failed";
    EXPECT_TRUE(Exists(dir + "\\Kelvaro.exe")) << "the folder the user named";
    EXPECT_EQ(path + ";" + dir, SystemPath());

    RunAndWait(Wide(dir + "\\Uninstall.exe"), L"/S");
    EXPECT_TRUE(WaitFor([&] { return !Exists(dir); }, 30000)) << "left behind";
    EXPECT_EQ(path, SystemPath()) << "PATH as it was";
    ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kEnvironment, "Path", REG_EXPAND_SZ, before.c_str(), static_cast<DWORD>(before.size() + 1));
}

}  // namespace
