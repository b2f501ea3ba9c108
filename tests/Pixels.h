// Pixels of the program's own bitmaps, to compare with what the screen shows.
#pragma once

#include <windows.h>

inline COLORREF BitmapPixel(UINT id, int x, int y)
{
    HBITMAP bmp = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::DeleteObject(bmp);
    return c;
}

#include <vector>

// What the screen shows in rc (screen coordinates), row by row, read in one copy rather than a
// call a pixel.
struct ScreenPixels {
    explicit ScreenPixels(const RECT& rc) : left(rc.left), top(rc.top), cx(rc.right - rc.left), cy(rc.bottom - rc.top)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = cx;
        bi.bmiHeader.biHeight = -cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = ::GetDC(nullptr);
        HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC mem = ::CreateCompatibleDC(screen);
        HGDIOBJ old = ::SelectObject(mem, dib);
        ::BitBlt(mem, 0, 0, cx, cy, screen, left, top, SRCCOPY);
        ::GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        pixels.reserve(static_cast<size_t>(cx) * cy);
        for (int i = 0; i < cx * cy; ++i)
            pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
        ::SelectObject(mem, old);
        ::DeleteDC(mem);
        ::DeleteObject(dib);
        ::ReleaseDC(nullptr, screen);
    }
    // At (x, y) of the screen.
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y - top) * cx + (x - left)]; }

    int left, top, cx, cy;
    std::vector<COLORREF> pixels;
};

// The drawing objects this process holds. Windows counts them for us; Wine's count is a stub
// that says 0, but it takes a handle's low word alone for the handle, so every slot of the
// table can be asked whether it holds an object.
inline int GdiObjects()
{
    if (const DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<int>(n);
    int n = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        n += ::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
    return n;
}
