#include "ScanTree.h"

#include <cstdlib>

#include "TestProcess.h"
#include "TestText.h"
#include "scan/FileSystem.h"

namespace {

std::string UnixPath(const CString& path)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    static ToUnix toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* unix = toUnix(ExtendedPath(path).c_str());
    if (!unix)
        return std::string();
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

}  // namespace

std::string TestDrive()
{
    const char* drive = std::getenv("KELVARO_TEST_DRIVE");
    return drive && *drive ? drive : "T:";
}

bool RunHostProgram(const std::wstring& commandLine)
{
    const size_t space = commandLine.find(L' ');
    // The host program gets no standard handle of this process: Wine would hand it this
    // process's own output, and a test's output is read to its end from there.
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si = {};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi;
    const bool started = StartProcess(Narrow(commandLine.substr(0, space)),
                                      space == std::wstring::npos ? std::string() : Narrow(commandLine.substr(space + 1)), 0, si,
                                      true, &pi);
    ::CloseHandle(nul);
    if (started)
        WaitForExit(pi, 10000);
    return started;
}

std::string ChineseFolders(int levels)
{
    std::string path;
    for (int i = 1; i <= levels; ++i) {
        std::string name = "第" + std::to_string(i % 10) + "层";
        while (name.size() < 70 * 3)
            name += "长";
        path += (path.empty() ? "" : "\\") + name;
    }
    return path;
}

CScanTree::CScanTree(const std::string& name) : m_root(TestDrive() + "\\" + name)
{
    const DWORD driveAttributes = ::GetFileAttributesW(Wide(TestDrive() + "\\").c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, driveAttributes) << "the test drive " << TestDrive() << " is not linked";
    if (name.empty())
        return;  // the drive's root itself
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(Wide(m_root).c_str())) << m_root << " is left over";
    ::CreateDirectoryW(Wide(m_root).c_str(), nullptr);
}

CScanTree::~CScanTree()
{
    // rm does not follow the links, so it removes exactly this tree.
    std::string root = m_root.back() == ':' ? m_root + "\\" : m_root;
    if (root.size() <= 3) {
        // The drive's root: empty it, keep it.
        const std::string unix = UnixPath(CString(root.c_str()));
        if (!unix.empty())
            RunHostProgram(L"/bin/sh -c \"rm -rf '" + Wide(unix) + L"'/* '" + Wide(unix) + L"'/.[!.]*\"");
        for (int i = 0; i < 500; ++i) {
            WIN32_FIND_DATAW fd;
            HANDLE h = ::FindFirstFileW(Wide(root + "*").c_str(), &fd);
            if (h == INVALID_HANDLE_VALUE)
                break;
            ::FindClose(h);
            ::Sleep(10);
        }
        return;
    }
    const std::string unix = UnixPath(CString(m_root.c_str()));
    if (unix.empty())
        return;
    RunHostProgram(L"/bin/rm -rf " + Wide(unix));
    for (int i = 0; i < 500 && ::GetFileAttributesW(Wide(m_root).c_str()) != INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
}

CString CScanTree::Path(const std::string& rel) const
{
    std::string root = m_root;
    if (root.back() == ':')
        root += "\\";
    return rel.empty() ? CString(root.c_str()) : JoinPath(CString(root.c_str()), CString(rel.c_str()));
}

void CScanTree::Dir(const std::string& rel)
{
    // Every level, made one after another, however long the path gets.
    const CString path(rel.c_str());
    int start = 0;
    while (start <= path.GetLength()) {
        int sep = path.Find('\\', start);
        if (sep < 0)
            sep = path.GetLength();
        ::CreateDirectoryW(ExtendedPath(Path(static_cast<const char*>(path.Left(sep)))).c_str(), nullptr);
        start = sep + 1;
    }
}

void CScanTree::File(const std::string& rel, DWORD bytes, DWORD attributes)
{
    const int sep = CString(rel.c_str()).ReverseFind('\\');
    if (sep >= 0)
        Dir(rel.substr(0, static_cast<size_t>(sep)));
    const std::wstring path = ExtendedPath(Path(rel));
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << rel;
    if (bytes) {
        LARGE_INTEGER size;
        size.QuadPart = bytes;
        ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h);
    }
    ::CloseHandle(h);
    if (attributes)
        ::SetFileAttributesW(path.c_str(), attributes);
}

void CScanTree::Link(const std::string& rel, const std::string& target)
{
    const std::string unixTarget = UnixPath(Path(target));
    const size_t sep = rel.rfind('\\');
    const std::string parent = UnixPath(sep == std::string::npos ? Path() : Path(rel.substr(0, sep)));
    ASSERT_FALSE(unixTarget.empty() || parent.empty());
    const std::string name = sep == std::string::npos ? rel : rel.substr(sep + 1);
    RunHostProgram(L"/bin/ln -s " + Wide(unixTarget) + L" " + Wide(parent + "/" + name));
    // The link appears once the host program has run.
    for (int i = 0; i < 500 && ::GetFileAttributesW(ExtendedPath(Path(rel)).c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(ExtendedPath(Path(rel)).c_str())) << "link " << rel;
}

void CScanTree::HostShell(const std::string& script)
{
    const std::string dir = UnixPath(Path());
    ASSERT_FALSE(dir.empty());
    const std::string done = "kelvaro-host-shell.done", errors = "kelvaro-host-shell.err";
    RunHostProgram(L"/bin/sh -c \"cd '" + Wide(dir) + L"' && (" + Wide(script) + L") 2>" + Wide(errors) + L" && : > " +
                   Wide(done) + L"; : >> " + Wide(errors) + L".end\"");
    const std::wstring marker = ExtendedPath(Path(done)), ended = ExtendedPath(Path(errors + ".end"));
    for (int i = 0; i < 12000 && ::GetFileAttributesW(ended.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
    std::string said;
    HANDLE h = ::CreateFileW(ExtendedPath(Path(errors)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        char buf[2048];
        DWORD got = 0;
        ::ReadFile(h, buf, sizeof(buf), &got, nullptr);
        said.assign(buf, got);
        ::CloseHandle(h);
    }
    ::DeleteFileW(ExtendedPath(Path(errors)).c_str());
    ::DeleteFileW(ended.c_str());
    ASSERT_TRUE(::DeleteFileW(marker.c_str())) << "the host script failed: " << script << "\n" << said;
}
