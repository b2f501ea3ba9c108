// The list of junk files as a CSV file: a UTF-8 byte-order mark, a header row, one row per
// file with its full path, its size in bytes, what became of it and what made it junk. Written under a temporary
// name and renamed when complete, so that no half-written report ever has the real name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "../framework/CString.h"
#include "DeleteOutcome.h"
#include "FoundFiles.h"

struct CReportRow {
    CString path;
    uint64_t size = 0;
    bool bDeleteAsked = false;  // the run was to delete: the outcome says what happened
    DeleteOutcome outcome = DeleteOutcome::NotTried;
    CString match;              // the pattern or place that made it junk
    bool bRecycled = false;     // the deletion was to the Recycle Bin
};

// One field as CSV requires: quoted when it holds a comma, a quote or a line end, with each
// quote doubled.
std::string CsvField(const std::string& text);
// The outcome column: "已找到", "已删除", "未删除：只读" ...
CString ReportOutcomeText(const CReportRow& row);
// The whole file, in UTF-8 with its byte-order mark.
std::string ReportCsv(const std::vector<CReportRow>& rows);
// The same of every row the model holds, in the order shown, with the sizes the scan read;
// with bDeleteAsked each row's outcome says what its deletion did.
std::string ReportCsv(const CFoundFiles& files, bool bDeleteAsked, const std::function<CString(uint16_t)>& ruleText,
                      bool bRecycled = false);
// Whether a report could be put at path: a temporary name beside it can be made, and the
// final name is free or a file that may be replaced (no folder, not read-only, not open in
// another program, as a spreadsheet holds it). Nothing is left behind, and nothing that was
// there is touched.
bool CanPutReportAt(const CString& path);
enum class WriteResult {
    Written,
    KeptAsTemporary,  // complete under a temporary name beside path: the final name refused it
    Failed            // nothing written
};
// Writes bytes to path through a temporary file beside it (path + ".part", or ".1.part" ...
// when that name is taken: a file that is there already is never replaced). With
// bKeepTemporary, a complete temporary file that cannot be renamed stays, and *pKeptAt says
// where; without, it is removed.
WriteResult WriteFileAtomically(const CString& path, const std::string& bytes, bool bKeepTemporary = false,
                                CString* pKeptAt = nullptr);
