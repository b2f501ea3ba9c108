// The small ring that turns near the top-left corner while a run is active: six frames of
// 40 ms on a timer of the window's own thread. A part of the dialog's window, chained into its
// message map.
#pragma once

#include "../framework/CGdiObject.h"
#include "../framework/CWnd.h"

class CAnimation : public CWnd {
public:
    static const UINT_PTR kTimer = 0x4B52;
    static const UINT kFrameMs = 40;

    // Turns, from the frame after the one on screen; a stop under way is called off.
    void Play();
    // Ends after the cycle in progress: frame six is the last one on screen.
    void Stop();
    // The next frame now if its time has come: long work on the window's thread calls this
    // between its steps, timers coming only once the thread is idle.
    void CatchUp();
    // A pause holds the picture on its frame.
    void Pause(bool bPaused) { m_bPaused = bPaused; }
    bool Playing() const { return m_bPlaying; }
    // The frame on screen, 1 to 6; 0 before the first.
    int Frame() const { return m_nFrame; }
    // The frames of the set for the window's scale; nothing is drawn while bHidden (high
    // contrast, where a picture in the skin's colours has no place).
    void SetLook(int dpi, bool bHidden);
    // Where the ring is drawn, client coordinates.
    RECT Place() const { return m_place; }
    void SetPlace(const RECT& rc) { m_place = rc; }
    // The frame on screen drawn again (the window repainted, the frame held by a pause or
    // left by the end of a walk).
    void Paint(HDC dc);

protected:
    void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()

private:
    void Draw();
    void Step();

    CBitmap m_frames[6];
    int m_nDpi = 96;
    bool m_bHidden = false;
    int m_nFrame = 0;
    bool m_bPlaying = false;
    bool m_bStopping = false;
    bool m_bPaused = false;
    DWORD m_nDrawnAt = 0;  // when the frame on screen was drawn
    RECT m_place = {11, 13, 35, 37};
};
