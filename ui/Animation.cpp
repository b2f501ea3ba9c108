// The small ring that turns near the top-left corner while a run is active.
#include "CNorvaneDlg.h"

void DrawAnimationFrame(HWND hWnd, int nFrame)
{
    // Without its window the context would be the whole screen's.
    if (!hWnd || !::IsWindow(hWnd))
        return;
    {
        CWindowDC dc(hWnd);
        if (!dc.GetSafeHdc())
            return;
        const UINT id = 191 + static_cast<UINT>(nFrame);
        HBITMAP hBitmap = ::LoadBitmapA(AfxFindResourceHandle(MAKEINTRESOURCEA(id), RT_BITMAP), MAKEINTRESOURCEA(id));
        HDC hMem = ::CreateCompatibleDC(dc);
        if (hBitmap && hMem) {
            BITMAP bm = {};
            ::GetObjectA(hBitmap, sizeof(bm), &bm);
            CSelectObject select(hMem, hBitmap);
            const int x = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER) + 10;
            const int y = ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) +
                          ::GetSystemMetrics(SM_CYCAPTION) + 12;
            ::StretchBlt(dc, x, y, 24, 24, hMem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        }
        if (hMem)
            ::DeleteDC(hMem);
        if (hBitmap)
            ::DeleteObject(hBitmap);
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
