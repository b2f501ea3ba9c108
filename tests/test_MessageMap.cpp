// Message-map lookup: the class's own entries first, then its base class's; commands by
// identifier and notification code; every control-colour message under one entry.
#include <gtest/gtest.h>

#include <string>

#include "framework/CWnd.h"

namespace {

std::string g_called;

class CBaseWnd : public CWnd {
public:
    void OnPaint() { g_called = "base paint"; }
    void OnBaseCommand() { g_called = "base 100"; }
    void OnBaseOverridden() { g_called = "base 200"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_WM_PAINT()
    ON_COMMAND(100, &CBaseWnd::OnBaseCommand)
    ON_COMMAND(200, &CBaseWnd::OnBaseOverridden)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
public:
    void OnDerived200() { g_called = "derived 200"; }
    void OnNotify300() { g_called = "derived 300 code 5"; }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor)
    {
        g_called = "ctlcolor " + std::to_string(nCtlColor);
        return nullptr;
    }
    const AFX_MSGMAP* Map() const { return GetMessageMap(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_COMMAND(200, &CDerivedWnd::OnDerived200)
    ON_CONTROL(5, 300, &CDerivedWnd::OnNotify300)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

std::string Dispatch(CDerivedWnd& wnd, UINT msg, UINT code, UINT id, WPARAM wp = 0, LPARAM lp = 0)
{
    g_called = "nothing";
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(wnd.Map(), msg, code, id);
    if (!e)
        return "no entry";
    e->pfn(&wnd, msg, wp, lp);
    return g_called;
}

TEST(MessageMap, LookupFallsThroughToTheBaseClass)
{
    CDerivedWnd wnd;
    EXPECT_EQ("base paint", Dispatch(wnd, WM_PAINT, 0, 0));
    EXPECT_EQ("base 100", Dispatch(wnd, WM_COMMAND, 0, 100));
}

TEST(MessageMap, TheDerivedEntryHidesTheBaseEntry)
{
    CDerivedWnd wnd;
    EXPECT_EQ("derived 200", Dispatch(wnd, WM_COMMAND, 0, 200));
}

TEST(MessageMap, CommandsMatchIdentifierAndCode)
{
    CDerivedWnd wnd;
    EXPECT_EQ("derived 300 code 5", Dispatch(wnd, WM_COMMAND, 5, 300));
    EXPECT_EQ("no entry", Dispatch(wnd, WM_COMMAND, 0, 300));
    EXPECT_EQ("no entry", Dispatch(wnd, WM_COMMAND, 5, 100));
    EXPECT_EQ("no entry", Dispatch(wnd, WM_COMMAND, 0, 101));
    EXPECT_EQ("no entry", Dispatch(wnd, WM_SIZE, 0, 0));
}

TEST(MessageMap, EveryControlColourMessageReachesOnCtlColorWithItsKind)
{
    // Through a real window, so the translation in the window procedure is what is tested.
    HWND h = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(h));
    HDC dc = ::GetDC(h);
    g_called.clear();
    ::SendMessageA(h, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
    EXPECT_EQ("ctlcolor " + std::to_string(CTLCOLOR_STATIC), g_called);
    ::SendMessageA(h, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
    EXPECT_EQ("ctlcolor " + std::to_string(CTLCOLOR_LISTBOX), g_called);
    ::ReleaseDC(h, dc);
    ::DestroyWindow(h);
    EXPECT_EQ(nullptr, wnd.m_hWnd) << "destruction of the window unbinds the object";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
}

TEST(MessageMap, UnhandledMessagesReachThePreviousProcedure)
{
    HWND h = ::CreateWindowExW(0, L"STATIC", L"before", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, h);
    {
        CDerivedWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(h));
        wnd.SetWindowText("after");
        CString text;
        wnd.GetWindowText(text);
        EXPECT_EQ("after", text);
    }
    // The object is gone; the window works on with its own procedure again.
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    wchar_t buf[16] = {};
    ::GetWindowTextW(h, buf, 16);
    EXPECT_STREQ(L"after", buf);
    ::DestroyWindow(h);
}

}  // namespace
