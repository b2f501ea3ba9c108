#include "SkinGeometry.h"

#include "../res/resource.h"

std::array<SkinElement, 10> SkinElements(int W, int H, int cxFrame, int cyFrame, int cyTitle)
{
    return {{
        {IDB_TITLE_LEFT, 0, 0, 100, cyTitle},
        {IDB_TITLE_ICON, 3, 0, 26, cyTitle},
        {IDB_TITLE_RIGHT, W - 100, 0, 100, cyTitle},
        {IDB_TITLE_MID, 100, 0, W - 200, cyTitle},
        {IDB_FRAME_LEFT, 0, cyTitle, cxFrame, H - cyFrame},
        // The bottom edge is as thick as the side edges are wide.
        {IDB_FRAME_BOTTOM, cxFrame, H - cxFrame, W - 2 * cxFrame, cxFrame},
        {IDB_FRAME_RIGHT, W - cxFrame, cyTitle, cxFrame, H - cyFrame},
        {IDB_MIN, W - 83, 0, 26, 26},
        {IDB_MAX, W - 57, 0, 26, 26},
        {IDB_CLOSE, W - 31, 0, 26, 26},
    }};
}

CaptionButton CaptionButtonAt(int W, int x, int y)
{
    if (y < 0 || y >= 26)
        return CaptionButton::None;
    if (x >= W - 26 && x < W)
        return CaptionButton::Close;
    if (x >= W - 78 && x < W - 52)
        return CaptionButton::Minimize;
    if (x >= W - 52 && x < W - 26)
        return CaptionButton::Maximize;
    return CaptionButton::None;
}

RECT ScaleRect(const RECT& rc, float fScaleX, float fScaleY)
{
    // The integer times the float, exactly in double precision, then truncated.
    RECT r;
    r.left = static_cast<LONG>(rc.left * static_cast<double>(fScaleX));
    r.right = static_cast<LONG>(rc.right * static_cast<double>(fScaleX));
    r.top = static_cast<LONG>(rc.top * static_cast<double>(fScaleY));
    r.bottom = static_cast<LONG>(rc.bottom * static_cast<double>(fScaleY));
    return r;
}

int CheckListWidth(bool bMaximized, int nStopRight, int nSelAllLeft, int nTemplateWidth)
{
    return bMaximized ? nStopRight - nSelAllLeft : nTemplateWidth;
}
