#pragma once

// Reproducible standard-normal numbers: the same seed gives the same sequence
// with every standard library. std::mt19937_64 yields the same bits
// everywhere; the normal transform is our own Box-Muller because the one
// behind std::normal_distribution differs between libraries.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>

namespace vnx::testsupport {

class GaussianNoise
{
  public:
    explicit GaussianNoise(std::uint64_t seed) : engine_(seed) {}

    void reseed(std::uint64_t seed)
    {
        engine_.seed(seed);
        hasSpare_ = false;
    }

    /// Next value of mean 0 and standard deviation 1.
    double next()
    {
        if (hasSpare_) {
            hasSpare_ = false;
            return spare_;
        }
        // u1 in (0, 1] keeps the logarithm finite.
        const double u1 = static_cast<double>((engine_() >> 11) + 1) * 0x1.0p-53;
        const double u2 = static_cast<double>(engine_() >> 11) * 0x1.0p-53;
        const double radius = std::sqrt(-2.0 * std::log(u1));
        const double angle = 2.0 * std::numbers::pi * u2;
        spare_ = radius * std::sin(angle);
        hasSpare_ = true;
        return radius * std::cos(angle);
    }

  private:
    std::mt19937_64 engine_;
    double spare_ = 0.0;
    bool hasSpare_ = false;
};

} // namespace vnx::testsupport
