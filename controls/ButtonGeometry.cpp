#include "ButtonGeometry.h"

#include "../framework/Dpi.h"

POINT CaptionOrigin(bool bBesideDisc, int W, int H, SIZE text, int dpi)
{
    int left = 0, width = W;
    if (bBesideDisc) {
        const int faceRight = W < ScaleBy(210, dpi) ? W : ScaleBy(210, dpi);
        left = ScaleBy(69, dpi);
        width = faceRight - left;
    }
    POINT pt;
    pt.x = left + (width - text.cx) / 2;
    pt.y = (H - text.cy) / 2;
    return pt;
}
