#pragma once

// The one-pass (Welford) mean and spread update shared by the running
// statistics templates. Kept in one place so every template rounds the same
// way: the reciprocal of the new count is taken once, in single precision,
// and each squared deviation is formed in single precision before it joins
// the (possibly wider) M2 sum.

#include <cstdint>
#include <type_traits>

#include "numerics/FloatingPoint.h"

namespace vnx::statistics {

/// Type of the M2 sums: double for the FloatingPoint scalar (long windows of
/// small squared deviations would lose their low bits in float), the value
/// type itself for plain float users, which want single precision.
template <typename T> using M2Type = std::conditional_t<std::is_same_v<T, float>, float, double>;

/// 1 / (previousCount + 1), once per sample, in single precision.
inline float runningReciprocal(std::uint32_t previousCount)
{
    return 1.0f / static_cast<float>(previousCount + 1u);
}

/// Moves one channel's mean towards x by r (the reciprocal above) and adds
/// the squared deviation, taken in single precision, to m2.
template <typename T, typename A> inline void runningMeanM2Step(T& mean, A& m2, T x, T r)
{
    const T d = x - mean;
    mean = mean + r * d;
    m2 += static_cast<A>(static_cast<float>((x - mean) * d));
}

/// Moves one channel's mean towards x by r.
template <typename T> inline void runningMeanStep(T& mean, T x, T r)
{
    mean = mean + r * (x - mean);
}

/// Adds sample x to the first `channels` channels of a running mean and M2
/// of `count` samples; the first sample sets the mean and clears M2.
template <typename T, typename A>
inline void addToMeanAndM2(std::uint32_t& count, T* mean, A* m2, const T* x, std::uint32_t channels)
{
    const std::uint32_t c = count++;
    if (c == 0) {
        for (std::uint32_t i = 0; i < channels; ++i) {
            mean[i] = x[i];
            m2[i] = 0;
        }
        return;
    }
    const T r = T(runningReciprocal(c));
    for (std::uint32_t i = 0; i < channels; ++i)
        runningMeanM2Step(mean[i], m2[i], x[i], r);
}

/// The first sample is both the smallest and the largest value so far.
template <typename T> inline void startMinMax(T* min, T* max, const T* x, std::uint32_t channels)
{
    for (std::uint32_t i = 0; i < channels; ++i)
        min[i] = max[i] = x[i];
}

/// The plain-float forms of the FloatingPoint min and max: b < a ? b : a and
/// a < b ? b : a.
inline float min(float a, float b)
{
    return b < a ? b : a;
}
inline float max(float a, float b)
{
    return a < b ? b : a;
}

/// Takes in x where it is below lo or above hi (v < lo ? v : lo and
/// hi < v ? v : hi), as selects the compiler turns into min and max
/// instructions instead of branches. A NaN sample changes nothing, as no
/// comparison admits it.
template <typename T> inline void updateMinMax(T* lo, T* hi, const T* x, std::uint32_t channels)
{
    for (std::uint32_t i = 0; i < channels; ++i) {
        const T v = x[i];
        lo[i] = min(lo[i], v);
        hi[i] = max(hi[i], v);
    }
}

/// Sample variance m2 / (count - 1); 0 below two samples.
template <typename T, typename A> inline T sampleVariance(A m2, std::uint32_t count)
{
    if (count < 2)
        return T(0.0f);
    return T(m2 / static_cast<A>(count - 1u));
}

} // namespace vnx::statistics
