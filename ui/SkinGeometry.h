// Where the skin draws and what it hits, and where the re-layout puts a control: plain
// geometry, tested without a window.
#pragma once

#include <array>

#include "../framework/Afx.h"

struct SkinElement {
    UINT nBitmap;
    int x, y, cx, cy;
};

// The ten pieces of the frame in drawing order, for a window W x H in window coordinates.
std::array<SkinElement, 10> SkinElements(int W, int H, int cxFrame, int cyFrame, int cyTitle);

enum class CaptionButton { None, Close, Maximize, Minimize };
// The caption button whose hit slot holds (x, y), window coordinates; slots lie 5 pixels
// right of the faces and are tested close first, then minimize, then maximize.
CaptionButton CaptionButtonAt(int W, int x, int y);
// Left edge of each caption button's face.
inline int CaptionFaceX(int W, CaptionButton b)
{
    return b == CaptionButton::Close ? W - 31 : b == CaptionButton::Maximize ? W - 57 : W - 83;
}

// A rectangle with each edge multiplied by its factor and truncated toward zero.
RECT ScaleRect(const RECT& rc, float fScaleX, float fScaleY);
// The type check list's width after a pass: the Select-all-to-Stop span when maximized.
int CheckListWidth(bool bMaximized, int nStopRight, int nSelAllLeft, int nTemplateWidth);
