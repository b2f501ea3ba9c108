// The window from the keyboard alone, as a screen reader reads it, and in high contrast: the
// real dialog, real key presses, the program's own answers to a reader.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <map>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "Pixels.h"
#include "ScanTree.h"
#include "TestDialog.h"

namespace {

const COLORREF kBlue = RGB(14, 94, 157);

void Keys(std::initializer_list<std::pair<WORD, bool>> strokes)
{
    std::vector<INPUT> in;
    for (const auto& s : strokes) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = s.first;
        i.ki.dwFlags = s.second ? 0 : KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}
void Press(WORD vk) { Keys({{vk, true}, {vk, false}}); }

std::wstring Wide(const char* utf8) { return AfxToWide(CString(utf8)); }

// The window whose name a reader was last told has changed.
HWND s_named = nullptr;
void CALLBACK NameChanged(HWINEVENTHOOK, DWORD, HWND hWnd, LONG object, LONG, DWORD, DWORD)
{
    if (object == OBJID_CLIENT)
        s_named = hWnd;
}

class KeyboardAndReaders : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        ::CoInitialize(nullptr);
        // The pointer away from the window: no button shows its hover face.
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
        ::SetForegroundWindow(m_hWnd);
        ASSERT_TRUE(WaitFor([&] { return ::GetForegroundWindow() == m_hWnd; }));
    }
    void TearDown() override
    {
        MainDialogTest::TearDown();
        ::CoUninitialize();
    }
    // The control with the keyboard focus (the drive box for its edit field).
    int Focused()
    {
        m_dlg.OnWindowThread([] {});
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hWnd, nullptr), &info);
        HWND h = info.hwndFocus;
        while (h && ::GetParent(h) != m_hWnd)
            h = ::GetParent(h);
        return h ? ::GetDlgCtrlID(h) : 0;
    }
    std::vector<COLORREF> Face(int id)
    {
        m_dlg.OnWindowThread([] {});
        RECT rc;
        ::GetWindowRect(Item(id), &rc);
        return ScreenPixels(rc).pixels;
    }
    IAccessible* Reader(HWND h, LONG object)
    {
        IAccessible* acc = nullptr;
        EXPECT_EQ(S_OK, ::AccessibleObjectFromWindow(h, static_cast<DWORD>(object), AfxIID_IAccessible, reinterpret_cast<void**>(&acc)));
        return acc;
    }
    std::wstring Name(IAccessible* acc, LONG child = CHILDID_SELF)
    {
        VARIANT v;
        v.vt = VT_I4;
        v.lVal = child;
        BSTR name = nullptr;
        if (!acc || acc->get_accName(v, &name) != S_OK || !name)
            return L"(none)";
        std::wstring s(name, ::SysStringLen(name));
        ::SysFreeString(name);
        return s;
    }
    LONG Role(IAccessible* acc, LONG child = CHILDID_SELF)
    {
        VARIANT v, role;
        v.vt = VT_I4;
        v.lVal = child;
        ::VariantInit(&role);
        return acc && acc->get_accRole(v, &role) == S_OK && role.vt == VT_I4 ? role.lVal : -1;
    }
};

TEST_F(KeyboardAndReaders, TabFollowsReadingOrderAndTheFocusedButtonShowsIt)
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_COMBO_DRIVE)), TRUE);
    ASSERT_EQ(IDC_COMBO_DRIVE, Focused());
    // Pause and Stop are disabled without a run, and Tab passes them by.
    const int order[] = {IDC_LIST_TYPES, IDC_BTN_SCAN_NOW, IDC_BTN_DELETE, IDC_BTN_DELETE_ALL, IDC_BTN_START,
                         IDC_BTN_SELECT_ALL, IDC_BTN_SELECT_NONE, IDC_COMBO_DRIVE};
    // Each face as it stands without the focus, once the window has painted it all and the
    // screen shows it.
    m_dlg.OnWindowThread([&] { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); });
    std::map<int, std::vector<COLORREF>> unfocused;
    for (int id : order) {
        ASSERT_TRUE(WaitFor([&] {
            const std::vector<COLORREF> before = Face(id);
            ::Sleep(50);
            unfocused[id] = Face(id);
            return unfocused[id] == before;
        }, 5000));
    }
    auto marked = [&](int id) {
        const std::vector<COLORREF> now = Face(id);
        size_t differ = 0;
        for (size_t p = 0; p < now.size() && p < unfocused[id].size(); ++p)
            differ += now[p] != unfocused[id][p];
        return differ > 40;
    };
    // While the system hides focus marks (until the keyboard is used), a focused button shows
    // none; told to show them, it does.
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BTN_START)), TRUE);
    ASSERT_EQ(IDC_BTN_START, Focused());
    ::SendMessageW(Item(IDC_BTN_START), WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(WaitFor([&] { return !marked(IDC_BTN_START); }, 3000));
    ::SendMessageW(Item(IDC_BTN_START), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    EXPECT_TRUE(WaitFor([&] { return marked(IDC_BTN_START); }, 3000));
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_COMBO_DRIVE)), TRUE);
    for (int id : order) {
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Focused() == id; })) << "Tab should reach " << id << ", is at " << Focused();
        // A focused button's face differs from its face without the focus.
        if (id != IDC_LIST_TYPES && id != IDC_COMBO_DRIVE) {
            EXPECT_TRUE(WaitFor([&] { return marked(id); }, 3000)) << "the focus mark of " << id;
        }
    }
}

TEST_F(KeyboardAndReaders, SpaceAndEnterPressTheFocusedButton)
{
    CScanTree tree("keys");  // were Enter to scan instead, it would scan a folder of the test's own
    m_dlg.OnWindowThread([&] { m_dlg.GetDlgItem(IDC_COMBO_DRIVE)->SetWindowText(tree.Path()); });
    HWND types = Item(IDC_LIST_TYPES);
    auto ticked = [&] {
        int n = 0;
        for (int i = 0, count = static_cast<int>(::SendMessageW(types, LB_GETCOUNT, 0, 0)); i < count; ++i)
            n += (::SendMessageW(types, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) & 3) == 1;
        return n;
    };
    ASSERT_GT(ticked(), 0);
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BTN_SELECT_NONE)), TRUE);
    Press(VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return ticked() == 0; })) << "Space presses Select none";
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BTN_SELECT_ALL)), TRUE);
    Press(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return ticked() == static_cast<int>(::SendMessageW(types, LB_GETCOUNT, 0, 0)); }))
        << "Enter presses Select all";
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BTN_STOP))) << "and does not scan";
    // The dialog made the button its default one by its style: it is still drawn by the skin.
    EXPECT_EQ(static_cast<LONG_PTR>(BS_OWNERDRAW), ::GetWindowLongPtrW(Item(IDC_BTN_SELECT_ALL), GWL_STYLE) & 0x0F);

    // Start pressed with Space disables itself: the focus goes on to a control that takes
    // keys, and Esc asks about the run.
    m_dlg.Hold();
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_BTN_START)), TRUE);
    Press(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(Item(IDC_BTN_STOP)) != FALSE; }));
    const int focused = Focused();
    EXPECT_TRUE(focused && ::IsWindowEnabled(Item(focused)) && ::IsWindowVisible(Item(focused))) << focused;
    Press(VK_ESCAPE);
    HWND box = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (box = m_run->FindOwnedPopup()) != nullptr; })) << "Esc asks";
    if (box) {
        ::PostMessageW(::GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
        WaitFor([&] { return !::IsWindow(box); });
    }
}

TEST_F(KeyboardAndReaders, AltSpaceOpensTheWindowMenuThatMinimizesMaximizesAndCloses)
{
    Keys({{VK_MENU, true}, {VK_SPACE, true}, {VK_SPACE, false}, {VK_MENU, false}});
    HWND popup = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (popup = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(popup); }))
        << "no window menu";
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    ASSERT_NE(nullptr, menu);
    const UINT commands[] = {SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE, IDM_RULES, IDM_ABOUTBOX};
    for (UINT command : commands) {
        const UINT state = ::GetMenuState(menu, command, MF_BYCOMMAND);
        EXPECT_NE(static_cast<UINT>(-1), state) << command;
        EXPECT_EQ(0u, state & (MF_GRAYED | MF_DISABLED)) << command;
    }
    // Esc closes the menu, and a second one leaves the menu mode the keyboard entered.
    const DWORD thread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
    auto inMenu = [&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        ::GetGUIThreadInfo(thread, &info);
        return (info.flags & GUI_INMENUMODE) != 0 || ::IsWindowVisible(popup);
    };
    for (int i = 0; i < 3 && inMenu(); ++i) {
        Press(VK_ESCAPE);
        WaitFor([&] { return !inMenu(); }, 2000);
    }
    ASSERT_FALSE(inMenu());

    // What the menu's items send: the window maximizes and lays out as the skin's button does,
    // and restores to exactly where it was.
    RECT before;
    ::GetWindowRect(Item(IDC_LIST_FILES), &before);
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(::IsZoomed(m_hWnd));
    RECT types, stop, selAll;
    ::GetWindowRect(Item(IDC_LIST_TYPES), &types);
    ::GetWindowRect(Item(IDC_BTN_STOP), &stop);
    ::GetWindowRect(Item(IDC_BTN_SELECT_ALL), &selAll);
    EXPECT_EQ(stop.right - selAll.left, types.right - types.left);
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT after;
    ::GetWindowRect(Item(IDC_LIST_FILES), &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(m_hWnd));
    ::ShowWindow(m_hWnd, SW_RESTORE);
}

TEST_F(KeyboardAndReaders, AReaderFindsEveryControlByItsNameTheCaptionButtonsAndTheStatusLine)
{
    const struct { int id; const char* name; LONG role; } controls[] = {
        {IDC_COMBO_DRIVE, "请选择磁盘", ROLE_SYSTEM_COMBOBOX},
        {IDC_LIST_TYPES, "文件类型", ROLE_SYSTEM_LIST},
        {IDC_LIST_FILES, "找到的垃圾文件", ROLE_SYSTEM_LIST},
        {IDC_BTN_SCAN_NOW, "立即扫描", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_DELETE, "删除", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_DELETE_ALL, "全部删除", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_START, "开始", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_SELECT_ALL, "全选", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_SELECT_NONE, "全不选", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_PAUSE, "暂停", ROLE_SYSTEM_PUSHBUTTON},
        {IDC_BTN_STOP, "停止", ROLE_SYSTEM_PUSHBUTTON},
    };
    for (const auto& c : controls) {
        IAccessible* acc = Reader(Item(c.id), OBJID_CLIENT);
        EXPECT_EQ(Wide(c.name), Name(acc)) << c.id;
        EXPECT_EQ(c.role, Role(acc)) << c.id;
        if (acc)
            acc->Release();
    }

    // The painted caption buttons are push buttons of the title bar, and they work.
    IAccessible* title = Reader(m_hWnd, OBJID_TITLEBAR);
    ASSERT_NE(nullptr, title);
    LONG count = 0;
    EXPECT_EQ(S_OK, title->get_accChildCount(&count));
    EXPECT_EQ(3, count);
    const char* names[] = {"最小化", "最大化", "关闭"};
    for (LONG child = 1; child <= 3; ++child) {
        EXPECT_EQ(Wide(names[child - 1]), Name(title, child));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, Role(title, child));
    }
    VARIANT maximize;
    maximize.vt = VT_I4;
    maximize.lVal = 2;
    EXPECT_EQ(S_OK, title->accDoDefaultAction(maximize));
    EXPECT_TRUE(WaitFor([&] { return ::IsZoomed(m_hWnd) != FALSE; }));
    EXPECT_EQ(Wide("还原"), Name(title, 2));
    EXPECT_EQ(S_OK, title->accDoDefaultAction(maximize));
    EXPECT_TRUE(WaitFor([&] { return !::IsZoomed(m_hWnd); }));
    // Minimized, the same button restores.
    ::SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_EQ(Wide("还原"), Name(title, 2));
    EXPECT_EQ(S_OK, title->accDoDefaultAction(maximize));
    EXPECT_TRUE(WaitFor([&] { return !::IsIconic(m_hWnd) && !::IsZoomed(m_hWnd); }));
    title->Release();

    // A new text on the status line is announced to whoever listens.
    s_named = nullptr;
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &NameChanged,
                                           ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(nullptr, hook);
    ::SendMessageW(Item(IDC_BTN_SELECT_NONE), BM_CLICK, 0, 0);
    ::SendMessageW(Item(IDC_BTN_START), BM_CLICK, 0, 0);  // nothing ticked: the status line says so
    EXPECT_TRUE(WaitFor([&] {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
        return s_named == Item(IDC_STATIC_STATUS);
    }, 5000));
    ::UnhookWinEvent(hook);
    IAccessible* status = Reader(Item(IDC_STATIC_STATUS), OBJID_CLIENT);
    EXPECT_EQ(Wide("请选择文件类型！"), Name(status));
    if (status)
        status->Release();
}

TEST_F(KeyboardAndReaders, HighContrastTakesTheSystemsColoursFrameAndPlainFaces)
{
    auto clientPixel = [&] {
        m_dlg.OnWindowThread([&] { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN); });
        POINT p = {300, 300};
        ::ClientToScreen(m_hWnd, &p);
        return ScreenPixels(RECT{p.x, p.y, p.x + 1, p.y + 1}).pixels[0];
    };
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    ASSERT_EQ(kBlue, clientPixel());
    const COLORREF skinTitle = ScreenPixels(RECT{rc.left + 300, rc.top + 2, rc.left + 301, rc.top + 3}).pixels[0];

    m_dlg.SetHighContrast(true);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), clientPixel());
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(IDC_STATIC_STATUS)));
    EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), ::GetTextColor(dc));
    ::DeleteDC(dc);
    // A plain face: no pixel of the skin's bitmap face, the system's face colour inside.
    RECT start;
    ::GetWindowRect(Item(IDC_BTN_START), &start);
    const ScreenPixels face(start);
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), face.At(start.left + 6, (start.top + start.bottom) / 2));
    // The system draws the frame, with its own caption buttons: none painted for a reader.
    EXPECT_NE(skinTitle, ScreenPixels(RECT{rc.left + 300, rc.top + 2, rc.left + 301, rc.top + 3}).pixels[0]);
    IAccessible* title = Reader(m_hWnd, OBJID_TITLEBAR);
    LONG count = -1;
    if (title) {
        title->get_accChildCount(&count);
        title->Release();
    }
    EXPECT_NE(3, count) << "the skin's buttons are not shown";

    m_dlg.SetHighContrast(false);
    EXPECT_EQ(kBlue, clientPixel());
    EXPECT_EQ(skinTitle, ScreenPixels(RECT{rc.left + 300, rc.top + 2, rc.left + 301, rc.top + 3}).pixels[0]);
}

}  // namespace
