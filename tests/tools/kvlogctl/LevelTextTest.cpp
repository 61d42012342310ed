#include "LevelText.h"

#include <gtest/gtest.h>

#include <utility>

TEST(LevelTextTest, NumbersAndNamesGiveMasks)
{
    const std::pair<const char*, unsigned long> accepted[] = {
        {"0x8000", 0x8000},          {"32768", 0x8000},           {"Error|Warning|Debug", 0x8003},
        {" error | DEBUG ", 0x8001}, {"All", 0xFFFFFFFFUL},       {"none", 0},
        {"Error|0x10", 0x11},        {"4294967295", 0xFFFFFFFFUL}};
    for (const auto& [text, expected] : accepted)
    {
        unsigned long mask = 7;
        EXPECT_TRUE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(expected, mask) << text;
    }
    for (const char* text : {"", "Eror", "0x", "-1", "4294967296", "Error|", "0x1G"})
    {
        unsigned long mask = 7;
        EXPECT_FALSE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(7UL, mask) << text;
    }
}
