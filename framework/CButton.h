// Push button; owner-drawn buttons draw themselves in DrawItem, reflected from the parent.
#pragma once

#include "CWnd.h"

class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
    BOOL OnChildNotify(UINT nMsg, WPARAM, LPARAM lParam, LRESULT* pResult) override
    {
        if (nMsg != WM_DRAWITEM)
            return FALSE;
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
};
