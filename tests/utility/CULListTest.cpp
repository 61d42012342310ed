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

// Clearing, removing all and the destructor delete the objects held; detaching lets one go.
TEST(CULList, OwnsItsObjectsUntilDetached)
{
    int alive = 0;
    Tracked* detached = new Tracked(&alive);
    {
        CULList<Tracked*> list;
        const POSITION first = list.AddTail(new Tracked(&alive));
        list.AddTail(detached);
        list.AddTail(new Tracked(&alive));
        list.DeleteAt(first);
        EXPECT_EQ(alive, 2);
        EXPECT_TRUE(list.Detach(detached));
        EXPECT_FALSE(list.Detach(detached));
        list.Clear();
        list.AddTail(new Tracked(&alive));
        list.RemoveAll();
        EXPECT_EQ(alive, 1);
        list.AddTail(new Tracked(&alive));
    }
    EXPECT_EQ(alive, 1);
    delete detached;
}
