#include "CULRandomizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

TEST(CULRandomizer, SeedFixesTheSequence)
{
    CULRandomizer generator(0);
    EXPECT_EQ(generator.Rand(), 38);
    EXPECT_EQ(generator.Rand(), 7719);
    EXPECT_EQ(generator.Rand(), 21238);

    generator.Seed(0);
    EXPECT_EQ(generator.Rand(), 38);

    CULRandomizer first(12345);
    CULRandomizer second(12345);
    for (int draw = 0; draw < 1000; ++draw)
    {
        const int value = first.Rand();
        ASSERT_EQ(value, second.Rand());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST(CULRandomizer, RandAroundStaysWithinTheSpread)
{
    CULRandomizer generator(7);
    CULRandomizer twin(7);
    for (int draw = 0; draw < 100; ++draw)
    {
        ASSERT_EQ(generator.RandAround(5, 0), 5);
        twin.Rand();
        twin.Rand();
    }
    // A zero spread still draws twice.
    EXPECT_EQ(generator.Rand(), twin.Rand());

    for (int spread : {1, 3, 100, 16383})
    {
        std::set<int> sides;
        for (int draw = 0; draw < 20000; ++draw)
        {
            const int value = generator.RandAround(1000, spread);
            ASSERT_GE(value, 1000 - spread) << spread;
            ASSERT_LE(value, 1000 + spread) << spread;
            sides.insert(value < 1000 ? -1 : (value > 1000 ? 1 : 0));
        }
        EXPECT_EQ(sides.size(), 3u) << spread;
    }
}

TEST(CULRandomizer, NegativeAndHugeSpreadsAreDefined)
{
    // A negative spread draws like its size, -1 included, which would otherwise divide by zero.
    for (int spread : {1, 2, 500})
    {
        CULRandomizer positive(99);
        CULRandomizer negative(99);
        for (int draw = 0; draw < 2000; ++draw)
            ASSERT_EQ(negative.RandAround(-40, -spread), positive.RandAround(-40, spread));
    }

    CULRandomizer generator(3);
    for (int draw = 0; draw < 2000; ++draw)
    {
        const int beyond = generator.RandAround(0, INT_MIN);
        ASSERT_GE(beyond, -32767);
        ASSERT_LE(beyond, 32767);
        ASSERT_GE(generator.RandAround(INT_MAX - 10, INT_MAX), INT_MAX - 10 - 32767);
        ASSERT_LE(generator.RandAround(INT_MIN + 10, 100), INT_MIN + 110);
    }
}

TEST(CULRandomizer, RandRangeTakesTheSignFromTheSecondDraw)
{
    // Draws 38 and 7719: an offset of 38/32767 of the half width, added since 7719 < 16383.
    CULRandomizer generator(0);
    EXPECT_DOUBLE_EQ(generator.RandRange(0.0, 2.0), 1.0 + 38.0 / 32767.0);
    // The seventh and eighth draws are 8365 and 32285: subtracted.
    generator.Seed(0);
    for (int skip = 0; skip < 6; ++skip)
        generator.Rand();
    EXPECT_DOUBLE_EQ(generator.RandRange(-4.0, 4.0), -4.0 * 8365.0 / 32767.0);

    for (int draw = 0; draw < 20000; ++draw)
    {
        const double value = generator.RandRange(-1.5, 2.5);
        ASSERT_GE(value, -1.5);
        ASSERT_LE(value, 2.5);
    }
}

TEST(CULRandomizer, IntegerRangeRoundsTowardZero)
{
    CULRandomizer generator(11);
    std::set<int> positive;
    std::set<int> negative;
    for (int draw = 0; draw < 20000; ++draw)
    {
        positive.insert(generator.RandRange(1, 3));
        negative.insert(generator.RandRange(-3, -1));
    }
    EXPECT_EQ(positive, (std::set<int>{1, 2, 3}));
    // Adding 0.5 before truncating pushes negative values up: -3 never comes, 0 does.
    EXPECT_EQ(negative, (std::set<int>{-2, -1, 0}));

    for (int draw = 0; draw < 2000; ++draw)
    {
        const int value = generator.RandRange(INT_MIN, INT_MAX);
        ASSERT_GT(value, INT_MIN);
    }
}
