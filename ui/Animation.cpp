// The small ring that turns near the top-left corner while a run is active.
#include "CNorvaneDlg.h"

void DrawAnimationFrame(HWND hWnd, int nFrame)
{
    // Without its window the context would be the whole screen's.
    if (!hWnd || !::IsWindow(hWnd))
        return;
    {
        CBitmap frame;
        if (frame.LoadBitmap(191 + static_cast<UINT>(nFrame))) {
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

DWORD WINAPI AnimationThreadProc(LPVOID pParam)
{
    CNorvaneDlg* pDlg = static_cast<CNorvaneDlg*>(pParam);
    const HWND hWnd = pDlg->m_hWnd;
    do {
        for (int frame = 1; frame <= 6; ++frame) {
            DrawAnimationFrame(hWnd, frame);
            pDlg->m_pauseGate.Wait();  // a pause holds the picture on this frame
        }
    } while (pDlg->m_bAnimating && ::IsWindow(hWnd));
    return 0;
}
