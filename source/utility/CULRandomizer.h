// Evenly spread pseudo-random integers and floating values, reproducible from a seed. Every
// instance carries its own generator state; an instance belongs to one thread at a time.
#pragma once

#include "../framework/CObject.h"

#include <cstdint>

class CULRandomizer : public CObject
{
public:
    explicit CULRandomizer(unsigned long seed);
    ~CULRandomizer() override = default;

    // Only the low 32 bits of the seed count.
    void Seed(unsigned long seed);
    // 0 to 32767.
    int Rand();
    // centre plus or minus up to about spread (up to spread exactly for 0 to 16383). A negative
    // spread counts as its size, so -3 draws like 3.
    int RandAround(int centre, int spread);
    double RandRange(double low, double high);
    // The double form rounded by adding 0.5 and truncating toward zero.
    int RandRange(int low, int high);

private:
    std::uint32_t m_state;
};
