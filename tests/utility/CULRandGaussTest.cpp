#include "CULRandGauss.h"
#include "CULRandomizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>

namespace
{
constexpr int kDraws = 100000;

struct Spread
{
    int outside = 0;
    double mean = 0.0;
    double deviation = 0.0;
};

// How the unclamped values of GaussRange(0, 10) fall.
Spread MeasureRange(int mode, unsigned long seed)
{
    CULRandGauss generator(seed, mode);
    Spread spread;
    double sum = 0.0;
    double squares = 0.0;
    for (int draw = 0; draw < kDraws; ++draw)
    {
        const double value = generator.GaussRange(0.0, 10.0, false);
        if (value < 0.0 || value > 10.0)
            ++spread.outside;
        sum += value;
        squares += value * value;
    }
    spread.mean = sum / kDraws;
    spread.deviation = std::sqrt(squares / kDraws - spread.mean * spread.mean);
    return spread;
}
} // namespace

TEST(CULRandGauss, SharesTheGeneratorOfTheRandomizer)
{
    CULRandGauss generator(0, 1);
    CULRandomizer reference(0);
    for (int draw = 0; draw < 1000; ++draw)
        ASSERT_EQ(generator.Rand(), reference.Rand());
    generator.Seed(77);
    reference.Seed(77);
    EXPECT_EQ(generator.Rand(), reference.Rand());

    CULRandGauss timeSeeded(2);
    for (int draw = 0; draw < 1000; ++draw)
    {
        const int value = timeSeeded.GaussRange(-5, 5, true);
        ASSERT_GE(value, -5);
        ASSERT_LE(value, 5);
    }
}

TEST(CULRandGauss, WidthIsFourDeviationsInModesZeroAndOne)
{
    for (int mode : {0, 1})
    {
        const Spread spread = MeasureRange(mode, 4711);
        EXPECT_NEAR(spread.mean, 5.0, 0.05) << mode;
        EXPECT_NEAR(spread.deviation, 1.25, 0.03) << mode;
        // Beyond four deviations: a few in a hundred thousand.
        EXPECT_GT(spread.outside, 0) << mode;
        EXPECT_LT(spread.outside, 40) << mode;
    }
}

TEST(CULRandGauss, OtherModesUseSixDeviationsAndNeverLeaveTheRange)
{
    for (int mode : {2, -1, 99})
    {
        const Spread spread = MeasureRange(mode, 4711);
        EXPECT_NEAR(spread.mean, 5.0, 0.05) << mode;
        EXPECT_NEAR(spread.deviation, 5.0 / 6.0, 0.03) << mode;
        EXPECT_EQ(spread.outside, 0) << mode;
    }
}

TEST(CULRandGauss, ClampingKeepsEveryModeInRange)
{
    for (int mode : {0, 1, 2})
    {
        CULRandGauss generator(17, mode);
        for (int draw = 0; draw < kDraws; ++draw)
        {
            const double value = generator.GaussRange(0.0, 10.0, true);
            ASSERT_GE(value, 0.0) << mode;
            ASSERT_LE(value, 10.0) << mode;
            const int whole = generator.GaussAround(20, 3, true);
            ASSERT_GE(whole, 20 - 3) << mode;
            ASSERT_LE(whole, 20 + 3) << mode;
        }
    }
}

TEST(CULRandGauss, ReversedBoundsWithClampingGiveTheSecondBound)
{
    for (int mode : {0, 1, 2})
    {
        CULRandGauss generator(5, mode);
        for (int draw = 0; draw < 1000; ++draw)
        {
            ASSERT_EQ(generator.GaussRange(10.0, 0.0, true), 0.0);
            ASSERT_EQ(generator.GaussRange(10, 2, true), 2);
            // -7 + 0.5 truncates toward zero.
            ASSERT_EQ(generator.GaussRange(3, -7, true), -6);
        }
    }
}

TEST(CULRandGauss, IntegerFormsRoundAndSaturate)
{
    CULRandGauss generator(23, 1);
    EXPECT_EQ(generator.GaussAround(42, 0, false), 42);
    std::set<int> values;
    int saturated = 0;
    for (int draw = 0; draw < 5000; ++draw)
    {
        // Values in [-3, -2] plus 0.5 truncate toward zero to -2 or -1, never to -3.
        values.insert(generator.GaussRange(-3, -2, true));
        // Above the centre lies beyond the int range: saturated, never undefined.
        if (generator.GaussAround(INT_MAX, INT_MAX, false) == INT_MAX)
            ++saturated;
    }
    EXPECT_EQ(values, (std::set<int>{-2, -1}));
    EXPECT_GT(saturated, 1000);
}
