#include "SkinGeometry.h"

#include "../framework/Dpi.h"
#include "../res/resource.h"

std::array<SkinElement, 10> SkinElements(int W, int H, int cxFrame, int cyFrame, int cyTitle, int dpi)
{
    const int side = ScaleBy(100, dpi);
    const int face = ScaleBy(26, dpi);
    return {{
        {IDB_TITLE_LEFT, 0, 0, side, cyTitle},
        {IDB_TITLE_ICON, ScaleBy(3, dpi), 0, face, cyTitle},
        {IDB_TITLE_RIGHT, W - side, 0, side, cyTitle},
        {IDB_TITLE_MID, side, 0, W - 2 * side, cyTitle},
        {IDB_FRAME_LEFT, 0, cyTitle, cxFrame, H - cyFrame},
        // The bottom edge is as thick as the side edges are wide.
        {IDB_FRAME_BOTTOM, cxFrame, H - cxFrame, W - 2 * cxFrame, cxFrame},
        {IDB_FRAME_RIGHT, W - cxFrame, cyTitle, cxFrame, H - cyFrame},
        {IDB_MIN, W - ScaleBy(83, dpi), 0, face, face},
        {IDB_MAX, W - ScaleBy(57, dpi), 0, face, face},
        {IDB_CLOSE, W - ScaleBy(31, dpi), 0, face, face},
    }};
}

CaptionButton CaptionButtonAt(int W, int x, int y, int dpi)
{
    const int slot = ScaleBy(26, dpi);
    if (y < 0 || y >= slot)
        return CaptionButton::None;
    if (x >= W - slot && x < W)
        return CaptionButton::Close;
    if (x >= W - ScaleBy(78, dpi) && x < W - ScaleBy(52, dpi))
        return CaptionButton::Minimize;
    if (x >= W - ScaleBy(52, dpi) && x < W - slot)
        return CaptionButton::Maximize;
    return CaptionButton::None;
}

RECT CaptionFace(int W, CaptionButton b, int dpi)
{
    const int from = b == CaptionButton::Close ? 31 : b == CaptionButton::Maximize ? 57 : 83;
    const int left = W - ScaleBy(from, dpi);
    return RECT{left, 0, left + ScaleBy(26, dpi), ScaleBy(26, dpi)};
}
