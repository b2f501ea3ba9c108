// Where the skin draws and what it hits, at any display scale: plain geometry, tested without
// a window.
#pragma once

#include <array>

#include "../controls/SkinSets.h"
#include "../framework/Afx.h"

struct SkinElement {
    UINT nBitmap;
    int x, y, cx, cy;
};

// The ten pieces of the frame in drawing order, for a window W x H in window coordinates at
// dpi.
std::array<SkinElement, 10> SkinElements(int W, int H, int cxFrame, int cyFrame, int cyTitle, int dpi);

enum class CaptionButton { None, Close, Maximize, Minimize };
// The caption button whose hit slot holds (x, y), window coordinates; slots lie 5 pixels (at
// 96 dpi) right of the faces and are tested close first, then minimize, then maximize.
CaptionButton CaptionButtonAt(int W, int x, int y, int dpi);
// Each caption button's face, window coordinates.
RECT CaptionFace(int W, CaptionButton b, int dpi);
