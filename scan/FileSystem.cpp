#include "FileSystem.h"

#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cwchar>
#include <cwctype>
#include <vector>

std::wstring ExtendedPath(const CString& path)
{
    // Strict: a path that is no UTF-8 names no file of ours.
    const std::wstring wide = AfxToWide(path, true);
    if (wide.empty())
        return wide;
    if (wide.compare(0, 4, L"\\\\?\\") == 0)
        return wide;
    // A full path such as the walk builds goes through as it is: normalising it would drop
    // the trailing dots and blanks of a name and so name another file. So does a network
    // path (\\server\share\...), as \\?\UNC\server\share\...
    auto endsWith = [&wide](const wchar_t* tail) {
        const size_t n = wcslen(tail);
        return wide.size() >= n && wide.compare(wide.size() - n, n, tail) == 0;
    };
    const bool plain = wide.find(L'/') == std::wstring::npos && wide.find(L"\\.\\") == std::wstring::npos &&
                       wide.find(L"\\..\\") == std::wstring::npos && !endsWith(L"\\.") && !endsWith(L"\\..");
    const bool absolute = wide.size() >= 3 && iswalpha(wide[0]) && wide[1] == L':' && wide[2] == L'\\';
    if (absolute && plain)
        return L"\\\\?\\" + wide;
    const bool network = wide.size() > 2 && wide.compare(0, 2, L"\\\\") == 0 && wide[2] != L'.' && wide[2] != L'?' &&
                         wide.find(L'\\', 2) != std::wstring::npos;
    if (network && plain)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return std::wstring();
    std::vector<wchar_t> full(n + 1);
    const DWORD got = ::GetFullPathNameW(wide.c_str(), n + 1, full.data(), nullptr);
    if (got == 0 || got > n)
        return std::wstring();
    std::wstring abs(full.data(), got);
    if (abs.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + abs.substr(2);
    return L"\\\\?\\" + abs;
}

bool NameHasSeparator(const wchar_t* name, int length)
{
    for (int i = 0; i < length; ++i) {
        if (name[i] == L'\\' || name[i] == L'/' || name[i] == L'\0')
            return true;
    }
    return false;
}

CString TypedPath(const CString& typed)
{
    const std::wstring wide = AfxToWide(typed, true);
    if (wide.empty())
        return CString();
    const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return CString();
    std::vector<wchar_t> full(n + 1);
    const DWORD got = ::GetFullPathNameW(wide.c_str(), n + 1, full.data(), nullptr);
    if (got == 0 || got > n)
        return CString();
    bool exact = false;
    const CString path = AfxFromWide(full.data(), static_cast<int>(got), &exact);
    return exact ? path : CString();
}

CString JoinPath(const CString& dir, const CString& name)
{
    const bool endsWithSeparator = !dir.IsEmpty() && dir.GetAt(dir.GetLength() - 1) == '\\';
    CString path(dir);
    if (!endsWithSeparator)
        path += '\\';
    path += name;
    return path;
}

// The deletion's own request, and the name that the system keeps for an opened object.
extern "C" NTSTATUS NTAPI NtSetInformationFile(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
extern "C" NTSTATUS NTAPI NtQueryObject(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
// The system's own call for a folder's listing. FindFirstFileExW makes it too, but always
// asks once more at the end of a folder to hear that nothing is left.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE, HANDLE, PVOID, PVOID, PIO_STATUS_BLOCK, PVOID, ULONG,
                                               FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING, BOOLEAN);

namespace {

const size_t kNone = static_cast<size_t>(-1);
const ULONG kFetchBytes = 64 * 1024;
const NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006L);  // STATUS_NO_MORE_FILES
const NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000FL);   // STATUS_NO_SUCH_FILE
// An entry of a listing by FileFullDirectoryInformation: its EaSize holds a reparse point's tag.
struct FullDirEntry {
    ULONG NextEntryOffset;
    ULONG FileIndex;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime, EndOfFile, AllocationSize;
    ULONG FileAttributes;
    ULONG FileNameLength;
    ULONG EaSize;
    WCHAR FileName[1];
};
const FILE_INFORMATION_CLASS kFileFullDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(2);
// An entry with a name of 255 UTF-16 units, the longest a folder holds, and the padding
// before it.
const size_t kLongestEntry = offsetof(FullDirEntry, FileName) + 256 * sizeof(WCHAR) + 8;

// The system's way to end a listing, once known: 0 not yet asked, else ListingEnd + 1.
std::atomic<int> g_listingEnd{0};

const NTSTATUS kNameTooLong = static_cast<NTSTATUS>(0xC0000106L);  // STATUS_NAME_TOO_LONG

// Opens what an existing \\?\ path names, through the system's own call.
NTSTATUS OpenExtendedPath(const std::wstring& extended, ACCESS_MASK access, ULONG options, HANDLE* pHandle,
                          ULONG share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)
{
    *pHandle = INVALID_HANDLE_VALUE;
    std::wstring nt = L"\\??\\" + extended.substr(4);
    if (nt.size() * sizeof(wchar_t) > 0xFFFE)
        return kNameTooLong;  // longer than any name the system takes
    UNICODE_STRING name;
    name.Buffer = &nt[0];
    name.Length = name.MaximumLength = static_cast<USHORT>(nt.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    IO_STATUS_BLOCK io = {};
    return ::NtCreateFile(pHandle, access, &attributes, &io, nullptr, 0, share, FILE_OPEN,
                          options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
}

}  // namespace

ListingEnd GetListingEnd()
{
    int end = g_listingEnd.load();
    if (end == 0) {
        const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
        end = 1 + static_cast<int>(wine ? ListingEnd::ShortReplyEndsIt : ListingEnd::AskUntilNothingLeft);
        g_listingEnd = end;
    }
    return static_cast<ListingEnd>(end - 1);
}

void SetListingEnd(ListingEnd end)
{
    g_listingEnd = 1 + static_cast<int>(end);
}

bool CFileSearch::Open(const CString& dir)
{
    Close();
    m_error = ERROR_SUCCESS;
    const std::wstring path = ExtendedPath(dir);
    if (path.empty()) {
        m_error = ERROR_INVALID_NAME;
        return false;
    }
    HANDLE h = INVALID_HANDLE_VALUE;
    const NTSTATUS status = OpenExtendedPath(path, FILE_LIST_DIRECTORY | SYNCHRONIZE,
                                             FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT, &h);
    if (status < 0) {
        m_error = ::RtlNtStatusToDosError(status);
        return false;
    }
    m_hDir = h;
    m_bShortReplyEnds = GetListingEnd() == ListingEnd::ShortReplyEndsIt;
    if (!m_buffer)
        m_buffer.reset(new unsigned char[kFetchBytes]);  // filled by the system, never cleared
    return Fetch();
}

bool CFileSearch::Fetch()
{
    m_next = kNone;
    IO_STATUS_BLOCK io = {};
    const NTSTATUS status = ::NtQueryDirectoryFile(m_hDir, nullptr, nullptr, nullptr, &io, m_buffer.get(),
                                                   kFetchBytes, kFileFullDirectoryInformation, FALSE, nullptr, FALSE);
    // The end of the listing; a folder with no entries at all (a drive's root has no "."
    // entry) may say "no such file" to the first request.
    if (status == kNoMoreFiles || status == kNoSuchFile) {
        m_error = ERROR_NO_MORE_FILES;
        return false;
    }
    if (status < 0 || io.Information == 0) {
        m_error = status < 0 ? ::RtlNtStatusToDosError(status) : ERROR_NO_MORE_FILES;
        return false;
    }
    m_next = 0;
    m_bComplete = m_bShortReplyEnds && io.Information + kLongestEntry <= kFetchBytes;
    return true;
}

bool CFileSearch::Next()
{
    if (m_hDir == INVALID_HANDLE_VALUE)
        return false;
    if (m_next == kNone) {
        if (m_bComplete) {
            m_error = ERROR_NO_MORE_FILES;
            return false;
        }
        if (!Fetch())
            return false;
    }
    const auto* entry = reinterpret_cast<const FullDirEntry*>(m_buffer.get() + m_next);
    m_next = entry->NextEntryOffset ? m_next + entry->NextEntryOffset : kNone;
    m_attributes = entry->FileAttributes;
    m_reparseTag = (entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? entry->EaSize : 0;
    m_size = static_cast<uint64_t>(entry->EndOfFile.QuadPart);
    m_modified = static_cast<uint64_t>(entry->LastWriteTime.QuadPart);
    // A name with an unpaired surrogate has no UTF-8 form, and no path made from it would
    // reach the file.
    const int length = static_cast<int>(entry->FileNameLength / sizeof(WCHAR));
    m_name = AfxFromWide(entry->FileName, length, &m_exact);
    // Nor would a name that holds a separator or a NUL, which no Windows name can (a host file
    // system under Wine can have them): the path made of it would name another file.
    m_exact = m_exact && !NameHasSeparator(entry->FileName, length);
    return true;
}

void CFileSearch::Close()
{
    if (m_hDir != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hDir);
    m_hDir = INVALID_HANDLE_VALUE;
    m_next = kNone;
    m_bComplete = false;
}

namespace {

// One owner for a file handle.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle()
    {
        if (m_h != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_h);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_h; }
    HANDLE Release()
    {
        const HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        return h;
    }

private:
    HANDLE m_h;
};

std::atomic<int> g_finalPathWay{static_cast<int>(FinalPathWay::SystemFirst)};

// The device that drive letter stands for ("\Device\HarddiskVolume3"), with the folder a
// SUBST drive adds to it ("\Device\HarddiskVolume3\work"); empty if it cannot be told.
std::wstring DeviceOfDrive(wchar_t letter)
{
    std::wstring suffix;
    for (int depth = 0; depth < 4; ++depth) {
        const wchar_t drive[3] = {letter, L':', 0};
        wchar_t target[1024] = {};
        if (!::QueryDosDeviceW(drive, target, 1024))
            return std::wstring();
        const std::wstring t = target;
        // A SUBST drive names a folder of another drive: "\??\C:\work".
        if (t.size() >= 6 && t.compare(0, 4, L"\\??\\") == 0 && iswalpha(t[4]) && t[5] == L':') {
            letter = t[4];
            suffix = t.substr(6) + suffix;
            continue;
        }
        return t + suffix;
    }
    return std::wstring();
}

// The \\?\ path of what h has open, from the name that the system keeps for the object, at
// any length: "\??\X:\..." under Wine; on Windows the device's own name, "\Device\Mup\..."
// for a network path and "\Device\HarddiskVolume3\..." for a drive, whose letter (that of the
// path that was opened) is found back through the device it stands for. Empty when the name
// cannot be read back as such a path.
std::wstring ObjectDosPath(HANDLE h, wchar_t letter)
{
    // The longest name a UNICODE_STRING holds, and the string's own fields before it.
    std::vector<unsigned char> buffer(sizeof(UNICODE_STRING) + 0x10000);
    ULONG needed = 0;
    const NTSTATUS status = ::NtQueryObject(h, static_cast<OBJECT_INFORMATION_CLASS>(1) /* ObjectNameInformation */,
                                            buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status < 0)
        return std::wstring();
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.data());
    const std::wstring object(name->Buffer, name->Length / sizeof(wchar_t));
    if (object.size() >= 7 && object.compare(0, 4, L"\\??\\") == 0 && iswalpha(object[4]) && object[5] == L':' &&
        object[6] == L'\\')
        return L"\\\\?\\" + object.substr(4);
    const std::wstring mup = L"\\Device\\Mup\\";
    if (object.size() > mup.size() && ::CompareStringOrdinal(object.c_str(), static_cast<int>(mup.size()), mup.c_str(),
                                                            static_cast<int>(mup.size()), TRUE) == CSTR_EQUAL)
        return L"\\\\?\\UNC\\" + object.substr(mup.size());
    if (!letter)
        return std::wstring();
    const std::wstring device = DeviceOfDrive(letter);
    if (device.empty() || object.size() <= device.size() || object[device.size()] != L'\\' ||
        ::CompareStringOrdinal(object.c_str(), static_cast<int>(device.size()), device.c_str(),
                               static_cast<int>(device.size()), TRUE) != CSTR_EQUAL)
        return std::wstring();
    return std::wstring(L"\\\\?\\") + letter + L":" + object.substr(device.size());
}

// The drive letter of a \\?\X:\ path, or 0.
wchar_t DriveLetterOf(const std::wstring& extended)
{
    return extended.size() > 6 && extended.compare(0, 4, L"\\\\?\\") == 0 && iswalpha(extended[4]) && extended[5] == L':'
               ? extended[4]
               : 0;
}

// The \\?\ path of what h has open (opened as opened), as the system names it: links on the
// way resolved.
std::wstring FinalPath(HANDLE h, const std::wstring& opened)
{
    if (g_finalPathWay.load() == static_cast<int>(FinalPathWay::SystemFirst)) {
        std::wstring buf(MAX_PATH, L'\0');
        for (int tries = 0; tries < 3; ++tries) {
            const DWORD n = ::GetFinalPathNameByHandleW(h, &buf[0], static_cast<DWORD>(buf.size()),
                                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (n == 0)
                break;
            if (n < buf.size()) {
                buf.resize(n);
                return buf;
            }
            buf.assign(n + 1, L'\0');
        }
    }
    // Wine 8 answers "more data" whatever the buffer once the path is longer than about 264
    // characters; over SMB the normalised name fails when a folder on the way cannot be read;
    // RAM disks and image drivers answer "invalid function".
    return ObjectDosPath(h, DriveLetterOf(opened));
}

bool SameText(const wchar_t* a, size_t na, const wchar_t* b, size_t nb)
{
    return ::CompareStringOrdinal(a, static_cast<int>(na), b, static_cast<int>(nb), TRUE) == CSTR_EQUAL;
}

// Is final the path that the system gives for the listed path? Wine gives a folder whose name
// ends in dots or blanks without them; such a folder still counts as the same when it is no
// link (a link there would be the change that this check is for).
bool SamePath(const std::wstring& final, const std::wstring& listed)
{
    if (SameText(final.c_str(), final.size(), listed.c_str(), listed.size()))
        return true;
    size_t f = 0, l = 0;
    while (f <= final.size() && l <= listed.size()) {
        const size_t fEnd = std::min(final.find(L'\\', f), final.size());
        const size_t lEnd = std::min(listed.find(L'\\', l), listed.size());
        if (!SameText(&final[f], fEnd - f, &listed[l], lEnd - l)) {
            size_t trimmed = lEnd;
            while (trimmed > l && (listed[trimmed - 1] == L'.' || listed[trimmed - 1] == L' '))
                --trimmed;
            const DWORD attributes = lEnd < listed.size() ? ::GetFileAttributesW(listed.substr(0, lEnd).c_str())
                                                          : INVALID_FILE_ATTRIBUTES;
            if (trimmed == lEnd || trimmed == l || !SameText(&final[f], fEnd - f, &listed[l], trimmed - l) ||
                attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                return false;
        }
        if (fEnd == final.size() || lEnd == listed.size())
            return fEnd == final.size() && lEnd == listed.size();
        f = fEnd + 1;
        l = lEnd + 1;
    }
    return false;
}

DeleteOutcome OutcomeOfError(DWORD error, DWORD attributes)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return DeleteOutcome::AlreadyGone;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return DeleteOutcome::InUse;
    case ERROR_ACCESS_DENIED:
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)
                   ? DeleteOutcome::ReadOnly
                   : DeleteOutcome::AccessDenied;
    default:
        return DeleteOutcome::Failed;
    }
}

const FILE_INFORMATION_CLASS kFileDispositionInformation = static_cast<FILE_INFORMATION_CLASS>(13);
const FILE_INFORMATION_CLASS kFileDispositionInformationEx = static_cast<FILE_INFORMATION_CLASS>(64);
const ULONG kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2;

// The file system has no such request, or not for this file.
bool NotSupported(NTSTATUS status)
{
    switch (static_cast<ULONG>(status)) {
    case 0xC0000002:  // STATUS_NOT_IMPLEMENTED
    case 0xC0000003:  // STATUS_INVALID_INFO_CLASS
    case 0xC000000D:  // STATUS_INVALID_PARAMETER
    case 0xC0000010:  // STATUS_INVALID_DEVICE_REQUEST
    case 0xC00000BB:  // STATUS_NOT_SUPPORTED
        return true;
    default:
        return false;
    }
}

// The system's refusal, read as the user's reason before it is reduced to a Win32 error.
DeleteOutcome OutcomeOfStatus(NTSTATUS status, const std::wstring& path)
{
    switch (static_cast<ULONG>(status)) {
    case 0xC0000121: {  // STATUS_CANNOT_DELETE: read-only, or mapped (a running program)
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) ? DeleteOutcome::ReadOnly
                                                                                                : DeleteOutcome::InUse;
    }
    case 0xC0000056:  // STATUS_DELETE_PENDING: another program is deleting it
        return DeleteOutcome::Pending;
    case 0xC0000043:  // STATUS_SHARING_VIOLATION
    case 0xC0000054:  // STATUS_FILE_LOCK_CONFLICT
        return DeleteOutcome::InUse;
    default:
        return OutcomeOfError(::RtlNtStatusToDosError(status), ::GetFileAttributesW(path.c_str()));
    }
}

}  // namespace

void SetFinalPathWay(FinalPathWay way)
{
    g_finalPathWay = static_cast<int>(way);
}

bool OpenScanRoot(const CString& root, CString* pCanonical)
{
    const std::wstring path = ExtendedPath(root);
    if (path.empty())
        return false;
    // Opened for listing: the right to list the folder is checked here, so a folder that
    // cannot be read gives no run. It is not listed as well: that would read all its names
    // twice (Wine reads a whole folder into memory at the first look, some 10 MB for 100,000).
    CFileHandle dir(::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!dir.Valid())
        return false;
    FILE_BASIC_INFO info;
    if (!::GetFileInformationByHandleEx(dir, FileBasicInfo, &info, sizeof(info)) ||
        !(info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    std::wstring final = FinalPath(dir, path);
    if (final.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.compare(0, 4, L"\\\\?\\") == 0)
        final = final.substr(4);
    else
        return false;
    // A drive's root keeps its backslash; a folder has none at its end.
    if (final.size() > 3 && final.back() == L'\\')
        final.pop_back();
    bool exact = false;
    const CString canonical = AfxFromWide(final.c_str(), static_cast<int>(final.size()), &exact);
    if (!exact || canonical.IsEmpty())
        return false;
    *pCanonical = canonical;
    return true;
}

DeleteOutcome OpenListedFile(const CString& path, HANDLE* pFile)
{
    *pFile = INVALID_HANDLE_VALUE;
    const std::wstring wide = ExtendedPath(path);
    if (wide.empty())
        return DeleteOutcome::Changed;
    // A final link is opened as itself, never followed.
    CFileHandle file(::CreateFileW(wide.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        return OutcomeOfError(error, ::GetFileAttributesW(wide.c_str()));
    }
    // The basic information alone: the full record also asks for the volume's serial number,
    // which costs several times the whole deletion under Wine.
    FILE_BASIC_INFO info;
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof(info)))
        return DeleteOutcome::Failed;
    if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return DeleteOutcome::Changed;
    if (!SamePath(FinalPath(file, wide), wide))
        return DeleteOutcome::Changed;
    if (info.FileAttributes & FILE_ATTRIBUTE_READONLY)
        return DeleteOutcome::ReadOnly;
    *pFile = file.Release();
    return DeleteOutcome::Deleted;
}

DeleteOutcome DeleteListedFile(const CString& path)
{
    const std::wstring wide = ExtendedPath(path);
    if (wide.empty())
        return DeleteOutcome::Changed;
    // Opened for deletion alone, as a file that is no folder and without following a final
    // link: the system makes those two checks in the opening itself, and the read-only
    // attribute answers through the deletion's own refusal. Under Wine every request that
    // is saved here is a round trip to its server saved, for each file.
    // First opened alone (no sharing): then no other program has it open, and the deletion
    // is final when this handle closes, in either form of it.
    const ULONG options = FILE_NON_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT;
    HANDLE h = INVALID_HANDLE_VALUE;
    NTSTATUS status = OpenExtendedPath(wide, DELETE | SYNCHRONIZE, options, &h, 0);
    // Another program has it open: it may still let it be deleted.
    const bool shared = status == static_cast<NTSTATUS>(0xC0000043L);  // STATUS_SHARING_VIOLATION
    if (shared)
        status = OpenExtendedPath(wide, DELETE | SYNCHRONIZE, options, &h);
    if (status == kNameTooLong)
        return DeleteOutcome::Failed;
    if (status == static_cast<NTSTATUS>(0xC00000BAL))  // STATUS_FILE_IS_A_DIRECTORY
        return DeleteOutcome::Changed;
    if (status < 0)
        return OutcomeOfStatus(status, wide);
    CFileHandle file(h);
    if (!SamePath(FinalPath(file, wide), wide))
        return DeleteOutcome::Changed;
    IO_STATUS_BLOCK io = {};
    NTSTATUS result = 0;
    if (shared) {
        // POSIX semantics (Windows 10 1607 on): the name goes at once, while the other program
        // (an indexer, an antivirus, an editor) still holds the file.
        ULONG flags = kDispositionDelete | kDispositionPosixSemantics;
        result = ::NtSetInformationFile(file, &io, &flags, sizeof(flags), kFileDispositionInformationEx);
        if (result >= 0)
            return DeleteOutcome::Deleted;
        if (!NotSupported(result))
            return OutcomeOfStatus(result, wide);
    }
    // The classic form (and the only one of FAT, older network shares, Wine): the name goes
    // when the last handle to the file is closed.
    BOOLEAN deleteFile = TRUE;
    result = ::NtSetInformationFile(file, &io, &deleteFile, sizeof(deleteFile), kFileDispositionInformation);
    if (result < 0)
        return OutcomeOfStatus(result, wide);
    // Held by another program, it goes when that one closes it: said so.
    return shared ? DeleteOutcome::Pending : DeleteOutcome::Deleted;
}

uint64_t ListedFileSize(const CString& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(ExtendedPath(path).c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

uint64_t GetDiskUsedBytes(const CString& root)
{
    std::wstring path = AfxToWide(root);
    if (path.empty())
        return 0;
    if (path.back() != L'\\')
        path += L'\\';
    ULARGE_INTEGER total = {}, free = {};
    if (!::GetDiskFreeSpaceExW(path.c_str(), nullptr, &total, &free) || free.QuadPart > total.QuadPart)
        return 0;
    return total.QuadPart - free.QuadPart;
}

bool IsPathAtOrBelow(const CString& path, const CString& folder)
{
    if (folder.IsEmpty() || path.GetLength() < folder.GetLength())
        return false;
    const std::wstring a = AfxToWide(path.Left(folder.GetLength())), b = AfxToWide(folder);
    if (a.empty() || ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.GetLength() == folder.GetLength() || path.GetAt(folder.GetLength()) == '\\' ||
           folder.GetAt(folder.GetLength() - 1) == '\\';
}
