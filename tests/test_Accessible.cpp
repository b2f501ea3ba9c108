// What a screen reader finds, read the way a reader reads it: AccessibleObjectFromWindow, then
// the object's properties. Real windows, so the answer goes through WM_GETOBJECT and
// LresultFromObject as it does for a reader.
#include <gtest/gtest.h>

#include "framework/Accessible.h"
#include "framework/CWnd.h"

namespace {

struct ComInitialized {
    ComInitialized() { ::CoInitialize(nullptr); }
    ~ComInitialized() { ::CoUninitialize(); }
};

// One reference, released at the end of the scope.
template <class T>
struct ComRef {
    T* p = nullptr;
    ~ComRef()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
    void** out() { return reinterpret_cast<void**>(&p); }
};

VARIANT Child(LONG id)
{
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

CString NameOf(IAccessible* acc, LONG child = CHILDID_SELF)
{
    BSTR name = nullptr;
    if (acc->get_accName(Child(child), &name) != S_OK || !name)
        return "<no name>";
    CString text = AfxFromWide(name, static_cast<int>(::SysStringLen(name)));
    ::SysFreeString(name);
    return text;
}

LONG RoleOf(IAccessible* acc, LONG child = CHILDID_SELF)
{
    VARIANT role;
    ::VariantInit(&role);
    if (acc->get_accRole(Child(child), &role) != S_OK || role.vt != VT_I4)
        return -1;
    return role.lVal;
}

RECT LocationOf(IAccessible* acc, LONG child = CHILDID_SELF)
{
    LONG x = 0, y = 0, cx = 0, cy = 0;
    if (acc->accLocation(&x, &y, &cx, &cy, Child(child)) != S_OK)
        return RECT{-1, -1, -1, -1};
    return RECT{x, y, x + cx, y + cy};
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual)
{
    if (::EqualRect(&expected, &actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected (" << expected.left << "," << expected.top << ")-(" << expected.right << ","
           << expected.bottom << "), got (" << actual.left << "," << actual.top << ")-(" << actual.right
           << "," << actual.bottom << ")";
}

class AccessibleFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hFrame = ::CreateWindowExW(0, L"STATIC", L"Kelvaro 清理", WS_POPUP | WS_VISIBLE, 50, 60, 400, 300,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hFrame);
        ASSERT_TRUE(m_frame.SubclassWindow(m_hFrame));
        HWND hButton = ::CreateWindowExW(0, L"BUTTON", L"暂停(&P)", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                         10, 10, 90, 28, m_hFrame, reinterpret_cast<HMENU>(1001), nullptr, nullptr);
        ASSERT_TRUE(m_button.SubclassWindow(hButton));
        HWND hList = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY,
                                       10, 50, 200, 150, m_hFrame, reinterpret_cast<HMENU>(1002), nullptr, nullptr);
        ASSERT_TRUE(m_list.SubclassWindow(hList));
    }
    void TearDown() override
    {
        if (m_hFrame)
            ::DestroyWindow(m_hFrame);
    }

    static HRESULT ObjectOf(HWND hWnd, LONG idObject, ComRef<IAccessible>& acc)
    {
        return ::AccessibleObjectFromWindow(hWnd, static_cast<DWORD>(idObject), AfxIID_IAccessible, acc.out());
    }

    ComInitialized m_com;
    HWND m_hFrame = nullptr;
    CWnd m_frame;
    CWnd m_button;
    CWnd m_list;
};

TEST_F(AccessibleFixture, ControlsAreReadByTheirOwnNameAndRole)
{
    m_button.SetAccessible("", ROLE_SYSTEM_PUSHBUTTON);
    m_list.SetAccessible("垃圾文件类型", ROLE_SYSTEM_LIST);

    ComRef<IAccessible> button, list, frame;
    ASSERT_EQ(S_OK, ObjectOf(m_button, OBJID_CLIENT, button));
    ASSERT_EQ(S_OK, ObjectOf(m_list, OBJID_CLIENT, list));
    ASSERT_EQ(S_OK, ObjectOf(m_frame, OBJID_CLIENT, frame));

    EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, RoleOf(button.p));
    EXPECT_EQ(CString("暂停(P)"), NameOf(button.p));
    // The name follows the caption on the same object (Pause becomes Continue mid-run).
    m_button.SetWindowText("继续(&C)");
    EXPECT_EQ(CString("继续(C)"), NameOf(button.p));
    m_button.SetWindowText("保存&&退出(&X)");
    EXPECT_EQ(CString("保存&退出(X)"), NameOf(button.p)) << "a doubled & is a real ampersand";

    EXPECT_EQ(ROLE_SYSTEM_LIST, RoleOf(list.p));
    EXPECT_EQ(CString("垃圾文件类型"), NameOf(list.p));

    // A window that set nothing keeps the system's answer.
    EXPECT_EQ(ROLE_SYSTEM_CLIENT, RoleOf(frame.p));

    // The rest is the system's: the list's client area on the screen, the button's state.
    RECT client;
    ::GetClientRect(m_list, &client);
    ::MapWindowPoints(m_list, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(SameRect(client, LocationOf(list.p)));
    m_button.EnableWindow(FALSE);
    VARIANT state;
    ::VariantInit(&state);
    ASSERT_EQ(S_OK, button->get_accState(Child(CHILDID_SELF), &state));
    ASSERT_EQ(VT_I4, state.vt);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_UNAVAILABLE);
}

TEST_F(AccessibleFixture, AnObjectKeptPastItsWindowFailsInsteadOfCrashing)
{
    m_button.SetAccessible("", ROLE_SYSTEM_PUSHBUTTON);
    int pressed = 0;
    m_frame.SetAccessibleElements(OBJID_TITLEBAR, [&pressed] {
        return std::vector<AccessibleElement>{{"关闭", RECT{0, 0, 10, 10}, [&pressed] { ++pressed; }}};
    });
    ComRef<IAccessible> button, caption;
    ASSERT_EQ(S_OK, ObjectOf(m_button, OBJID_CLIENT, button));
    ASSERT_EQ(S_OK, ObjectOf(m_frame, OBJID_TITLEBAR, caption));

    ::DestroyWindow(m_hFrame);
    m_hFrame = nullptr;

    BSTR name = nullptr;
    EXPECT_TRUE(FAILED(button->get_accName(Child(CHILDID_SELF), &name)));
    EXPECT_EQ(nullptr, name);
    LONG x, y, cx, cy;
    EXPECT_TRUE(FAILED(button->accLocation(&x, &y, &cx, &cy, Child(CHILDID_SELF))));
    LONG count = -1;
    EXPECT_TRUE(FAILED(caption->get_accChildCount(&count)));
    EXPECT_TRUE(FAILED(caption->accDoDefaultAction(Child(1))));
    EXPECT_EQ(0, pressed);
}

TEST_F(AccessibleFixture, CaptionButtonsAreElementsOfTheTitlebar)
{
    bool maximized = false;
    int calls = 0;
    int pressed[3] = {};
    // Three buttons at the right end of the frame's top edge, as the skin paints them.
    m_frame.SetAccessibleElements(OBJID_TITLEBAR, [&] {
        ++calls;
        RECT frame;
        ::GetWindowRect(m_hFrame, &frame);
        std::vector<AccessibleElement> buttons;
        const char* names[3] = {"最小化", maximized ? "还原" : "最大化", "关闭"};
        for (int i = 0; i < 3; ++i) {
            const LONG right = frame.right - 4 - (2 - i) * 30;
            buttons.push_back({names[i], RECT{right - 28, frame.top + 4, right, frame.top + 24},
                               [&pressed, i] { ++pressed[i]; }});
        }
        return buttons;
    });

    ComRef<IAccessible> caption;
    ASSERT_EQ(S_OK, ObjectOf(m_frame, OBJID_TITLEBAR, caption));
    EXPECT_EQ(ROLE_SYSTEM_TITLEBAR, RoleOf(caption.p));
    EXPECT_EQ(CString("Kelvaro 清理"), NameOf(caption.p));
    LONG count = 0;
    ASSERT_EQ(S_OK, caption->get_accChildCount(&count));
    ASSERT_EQ(3, count);

    // Window at (50,60)-(450,360): the buttons end 4 px from the right, one every 30 px.
    const RECT expected[3] = {{358, 64, 386, 84}, {388, 64, 416, 84}, {418, 64, 446, 84}};
    const char* names[3] = {"最小化", "最大化", "关闭"};
    for (LONG id = 1; id <= 3; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(CString(names[id - 1]), NameOf(caption.p, id));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, RoleOf(caption.p, id));
        EXPECT_TRUE(SameRect(expected[id - 1], LocationOf(caption.p, id)));
        IDispatch* object = reinterpret_cast<IDispatch*>(1);
        EXPECT_EQ(S_FALSE, caption->get_accChild(Child(id), &object)) << "a simple element, no object";
        EXPECT_EQ(nullptr, object);
        BSTR action = nullptr;
        ASSERT_EQ(S_OK, caption->get_accDefaultAction(Child(id), &action));
        EXPECT_EQ(CString("按下"), AfxFromWide(action, static_cast<int>(::SysStringLen(action))));
        ::SysFreeString(action);
    }
    BSTR none = nullptr;
    EXPECT_TRUE(FAILED(caption->get_accName(Child(4), &none))) << "there is no fourth button";

    // Asked again at each call: the same object reads the new name after maximizing.
    const int callsBefore = calls;
    maximized = true;
    EXPECT_EQ(CString("还原"), NameOf(caption.p, 2));
    EXPECT_GT(calls, callsBefore);

    EXPECT_EQ(S_OK, caption->accDoDefaultAction(Child(3)));
    EXPECT_EQ(0, pressed[0]);
    EXPECT_EQ(0, pressed[1]);
    EXPECT_EQ(1, pressed[2]);

    // Pointing and moving between them.
    VARIANT at;
    ASSERT_EQ(S_OK, caption->accHitTest(400, 70, &at));
    EXPECT_EQ(VT_I4, at.vt);
    EXPECT_EQ(2, at.lVal);
    EXPECT_EQ(S_FALSE, caption->accHitTest(100, 200, &at));
    EXPECT_EQ(VT_EMPTY, at.vt);
    ASSERT_EQ(S_OK, caption->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &at));
    EXPECT_EQ(1, at.lVal);
    ASSERT_EQ(S_OK, caption->accNavigate(NAVDIR_NEXT, Child(1), &at));
    EXPECT_EQ(2, at.lVal);
    ASSERT_EQ(S_OK, caption->accNavigate(NAVDIR_PREVIOUS, Child(3), &at));
    EXPECT_EQ(2, at.lVal);
    EXPECT_EQ(S_FALSE, caption->accNavigate(NAVDIR_NEXT, Child(3), &at)) << "nothing after the last";
    EXPECT_EQ(S_FALSE, caption->accNavigate(NAVDIR_PREVIOUS, Child(1), &at));

    // Up from the titlebar is the frame window, as readers walk the tree.
    ComRef<IDispatch> parentDispatch;
    ASSERT_EQ(S_OK, caption->get_accParent(&parentDispatch.p));
    ComRef<IAccessible> parent;
    ASSERT_EQ(S_OK, parentDispatch->QueryInterface(AfxIID_IAccessible, parent.out()));
    // (Wine's object for the window answers neither role nor children: E_NOTIMPL.)
    HWND hFound = nullptr;
    ASSERT_EQ(S_OK, ::WindowFromAccessibleObject(parent.p, &hFound));
    EXPECT_EQ(m_hFrame, hFound);
    hFound = nullptr;
    ASSERT_EQ(S_OK, ::WindowFromAccessibleObject(caption.p, &hFound));
    EXPECT_EQ(m_hFrame, hFound);
}

}  // namespace
