#include "Animation.h"

#include "../framework/CDC.h"
#include "../framework/CGdiObject.h"
#include "../res/resource.h"

namespace {

void DrawFrame(HWND hWnd, const CBitmap& frame)
{
    // Without its window the context would be the whole screen's.
    if (!hWnd || !::IsWindow(hWnd) || !frame.GetSafeHandle())
        return;
    CWindowDC dc(hWnd);
    CMemoryDC mem(dc, frame);
    const SIZE size = frame.GetSize();
    const int x = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER) + 10;
    const int y = ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) + ::GetSystemMetrics(SM_CYCAPTION) + 12;
    ::StretchBlt(dc, x, y, 24, 24, mem, 0, 0, size.cx, size.cy, SRCCOPY);
}

}  // namespace

void DrawAnimationFrame(HWND hWnd, int nFrame)
{
    {
        CBitmap frame;
        frame.LoadBitmap(IDB_ANIM1 + static_cast<UINT>(nFrame) - 1);
        DrawFrame(hWnd, frame);
    }
    // The window's context is given back before the pause, not held through it.
    ::Sleep(40);
}

void PlayAnimation(HWND hWnd, const CWorker& worker, CPauseGate& gate)
{
    // The six frames are loaded once for the run, not at every frame: a walk that shares two
    // cores with the window is slowed by every bit of drawing work.
    CBitmap frames[6];
    for (int i = 0; i < 6; ++i)
        frames[i].LoadBitmap(IDB_ANIM1 + static_cast<UINT>(i));
    do {
        for (const CBitmap& frame : frames) {
            DrawFrame(hWnd, frame);
            ::Sleep(40);
            gate.Wait();  // a pause holds the picture on this frame
        }
    } while (!worker.StopRequested() && ::IsWindow(hWnd));
}
