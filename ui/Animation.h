// The small ring that turns near the top-left corner while a run is active.
#pragma once

#include "../framework/CWorker.h"
#include "../scan/PauseGate.h"

// Draws frame nFrame (1 to 6) into hWnd's frame, then waits its 40 ms.
void DrawAnimationFrame(HWND hWnd, int nFrame);
// Plays the ring, a whole cycle of six frames at a time, until worker is asked to stop (read
// after each cycle) or the window is gone; a pause of gate holds the picture on its frame.
void PlayAnimation(HWND hWnd, const CWorker& worker, CPauseGate& gate);
