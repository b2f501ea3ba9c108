// Where a bitmap button draws its caption: plain geometry, tested without a window.
#pragma once

#include "../framework/Afx.h"

// Where a button's caption starts: centred in the area it is given, by its own extent.
// The Scan-now face carries a disc in columns 6 to 68 (at 96 dpi); its caption goes in the
// part right of the disc.
POINT CaptionOrigin(bool bBesideDisc, int W, int H, SIZE text, int dpi);
