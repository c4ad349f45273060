#include "sensorFusionMobile/mobileAccuracy.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace vnx::mobile {

namespace {

// Angle bins (degrees): below 8, 8-15, 16-29, 30-44, 45-59, 60-89, 90 and up.
constexpr unsigned kBinUpperDeg[] = {8, 16, 30, 45, 60, 90};
// Highest and lowest accuracy each bin allows; between the two the previous
// accuracy stays.
constexpr std::uint8_t kAccuracyCeil[] = {3, 3, 2, 2, 1, 1, 0};
constexpr std::uint8_t kAccuracyFloor[] = {3, 2, 2, 1, 1, 0, 0};

unsigned binOf(float angleDeg)
{
    // Whole degrees; the angles are 0..180, anything beyond is simply large.
    // An unknown (NaN) angle counts as the largest.
    const float whole = std::floor(angleDeg);
    unsigned a = 255u;
    if (!std::isnan(whole))
        a = whole <= 0.0f ? 0u : (whole >= 255.0f ? 255u : static_cast<unsigned>(whole));
    unsigned bin = 0;
    while (bin < std::size(kBinUpperDeg) && a >= kBinUpperDeg[bin])
        ++bin;
    return bin;
}

} // namespace

std::uint8_t get2BitAccuracyWithHysteresis(float angleDeg, std::uint8_t previous)
{
    const unsigned bin = binOf(angleDeg);
    return std::max(std::min(kAccuracyCeil[bin], previous), kAccuracyFloor[bin]);
}

std::uint8_t get2BitZroAccuracy(float x)
{
    const float whole = std::floor(x);
    if (!(whole > 0.0f))
        return 0;
    return whole >= 3.0f ? 3 : static_cast<std::uint8_t>(whole);
}

void updateAccuracy(vnx_Mobile_Output_s& out, std::uint32_t bit, std::uint8_t accuracy)
{
    out.accuracyLow = (accuracy & 1u) != 0 ? (out.accuracyLow | bit) : (out.accuracyLow & ~bit);
    out.accuracyHigh = (accuracy & 2u) != 0 ? (out.accuracyHigh | bit) : (out.accuracyHigh & ~bit);
}

} // namespace vnx::mobile
