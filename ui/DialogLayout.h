// Where the main window's controls go: a table designed at 96 dpi, placed at any scale and in
// any client size (restored, maximized, or held inside a small screen). Plain geometry,
// tested without a window.
#pragma once

#include <vector>

#include <algorithm>

#include "../framework/Afx.h"

// How a control follows the client area's size.
enum class Fit {
    Moves,     // keeps its size at the scale; its place follows the client area
    Grows,     // place and size follow the client area
    TypeList,  // grows; in a client area larger than its natural size it spans from Select
               // all's left edge to Stop's right edge
};

struct LayoutEntry {
    int nID;
    RECT rc96;  // at 96 dpi in the natural client area
    Fit fit;
};

// The main window's client area at 96 dpi.
const SIZE kMainClient96 = {775, 432};

// Every control of the main window, in reading order, which is also the order the Tab key
// follows.
const std::vector<LayoutEntry>& MainLayout();

// The client area at dpi when nothing holds it smaller or larger.
SIZE NaturalClient(int dpi);

struct PlacedControl {
    int nID;
    RECT rc;
};
// Where each control of MainLayout() goes in a client area cx by cy at dpi.
std::vector<PlacedControl> PlaceControls(int dpi, int cx, int cy);

// Where the ring that turns during a walk goes, as a control that keeps its size.
RECT PlaceRing(int dpi, int cx, int cy);

// The scale that fonts and the controls' own sizes take in a client area cx by cy at dpi: dpi,
// or less in a client area held smaller than its natural size (a scale too large for the
// screen), so that texts shrink with their controls.
int FittingDpi(int dpi, int cx, int cy);

// A window rectangle moved, and if need be made smaller, so that it lies inside work.
RECT FitInWorkArea(const RECT& window, const RECT& work);
