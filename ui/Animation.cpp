#include "Animation.h"

#include "../framework/CDC.h"
#include "../res/resource.h"
#include "SkinGeometry.h"

BEGIN_MESSAGE_MAP(CAnimation, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

void CAnimation::SetLook(int dpi, bool bHidden)
{
    m_bHidden = bHidden;
    if (dpi == m_nDpi && m_frames[0].GetSafeHandle())
        return;
    // Loaded once a scale, not at every frame: a walk that shares two cores with the window
    // is slowed by every bit of drawing work.
    m_nDpi = dpi;
    for (int i = 0; i < 6; ++i) {
        m_frames[i].DeleteObject();
        m_frames[i].LoadBitmap(SkinBitmapFor(IDB_ANIM1 + static_cast<UINT>(i), dpi));
    }
}

void CAnimation::Play()
{
    if (!m_frames[0].GetSafeHandle())
        SetLook(m_nDpi, m_bHidden);
    m_bStopping = false;
    m_bPaused = false;
    if (!m_bPlaying) {
        m_bPlaying = true;
        m_nFrame = 0;
        ::SetTimer(m_hWnd, kTimer, kFrameMs, nullptr);
    }
}

void CAnimation::Stop()
{
    if (m_bPlaying)
        m_bStopping = true;
    m_bPaused = false;
}

void CAnimation::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kTimer) {
        Default();
        return;
    }
    Step();
}

void CAnimation::CatchUp()
{
    if (m_bPlaying && ::GetTickCount() - m_nDrawnAt >= kFrameMs)
        Step();
}

void CAnimation::Step()
{
    if (m_bPaused || !m_bPlaying)
        return;
    m_nFrame = m_nFrame % 6 + 1;
    m_nDrawnAt = ::GetTickCount();
    Draw();
    if (m_nFrame == 6 && m_bStopping) {
        ::KillTimer(m_hWnd, kTimer);
        m_bPlaying = false;
        m_bStopping = false;
    }
}

void CAnimation::Draw()
{
    if (::IsIconic(m_hWnd))
        return;
    CClientDC dc(m_hWnd);
    Paint(dc);
}

void CAnimation::Paint(HDC dc)
{
    if (m_nFrame < 1 || m_bHidden)
        return;
    const CBitmap& frame = m_frames[m_nFrame - 1];
    if (!frame.GetSafeHandle())
        return;
    CMemoryDC mem(dc, frame);
    const SIZE size = frame.GetSize();
    const RECT at = Place();
    const int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, mem, 0, 0, size.cx, size.cy, SRCCOPY);
    ::SetStretchBltMode(dc, oldMode);
}
