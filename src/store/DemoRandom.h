#pragma once

#include <cstdint>
#include <random>

// Demo data must be the same for a seed on every machine: std::mt19937's output is fixed by the
// standard, the std distributions are not, so the conversions to ranges are our own.
class DemoRandom
{
public:
    explicit DemoRandom(std::uint32_t seed)
        : m_engine(seed)
    {
    }

    int between(int low, int high); // inclusive
    double real(); // [0, 1)
    bool chance(double probability);
    // A value in [low, high] with two decimals, e.g. an hourly rate.
    double cents(double low, double high);

private:
    std::mt19937 m_engine;
};
