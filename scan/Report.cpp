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
        return row.bRecycled && row.outcome == DeleteOutcome::Deleted ? "已移到回收站" : "已删除";
    if (row.outcome == DeleteOutcome::NotTried)
        return "未删除：已中止";
    CDeleteTally one;
    one.Add(row.outcome);
    return "未删除：" + one.Reasons();
}

namespace {

const char kReportHeader[] = "\xEF\xBB\xBF路径,大小（字节）,结果,匹配\r\n";

void AppendReportRow(std::string& csv, const CReportRow& row)
{
    csv += CsvField(row.path.GetString()) + "," + std::to_string(row.size) + "," +
           CsvField(ReportOutcomeText(row).GetString()) + "," + CsvField(row.match.GetString()) + "\r\n";
}

}  // namespace

std::string ReportCsv(const std::vector<CReportRow>& rows)
{
    std::string csv = kReportHeader;
    for (const CReportRow& row : rows)
        AppendReportRow(csv, row);
    return csv;
}

std::string ReportCsv(const CFoundFiles& files, bool bDeleteAsked, const std::function<CString(uint16_t)>& ruleText,
                      bool bRecycled)
{
    std::string csv = kReportHeader;
    for (size_t i = 0, n = files.Count(); i < n; ++i) {
        const CFoundFiles::Row row = files.RowAt(i);
        AppendReportRow(csv, CReportRow{files.Path(row), files.Size(row), bDeleteAsked, files.Outcome(row), ruleText(files.Rule(row)),
                                        bRecycled});
    }
    return csv;
}

namespace {

// Makes a new file under the first of path + ".part", ".1.part", ".2.part" ... that is free: a
// file of that name that was there already (another program's download, the report that an
// earlier run could not put in place) is never touched. Its name goes to *pTemp.
HANDLE CreateTemporary(const CString& path, DWORD flags, CString* pTemp)
{
    for (int n = 0; n < 100; ++n) {
        CString temp = path;
        if (n > 0)
            temp.Format("%s.%d", static_cast<const char*>(path), n);
        temp += ".part";
        const std::wstring wide = ExtendedPath(temp);
        if (wide.empty())
            return INVALID_HANDLE_VALUE;
        HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            *pTemp = temp;
            return h;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool CanPutReportAt(const CString& path)
{
    const std::wstring target = ExtendedPath(path);
    CString temp;
    HANDLE h = target.empty() ? INVALID_HANDLE_VALUE : CreateTemporary(path, FILE_FLAG_DELETE_ON_CLOSE, &temp);
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
    // The rename replaces the file, which no other program may have open then (even one that
    // lets it be deleted): opened alone, for deletion, it is free.
    h = ::CreateFileW(target.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

WriteResult WriteFileAtomically(const CString& path, const std::string& bytes, bool bKeepTemporary, CString* pKeptAt)
{
    const std::wstring target = ExtendedPath(path);
    CString tempName;
    HANDLE h = target.empty() ? INVALID_HANDLE_VALUE : CreateTemporary(path, FILE_ATTRIBUTE_NORMAL, &tempName);
    if (h == INVALID_HANDLE_VALUE)
        return WriteResult::Failed;
    const std::wstring temp = ExtendedPath(tempName);
    DWORD written = 0;
    const bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        return WriteResult::Failed;
    }
    if (!::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (bKeepTemporary) {
            if (pKeptAt)
                *pKeptAt = tempName;
            return WriteResult::KeptAsTemporary;
        }
        ::DeleteFileW(temp.c_str());
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}
