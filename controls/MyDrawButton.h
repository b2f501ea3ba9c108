// The skinned push button of the main window.
#pragma once

#include "../framework/CButton.h"

class MyDrawButton : public CButton {
public:
    // Bitmap faces, written by the owner after the button is bound.
    UINT m_nNormalBmp = 0;
    UINT m_nHoverBmp = 0;
    UINT m_nCurBmp = 0;
};
