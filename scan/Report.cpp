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

bool WriteFileAtomically(const CString& path, const std::string& bytes)
{
    const std::wstring target = ExtendedPath(path);
    if (target.empty())
        return false;
    const std::wstring temp = target + L".part";
    HANDLE h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    if (!ok || !::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}
