// The skin's geometry without a window.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "controls/ButtonGeometry.h"
#include "ui/SkinGeometry.h"

namespace {

TEST(SkinGeometry, TheTenElements)
{
    const int W = 781, H = 439, cx = 4, cy = 4, title = 24;
    const auto e = SkinElements(W, H, cx, cy, title);
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
    EXPECT_EQ(3, SkinElements(W, H, 3, 5, 25)[5].cy);
}

TEST(SkinGeometry, HitSlotsLieFivePixelsRightOfTheFaces)
{
    const int W = 700;
    for (int x = W - 31; x < W - 26; ++x)
        EXPECT_EQ(CaptionButton::Maximize, CaptionButtonAt(W, x, 10)) << "leftmost pixels of the close face";
    for (int x = W - 57; x < W - 52; ++x)
        EXPECT_EQ(CaptionButton::Minimize, CaptionButtonAt(W, x, 10)) << "leftmost pixels of the maximize face";
    for (int x = W - 83; x < W - 78; ++x)
        EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, x, 10)) << "leftmost pixels of the minimize face";
    for (int x = W - 5; x < W; ++x)
        EXPECT_EQ(CaptionButton::Close, CaptionButtonAt(W, x, 10)) << "right of the close face";
    EXPECT_EQ(CaptionButton::Close, CaptionButtonAt(W, W - 26, 0));
    EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, W - 26, 26));
    EXPECT_EQ(CaptionButton::None, CaptionButtonAt(W, W, 10));
    EXPECT_EQ(CaptionButton::Minimize, CaptionButtonAt(W, W - 78, 25));
}

TEST(SkinGeometry, APassAndItsReverseDriftAPixelAtMost)
{
    const float fx = static_cast<float>(1280.0 / 781), fy = static_cast<float>(1024.0 / 439);
    const float bx = static_cast<float>(1.0 / fx), by = static_cast<float>(1.0 / fy);
    for (int left = 0; left < 700; left += 7) {
        for (int top = 0; top < 400; top += 11) {
            const RECT rc = {left, top, left + 88, top + 23};
            const RECT back = ScaleRect(ScaleRect(rc, fx, fy), bx, by);
            EXPECT_GE(back.left, rc.left - 1);
            EXPECT_LE(back.left, rc.left);
            EXPECT_GE(back.top, rc.top - 1);
            EXPECT_LE(back.top, rc.top);
        }
    }
    const RECT scaled = ScaleRect(RECT{10, 20, 110, 70}, 2.0f, 2.25f);
    EXPECT_EQ(20, scaled.left);
    EXPECT_EQ(45, scaled.top);
    EXPECT_EQ(220, scaled.right);
    EXPECT_EQ(157, scaled.bottom) << "157.5 truncated";
}

TEST(SkinGeometry, CheckListWidthAndCaptionPlacement)
{
    EXPECT_EQ(300, CheckListWidth(true, 1200, 900, 177));
    EXPECT_EQ(177, CheckListWidth(false, 1200, 900, 177));

    const POINT small = CaptionOrigin(false, 88, 23, SIZE{40, 20});
    EXPECT_EQ(24, small.x);
    EXPECT_EQ(1, small.y);
    // The Scan-now caption stays right of the disc (columns 6 to 68), centred in the rest.
    const POINT scan = CaptionOrigin(true, 210, 95, SIZE{100, 28});
    EXPECT_GE(scan.x, 69);
    EXPECT_EQ(69 + (210 - 69 - 100) / 2, scan.x);
    EXPECT_EQ(33, scan.y);
}

}  // namespace
