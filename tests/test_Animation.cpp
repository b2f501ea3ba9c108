// The scanning animation, on a timer of the window's thread: a whole cycle of six frames
// after a stop, and frame 6 the last one on screen.
#include <gtest/gtest.h>

#include <chrono>

#include "ModalDialog.h"
#include "framework/CWorker.h"
#include "Pixels.h"
#include "ui/CNorvaneDlg.h"

namespace {

class Animation : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, m_hWnd = m_run.Wait()); }
    void Here(const std::function<void()>& fn) { AfxRunOnWindowThread(m_hWnd, fn); }
    bool Playing()
    {
        bool playing = false;
        Here([&] { playing = m_dlg.Animation().Playing(); });
        return playing;
    }

    CNorvaneDlg m_dlg;
    ModalDialog m_run{m_dlg};
    HWND m_hWnd = nullptr;
};

TEST_F(Animation, AWholeCycleAfterTheStopRequestEndingOnFrameSix)
{
    const auto start = std::chrono::steady_clock::now();
    Here([&] {
        m_dlg.Animation().Play();
        m_dlg.Animation().Stop();
    });
    ASSERT_TRUE(WaitFor([&] { return !Playing(); }, 5000));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 6 * 40 - 5) << "six frames of 40 ms";

    // The picture stays where the last frame put it.
    RECT at = {};
    Here([&] { at = m_dlg.Animation().Place(); });
    HDC dc = ::GetDC(m_hWnd);
    int differFrom5 = 0;
    for (int py = 0; py < 24; py += 3) {
        for (int px = 0; px < 24; px += 3) {
            const COLORREF shown = ::GetPixel(dc, at.left + px, at.top + py);
            EXPECT_EQ(BitmapPixel(IDB_ANIM6, px, py), shown) << px << "," << py;
            differFrom5 += BitmapPixel(IDB_ANIM5, px, py) != shown;
        }
    }
    ::ReleaseDC(m_hWnd, dc);
    EXPECT_GT(differFrom5, 0) << "frame 6, not frame 5";
    // and there it stays when the window is painted again.
    Here([&] { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); });
    dc = ::GetDC(m_hWnd);
    EXPECT_EQ(BitmapPixel(IDB_ANIM6, 12, 3), ::GetPixel(dc, at.left + 12, at.top + 3));
    ::ReleaseDC(m_hWnd, dc);
}

TEST_F(Animation, KeepsCyclingUntilAskedToStop)
{
    Here([&] { m_dlg.Animation().Play(); });
    EXPECT_FALSE(WaitFor([&] { return !Playing(); }, 600)) << "more than two cycles";
    Here([&] { m_dlg.Animation().Stop(); });
    EXPECT_TRUE(WaitFor([&] { return !Playing(); }, 1000)) << "ends within the cycle in progress";
}

}  // namespace
