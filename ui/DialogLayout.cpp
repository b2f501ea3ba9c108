#include "DialogLayout.h"

#include "../framework/Dpi.h"
#include "../res/resource.h"

const std::vector<LayoutEntry>& MainLayout()
{
    static const std::vector<LayoutEntry> layout = {
        {IDC_STATIC_DRIVE, {586, 67, 647, 81}, Fit::Moves},
        {IDC_COMBO_DRIVE, {676, 63, 764, 85}, Fit::Moves},
        {IDC_LIST_TYPES, {586, 88, 763, 391}, Fit::TypeList},
        {IDC_STATIC_STATUS, {75, 19, 667, 35}, Fit::Grows},
        {IDC_PROGRESS, {12, 40, 668, 59}, Fit::Grows},
        {IDC_BTN_SCAN_NOW, {177, 165, 387, 260}, Fit::Moves},
        {IDC_LIST_FILES, {12, 88, 572, 391}, Fit::Grows},
        {IDC_BTN_DELETE, {12, 396, 100, 421}, Fit::Moves},
        {IDC_BTN_DELETE_ALL, {105, 396, 193, 421}, Fit::Moves},
        {IDC_BTN_START, {485, 396, 573, 421}, Fit::Moves},
        {IDC_BTN_SELECT_ALL, {586, 396, 674, 421}, Fit::Moves},
        {IDC_BTN_SELECT_NONE, {677, 396, 765, 421}, Fit::Moves},
        {IDC_BTN_PAUSE, {676, 11, 764, 36}, Fit::Moves},
        {IDC_BTN_STOP, {676, 37, 764, 62}, Fit::Moves},
    };
    return layout;
}

SIZE NaturalClient(int dpi)
{
    return SIZE{ScaleBy(kMainClient96.cx, dpi), ScaleBy(kMainClient96.cy, dpi)};
}

namespace {

RECT Place(const LayoutEntry& e, int dpi, int cx, int cy)
{
    // Edges go in proportion to the client area; a control that keeps its size keeps it at
    // the scale, unless the client area is smaller than its natural size (a scale too large
    // for the screen): then it shrinks with the rest rather than overlap its neighbours.
    RECT rc;
    rc.left = ::MulDiv(e.rc96.left, cx, kMainClient96.cx);
    rc.top = ::MulDiv(e.rc96.top, cy, kMainClient96.cy);
    const SIZE natural = NaturalClient(dpi);
    if (e.fit == Fit::Moves && cx >= natural.cx && cy >= natural.cy) {
        rc.right = rc.left + ScaleBy(e.rc96.right - e.rc96.left, dpi);
        rc.bottom = rc.top + ScaleBy(e.rc96.bottom - e.rc96.top, dpi);
    } else {
        rc.right = ::MulDiv(e.rc96.right, cx, kMainClient96.cx);
        rc.bottom = ::MulDiv(e.rc96.bottom, cy, kMainClient96.cy);
    }
    return rc;
}

const LayoutEntry& EntryOf(int nID)
{
    for (const LayoutEntry& e : MainLayout()) {
        if (e.nID == nID)
            return e;
    }
    return MainLayout().front();
}

}  // namespace

std::vector<PlacedControl> PlaceControls(int dpi, int cx, int cy)
{
    std::vector<PlacedControl> placed;
    const SIZE natural = NaturalClient(dpi);
    const bool larger = cx > natural.cx || cy > natural.cy;
    for (const LayoutEntry& e : MainLayout()) {
        RECT rc = Place(e, dpi, cx, cy);
        if (e.fit == Fit::TypeList && larger) {
            rc.right = Place(EntryOf(IDC_BTN_STOP), dpi, cx, cy).right;
            rc.left = Place(EntryOf(IDC_BTN_SELECT_ALL), dpi, cx, cy).left;
        }
        placed.push_back({e.nID, rc});
    }
    return placed;
}

RECT PlaceRing(int dpi, int cx, int cy)
{
    return Place(LayoutEntry{0, {11, 13, 35, 37}, Fit::Moves}, dpi, cx, cy);
}

int FittingDpi(int dpi, int cx, int cy)
{
    const SIZE natural = NaturalClient(dpi);
    if (cx >= natural.cx && cy >= natural.cy)
        return dpi;
    const int byWidth = ::MulDiv(dpi, cx, natural.cx), byHeight = ::MulDiv(dpi, cy, natural.cy);
    return std::max(1, std::min(byWidth, byHeight));
}

RECT FitInWorkArea(const RECT& window, const RECT& work)
{
    RECT rc = window;
    const LONG cx = std::min(rc.right - rc.left, work.right - work.left);
    const LONG cy = std::min(rc.bottom - rc.top, work.bottom - work.top);
    rc.left = std::max(work.left, std::min(rc.left, work.right - cx));
    rc.top = std::max(work.top, std::min(rc.top, work.bottom - cy));
    rc.right = rc.left + cx;
    rc.bottom = rc.top + cy;
    return rc;
}
