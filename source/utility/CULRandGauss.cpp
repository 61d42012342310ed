#include "CULRandGauss.h"

#include "RandomArithmetic.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kPolarMode = 0;
constexpr int kFourDeviationsMode = 1;

double Pi()
{
    static const double pi = std::acos(-1.0);
    return pi;
}
} // namespace

CULRandGauss::CULRandGauss(int mode) : m_state(kvrandom::TimeSeed()), m_mode(mode) {}

CULRandGauss::CULRandGauss(unsigned long seed, int mode)
    : m_state(static_cast<std::uint32_t>(seed)), m_mode(mode)
{
}

void CULRandGauss::Seed(unsigned long seed)
{
    m_state = static_cast<std::uint32_t>(seed);
}

int CULRandGauss::Rand()
{
    return kvrandom::NextValue(m_state);
}

double CULRandGauss::DrawNonZero()
{
    int value = 0;
    while (value == 0)
        value = Rand();
    return value / 32767.0;
}

double CULRandGauss::PolarDeviate()
{
    double x = 0.0;
    double s = 0.0;
    do
    {
        x = 2.0 * (Rand() / 32767.0) - 1.0;
        const double y = 2.0 * (Rand() / 32767.0) - 1.0;
        s = x * x + y * y;
    } while (s >= 1.0 || s == 0.0);
    const double f = std::sqrt(std::log(s) * -2.0 / s);
    return (f * x) * 0.25;
}

double CULRandGauss::BoxMullerDeviate()
{
    const double u1 = DrawNonZero();
    const double u2 = DrawNonZero();
    const double r = std::sqrt(std::log(u1) * -2.0);
    const double c = std::cos(Pi() * 2.0 * u2);
    return m_mode == kFourDeviationsMode ? (r * c) * 0.25 : (r * c) / 6.0;
}

double CULRandGauss::GaussAround(double centre, double width, int clamp)
{
    const double deviate = m_mode == kPolarMode ? PolarDeviate() : BoxMullerDeviate();
    const double result = deviate * width + centre;
    if (!clamp)
        return result;
    return std::min(centre + width, std::max(centre - width, result));
}

int CULRandGauss::GaussAround(int centre, int width, int clamp)
{
    return kvrandom::RoundHalfUp(
        GaussAround(static_cast<double>(centre), static_cast<double>(width), clamp));
}

double CULRandGauss::GaussRange(double low, double high, int clamp)
{
    return GaussAround((low + high) * 0.5, (high - low) * 0.5, clamp);
}

int CULRandGauss::GaussRange(int low, int high, int clamp)
{
    return kvrandom::RoundHalfUp(
        GaussRange(static_cast<double>(low), static_cast<double>(high), clamp));
}
