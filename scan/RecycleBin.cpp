#include "RecycleBin.h"

#include <string>

#include "FileSystem.h"

#include <shellapi.h>

namespace {

// The shell takes only plain paths: none longer than MAX_PATH, and no name that ends in a dot
// or a blank (it would drop them, and so name another file).
bool ShellCanName(const std::wstring& path)
{
    if (path.empty() || path.size() >= MAX_PATH)
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        const bool endOfName = i + 1 == path.size() || path[i + 1] == L'\\';
        if (endOfName && (path[i] == L'.' || path[i] == L' '))
            return false;
    }
    return true;
}

// The shell is loaded with the first batch: a program that never recycles need not carry it.
int ShellFileOperation(SHFILEOPSTRUCTW* op)
{
    static const auto operation = AfxSystemFunction<int(WINAPI*)(SHFILEOPSTRUCTW*)>(L"shell32.dll", "SHFileOperationW");
    return operation ? operation(op) : ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace

std::vector<DeleteOutcome> RecycleListedFiles(const std::vector<CString>& paths)
{
    std::vector<DeleteOutcome> outcomes(paths.size(), DeleteOutcome::Failed);
    std::vector<HANDLE> held;
    std::vector<size_t> sent;
    std::wstring from;  // the paths one after another, each ended by a null, the list by two
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::wstring wide = AfxToWide(paths[i], true);
        if (!ShellCanName(wide))
            continue;
        HANDLE h = INVALID_HANDLE_VALUE;
        outcomes[i] = OpenListedFile(paths[i], &h);
        if (outcomes[i] != DeleteOutcome::Deleted)
            continue;
        // Held open meanwhile (every sharing allowed), so that no folder on its way can be
        // renamed; the check's own handle, which may delete, is closed for the shell.
        HANDLE pin = ::CreateFileW(ExtendedPath(paths[i]).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ::CloseHandle(h);
        if (pin == INVALID_HANDLE_VALUE) {
            outcomes[i] = DeleteOutcome::Failed;
            continue;
        }
        held.push_back(pin);
        sent.push_back(i);
        from += wide;
        from += L'\0';
        outcomes[i] = DeleteOutcome::Failed;  // until it is seen gone
    }
    if (!sent.empty()) {
        from += L'\0';
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        // Where a file cannot be recycled the shell would delete it for good without a word;
        // the nuke warning asks instead.
        op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
        ShellFileOperation(&op);
        for (HANDLE h : held)
            ::CloseHandle(h);
        for (size_t i : sent) {
            const DWORD attributes = ::GetFileAttributesW(ExtendedPath(paths[i]).c_str());
            const DWORD error = ::GetLastError();
            if (attributes == INVALID_FILE_ATTRIBUTES && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
                outcomes[i] = DeleteOutcome::Deleted;
        }
    }
    return outcomes;
}
