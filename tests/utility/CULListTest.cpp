#include "CULList.h"

#include <gtest/gtest.h>

namespace
{
struct Tracked
{
    explicit Tracked(int* alive) : counter(alive) { ++*counter; }
    ~Tracked() { --*counter; }
    int* counter;
};
} // namespace

TEST(CULList, OwnsItsObjectsUntilDetached)
{
    int alive = 0;
    {
        CULList<Tracked*> list;
        list.AddTail(new Tracked(&alive));
        const POSITION second = list.AddTail(new Tracked(&alive));
        list.AddTail(new Tracked(&alive));
        EXPECT_EQ(alive, 3);
        list.DeleteAt(second);
        EXPECT_EQ(alive, 2);
        EXPECT_EQ(list.GetCount(), 2);
        list.Clear();
        EXPECT_EQ(alive, 0);
        list.AddTail(new Tracked(&alive));
    }
    EXPECT_EQ(alive, 0);

    CULList<Tracked*> list;
    Tracked* kept = new Tracked(&alive);
    list.AddTail(new Tracked(&alive));
    list.AddTail(kept);
    EXPECT_TRUE(list.Detach(kept));
    EXPECT_FALSE(list.Detach(kept));
    EXPECT_EQ(list.GetCount(), 1);
    list.RemoveAll();
    EXPECT_EQ(alive, 1);
    delete kept;
    EXPECT_EQ(alive, 0);
}
