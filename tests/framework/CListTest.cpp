#include "CList.h"
#include "CArray.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<int> Items(const CList<int, int>& list)
{
    std::vector<int> items;
    for (POSITION position = list.GetHeadPosition(); position != nullptr;)
        items.push_back(list.GetNext(position));
    return items;
}
} // namespace

TEST(CList, WalksInInsertionOrderAndRemovesAnywhere)
{
    CList<int, int> list;
    list.AddTail(2);
    const POSITION three = list.AddTail(3);
    list.AddHead(1);
    list.AddTail(4);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3, 4}));

    list.RemoveAt(three);
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(list.RemoveHead(), 1);
    EXPECT_EQ(list.RemoveTail(), 4);
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_EQ(list.GetHead(), 2);
    EXPECT_EQ(list.GetTail(), 2);
    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
}

TEST(CList, FindAndCopy)
{
    CList<int, int> list;
    for (int value : {5, 6, 5})
        list.AddTail(value);
    const POSITION first = list.Find(5);
    ASSERT_NE(first, nullptr);
    const POSITION second = list.Find(5, first);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(list.Find(5, second), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), 6);
    EXPECT_EQ(list.FindIndex(3), nullptr);

    CList<int, int> copy(list);
    copy.AddTail(7);
    EXPECT_EQ(Items(list), (std::vector<int>{5, 6, 5}));
    EXPECT_EQ(Items(copy), (std::vector<int>{5, 6, 5, 7}));
}

TEST(CArray, GrowsInsertsAndRemoves)
{
    CArray<int, int> array;
    EXPECT_EQ(array.Add(10), 0);
    EXPECT_EQ(array.Add(30), 1);
    array.InsertAt(1, 20);
    EXPECT_EQ(array.GetSize(), 3);
    EXPECT_EQ(array[1], 20);
    array.RemoveAt(0, 2);
    EXPECT_EQ(array.GetAt(0), 30);
    array.SetSize(4);
    EXPECT_EQ(array.GetUpperBound(), 3);
    EXPECT_EQ(array[3], 0);
    array.SetSize(-1);
    EXPECT_TRUE(array.IsEmpty());
}
