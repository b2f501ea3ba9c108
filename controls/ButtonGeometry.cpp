#include "ButtonGeometry.h"

POINT CaptionOrigin(bool bBesideDisc, int W, int H, SIZE text)
{
    int left = 0, width = W;
    if (bBesideDisc) {
        const int faceRight = W < 210 ? W : 210;
        left = 69;
        width = faceRight - left;
    }
    POINT pt;
    pt.x = left + (width - text.cx) / 2;
    pt.y = (H - text.cy) / 2;
    return pt;
}
