#include "output/syslog/CSyslogQueue.h"

#include <gtest/gtest.h>

TEST(SyslogQueueTest, FullQueueDropsTheOldestAndCountsThem)
{
    CSyslogQueue queue(3);
    EXPECT_TRUE(queue.Push("line 1", 1));
    for (int line = 2; line <= 5; ++line)
        EXPECT_FALSE(queue.Push("line " + std::to_string(line), static_cast<std::size_t>(line)));
    EXPECT_EQ(3u, queue.GetCount());
    EXPECT_EQ(2u, queue.TakeDropped());
    EXPECT_EQ(0u, queue.TakeDropped());
    std::string message;
    std::size_t elementEnd = 0;
    for (int line = 3; line <= 5; ++line)
    {
        ASSERT_TRUE(queue.Pop(message, elementEnd));
        EXPECT_EQ("line " + std::to_string(line), message);
        EXPECT_EQ(static_cast<std::size_t>(line), elementEnd);
    }
    EXPECT_FALSE(queue.Pop(message, elementEnd));
    EXPECT_TRUE(queue.Push("again", 0));
}
