// Display scale. Every size of the program is designed at 96 dots an inch and scaled to the
// scale of the window it is in.
#pragma once

#include "Afx.h"

const int kDesignDpi = 96;

// A length designed at 96 dpi, at dpi (rounded to the nearest pixel).
inline int ScaleBy(int v96, int dpi)
{
    return ::MulDiv(v96, dpi, kDesignDpi);
}

// The scale hWnd is drawn at: its monitor's where the system has a scale per monitor
// (Windows 10 1607 and later), the system's otherwise.
int WindowDpi(HWND hWnd);
