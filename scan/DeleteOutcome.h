// What became of one listed file that the user asked to delete, and what the status line
// says about it. Pure rules.
#pragma once

#include "../framework/CString.h"

enum class DeleteOutcome {
    Deleted,
    AlreadyGone,   // nothing is at the listed path any more: counts as deleted
    InUse,         // another program holds it open without letting it be deleted
    ReadOnly,
    AccessDenied,
    Changed,       // not the file that was listed: a folder on the way became a link, or
                   // the path now names a folder or a link
    Pending,       // marked for deletion, which happens when the program that holds it open
                   // closes it (where the file system has no immediate deletion)
    Failed,        // any other refusal of the system
    NotTried,      // a Stop came first
    Count
};

inline bool IsGone(DeleteOutcome outcome)
{
    return outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::AlreadyGone;
}

// The reasons why files stayed, counted as one deletion goes.
class CDeleteTally {
public:
    void Add(DeleteOutcome outcome);
    int Deleted() const { return m_nDeleted; }
    int Kept() const { return m_nKept; }
    // A Stop came before some of the files were tried.
    bool Stopped() const { return m_seen[static_cast<int>(DeleteOutcome::NotTried)]; }
    // "正在使用、只读或无权限": the reasons seen, in a fixed order.
    CString Reasons() const;

private:
    int m_nDeleted = 0;
    int m_nKept = 0;
    bool m_seen[static_cast<int>(DeleteOutcome::Count)] = {};
};

// The status line after Delete all: "清理完毕！" when nothing stayed, else how many stayed and why;
// with bRecycled, also how many went to the Recycle Bin.
CString DeleteAllResultText(const CDeleteTally& tally, bool bRecycled = false);
// The console's line after a deletion: "已删除 N 个文件。" (or "已将 N 个文件移到回收站。"), then
// how many stayed and why.
CString DeleteCountText(const CDeleteTally& tally, bool bRecycled = false);
// The status line after Delete of one file that stayed.
CString DeleteOneFailureText(DeleteOutcome outcome);
