// The skin's geometry and the window's layout without a window, at several display scales.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "controls/ButtonGeometry.h"
#include "ui/DialogLayout.h"
#include "ui/SkinGeometry.h"

namespace {

TEST(SkinGeometry, TheTenElements)
{
    const int W = 781, H = 439, cx = 4, cy = 4, title = 24;
    const auto e = SkinElements(W, H, cx, cy, title, 96);
    const SkinElement expected[10] = {
        {IDB_TITLE_LEFT, 0, 0, 100, 24},      {IDB_TITLE_ICON, 3, 0, 26, 24},
        {IDB_TITLE_RIGHT, W - 100, 0, 100, 24}, {IDB_TITLE_MID, 100, 0, W - 200, 24},
        {IDB_FRAME_LEFT, 0, 24, 4, H - 4},     {IDB_FRAME_BOTTOM, 4, H - 4, W - 8, 4},
        {IDB_FRAME_RIGHT, W - 4, 24, 4, H - 4}, {IDB_MIN, W - 83, 0, 26, 26},
        {IDB_MAX, W - 57, 0, 26, 26},          {IDB_CLOSE, W - 31, 0, 26, 26},
    };
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(expected[i].nBitmap, e[i].nBitmap) << i;
        EXPECT_EQ(expected[i].x, e[i].x) << i;
        EXPECT_EQ(expected[i].y, e[i].y) << i;
        EXPECT_EQ(expected[i].cx, e[i].cx) << i;
        EXPECT_EQ(expected[i].cy, e[i].cy) << i;
    }
    // The middle segment fills exactly the space between the two end segments.
    EXPECT_EQ(e[2].x, e[3].x + e[3].cx);
    // The bottom edge uses the horizontal thickness even when the vertical one differs.
    EXPECT_EQ(3, SkinElements(W, H, 3, 5, 25, 96)[5].cy);
    // At 200 % the ends, the icon and the caption buttons are twice as large.
    const auto big = SkinElements(2 * W, 2 * H, 8, 8, 48, 192);
    EXPECT_EQ(200, big[0].cx);
    EXPECT_EQ(6, big[1].x);
    EXPECT_EQ(2 * W - 400, big[3].cx);
    EXPECT_EQ(2 * W - 62, big[9].x);
    EXPECT_EQ(52, big[9].cx);
    EXPECT_EQ(52, big[9].cy);
}

TEST(SkinGeometry, HitSlotsLieFivePixelsRightOfTheFaces)
{
    const int W = 700;
    for (int x = W - 31; x < W - 26; ++x)
        EXPECT_EQ(CaptionButton::Maximize, CaptionButtonAt(W, x, 10, 96)) << "leftmost pixels of the close face";
    for (int x = W - 57; x < W - 52; ++x)
        EXPECT_EQ(CaptionButton::Minimize, CaptionButtonAt(W, x, 10, 96)) << "leftmost pixels of the maximize face";
    for (int x = W - 83; x < W - 78; ++x)
        EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, x, 10, 96)) << "leftmost pixels of the minimize face";
    for (int x = W - 5; x < W; ++x)
        EXPECT_EQ(CaptionButton::Close, CaptionButtonAt(W, x, 10, 96)) << "right of the close face";
    EXPECT_EQ(CaptionButton::Close, CaptionButtonAt(W, W - 26, 0, 96));
    EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, W - 26, 26, 96));
    EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, W, 10, 96));
    EXPECT_EQ(CaptionButton::Minimize, CaptionButtonAt(W, W - 78, 25, 96));
    // At 150 % the slots and faces scale alike: the close face's left pixels are still the
    // maximize slot's, and the slot ends 39 pixels down.
    EXPECT_EQ(CaptionButton::Maximize, CaptionButtonAt(W, W - 46, 10, 144));
    EXPECT_EQ(CaptionButton::Close, CaptionButtonAt(W, W - 39, 38, 144));
    EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, W - 39, 39, 144));
    EXPECT_EQ(W - 47, CaptionFace(W, CaptionButton::Close, 144).left) << "31 * 1.5 rounded";
}

RECT PlaceOf(const std::vector<PlacedControl>& placed, int id)
{
    for (const PlacedControl& p : placed)
        if (p.nID == id)
            return p.rc;
    ADD_FAILURE() << "no control " << id;
    return RECT{};
}

TEST(SkinGeometry, TheLayoutAtEveryScaleMaximizedAndInASmallScreen)
{
    // At its natural size a scale puts every control where the 96-dpi table does, scaled.
    for (int dpi : {96, 120, 144, 168, 192}) {
        const SIZE natural = NaturalClient(dpi);
        const std::vector<PlacedControl> placed = PlaceControls(dpi, natural.cx, natural.cy);
        ASSERT_EQ(MainLayout().size(), placed.size());
        for (size_t i = 0; i < placed.size(); ++i) {
            const RECT& want = MainLayout()[i].rc96;
            const RECT& got = placed[i].rc;
            const double f = dpi / 96.0;
            EXPECT_NEAR(want.left * f, got.left, 1.0) << dpi << " " << placed[i].nID;
            EXPECT_NEAR(want.top * f, got.top, 1.0) << dpi << " " << placed[i].nID;
            EXPECT_NEAR((want.right - want.left) * f, got.right - got.left, 1.0) << dpi << " " << placed[i].nID;
            EXPECT_NEAR((want.bottom - want.top) * f, got.bottom - got.top, 1.0) << dpi << " " << placed[i].nID;
        }
    }
    // Maximized at 150 % on a 1920 x 1050 client: buttons keep their size and move, the list
    // grows, the type list spans from Select all to Stop.
    const std::vector<PlacedControl> big = PlaceControls(144, 1914, 1016);
    const RECT start = PlaceOf(big, IDC_BTN_START), list = PlaceOf(big, IDC_LIST_FILES);
    EXPECT_EQ(132, start.right - start.left);
    EXPECT_EQ(38, start.bottom - start.top);
    EXPECT_GT(start.left, 485 * 1.5 + 300);
    EXPECT_GT(list.right - list.left, 560 * 1.5 + 400);
    const RECT types = PlaceOf(big, IDC_LIST_TYPES);
    EXPECT_EQ(PlaceOf(big, IDC_BTN_SELECT_ALL).left, types.left);
    EXPECT_EQ(PlaceOf(big, IDC_BTN_STOP).right, types.right);

    // 150 % fits a 1366 x 768 screen (taskbar 40 high); 200 % is held inside it, never off it.
    const RECT work = {0, 0, 1366, 728};
    const RECT at150 = FitInWorkArea(RECT{300, 200, 300 + 1172, 200 + 686}, work);
    EXPECT_EQ(194, at150.left);
    EXPECT_EQ(42, at150.top);
    EXPECT_EQ(1172, at150.right - at150.left);
    const RECT at200 = FitInWorkArea(RECT{-50, 10, -50 + 1562, 10 + 914}, work);
    EXPECT_EQ(0, at200.left);
    EXPECT_EQ(0, at200.top);
    EXPECT_EQ(1366, at200.right);
    EXPECT_EQ(728, at200.bottom);
    // There, held smaller than its natural size, no control overlaps another, nor the ring,
    // and texts take a scale that fits.
    std::vector<PlacedControl> held = PlaceControls(192, 1358, 690);
    held.push_back({0, PlaceRing(192, 1358, 690)});
    EXPECT_EQ(153, FittingDpi(192, 1358, 690)) << "192 * 690 / 864";
    EXPECT_EQ(144, FittingDpi(144, 1914, 1016)) << "never larger than the scale";
    for (const PlacedControl& a : held) {
        for (const PlacedControl& b : held) {
            RECT both;
            // Scan now stands in the hidden list's place; the drive box's height is its dropped list's.
            const auto over = [](int id) { return id == IDC_BTN_SCAN_NOW || id == IDC_COMBO_DRIVE; };
            const bool apart = a.nID == b.nID || over(a.nID) || over(b.nID) ||
                               !::IntersectRect(&both, &a.rc, &b.rc);
            EXPECT_TRUE(apart) << a.nID << " and " << b.nID;
        }
    }
}

TEST(SkinGeometry, TheBitmapSetOfEachScale)
{
    const struct { int dpi, set; } sets[] = {{96, 0}, {97, 1}, {110, 1}, {120, 1}, {121, 2}, {144, 2},
                                              {168, 3}, {192, 4}, {240, 4}};
    for (const auto& s : sets)
        EXPECT_EQ(s.set, SkinSet(s.dpi)) << s.dpi;
    EXPECT_EQ(static_cast<UINT>(IDB_CLOSE + 3 * IDB_SCALE_STEP), SkinBitmapFor(IDB_CLOSE, 168));
}

TEST(SkinGeometry, CaptionPlacement)
{
    const POINT small = CaptionOrigin(false, 88, 23, SIZE{40, 20}, 96);
    EXPECT_EQ(24, small.x);
    EXPECT_EQ(1, small.y);
    // The Scan-now caption stays right of the disc (columns 6 to 68), centred in the rest.
    const POINT scan = CaptionOrigin(true, 210, 95, SIZE{100, 28}, 96);
    EXPECT_GE(scan.x, 69);
    EXPECT_EQ(69 + (210 - 69 - 100) / 2, scan.x);
    EXPECT_EQ(33, scan.y);
    // At 200 % the disc is twice as wide.
    EXPECT_EQ(138 + (420 - 138 - 200) / 2, CaptionOrigin(true, 420, 190, SIZE{200, 56}, 192).x);
}

}  // namespace
