#include "ScanSummary.h"

#include <cstdio>
#include <string>

uint64_t KBRoundedUp(uint64_t bytes)
{
    return bytes / 1024 + (bytes % 1024 ? 1 : 0);
}

CString SummarySizeText(uint64_t kb)
{
    std::string number;
    if (kb < 1024) {
        number = std::to_string(kb) + "KB";
    } else if (kb <= 0xFFFFF) {
        number = std::to_string(kb >> 10) + "MB";
    } else {
        // "%f" of the fraction gives "0.dddddd"; its third and fourth characters are the two
        // decimals, cut rather than rounded, so the fraction never raises the whole number.
        char fraction[32];
        std::snprintf(fraction, sizeof(fraction), "%f", static_cast<double>(kb & 0xFFFFF) / 1048576.0);
        number = std::to_string(kb >> 20) + "." + std::string(fraction + 2, 2) + "GB";
    }
    return number.c_str();
}

namespace {

CString UnreadableText(int unreadableFolders, int unreadableFiles)
{
    CString more;
    if (unreadableFolders > 0 && unreadableFiles > 0)
        more.Format("有 %d 个文件夹和 %d 个文件无法访问。", unreadableFolders, unreadableFiles);
    else if (unreadableFolders > 0)
        more.Format("有 %d 个文件夹无法访问。", unreadableFolders);
    else if (unreadableFiles > 0)
        more.Format("有 %d 个文件无法访问。", unreadableFiles);
    return more;
}

}  // namespace

CString ScanSummaryText(int count, uint64_t bytes, int unreadableFolders, int unreadableFiles)
{
    CString text;
    text.Format("扫描已完成！本次共扫描出 %d 个垃圾文件，立即清除可帮您节省 %s 磁盘空间。", count,
                static_cast<const char*>(SummarySizeText(KBRoundedUp(bytes))));
    return text + UnreadableText(unreadableFolders, unreadableFiles);
}

CString ScanSummaryAfterDeletionText(int count, int deleted, int listed, int unreadableFolders, int unreadableFiles)
{
    CString text;
    text.Format("扫描已完成！本次共扫描出 %d 个垃圾文件，其中 %d 个已在扫描期间删除，%d 个列在下方。", count, deleted, listed);
    return text + UnreadableText(unreadableFolders, unreadableFiles);
}

int ProgressUnits(uint64_t bytes)
{
    const uint64_t mb = bytes >> 20;
    return mb > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(mb);
}
