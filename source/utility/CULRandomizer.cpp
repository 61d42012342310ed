#include "CULRandomizer.h"

#include "RandomArithmetic.h"

#include <algorithm>
#include <cstdlib>

namespace
{
constexpr long long kLargestEffectiveSpread = 32767;
}

CULRandomizer::CULRandomizer(unsigned long seed) : m_state(static_cast<std::uint32_t>(seed)) {}

void CULRandomizer::Seed(unsigned long seed)
{
    m_state = static_cast<std::uint32_t>(seed);
}

int CULRandomizer::Rand()
{
    return kvrandom::NextValue(m_state);
}

int CULRandomizer::RandAround(int centre, int spread)
{
    const int first = Rand();
    // Every spread from 32767 up draws alike; limiting it keeps spread + 1 from overflowing.
    const long long size =
        std::min(std::abs(static_cast<long long>(spread)), kLargestEffectiveSpread);
    const int divisor = 32767 / (static_cast<int>(size) + 1) + 1;
    const long long offset = first / divisor;
    return kvrandom::Saturate(Rand() >= 16383 ? centre + offset : centre - offset);
}

double CULRandomizer::RandRange(double low, double high)
{
    const double centre = (low + high) * 0.5;
    const double offset = Rand() * ((high - low) * 0.5) / 32767.0;
    return Rand() < 16383 ? centre + offset : centre - offset;
}

int CULRandomizer::RandRange(int low, int high)
{
    return kvrandom::RoundHalfUp(RandRange(static_cast<double>(low), static_cast<double>(high)));
}
