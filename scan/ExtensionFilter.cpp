// The filter list of a run and the test of one path against it.
#include "../ui/CNorvaneDlg.h"
#include "JunkFilter.h"

BOOL CNorvaneDlg::CollectCheckedFilters()
{
    BOOL bAny = FALSE;
    for (int i = 0; i <= 5; ++i) {
        if (m_checkList.GetCheck(i) != 1)
            continue;
        bAny = TRUE;
        CString text;
        m_checkList.GetText(i, text);
        std::lock_guard<std::mutex> lock(m_filterLock);
        m_filterList.AddTail(text);
    }
    return bAny;
}

BOOL CNorvaneDlg::IsJunkFile(const CString& path)
{
    std::lock_guard<std::mutex> lock(m_filterLock);
    if (m_filterList.IsEmpty())
        return FALSE;
    // The path under test goes to the status line, through the mailbox, unless the run is
    // stopping (the line then holds the summary).
    if (!m_bStop)
        m_mailbox.SetPath(path);
    const CString extension = ExtensionOf(FileNameOf(path));
    for (POSITION pos = m_filterList.GetHeadPosition(); pos;) {
        if (extension == PatternKey(m_filterList.GetNext(pos)))
            return TRUE;
    }
    return FALSE;
}
