#include "Report.h"

#include "FileSystem.h"

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + "\"";
}

CString ReportOutcomeText(const CReportRow& row)
{
    if (!row.bDeleteAsked)
        return "已找到";
    if (IsGone(row.outcome))
        return "已删除";
    if (row.outcome == DeleteOutcome::NotTried)
        return "未删除：已中止";
    CDeleteTally one;
    one.Add(row.outcome);
    return "未删除：" + one.Reasons();
}

std::string ReportCsv(const std::vector<CReportRow>& rows)
{
    std::string csv = "\xEF\xBB\xBF";
    csv += "路径,大小（字节）,结果\r\n";
    for (const CReportRow& row : rows) {
        csv += CsvField(row.path.GetString()) + "," + std::to_string(row.size) + "," +
               CsvField(ReportOutcomeText(row).GetString()) + "\r\n";
    }
    return csv;
}

CString TemporaryReportPath(const CString& path)
{
    return path + ".part";
}

bool CanPutReportAt(const CString& path)
{
    const std::wstring target = ExtendedPath(path);
    const std::wstring temp = ExtendedPath(TemporaryReportPath(path));
    if (target.empty() || temp.empty())
        return false;
    HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // Nothing there yet: the name itself must be one that can be made.
        h = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        ::CloseHandle(h);
        return true;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))
        return false;
    // The rename replaces the file: a program that holds it open without letting it be
    // deleted refuses that, and refuses this opening too.
    h = ::CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

WriteResult WriteFileAtomically(const CString& path, const std::string& bytes, bool bKeepTemporary)
{
    const std::wstring target = ExtendedPath(path);
    if (target.empty())
        return WriteResult::Failed;
    const std::wstring temp = ExtendedPath(TemporaryReportPath(path));
    HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return WriteResult::Failed;
    DWORD written = 0;
    const bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return WriteResult::Failed;
    }
    if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (bKeepTemporary)
            return WriteResult::KeptAsTemporary;
        ::DeleteFileW(temp.c_str());
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}
