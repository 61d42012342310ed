#include "LevelText.h"

#include <gtest/gtest.h>

#include <utility>

// Numbers alone are the settings' own number rule (see the settings table's test); here names,
// their joins with numbers, and what is left of a join.
TEST(LevelTextTest, NamesAndNumbersGiveMasks)
{
    const std::pair<const char*, unsigned long> accepted[] = {
        {" error | DEBUG ", 0x8001}, {"All", 0xFFFFFFFFUL}, {"none", 0}, {"Error|0x10", 0x11}};
    for (const auto& [text, expected] : accepted)
    {
        unsigned long mask = 7;
        EXPECT_TRUE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(expected, mask) << text;
    }
    for (const char* text : {"", "Eror", "Error|", "0x1G"})
    {
        unsigned long mask = 7;
        EXPECT_FALSE(ParseLevel(text, mask)) << text;
        EXPECT_EQ(7UL, mask) << text;
    }
}
