#include "RandomArithmetic.h"

#include <climits>
#include <cmath>
#include <ctime>

namespace kvrandom
{
int NextValue(std::uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

std::uint32_t TimeSeed()
{
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(std::time(nullptr)));
}

int RoundHalfUp(double value)
{
    const double shifted = value + 0.5;
    if (std::isnan(shifted))
        return 0;
    if (shifted >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (shifted <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(shifted);
}

int Saturate(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
} // namespace kvrandom
