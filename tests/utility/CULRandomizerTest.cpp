#include "CULRandomizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

TEST(CULRandomizer, SeedFixesTheSequenceRangesRoundHalfUpAndSpreadsHold)
{
    CULRandomizer generator(0);
    EXPECT_EQ(generator.Rand(), 38);
    EXPECT_EQ(generator.Rand(), 7719);

    // Adding 0.5 before truncating pushes negative values up: -3 never comes, 0 does.
    std::set<int> values;
    for (int draw = 0; draw < 20000; ++draw)
    {
        values.insert(generator.RandRange(-3, -1));
        ASSERT_GT(generator.RandRange(INT_MIN, INT_MAX), INT_MIN);
    }
    EXPECT_EQ(values, (std::set<int>{-2, -1, 0}));
    EXPECT_EQ(generator.RandRange(INT_MAX, INT_MAX), INT_MAX);

    // RandAround stays within the spread whatever its sign and size.
    generator.Seed(7);
    CULRandomizer twin(7), other(1);
    for (int spread : {0, 1, 3})
    {
        std::set<int> sides;
        for (int draw = 0; draw < 20000; ++draw)
        {
            const int value = generator.RandAround(1000, spread);
            ASSERT_LE(std::abs(value - 1000), spread) << spread;
            // A negative spread draws like its size; -1 would otherwise divide by zero.
            ASSERT_EQ(twin.RandAround(1000, -spread), value) << spread;
            sides.insert(value < 1000 ? -1 : (value > 1000 ? 1 : 0));
            // Spreads and results beyond the int range saturate.
            ASSERT_LE(std::abs(other.RandAround(0, INT_MIN)), 32767);
            ASSERT_GE(other.RandAround(INT_MAX - 10, INT_MAX), INT_MAX - 10 - 32767);
            ASSERT_LE(other.RandAround(INT_MIN + 10, 100), INT_MIN + 110);
        }
        EXPECT_EQ(sides.size(), spread == 0 ? 1u : 3u) << spread;
    }
}
