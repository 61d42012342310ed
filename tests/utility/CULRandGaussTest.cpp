#include "CULRandGauss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

// GaussRange(0, 10) unclamped is centred on 5 and four deviations wide in modes 0 and 1 (a few
// values in a hundred thousand lie outside), six in the others (none outside); clamped draws stay
// inside.
TEST(CULRandGauss, WidthOfEachModeAndClamping)
{
    const int draws = 100000;
    for (const auto& [mode, deviation] : {std::pair{0, 1.25}, {1, 1.25}, {2, 5.0 / 6.0}})
    {
        CULRandGauss generator(4711, mode);
        int outside = 0;
        double sum = 0.0, squares = 0.0;
        for (int draw = 0; draw < draws; ++draw)
        {
            const double value = generator.GaussRange(0.0, 10.0, 0);
            outside += value < 0.0 || value > 10.0 ? 1 : 0;
            sum += value;
            squares += value * value;
            const double clamped = generator.GaussRange(0.0, 10.0, 1);
            ASSERT_TRUE(clamped >= 0.0 && clamped <= 10.0) << mode << ": " << clamped;
        }
        const double mean = sum / draws;
        EXPECT_NEAR(mean, 5.0, 0.05) << mode;
        EXPECT_NEAR(std::sqrt(squares / draws - mean * mean), deviation, 0.03) << mode;
        EXPECT_EQ(outside > 0, mode < 2) << mode;
    }
    EXPECT_EQ(CULRandGauss(0, 1).Rand(), 38); // the randomizer's sequence
}
