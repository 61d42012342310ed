// Arithmetic shared by the random generators.
#pragma once

#include <cstdint>

namespace kvrandom
{
// The generator's step: state = state * 214013 + 2531011 modulo 2^32; the value is bits 16 to 30.
int NextValue(std::uint32_t& state);
// The low 32 bits of the current calendar time in seconds.
std::uint32_t TimeSeed();
// Adds 0.5 and truncates toward zero, the rounding of every integer form of the generators.
// Results beyond the int range saturate and NaN gives 0, so no input leads to undefined behaviour.
int RoundHalfUp(double value);
// The value limited to the int range.
int Saturate(long long value);
} // namespace kvrandom
