// The program's text: UTF-8 inside, UTF-16 at the system, whatever the system's code page.
#include <gtest/gtest.h>

#include "framework/CString.h"

namespace {

// "乗" is 81 5C in code page 936, a trail byte equal to the backslash; in UTF-8 it has none.
const char kJou[] = "乗";

TEST(CString, NamesInEveryScriptCrossToUtf16AndBackExactly)
{
    const wchar_t* names[] = {L"C:\\d\\乗.tmp", L"日本語のファイル.tmp", L"한국어.bak", L"Привет.old",
                              L"αβγ.tmp", L"\U0001F600 emoji.tmp", L"trailing.", L"a\u00e9\u20ac.gid"};
    for (const wchar_t* name : names) {
        bool exact = false;
        const CString utf8 = AfxFromWide(name, static_cast<int>(wcslen(name)), &exact);
        EXPECT_TRUE(exact);
        EXPECT_EQ(std::wstring(name), AfxToWide(utf8, true));
    }
    EXPECT_EQ(std::wstring(L"乗"), AfxToWide(kJou));
}

TEST(CString, AnUnpairedSurrogateHasNoExactForm)
{
    // Such a name exists on NTFS; converted as well as it goes it names another file.
    const wchar_t lone[] = {L'a', 0xD800, L'.', L't', L'm', L'p'};
    bool exact = true;
    const CString utf8 = AfxFromWide(lone, 6, &exact);
    EXPECT_FALSE(exact);
    EXPECT_NE(std::wstring(lone, 6), AfxToWide(utf8));
    // Bytes that are no UTF-8 give nothing when asked strictly.
    EXPECT_EQ(std::wstring(), AfxToWide(CString("a\xFF\xFE" "b"), true));
}

TEST(CString, SeparatorsAndDotsAreFoundOnlyWhereTheyAre)
{
    CString path = CString("C:\\d\\") + kJou + ".tmp";
    EXPECT_EQ(4, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(-1, path.Find('\\', 5));
    EXPECT_EQ(CString(kJou) + ".tmp", path.Mid(path.ReverseFind('\\') + 1));
    CString twice = CString(kJou) + kJou + "\\x";
    EXPECT_EQ(6, twice.ReverseFind('\\'));
    EXPECT_EQ(6, twice.Find("\\x"));
}

TEST(CString, DotSearchesFindTheLastRealDot)
{
    CString name = CString("b.old") + kJou + ".tmp";
    const int dot = name.ReverseFind('.');
    EXPECT_EQ("tmp", name.Mid(dot + 1));
    EXPECT_EQ(-1, CString("tmp").ReverseFind('.'));
}

TEST(CString, CopiesAreIndependentAndComparisonIsByBytes)
{
    CString a("*.tmp");
    CString b = a;
    b += "x";
    EXPECT_EQ("*.tmp", a);
    EXPECT_EQ("*.tmpx", b);
    EXPECT_NE(CString("TMP"), CString("tmp"));
    EXPECT_EQ("mp", a.Right(2));
    EXPECT_EQ("tmp", a.Mid(2));
    EXPECT_EQ("", a.Mid(9));
    CString f;
    f.Format("%d|%s", 12, "KB");
    EXPECT_EQ("12|KB", f);
}

}  // namespace
