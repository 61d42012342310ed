#include "CULRandomizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>

TEST(CULRandomizer, SeedFixesTheSequenceAndRandRangeTakesTheSignFromTheSecondDraw)
{
    CULRandomizer generator(0);
    EXPECT_EQ(generator.Rand(), 38);
    EXPECT_EQ(generator.Rand(), 7719);
    EXPECT_EQ(generator.Rand(), 21238);

    // Draws 38 and 7719: an offset of 38/32767 of the half width, added since 7719 < 16383.
    generator.Seed(0);
    EXPECT_DOUBLE_EQ(generator.RandRange(0.0, 2.0), 1.0 + 38.0 / 32767.0);
    // The seventh and eighth draws are 8365 and 32285: subtracted.
    generator.Seed(0);
    for (int skip = 0; skip < 6; ++skip)
        generator.Rand();
    EXPECT_DOUBLE_EQ(generator.RandRange(-4.0, 4.0), -4.0 * 8365.0 / 32767.0);

    // The integer range rounds toward zero.
    std::set<int> positive, negative;
    for (int draw = 0; draw < 20000; ++draw)
    {
        positive.insert(generator.RandRange(1, 3));
        negative.insert(generator.RandRange(-3, -1));
        ASSERT_GT(generator.RandRange(INT_MIN, INT_MAX), INT_MIN);
    }
    EXPECT_EQ(positive, (std::set<int>{1, 2, 3}));
    // Adding 0.5 before truncating pushes negative values up: -3 never comes, 0 does.
    EXPECT_EQ(negative, (std::set<int>{-2, -1, 0}));
}

TEST(CULRandomizer, RandAroundStaysWithinTheSpreadWhateverItsSize)
{
    // A zero spread gives the centre and still draws twice.
    CULRandomizer generator(7), twin(7);
    EXPECT_EQ(generator.RandAround(5, 0), 5);
    twin.Rand();
    twin.Rand();
    EXPECT_EQ(generator.Rand(), twin.Rand());

    for (int spread : {1, 3, 16383})
    {
        std::set<int> sides;
        for (int draw = 0; draw < 20000; ++draw)
        {
            const int value = generator.RandAround(1000, spread);
            ASSERT_LE(std::abs(value - 1000), spread) << spread;
            sides.insert(value < 1000 ? -1 : (value > 1000 ? 1 : 0));
        }
        EXPECT_EQ(sides.size(), 3u) << spread;
    }

    // A negative spread draws like its size, -1 included, which would otherwise divide by zero;
    // spreads and results beyond the int range saturate.
    for (int spread : {1, 500})
    {
        CULRandomizer positive(99), negative(99);
        for (int draw = 0; draw < 2000; ++draw)
        {
            ASSERT_EQ(negative.RandAround(-40, -spread), positive.RandAround(-40, spread));
            ASSERT_LE(std::abs(generator.RandAround(0, INT_MIN)), 32767);
            ASSERT_GE(generator.RandAround(INT_MAX - 10, INT_MAX), INT_MAX - 10 - 32767);
            ASSERT_LE(generator.RandAround(INT_MIN + 10, 100), INT_MIN + 110);
        }
    }
}
