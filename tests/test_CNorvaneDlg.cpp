// The main dialog created for real and met as a user meets it after start-up.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ModalDialog.h"
#include "TestText.h"
#include "ui/CNorvaneDlg.h"

namespace {

const COLORREF kBlue = RGB(14, 94, 157);
const COLORREF kWhite = RGB(255, 255, 255);

class MainDialog : public DialogTest<CNorvaneDlg> {
protected:
    // Shows a box through postedMessage, checks that it is the About box and closes it with Enter.
    void ExpectAboutBoxFrom(UINT msg, WPARAM wParam)
    {
        ::PostMessageA(m_hWnd, msg, wParam, 0);
        HWND about = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (about = m_run->FindOwnedPopup()) != nullptr; }))
            << "no About box for message " << msg << " / " << wParam;
        EXPECT_EQ("Kelvaro", WindowText(about));
        EXPECT_FALSE(::IsWindowEnabled(m_hWnd)) << "the About box is modal";
        HWND ok = ::GetDlgItem(about, IDOK);
        ASSERT_NE(nullptr, ok);
        EXPECT_EQ("确定", WindowText(ok));
        m_run->PressKey(VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(about); })) << "Enter closes the About box";
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(m_hWnd) != FALSE; }));
    }
};

TEST_F(MainDialog, AllSixPatternsAreListedAndTicked)
{
    HWND types = Item(IDC_LIST_TYPES);
    ASSERT_EQ(6, ::SendMessageA(types, LB_GETCOUNT, 0, 0));
    std::set<std::string> shown;
    for (int i = 0; i < 6; ++i) {
        wchar_t text[32] = {};
        ::SendMessageW(types, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        shown.insert(Narrow(text));
        EXPECT_EQ(1, ::SendMessageA(Item(IDC_LIST_TYPES), LB_GETITEMDATA, i, 0)) << "entry " << i << " " << text << " ticked";
    }
    const std::set<std::string> patterns = {"*.tmp", "*.??~", "*.old", "*.gid", "*._mp", "*.syd"};
    EXPECT_EQ(patterns, shown);
}

TEST_F(MainDialog, DriveListHoldsEveryDriveSortedWithTheFirstShown)
{
    wchar_t buf[200] = {};
    ::GetLogicalDriveStringsW(200, buf);
    std::vector<std::string> roots;
    for (const wchar_t* p = buf; *p; p += wcslen(p) + 1)
        roots.push_back(Narrow(p));
    ASSERT_FALSE(roots.empty());
    std::sort(roots.begin(), roots.end());

    HWND combo = Item(IDC_COMBO_DRIVE);
    ASSERT_EQ(static_cast<LRESULT>(roots.size()), ::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < roots.size(); ++i) {
        wchar_t text[16] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(roots[i], Narrow(text));
    }
    EXPECT_EQ(0, ::SendMessageA(combo, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(roots[0], WindowText(combo));
}

TEST_F(MainDialog, ControlsStandAsAfterStartUp)
{
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_BTN_START)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BTN_STOP)));
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_BTN_PAUSE)));
    EXPECT_EQ("暂停", WindowText(Item(IDC_BTN_PAUSE)));
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_BTN_SCAN_NOW)));
    EXPECT_EQ("立即扫描", WindowText(Item(IDC_BTN_SCAN_NOW)));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_LIST_FILES)));
    EXPECT_EQ(0, ::SendMessageA(Item(IDC_LIST_FILES), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_FALSE(::IsWindowVisible(Item(IDC_PROGRESS)));
    for (int id : {IDC_BTN_DELETE, IDC_BTN_DELETE_ALL, IDC_BTN_SELECT_ALL, IDC_BTN_SELECT_NONE, IDC_LIST_TYPES, IDC_COMBO_DRIVE})
        EXPECT_TRUE(::IsWindowEnabled(Item(id)) && ::IsWindowVisible(Item(id))) << id;
    EXPECT_EQ("Kelvaro", WindowText(m_hWnd));
}

TEST_F(MainDialog, StatusLineInBold14UnitSongtiAndTheDriveLabelInTheDialogFont)
{
    EXPECT_EQ(" 全面清理电脑中垃圾文件和临时文件，节省磁盘空间，让系统运行更加有效率！",
              WindowText(Item(IDC_STATIC_STATUS)));

    HFONT status = reinterpret_cast<HFONT>(::SendMessageA(Item(IDC_STATIC_STATUS), WM_GETFONT, 0, 0));
    ASSERT_NE(nullptr, status);
    LOGFONTW lf = {};
    ASSERT_TRUE(::GetObjectW(status, sizeof(lf), &lf));
    EXPECT_EQ(14, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_EQ(0, lf.lfCharSet);
    EXPECT_EQ(FF_SWISS, lf.lfPitchAndFamily);
    EXPECT_STREQ(L"宋体", lf.lfFaceName);

    // The drive label has the template's font, at the window's scale.
    LOGFONTW dialog = {}, label = {};
    ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)), sizeof(dialog), &dialog));
    ASSERT_TRUE(::GetObjectW(reinterpret_cast<HFONT>(::SendMessageA(Item(IDC_STATIC_DRIVE), WM_GETFONT, 0, 0)), sizeof(label), &label));
    EXPECT_STREQ(dialog.lfFaceName, label.lfFaceName);
    EXPECT_EQ(-12, label.lfHeight) << "9 points at 96 dpi";
}

TEST_F(MainDialog, OnlyTheTwoStaticTextsAreWhiteOnBlue)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (int id : {IDC_STATIC_DRIVE, IDC_STATIC_STATUS}) {
        ::SetTextColor(dc, RGB(1, 2, 3));
        HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(Item(id))));
        LOGBRUSH lb = {};
        ASSERT_TRUE(::GetObjectA(brush, sizeof(lb), &lb)) << id;
        EXPECT_EQ(kBlue, lb.lbColor) << id;
        EXPECT_EQ(kWhite, ::GetTextColor(dc)) << id;
        EXPECT_EQ(kBlue, ::GetBkColor(dc)) << id;
    }
    for (int id : {IDC_LIST_TYPES, IDC_LIST_FILES}) {
        ::SetTextColor(dc, RGB(1, 2, 3));
        HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessageA(m_hWnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(Item(id))));
        LOGBRUSH lb = {};
        if (brush && ::GetObjectA(brush, sizeof(lb), &lb)) {
            EXPECT_NE(kBlue, lb.lbColor) << id;
        }
        EXPECT_NE(kWhite, ::GetTextColor(dc)) << id;
    }
    ::DeleteDC(dc);

    // The client area itself is painted blue.
    EXPECT_TRUE(WaitFor([&] {
        HDC wdc = ::GetDC(m_hWnd);
        const COLORREF c = ::GetPixel(wdc, 3, 3);
        ::ReleaseDC(m_hWnd, wdc);
        return c == kBlue;
    }, 3000));
}

// The main window has no WS_SYSMENU; Wine then gives it no system menu at all, so this
// dialog lends it one before the initialisation runs, and the initialisation's own code is
// what fills it.
class CDialogWithSystemMenu : public CNorvaneDlg {
protected:
    BOOL OnInitDialog() override
    {
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, ::GetWindowLongPtrA(m_hWnd, GWL_STYLE) | WS_SYSMENU);
        return CNorvaneDlg::OnInitDialog();
    }
};

TEST(MainDialogMenu, SystemMenuEndsWithTheAboutItem)
{
    CDialogWithSystemMenu dlg;
    ModalDialog run(dlg);
    HWND hWnd = run.Wait();
    ASSERT_NE(nullptr, hWnd);
    HMENU sys = ::GetSystemMenu(hWnd, FALSE);
    ASSERT_NE(nullptr, sys);
    const int n = ::GetMenuItemCount(sys);
    ASSERT_GE(n, 2);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(sys, n - 1));
    wchar_t text[64] = {};
    ::GetMenuStringW(sys, static_cast<UINT>(n - 1), text, 64, MF_BYPOSITION);
    EXPECT_EQ("关于 Kelvaro(&A)...", Narrow(text));
    EXPECT_TRUE(::GetMenuState(sys, static_cast<UINT>(n - 2), MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MainDialog, AboutBoxOpensFromTheSystemMenuCommandsAndThePopupCommand)
{
    ExpectAboutBoxFrom(WM_SYSCOMMAND, 0x0010);
    ExpectAboutBoxFrom(WM_SYSCOMMAND, 0x001F);
    ExpectAboutBoxFrom(WM_COMMAND, ID_MENU_ABOUT);

    // 0x0020 is outside 0x0010..0x001F: it returns without any box.
    DWORD_PTR result = 0;
    ASSERT_NE(0, ::SendMessageTimeoutA(m_hWnd, WM_SYSCOMMAND, 0x0020, 0, SMTO_NORMAL, 3000, &result))
        << "the command did not return: something modal came up";
    EXPECT_EQ(nullptr, m_run->FindOwnedPopup());
}

TEST_F(MainDialog, EscEndsTheDialog)
{
    m_run->PressKey(VK_ESCAPE);
    ASSERT_TRUE(m_run->WaitDone());
    EXPECT_EQ(IDCANCEL, m_run->Result());
    EXPECT_EQ(nullptr, m_dlg.m_hWnd) << "the object is unbound from the destroyed window";
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, IDC_LIST_TYPES)));
}

}  // namespace
