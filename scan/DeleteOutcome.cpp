#include "DeleteOutcome.h"

#include <string>

namespace {

const char* ReasonText(DeleteOutcome outcome)
{
    switch (outcome) {
    case DeleteOutcome::InUse:
        return "正在使用";
    case DeleteOutcome::ReadOnly:
        return "只读";
    case DeleteOutcome::AccessDenied:
        return "无权限";
    case DeleteOutcome::Changed:
        return "扫描后已被改动";
    case DeleteOutcome::Pending:
        return "待其他程序关闭后删除";
    case DeleteOutcome::Failed:
        return "系统拒绝";
    default:
        return "";
    }
}

}  // namespace

void CDeleteTally::Add(DeleteOutcome outcome)
{
    if (IsGone(outcome)) {
        ++m_nDeleted;
        return;
    }
    ++m_nKept;
    m_seen[static_cast<int>(outcome)] = true;
}

CString CDeleteTally::Reasons() const
{
    const DeleteOutcome order[] = {DeleteOutcome::InUse,   DeleteOutcome::ReadOnly, DeleteOutcome::AccessDenied,
                                   DeleteOutcome::Changed, DeleteOutcome::Pending,  DeleteOutcome::Failed};
    std::string reasons[6];
    int n = 0;
    for (DeleteOutcome outcome : order) {
        if (m_seen[static_cast<int>(outcome)])
            reasons[n++] = ReasonText(outcome);
    }
    CString text;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            text += i == n - 1 ? "或" : "、";
        text += reasons[i].c_str();
    }
    return text;
}

CString DeleteAllResultText(const CDeleteTally& tally, bool bRecycled)
{
    CString text;
    if (!bRecycled) {
        if (tally.Kept() == 0)
            text = "清理完毕！";
        else if (tally.Stopped())
            text.Format("清理已停止！已删除 %d 个文件，%d 个文件仍列在下方。", tally.Deleted(), tally.Kept());
        else
            text.Format("清理完毕！%d 个文件未能删除（%s），仍列在下方。", tally.Kept(),
                        static_cast<const char*>(tally.Reasons()));
        return text;
    }
    if (tally.Kept() == 0)
        text.Format("清理完毕！%d 个文件已移到回收站。", tally.Deleted());
    else if (tally.Stopped())
        text.Format("清理已停止！已将 %d 个文件移到回收站，%d 个文件仍列在下方。", tally.Deleted(), tally.Kept());
    else
        text.Format("清理完毕！%d 个文件已移到回收站，%d 个文件未能移到回收站（%s），仍列在下方。", tally.Deleted(),
                    tally.Kept(), static_cast<const char*>(tally.Reasons()));
    return text;
}

CString DeleteOneFailureText(DeleteOutcome outcome)
{
    CString text;
    text.Format("未能删除此文件（%s），仍列在下方。", ReasonText(outcome));
    return text;
}

CString DeleteCountText(const CDeleteTally& tally, bool bRecycled)
{
    CString said;
    said.Format(bRecycled ? "已将 %d 个文件移到回收站。" : "已删除 %d 个文件。", tally.Deleted());
    if (tally.Kept() > 0) {
        CString kept;
        if (tally.Stopped())
            kept.Format(bRecycled ? "%d 个文件未移到回收站（已中止）。" : "%d 个文件未删除（已中止）。", tally.Kept());
        else
            kept.Format(bRecycled ? "%d 个文件未能移到回收站（%s）。" : "%d 个文件未能删除（%s）。", tally.Kept(),
                        static_cast<const char*>(tally.Reasons()));
        said += kept;
    }
    return said;
}
