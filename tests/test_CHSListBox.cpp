// The horizontal extent of the found-files list: the widest item + 5 in the list's own font,
// and after any change exactly what a full re-measure gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "TestText.h"
#include "controls/CHSListBox.h"

namespace {

class ExtentFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        HWND h = ::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_VISIBLE | WS_HSCROLL | LBS_SORT | LBS_HASSTRINGS,
                                   0, 0, 200, 150, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, h);
        // A font wider than the system's, so that measuring in the wrong one shows.
        m_font.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Arial");
        ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(m_font)), FALSE);
        ASSERT_TRUE(m_list.SubclassWindow(h));
    }
    void TearDown() override { ::DestroyWindow(m_list.m_hWnd); }

    int Width(const char* text)
    {
        HDC dc = ::GetDC(m_list.m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, m_font.GetSafeHandle());
        SIZE size = {};
        const std::wstring wide = Wide(text);
        ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
        ::SelectObject(dc, old);
        ::ReleaseDC(m_list.m_hWnd, dc);
        return size.cx;
    }
    int Extent() { return m_list.GetHorizontalExtent(); }
    // A list that sorts its texts itself, one at a time, to compare with.
    static HWND SortedReference()
    {
        return ::CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_SORT | LBS_HASSTRINGS, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    // The list holds what reference holds, item by item from first on, every step-th.
    void ExpectItemsOf(HWND reference, int first = 0, int step = 1)
    {
        const int n = m_list.GetCount();
        ASSERT_EQ(::SendMessageW(reference, LB_GETCOUNT, 0, 0), n) << "nothing is held back";
        for (int i = first; i < n; i += step) {
            wchar_t expected[256] = {};
            ::SendMessageW(reference, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(expected));
            CString actual;
            m_list.GetText(i, actual);
            ASSERT_EQ(Narrow(expected), actual.GetString()) << "item " << i;
        }
    }

    CFont m_font;
    CHSListBox m_list;
};

TEST_F(ExtentFixture, WidestPlusFiveInTheListsFont)
{
    m_list.AddStrings({"T:\\a\\medium-name.tmp"});
    EXPECT_EQ(Width("T:\\a\\medium-name.tmp") + 5, Extent());
    m_list.AddStrings({"T:\\b.tmp"});
    EXPECT_EQ(Width("T:\\a\\medium-name.tmp") + 5, Extent()) << "a shorter item changes nothing";
    m_list.AddStrings({"T:\\a\\a-much-longer-folder-name\\and-file.old", "T:\\c.gid"});
    EXPECT_EQ(Width("T:\\a\\a-much-longer-folder-name\\and-file.old") + 5, Extent());
}

TEST_F(ExtentFixture, ResetGivesZero)
{
    m_list.AddStrings({"T:\\a.tmp"});
    m_list.ResetContent();
    m_list.UpdateHorizontalExtent();
    EXPECT_EQ(0, Extent());
}

TEST_F(ExtentFixture, AfterADeletionAndANewItemItEqualsAFullMeasure)
{
    m_list.AddStrings({"T:\\the-very-longest-path-of-them-all.tmp", "T:\\mid-size.tmp", "T:\\s.tmp"});
    const int index = static_cast<int>(::SendMessageW(m_list.m_hWnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(L"T:\\the-very-longest-path-of-them-all.tmp")));
    m_list.DeleteString(static_cast<UINT>(index));
    EXPECT_EQ(Width("T:\\the-very-longest-path-of-them-all.tmp") + 5, Extent()) << "a deletion alone does not shrink it";
    m_list.AddStrings({"T:\\t.tmp"});
    EXPECT_EQ(Width("T:\\mid-size.tmp") + 5, Extent());
    // Items that others added directly are measured too.
    m_list.AddString("T:\\added-without-the-batch-call.tmp");
    m_list.UpdateHorizontalExtent();
    EXPECT_EQ(Width("T:\\added-without-the-batch-call.tmp") + 5, Extent());
}

TEST_F(ExtentFixture, BatchesLandWhereTheListWouldSortThem)
{
    // A second list sorts the same texts itself, one at a time.
    HWND reference = SortedReference();
    const char* parts[] = {"dir", "Dir", "a-b", "a_b", "a.b", "中文", "临时", "~x", "X", "x", "'q", "-", "0", "9", "a b", "ab"};
    std::vector<CString> batch;
    unsigned seed = 12345;
    auto next = [&] { seed = seed * 1103515245u + 12345u; return (seed >> 16) & 0x7FFF; };
    for (int i = 0; i < 400; ++i) {
        CString path("T:\\");
        for (unsigned k = 0, n = 1 + next() % 4; k < n; ++k) {
            path += parts[next() % 16];
            if (next() % 3 == 0)
                path += "\\";
        }
        path += next() % 2 ? ".tmp" : ".old";
        batch.push_back(path);
        ::SendMessageW(reference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(path.GetString()).c_str()));
        if (batch.size() == 37 || i == 399) {
            m_list.AddStrings(batch);
            batch.clear();
        }
        if (i == 200) {
            m_list.AddStrings(batch);  // the same order of insertions in both lists
            batch.clear();
            m_list.AddString("T:\\zz-added-by-someone-else.tmp");  // the keys must follow this too
            ::SendMessageW(reference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"T:\\zz-added-by-someone-else.tmp"));
            m_list.DeleteString(3);
            ::SendMessageW(reference, LB_DELETESTRING, 3, 0);
        }
    }
    ExpectItemsOf(reference);
    ::DestroyWindow(reference);
}

TEST_F(ExtentFixture, ABigListTakesItemsNearItsEndWhereTheListWouldPutThem)
{
    // Past the first few thousand items only the last ones keep keys: items that land among
    // them, texts equal but for case included, go exactly where the list's own search puts them.
    HWND reference = SortedReference();
    auto both = [&](std::vector<CString>& batch, const std::string& path) {
        batch.push_back(path.c_str());
        ::SendMessageW(reference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
    };
    std::vector<CString> batch;
    for (int i = 0; i < 3000; ++i)
        both(batch, "T:\\a\\f" + std::to_string(10000 + i) + ".tmp");
    m_list.AddStrings(batch);
    // Each window of eight comes in reverse, and each name once more in capitals.
    for (int w = 0; w < 40; ++w) {
        batch.clear();
        for (int k = 7; k >= 0; --k) {
            const std::string name = "T:\\b\\g" + std::to_string(100 + w * 8 + k);
            both(batch, name + ".tmp");
            if (k % 3 == 0)
                both(batch, name + ".TMP");
        }
        m_list.AddStrings(batch);
    }
    ExpectItemsOf(reference, 2900);
    ::DestroyWindow(reference);
}

TEST_F(ExtentFixture, ABigListFilledBackwardsEndsSortedAndWhole)
{
    // Batches that each belong before everything shown: the list holds them back and merges.
    HWND reference = SortedReference();
    const std::string longest = "T:\\d0000\\" + std::string(60, 'w') + ".tmp";
    for (int d = 59; d >= 0; --d) {
        std::vector<CString> batch;
        for (int f = 0; f < 100; ++f) {
            char path[64];
            std::snprintf(path, sizeof(path), "T:\\d%04d\\f%03d.tmp", d, f);
            batch.push_back(path);
            ::SendMessageW(reference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(path).c_str()));
        }
        if (d == 0) {
            batch.push_back(longest.c_str());
            ::SendMessageW(reference, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(longest).c_str()));
        }
        m_list.AddStrings(batch);
    }
    m_list.Flush();
    ASSERT_EQ(6001, m_list.GetCount());
    ExpectItemsOf(reference, 0, 7);
    EXPECT_EQ(Width(longest.c_str()) + 5, Extent()) << "merged items are measured too";
    ::DestroyWindow(reference);
}

}  // namespace
