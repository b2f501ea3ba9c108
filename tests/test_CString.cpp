// Searches that must respect the double-byte characters of code page 936.
#include <gtest/gtest.h>

#include "framework/CString.h"

namespace {

// "乗" is 81 5C in code page 936: its trail byte is the backslash.
const char kJou[] = "\x81\x5C";

TEST(CString, CodePageIsTheOneTheProgramTargets)
{
    ASSERT_EQ(936u, GetACP()) << "the tests run under code page 936";
    EXPECT_TRUE(AfxIsLeadByte(0x81));
    EXPECT_FALSE(AfxIsLeadByte('\\'));
    EXPECT_FALSE(AfxIsLeadByte('a'));
}

TEST(CString, BackslashInsideADoubleByteCharacterIsNotASeparator)
{
    CString path = CString("C:\\d\\") + kJou + ".tmp";  // C:\d\乗.tmp
    EXPECT_EQ(4, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(-1, path.Find('\\', 5));
    EXPECT_EQ(CString(kJou) + ".tmp", path.Mid(path.ReverseFind('\\') + 1));

    CString onlyTrail = CString("ab") + kJou;
    EXPECT_EQ(-1, onlyTrail.ReverseFind('\\'));
    EXPECT_EQ(-1, onlyTrail.Find('\\'));

    // Two characters in a row whose trail bytes are both 0x5C.
    CString twice = CString(kJou) + kJou + "\\x";
    EXPECT_EQ(4, twice.ReverseFind('\\'));
    EXPECT_EQ(4, twice.Find("\\x"));
}

TEST(CString, LoneLeadByteAtTheEndStandsAlone)
{
    CString s("x\\\x81");
    EXPECT_EQ(1, s.ReverseFind('\\'));
    EXPECT_EQ(2, s.ReverseFind('\x81'));
    EXPECT_EQ(2, s.Find('\x81'));

    // A lead byte whose partner is a real backslash swallows it, as the system would.
    CString swallowed("a\x81\\");
    EXPECT_EQ(-1, swallowed.ReverseFind('\\'));
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
