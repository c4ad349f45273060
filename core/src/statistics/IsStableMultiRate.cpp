#include "statistics/IsStableMultiRate.h"

namespace vnx {

namespace {

constexpr std::uint32_t kMaxElapsedUs = 250000; // longer gaps break the still run

} // namespace

void IsStableMultiRate::init(std::int16_t requiredS, FloatingPoint<float> threshold)
{
    requiredS_ = static_cast<float>(requiredS);
    threshold_ = threshold;
    accumulatedS_ = 0.0f;
}

void IsStableMultiRate::process(std::uint32_t elapsedUs,
                                const qdVectorFixed::vector<FloatingPoint<float>, 3>& v, bool* event)
{
    if (elapsedUs <= kMaxElapsedUs) {
        FloatingPoint<float> largest = v[0];
        FloatingPoint<float> smallest = v[0];
        for (int i = 1; i < 3; ++i) {
            if (largest < v[i])
                largest = v[i];
            if (v[i] < smallest)
                smallest = v[i];
        }
        const FloatingPoint<float> magnitude =
            smallest == FloatingPoint<float>::raw(FloatingPoint<float>::kMin)
                ? FloatingPoint<float>::raw(FloatingPoint<float>::kMax)
                : max(abs(largest), abs(smallest));
        if (magnitude < threshold_) {
            accumulatedS_ += static_cast<float>(elapsedUs) * 1e-6f;
            *event = accumulatedS_ >= requiredS_;
            if (*event)
                accumulatedS_ = requiredS_;
            return;
        }
    }
    accumulatedS_ = 0.0f;
    *event = 0.0f >= requiredS_;
    if (*event)
        accumulatedS_ = requiredS_;
}

} // namespace vnx
