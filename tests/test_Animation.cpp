// The scanning animation: a whole cycle of six frames before the flag is first read, and
// frame 6 the last one on screen.
#include <gtest/gtest.h>

#include <chrono>

#include "ModalDialog.h"
#include "Pixels.h"
#include "TestDialog.h"

namespace {


TEST(Animation, AWholeCycleAfterTheFlagIsClearedEndingOnFrameSix)
{
    CTestDlg dlg;
    ModalDialog run(dlg);
    HWND hWnd = run.Wait();
    ASSERT_NE(nullptr, hWnd);

    dlg.m_bAnimating = false;
    const auto start = std::chrono::steady_clock::now();
    HANDLE thread = ::CreateThread(nullptr, 0, &AnimationThreadProc, &dlg, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 5000));
    ::CloseHandle(thread);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 6 * 40 - 5) << "six frames of 40 ms";

    // The picture stays where the last frame put it: 10 and 12 pixels inside the frame.
    const int x = ::GetSystemMetrics(SM_CXDLGFRAME) + ::GetSystemMetrics(SM_CXBORDER) + 10;
    const int y = ::GetSystemMetrics(SM_CYDLGFRAME) + ::GetSystemMetrics(SM_CYBORDER) + ::GetSystemMetrics(SM_CYCAPTION) + 12;
    HDC dc = ::GetWindowDC(hWnd);
    int differFrom5 = 0;
    for (int py = 0; py < 24; py += 3) {
        for (int px = 0; px < 24; px += 3) {
            const COLORREF shown = ::GetPixel(dc, x + px, y + py);
            EXPECT_EQ(BitmapPixel(IDB_ANIM6, px, py), shown) << px << "," << py;
            differFrom5 += BitmapPixel(IDB_ANIM5, px, py) != shown;
        }
    }
    ::ReleaseDC(hWnd, dc);
    EXPECT_GT(differFrom5, 0) << "frame 6, not frame 5";
}

TEST(Animation, KeepsCyclingWhileTheFlagIsSet)
{
    CTestDlg dlg;
    ModalDialog run(dlg);
    ASSERT_NE(nullptr, run.Wait());
    dlg.m_bAnimating = true;
    HANDLE thread = ::CreateThread(nullptr, 0, &AnimationThreadProc, &dlg, 0, nullptr);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), ::WaitForSingleObject(thread, 600)) << "more than two cycles";
    dlg.m_bAnimating = false;
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 1000)) << "ends within the cycle in progress";
    ::CloseHandle(thread);
}

}  // namespace
