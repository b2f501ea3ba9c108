// The scanning animation: a whole cycle of six frames before the stop request is first read,
// and frame 6 the last one on screen.
#include <gtest/gtest.h>

#include <chrono>

#include "ModalDialog.h"
#include "Pixels.h"
#include "ui/Animation.h"
#include "ui/CNorvaneDlg.h"

namespace {


TEST(Animation, AWholeCycleAfterTheStopRequestEndingOnFrameSix)
{
    CNorvaneDlg dlg;
    ModalDialog run(dlg);
    HWND hWnd = run.Wait();
    ASSERT_NE(nullptr, hWnd);

    CWorker worker;
    CPauseGate gate;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(worker.Start([&] { PlayAnimation(hWnd, worker, gate); }));
    worker.RequestStop();
    ASSERT_TRUE(worker.Join(5000));
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

TEST(Animation, KeepsCyclingUntilAskedToStop)
{
    CNorvaneDlg dlg;
    ModalDialog run(dlg);
    HWND hWnd = run.Wait();
    ASSERT_NE(nullptr, hWnd);
    CWorker worker;
    CPauseGate gate;
    ASSERT_TRUE(worker.Start([&] { PlayAnimation(hWnd, worker, gate); }));
    EXPECT_FALSE(worker.Join(600)) << "more than two cycles";
    worker.RequestStop();
    EXPECT_TRUE(worker.Join(1000)) << "ends within the cycle in progress";
}

}  // namespace
