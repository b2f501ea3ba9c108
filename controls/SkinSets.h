// The skin's bitmaps are drawn at 100, 125, 150, 175 and 200 % (tools/draw_bitmaps.py): the
// set a display scale uses is the nearest at or above it (200 % above that), scaled down when
// it is not the scale's own. Plain arithmetic, tested without a window.
#pragma once

#include "../framework/Afx.h"

// The set for dpi: 0 for 100 %, 1 for 125 % ... 4 for 200 %.
int SkinSet(int dpi);
// The identifier of bitmap nBitmap100 (an IDB_ identifier of the 100 % set) in the set for dpi.
UINT SkinBitmapFor(UINT nBitmap100, int dpi);
