#include "store/DemoRandom.h"

#include <cmath>

int DemoRandom::between(int low, int high)
{
    const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low + 1);
    const auto scaled = (static_cast<std::uint64_t>(m_engine()) * span) >> 32;
    return low + static_cast<int>(scaled);
}

double DemoRandom::real()
{
    return static_cast<double>(m_engine()) / 4294967296.0;
}

bool DemoRandom::chance(double probability)
{
    return real() < probability;
}

double DemoRandom::cents(double low, double high)
{
    return between(
               static_cast<int>(std::lround(low * 100)), static_cast<int>(std::lround(high * 100)))
        / 100.0;
}
