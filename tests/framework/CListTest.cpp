#include "CList.h"
#include "CArray.h"

#include <gtest/gtest.h>

#include <vector>

static std::vector<int> Items(const CList<int, int>& list)
{
    std::vector<int> items;
    for (POSITION position = list.GetHeadPosition(); position != nullptr;)
        items.push_back(list.GetNext(position));
    return items;
}

TEST(CList, ListAndArrayAddRemoveFindAndCopy)
{
    CList<int, int> list;
    list.AddTail(2);
    const POSITION three = list.AddTail(3);
    list.AddHead(1);
    list.AddTail(4);
    list.RemoveAt(three);
    EXPECT_EQ((std::vector<int>{list.RemoveHead(), list.RemoveTail()}), (std::vector<int>{1, 4}));
    EXPECT_EQ(Items(list), (std::vector<int>{2}));

    // An emptied list starts afresh at both ends.
    list.RemoveAll();
    list.AddTail(6);
    list.AddHead(5);
    list.AddTail(5);
    const POSITION second = list.Find(5, list.Find(5));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(list.Find(5, second), nullptr);
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), 6);
    EXPECT_EQ(list.FindIndex(3), nullptr);

    CList<int, int> copy(list);
    copy.AddTail(7);
    EXPECT_EQ(Items(list), (std::vector<int>{5, 6, 5}));
    EXPECT_EQ(Items(copy), (std::vector<int>{5, 6, 5, 7}));

    CArray<int, int> array;
    array.Add(10);
    EXPECT_EQ(array.Add(30), 1);
    array.InsertAt(1, 20);
    array.RemoveAt(0, 2);
    array.SetSize(4);
    // Grown elements start zeroed.
    EXPECT_EQ((std::vector<int>{array.GetAt(0), array[3]}), (std::vector<int>{30, 0}));
    array.SetSize(-1);
    EXPECT_TRUE(array.IsEmpty());
}
