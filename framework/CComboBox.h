#pragma once

#include "CWnd.h"

class CComboBox : public CWnd {
public:
    int AddString(const CString& text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AfxToWide(text).c_str()))); }
    int SetCurSel(int nSelect) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(nSelect))); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
};
