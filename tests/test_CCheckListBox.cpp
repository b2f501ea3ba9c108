// The check list on a real sorted, owner-drawn list box: states follow their items through
// sorted insertion; a click on the box and the space bar toggle, a click on the text does not.
#include <gtest/gtest.h>

#include "framework/CCheckListBox.h"

namespace {

class CheckListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hParent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200,
                                      nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_hParent);
        ASSERT_TRUE(m_parent.SubclassWindow(m_hParent));
        HWND h = ::CreateWindowExW(0, L"LISTBOX", L"",
                                   WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY | LBS_SORT |
                                       LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT,
                                   0, 0, 180, 180, m_hParent, reinterpret_cast<HMENU>(1008), nullptr, nullptr);
        ASSERT_NE(nullptr, h);
        ASSERT_TRUE(m_list.SubclassWindow(h));
    }
    void TearDown() override { ::DestroyWindow(m_hParent); }

    void ClickAt(int x, int y)
    {
        const LPARAM pt = MAKELPARAM(x, y);
        ::SendMessageA(m_list.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, pt);
        ::SendMessageA(m_list.m_hWnd, WM_LBUTTONUP, 0, pt);
    }
    RECT ItemRect(int index)
    {
        RECT rc = {};
        m_list.GetItemRect(index, &rc);
        return rc;
    }
    int IndexOf(const char* text)
    {
        return static_cast<int>(::SendMessageW(m_list.m_hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(AfxToWide(text).c_str())));
    }

    HWND m_hParent = nullptr;
    CWnd m_parent;
    CCheckListBox m_list;
};

TEST_F(CheckListFixture, StateStaysWithItsItemThroughSortedInsertion)
{
    m_list.AddString("*.tmp");
    m_list.SetCheck(0, 1);
    m_list.AddString("*.old");  // sorts before "*.tmp"
    m_list.AddString("*.gid");
    m_list.SetCheck(IndexOf("*.gid"), 2);

    EXPECT_EQ(0, IndexOf("*.gid"));
    EXPECT_EQ(2, IndexOf("*.tmp"));
    EXPECT_EQ(1, m_list.GetCheck(IndexOf("*.tmp")));
    EXPECT_EQ(0, m_list.GetCheck(IndexOf("*.old")));
    EXPECT_EQ(2, m_list.GetCheck(IndexOf("*.gid")));
    EXPECT_EQ(-1, m_list.GetCheck(7));
}

TEST_F(CheckListFixture, ClickOnTheBoxTogglesAndOnTheTextDoesNot)
{
    m_list.AddString("*.old");
    m_list.AddString("*.tmp");
    RECT rc = ItemRect(1);
    const int midY = (rc.top + rc.bottom) / 2;

    ClickAt(rc.left + 6, midY);
    EXPECT_EQ(1, m_list.GetCheck(1));
    ClickAt(rc.left + 6, midY);
    EXPECT_EQ(0, m_list.GetCheck(1));
    ClickAt(rc.left + CCheckListBox::kCheckColumn + 20, midY);
    EXPECT_EQ(0, m_list.GetCheck(1)) << "the text only selects";
    EXPECT_EQ(1, m_list.GetCurSel());

    m_list.SetCheck(0, 2);
    ClickAt(ItemRect(0).left + 6, (ItemRect(0).top + ItemRect(0).bottom) / 2);
    EXPECT_EQ(1, m_list.GetCheck(0)) << "an indeterminate box becomes ticked";
}

TEST_F(CheckListFixture, SpaceBarTogglesTheItemWithTheCaret)
{
    m_list.AddString("*.old");
    m_list.AddString("*.tmp");
    ::SendMessageA(m_list.m_hWnd, LB_SETCURSEL, 1, 0);
    ::SendMessageA(m_list.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(1, m_list.GetCheck(1));
    EXPECT_EQ(0, m_list.GetCheck(0));
    ::SendMessageA(m_list.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(0, m_list.GetCheck(1));
}

TEST_F(CheckListFixture, ItemsAreTallEnoughForTheBox)
{
    m_list.AddString("*.tmp");
    RECT rc = ItemRect(0);
    EXPECT_GE(rc.bottom - rc.top, 15);
}

}  // namespace
