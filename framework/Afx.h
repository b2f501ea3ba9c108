// Common include of the framework: the Windows headers, small value types and the
// module-wide accessors.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class CWinApp;
class CWnd;

// The module whose resources the program uses (the executable itself).
HINSTANCE AfxGetResourceHandle();
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// A function of a system library, loaded when first called for rather than with the program
// (a library that brings many others of its own); null if it is not there.
template <class Fn>
Fn AfxSystemFunction(const wchar_t* library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::LoadLibraryW(library), name)));
}

struct CPoint : POINT {
    CPoint() { x = 0; y = 0; }
    CPoint(int cx, int cy) { x = cx; y = cy; }
    // Points packed in an LPARAM keep their sign (screen points left of or above the origin).
    explicit CPoint(LPARAM lParam) {
        x = static_cast<short>(LOWORD(lParam));
        y = static_cast<short>(HIWORD(lParam));
    }
};

struct CRect : RECT {
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }
};
