#include "CULRandomizer.h"
#include "CULRandGauss.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <set>
#include <utility>

TEST(CULRandomizer, SeedFixesTheSequenceRangesRoundHalfUpSpreadsHoldAndGaussWidthsFit)
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

    // GaussRange(0, 10) unclamped is centred on 5 and four deviations wide in modes 0 and 1 (a few
    // values in a hundred thousand lie outside), six in the others (none outside); clamped draws
    // stay inside.
    const int draws = 100000;
    for (const auto& [mode, deviation] : {std::pair{0, 1.25}, {1, 1.25}, {2, 5.0 / 6.0}})
    {
        CULRandGauss gauss(4711, mode);
        int outside = 0;
        double sum = 0.0, squares = 0.0;
        for (int draw = 0; draw < draws; ++draw)
        {
            const double value = gauss.GaussRange(0.0, 10.0, 0);
            outside += value < 0.0 || value > 10.0 ? 1 : 0;
            sum += value;
            squares += value * value;
            const double clamped = gauss.GaussRange(0.0, 10.0, 1);
            ASSERT_TRUE(clamped >= 0.0 && clamped <= 10.0) << mode << ": " << clamped;
        }
        const double mean = sum / draws;
        EXPECT_NEAR(mean, 5.0, 0.05) << mode;
        EXPECT_NEAR(std::sqrt(squares / draws - mean * mean), deviation, 0.03) << mode;
        EXPECT_EQ(outside > 0, mode < 2) << mode;
    }
    EXPECT_EQ(CULRandGauss(0, 1).Rand(), 38); // the randomizer's sequence
}
