#include "Dpi.h"

int WindowDpi(HWND hWnd)
{
    static const auto forWindow = AfxSystemFunction<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
    if (forWindow && hWnd) {
        if (const UINT dpi = forWindow(hWnd))
            return static_cast<int>(dpi);
    }
    HDC dc = ::GetDC(nullptr);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi;
    if (dc)
        ::ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : kDesignDpi;
}
