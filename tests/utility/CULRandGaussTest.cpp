#include "CULRandGauss.h"
#include "CULRandomizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>

namespace
{
constexpr int kDraws = 100000;

// Draws GaussRange(0, 10) unclamped and clamped: the unclamped values are centred on 5 with this
// deviation, with between the fewest and the most of them outside the range.
void ExpectSpread(int mode, double deviation, int fewestOutside, int mostOutside)
{
    CULRandGauss generator(4711, mode);
    int outside = 0;
    double sum = 0.0, squares = 0.0;
    for (int draw = 0; draw < kDraws; ++draw)
    {
        const double value = generator.GaussRange(0.0, 10.0, 0);
        outside += value < 0.0 || value > 10.0 ? 1 : 0;
        sum += value;
        squares += value * value;
        // Clamped draws stay in range; bounds in reverse give the second bound; -7 + 0.5
        // truncates toward zero.
        const double clamped = generator.GaussRange(0.0, 10.0, 1);
        ASSERT_TRUE(clamped >= 0.0 && clamped <= 10.0) << mode << ": " << clamped;
        ASSERT_EQ(generator.GaussRange(10.0, 0.0, 1), 0.0) << mode;
        ASSERT_EQ(generator.GaussRange(3, -7, 1), -6) << mode;
    }
    const double mean = sum / kDraws;
    EXPECT_NEAR(mean, 5.0, 0.05) << mode;
    EXPECT_NEAR(std::sqrt(squares / kDraws - mean * mean), deviation, 0.03) << mode;
    EXPECT_GE(outside, fewestOutside) << mode;
    EXPECT_LE(outside, mostOutside) << mode;
}
} // namespace

TEST(CULRandGauss, WidthIsFourDeviationsInModesZeroAndOneAndSixInTheOthersClampedOrNot)
{
    // Beyond four deviations lie a few values in a hundred thousand; six are never reached.
    ExpectSpread(0, 1.25, 1, 39);
    ExpectSpread(1, 1.25, 1, 39);
    ExpectSpread(2, 5.0 / 6.0, 0, 0);
}

TEST(CULRandGauss, IntegerFormsRoundAndSaturateOnTheRandomizersGenerator)
{
    CULRandGauss generator(23, 1);
    EXPECT_EQ(generator.GaussAround(42, 0, 0), 42);
    std::set<int> values;
    int saturated = 0;
    for (int draw = 0; draw < 5000; ++draw)
    {
        // Values in [-3, -2] plus 0.5 truncate toward zero to -2 or -1, never to -3.
        values.insert(generator.GaussRange(-3, -2, 1));
        // Above the centre lies beyond the int range: saturated, never undefined.
        saturated += generator.GaussAround(INT_MAX, INT_MAX, 0) == INT_MAX ? 1 : 0;
    }
    EXPECT_EQ(values, (std::set<int>{-2, -1}));
    EXPECT_GT(saturated, 1000);

    // The generator is the randomizer's.
    CULRandGauss shared(0, 1);
    CULRandomizer reference(0);
    for (int draw = 0; draw < 1000; ++draw)
        ASSERT_EQ(shared.Rand(), reference.Rand());
}
