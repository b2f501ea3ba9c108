// The pooled list: order across block boundaries, and release of every element.
#include <gtest/gtest.h>

#include "framework/CList.h"
#include "framework/CString.h"

namespace {

struct Counted {
    static int alive;
    int value;
    Counted(int v) : value(v) { ++alive; }
    Counted(const Counted& o) : value(o.value) { ++alive; }
    ~Counted() { --alive; }
};
int Counted::alive = 0;

TEST(CList, KeepsInsertionOrderAcrossBlocks)
{
    CList<CString, CString> list(10);
    for (int i = 0; i < 25; ++i) {
        CString s;
        s.Format("*.%d", i);
        list.AddTail(s);
    }
    ASSERT_EQ(25, list.GetCount());
    int expected = 0;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CString s;
        s.Format("*.%d", expected++);
        EXPECT_EQ(s, list.GetNext(pos));
    }
    EXPECT_EQ(25, expected);
}

TEST(CList, PositionsStayValidWhileTheListGrows)
{
    CList<int, int> list(3);
    POSITION first = list.AddTail(1);
    for (int i = 2; i <= 10; ++i)
        list.AddTail(i);
    POSITION pos = first;
    EXPECT_EQ(1, list.GetNext(pos));
    EXPECT_EQ(2, list.GetNext(pos));
}

TEST(CList, RemoveAllDestroysEveryElementAndTheListIsReusable)
{
    {
        CList<Counted, const Counted&> list(4);
        for (int i = 0; i < 9; ++i)
            list.AddTail(Counted(i));
        EXPECT_EQ(9, Counted::alive);
        list.RemoveAll();
        EXPECT_EQ(0, Counted::alive);
        EXPECT_TRUE(list.IsEmpty());
        EXPECT_EQ(nullptr, list.GetHeadPosition());

        list.AddTail(Counted(42));
        list.AddTail(Counted(43));
        POSITION pos = list.GetHeadPosition();
        EXPECT_EQ(42, list.GetNext(pos).value);
        EXPECT_EQ(43, list.GetNext(pos).value);
        EXPECT_EQ(nullptr, pos);
        EXPECT_EQ(2, Counted::alive);
    }
    EXPECT_EQ(0, Counted::alive) << "the destructor frees what is left";
}

TEST(CList, DuplicatesAreKept)
{
    CList<CString, CString> list;
    list.AddTail("*.tmp");
    list.AddTail("*.tmp");
    EXPECT_EQ(2, list.GetCount());
}

}  // namespace
