#pragma once

#include <commctrl.h>

#include "CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
    int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
    int GetRangeUpper() const { return static_cast<int>(SendMessage(PBM_GETRANGE, FALSE)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};
