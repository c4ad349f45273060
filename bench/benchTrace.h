#pragma once

// The device and the trace the main-road benchmarks share: a three-axis
// presenter at 125 Hz and ten minutes of generated motion with sensor noise
// and a gyroscope offset.

#include <cmath>
#include <cstddef>
#include <vector>

#include "deviceSupport/DeviceSupport6AG.h"
#include "support/MotionTrace.h"
#include "support/ScdBuilder.h"

namespace vnx::bench {

/// A three-axis device at 125 Hz: accelerometer 2 g full scale, gyroscope
/// 1 mrad/s per count.
inline scdGen4Float_s benchDevice()
{
    return testsupport::ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(19.6133f) * testsupport::I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * testsupport::I)
        .gyroNoise(4, 4, 4)
        .zroTerms(0.005f, 0.005f)
        .zroInitSigma(0.02f)
        .deviceKind(1)
        .build();
}

/// Ten minutes of samples: still starts, turns about every axis, hand-like
/// motion whose rate changes every 0.1 s.
inline std::vector<vnx_DeviceSupport6AG_Output_s> traceSamples(const scdGen4Float_s& scd)
{
    testsupport::MotionTrace trace(
        scd, {.seed = 7, .gyroOffset = {0.01, -0.02, 0.015}, .accNoise = 0.02, .gyroNoise = 0.002});
    for (int minute = 0; minute < 10; ++minute) {
        trace.still(5.0).turn({1, 0, 0}, 0.5, 1.0).turn({0, 1, 0}, -0.7, 1.0).turn({0, 0, 1}, 1.0, 2.0);
        for (double t = 0.0; t < 51.0; t += 0.1) {
            const vnx::testsupport::Vec3d rate{1.2 * std::sin(0.9 * t), 0.8 * std::sin(0.6 * t + 1.0),
                                               1.5 * std::cos(0.35 * t)};
            const double magnitude = std::sqrt(rate[0] * rate[0] + rate[1] * rate[1] + rate[2] * rate[2]);
            trace.turn(rate, magnitude, 0.1);
        }
    }
    std::vector<vnx_DeviceSupport6AG_Output_s> samples;
    samples.reserve(static_cast<std::size_t>(trace.sampleCount()));
    for (const auto& sample : trace) {
        samples.push_back(sample.output6AG);
    }
    return samples;
}

} // namespace vnx::bench
