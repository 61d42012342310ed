// Normally distributed pseudo-random values around a centre. The width is four standard
// deviations in modes 0 (polar method) and 1 (Box-Muller), six in every other mode (Box-Muller).
// Every instance carries its own generator state; an instance belongs to one thread at a time.
#pragma once

#include "../framework/CObject.h"

#include <cstdint>

class CULRandGauss : public CObject
{
public:
    // Seeded from the current time.
    explicit CULRandGauss(int mode);
    CULRandGauss(unsigned long seed, int mode);
    ~CULRandGauss() override = default;

    // Only the low 32 bits of the seed count.
    void Seed(unsigned long seed);
    // 0 to 32767.
    int Rand();

    // With clamp the value stays between centre - width and centre + width.
    double GaussAround(double centre, double width, int clamp);
    // The double form rounded by adding 0.5 and truncating toward zero.
    int GaussAround(int centre, int width, int clamp);
    // Around the middle of the bounds, with half their distance as the width. Bounds given in
    // reverse with clamp always give the second bound.
    double GaussRange(double low, double high, int clamp);
    int GaussRange(int low, int high, int clamp);

private:
    // Draws in (0, 1], never 0: a zero would have no logarithm.
    double DrawNonZero();
    // A normal value in units of the width: four (or six) standard deviations make 1.
    double PolarDeviate();
    double BoxMullerDeviate();

    std::uint32_t m_state;
    int m_mode;
};
