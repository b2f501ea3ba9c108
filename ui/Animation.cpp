#include "Animation.h"

#include "../framework/CDC.h"
#include "../framework/CGdiObject.h"
#include "../res/resource.h"

void DrawAnimationFrame(HWND hWnd, int nFrame)
{
    // Without its window the context would be the whole screen's.
    if (!hWnd || !::IsWindow(hWnd))
        return;
    {
        CBitmap frame;
        if (frame.LoadBitmap(IDB_ANIM1 + static_cast<UINT>(nFrame) - 1)) {
            CWindowDC dc(hWnd);
            CMemoryDC mem(dc, frame);
            const SIZE size = frame.GetSize();
            const int x = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER) + 10;
            const int y = ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) +
                          ::GetSystemMetrics(SM_CYCAPTION) + 12;
            ::StretchBlt(dc, x, y, 24, 24, mem, 0, 0, size.cx, size.cy, SRCCOPY);
        }
    }
    // The window's context is given back before the pause, not held through it.
    ::Sleep(40);
}

void PlayAnimation(HWND hWnd, const CWorker& worker, CPauseGate& gate)
{
    do {
        for (int frame = 1; frame <= 6; ++frame) {
            DrawAnimationFrame(hWnd, frame);
            gate.Wait();  // a pause holds the picture on this frame
        }
    } while (!worker.StopRequested() && ::IsWindow(hWnd));
}
