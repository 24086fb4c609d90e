#pragma once

#include <cstdint>
#include <random>

// A source of uniform draws; tests script their own.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A uniform integer from 0 to n - 1; n is at least 1.
    virtual std::uint32_t below(std::uint32_t n) = 0;
};

class RandomGenerator final : public RandomSource {
public:
    void seed(std::uint32_t value) { engine_.seed(value); }
    std::uint32_t below(std::uint32_t n) override
    {
        return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(engine_);
    }

private:
    std::mt19937 engine_;
};

// The program-wide generator, seeded once at start-up.
extern RandomGenerator DrillRandom;
