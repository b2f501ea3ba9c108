// The skin on the real dialog, driven by real pointer input in Wine's virtual desktop.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "Pixels.h"
#include "ScanTree.h"
#include "TestDialog.h"

namespace {

const COLORREF kBlue = RGB(14, 94, 157);

void MoveTo(int x, int y)
{
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((x * 65535.0) / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>((y * 65535.0) / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
}

void Press(DWORD down, DWORD up)
{
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    ::SendInput(2, in, sizeof(INPUT));
}

COLORREF ScreenPixel(int x, int y)
{
    HDC dc = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(nullptr, dc);
    return c;
}


class Skin : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        ::SetForegroundWindow(m_hWnd);
        WaitFor([&] { return ::GetForegroundWindow() == m_hWnd; });
        // Drawn now, frame and all, rather than whenever the window's thread gets to it.
        m_dlg.OnWindowThread([&] {
            ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
    }

    RECT Window() const { RECT rc; ::GetWindowRect(m_hWnd, &rc); return rc; }
    // A point of the window in screen coordinates, from the window's top-left or top-right.
    void MoveInWindow(int x, int y) { RECT rc = Window(); MoveTo(rc.left + x, rc.top + y); }
    void MoveFromRight(int dx, int y) { RECT rc = Window(); MoveTo(rc.right - dx, rc.top + y); }
    void Click() { Press(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }
    // Holds, and the dialog's thread has finished what it was doing when it came to hold.
    bool Settles(const std::function<bool()>& pred)
    {
        // Long enough for a machine busy with other programs: the pointer's messages wait
        // their turn there (a caption button's hot face took over 3 s under such load).
        const bool held = WaitFor(pred, 10000);
        m_dlg.OnWindowThread([] {});
        return held;
    }

    // Whether button id shows its hover face, read from the screen at a point where the two
    // faces differ (near the left edge, clear of the caption).
    bool ShowsHoverFace(int id)
    {
        RECT rc;
        ::GetWindowRect(Item(id), &rc);
        for (int y = 6; y < 18; ++y) {
            for (int x = 3; x < 10; ++x) {
                if (BitmapPixel(IDB_BTN, x, y) != BitmapPixel(IDB_BTN_HOT, x, y))
                    return ScreenPixel(rc.left + x, rc.top + y) == BitmapPixel(IDB_BTN_HOT, x, y);
            }
        }
        ADD_FAILURE() << "the two faces are alike";
        return false;
    }
    bool ShowsNormalFace(int id)
    {
        RECT rc;
        ::GetWindowRect(Item(id), &rc);
        return ScreenPixel(rc.left + 4, rc.top + 12) == BitmapPixel(IDB_BTN, 4, 12) && !ShowsHoverFace(id);
    }
    bool Hot(CaptionButton b) { return m_dlg.HotCaptionButton() == b; }
    // How many pixels of button id's caption show the colour c.
    int CaptionPixels(int id, COLORREF c)
    {
        RECT rc;
        ::GetWindowRect(Item(id), &rc);
        int n = 0;
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                n += ScreenPixel(x, y) == c;
        return n;
    }

    std::map<int, RECT> Layout()
    {
        std::map<int, RECT> layout;
        for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1010, 1011, 1015, 1016, 1021, 1027}) {
            RECT rc;
            HWND h = Item(id);
            ::GetWindowRect(h, &rc);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            layout[id] = rc;
        }
        return layout;
    }

};

TEST_F(Skin, PushButtonsShowTheHoverFaceWhileThePointerIsOverThem)
{
    RECT start, stop;
    ::GetWindowRect(Item(IDC_BTN_START), &start);
    ::GetWindowRect(Item(IDC_BTN_SELECT_ALL), &stop);
    MoveTo((start.left + start.right) / 2, (start.top + start.bottom) / 2);
    EXPECT_TRUE(Settles([&] { return ShowsHoverFace(IDC_BTN_START); }));
    // Straight onto another button: the first goes back by its timer, the second lights up.
    MoveTo((stop.left + stop.right) / 2, (stop.top + stop.bottom) / 2);
    EXPECT_TRUE(Settles([&] { return ShowsHoverFace(IDC_BTN_SELECT_ALL); }));
    EXPECT_TRUE(Settles([&] { return ShowsNormalFace(IDC_BTN_START); }));
    MoveInWindow(300, 300);
    EXPECT_TRUE(Settles([&] { return ShowsNormalFace(IDC_BTN_SELECT_ALL); }));

    // Dragged onto with the left button held: no hover face.
    ::SendMessageA(Item(IDC_BTN_DELETE), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
    m_dlg.OnWindowThread([] {});
    EXPECT_TRUE(ShowsNormalFace(IDC_BTN_DELETE));
    // The button face leaves the dialog's blue showing at its rounded corners.
    RECT del;
    ::GetWindowRect(Item(IDC_BTN_DELETE), &del);
    EXPECT_EQ(kBlue, ScreenPixel(del.left, del.top));
    EXPECT_EQ(BitmapPixel(IDB_BTN, 4, 12), ScreenPixel(del.left + 4, del.top + 12));

    // With no run, Pause and Stop are disabled and say so with a grey caption; Start's is white.
    const COLORREF white = RGB(255, 255, 255);
    for (int id : {IDC_BTN_PAUSE, IDC_BTN_STOP}) {
        EXPECT_FALSE(::IsWindowEnabled(Item(id)));
        EXPECT_GT(CaptionPixels(id, MyDrawButton::kDisabledText), 20) << id;
        EXPECT_EQ(0, CaptionPixels(id, white)) << id;
    }
    EXPECT_GT(CaptionPixels(IDC_BTN_START, white), 20);
    EXPECT_EQ(0, CaptionPixels(IDC_BTN_START, MyDrawButton::kDisabledText));
}

TEST_F(Skin, FramePixelsAndTheHotCloseFace)
{
    const RECT rc = Window();
    const int W = rc.right - rc.left;
    EXPECT_EQ(kBlue, ScreenPixel(rc.left + 1, rc.top + 100)) << "left edge";
    EXPECT_EQ(kBlue, ScreenPixel(rc.right - 2, rc.top + 100)) << "right edge";
    EXPECT_EQ(kBlue, ScreenPixel(rc.left + 200, rc.bottom - 2)) << "bottom edge";
    for (UINT id : {IDB_MIN, IDB_MAX, IDB_CLOSE}) {
        const int x = id == IDB_MIN ? W - 83 : id == IDB_MAX ? W - 57 : W - 31;
        EXPECT_EQ(BitmapPixel(id, 13, 3), ScreenPixel(rc.left + x + 13, rc.top + 3)) << id;
    }
    MoveFromRight(10, 10);  // the close slot, right of the close face
    EXPECT_TRUE(Settles([&] { return Hot(CaptionButton::Close); }));
    EXPECT_TRUE(Settles([&] { return ScreenPixel(rc.left + W - 31 + 2, rc.top + 2) == BitmapPixel(IDB_CLOSE_HOT, 2, 2); }));
}

TEST_F(Skin, CaptionButtonsMinimizeMaximizeAndRestore)
{
    const std::map<int, RECT> before = Layout();
    RECT typesBefore;
    ::GetWindowRect(Item(IDC_LIST_TYPES), &typesBefore);

    MoveFromRight(40, 10);  // the maximize slot
    ASSERT_TRUE(Settles([&] { return Hot(CaptionButton::Maximize); }));
    Click();
    ASSERT_TRUE(Settles([&] { return ::IsZoomed(m_hWnd) != FALSE; }));
    EXPECT_TRUE(m_dlg.IsSkinMaximized());
    // Maximized: the check list spans from Select all's left edge to Stop's right edge.
    RECT types, stop, selAll;
    ::GetWindowRect(Item(IDC_LIST_TYPES), &types);
    ::GetWindowRect(Item(IDC_BTN_STOP), &stop);
    ::GetWindowRect(Item(IDC_BTN_SELECT_ALL), &selAll);
    EXPECT_EQ(stop.right - selAll.left, types.right - types.left);
    EXPECT_GT(Layout()[IDC_LIST_FILES].right, before.at(IDC_LIST_FILES).right) << "the list grew";

    // Pressing again without moving restores.
    ASSERT_TRUE(Hot(CaptionButton::Maximize));
    Click();
    ASSERT_TRUE(Settles([&] { return !::IsZoomed(m_hWnd) && !m_dlg.IsSkinMaximized(); }));
    for (const auto& kv : Layout()) {
        const RECT& was = before.at(kv.first);
        EXPECT_LE(was.left - kv.second.left, 1) << kv.first;
        EXPECT_GE(was.left - kv.second.left, 0) << kv.first;
        EXPECT_LE(was.top - kv.second.top, 1) << kv.first;
        EXPECT_GE(was.top - kv.second.top, 0) << kv.first;
    }
    ::GetWindowRect(Item(IDC_LIST_TYPES), &types);
    EXPECT_EQ(typesBefore.right - typesBefore.left, types.right - types.left) << "exactly its template width";

    // Minimize through its caption button; back from the taskbar leaves the restored layout.
    const std::map<int, RECT> restored = Layout();
    MoveFromRight(65, 10);  // the minimize slot
    ASSERT_TRUE(Settles([&] { return Hot(CaptionButton::Minimize); }));
    Click();
    if (!Settles([&] { return ::IsIconic(m_hWnd) != FALSE; })) {
        // A click that a busy machine's input queue lost: once more, as a user would.
        ASSERT_TRUE(Settles([&] { return Hot(CaptionButton::Minimize); }));
        Click();
    }
    ASSERT_TRUE(Settles([&] { return ::IsIconic(m_hWnd) != FALSE; }));
    EXPECT_FALSE(Hot(CaptionButton::Minimize));
    ::ShowWindow(m_hWnd, SW_RESTORE);
    ASSERT_TRUE(Settles([&] { return !::IsIconic(m_hWnd); }));
    for (const auto& kv : Layout()) {
        EXPECT_LE(restored.at(kv.first).left - kv.second.left, 1) << kv.first;
        EXPECT_LE(restored.at(kv.first).top - kv.second.top, 1) << kv.first;
        EXPECT_EQ(restored.at(kv.first).right - restored.at(kv.first).left, kv.second.right - kv.second.left) << kv.first;
    }
}

TEST_F(Skin, DoubleClickAndThePopupMenuCommands)
{
    ::SendMessageA(m_hWnd, WM_NCLBUTTONDBLCLK, HTLEFT, 0);
    EXPECT_TRUE(::IsZoomed(m_hWnd));
    ::SendMessageA(m_hWnd, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(::IsZoomed(m_hWnd));

    ::SendMessageA(m_hWnd, WM_COMMAND, ID_MENU_MAXIMIZE, 0);
    EXPECT_TRUE(::IsZoomed(m_hWnd)) << "the menu's maximize item does what it says";
    ::SendMessageA(m_hWnd, WM_COMMAND, ID_MENU_MAXIMIZE, 0);
    EXPECT_FALSE(::IsZoomed(m_hWnd));
    ::SendMessageA(m_hWnd, WM_COMMAND, ID_MENU_MINIMIZE, 0);
    EXPECT_TRUE(WaitFor([&] { return ::IsIconic(m_hWnd) != FALSE; }, 5000));
    ::ShowWindow(m_hWnd, SW_RESTORE);

    ::PostMessageA(m_hWnd, WM_COMMAND, ID_MENU_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = m_run->FindOwnedPopup()) != nullptr; }));
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); }));

    // A right click on the title bar opens the menu.
    ::SetForegroundWindow(m_hWnd);
    MoveInWindow(200, 10);
    ::Sleep(100);  // the pointer's move reaches the window by the X server, in its own time
    Press(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = ::FindWindowA("#32768", nullptr)) != nullptr && ::IsWindowVisible(menu); }))
        << "no popup menu";
    INPUT esc[2] = {};
    esc[0].type = esc[1].type = INPUT_KEYBOARD;
    esc[0].ki.wVk = esc[1].ki.wVk = VK_ESCAPE;
    esc[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, esc, sizeof(INPUT));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
}

TEST_F(Skin, CloseButtonAndCloseItemReachTheCloseQuestion)
{
    // A run held at its start, so closing asks instead of ending the test.
    CScanTree tree("closebutton");
    m_dlg.Hold();
    m_dlg.OnWindowThread([&] { m_dlg.GetDlgItem(IDC_COMBO_DRIVE)->SetWindowText(tree.Path()); });
    ::SendMessageA(Item(IDC_BTN_START), BM_CLICK, 0, 0);
    ASSERT_TRUE(::IsWindowEnabled(Item(IDC_BTN_STOP)));

    MoveFromRight(10, 10);
    ASSERT_TRUE(Settles([&] { return Hot(CaptionButton::Close); }));
    Click();
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_run->FindOwnedPopup()) != nullptr; })) << "the close button asks";
    ::PostMessageA(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));

    ::PostMessageA(m_hWnd, WM_COMMAND, ID_MENU_CLOSE, 0);
    ASSERT_TRUE(WaitFor([&] { return (box = m_run->FindOwnedPopup()) != nullptr; })) << "the close item asks";
    ::PostMessageA(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));

    ::SendMessageA(Item(IDC_BTN_STOP), BM_CLICK, 0, 0);
    m_dlg.Release();
}

TEST_F(Skin, AThousandPaintsLeaveNoDrawingObjectBehind)
{
    ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
    const int before = GdiObjects();
    ASSERT_GT(before, 0) << "the count of drawing objects";
    RECT rc = Window();
    for (int i = 0; i < 1000; ++i) {
        ::SendMessageA(m_hWnd, WM_NCPAINT, 1, 0);
        ::SendMessageA(m_hWnd, WM_NCACTIVATE, i % 2, 0);
        ::SendMessageA(m_hWnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(rc.right - 10 - (i % 90), rc.top + 5));
        ::SendMessageA(m_hWnd, WM_NCMOUSELEAVE, 0, 0);
        HWND button = Item(i % 2 ? IDC_BTN_START : IDC_BTN_SCAN_NOW);
        ::InvalidateRect(button, nullptr, FALSE);
        ::UpdateWindow(button);
    }
    const int after = GdiObjects();
    EXPECT_LE(after, before + 5) << "drawing objects pile up";
    // The count sees a leak of one object a paint.
    std::vector<HBRUSH> leaked;
    for (int i = 0; i < 1000; ++i)
        leaked.push_back(::CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_GE(GdiObjects(), after + 995) << "a paint under way may hold a few of its own";
    for (HBRUSH b : leaked)
        ::DeleteObject(b);
}

}  // namespace
