// The check list of file types, with what each line found after a scan at its right, in grey
// ("1,234 · 1.2GB"): which kind of junk is worth deleting shows before the list is read.
#pragma once

#include <vector>

#include "../framework/CCheckListBox.h"

class CTypeList : public CCheckListBox {
public:
    // The note at the right of line nIndex; empty for none.
    void SetNote(int nIndex, const CString& note);
    CString Note(int nIndex) const;
    void ClearNotes();

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

private:
    std::vector<CString> m_notes;
};

// The temp folders' line.
const char kTempFoldersLine[] = "临时文件夹";

// "1,234 · 1.2GB".
CString TallyNote(int count, uint64_t bytes);
