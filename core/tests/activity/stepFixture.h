#pragma once

// The step configuration of the step tests and of the activity tests that
// count steps, and the walks they run on. Clients supply the step
// configuration; this one was derived from the signals the detectors' double
// leaky integrator produces on the synthetic walks below (gravity on z plus a
// 2.5 m/s^2 sinusoid on the norm, 2.0 Hz walking and 2.8 Hz running):
//   - time constant 0.2 s: long against a step (the integrator still
//     integrates at 2 Hz) yet short enough that the start of a walk settles
//     within a couple of steps (0.25 s and more lose too many steps at the
//     start of a run sampled at 25 Hz);
//   - raw-channel threshold 0.004: the position of the norm's channel swings
//     about +-0.014 at 2.0 Hz and +-0.008 at 2.8 Hz, while sensor noise of
//     0.05 m/s^2 stays below 0.001;
//   - position-channel threshold 1e-4 (phone): that channel swings about
//     +-2.2e-4 at 2.0 Hz and +-1.2e-4 at 2.8 Hz; on a device at rest its
//     input (a summed absolute speed, never negative) still rises to about
//     the threshold as it settles after enabling, so a resting phone's
//     position channel may take a stray peak, which the rhythm check leaves
//     unconfirmed;
//   - velocity-channel threshold 0.05 (wrist): that channel swings about
//     +-0.17 at 2.0 Hz and +-0.14 at 2.8 Hz;
//   - minimum step spacing 0.3 s (cadences up to 3.3 Hz), tolerance 0.1 s
//     (same-foot intervals of a steady gait differ by a sample or two),
//     reported steps at least half the chosen channel's period apart, a kept
//     channel up to 1.5 times the best period, and steps reported only within
//     2 s of the raw channel's last counted step.

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "activity/stepDetectorApi.h"
#include "numerics/fixedPoint.h"
#include "sensorFusionMobile/mobileRecords.h"
#include "support/GaussianNoise.h"
#include "support/mobileOutputs.h"

namespace vnx::activitytest {

inline vnx_StepDetectorConfig_s stepFixtureConfig()
{
    const auto q = [](float value, int fractionalBits) {
        return vnx::fptToFixed32(value, fractionalBits, true, true);
    };
    vnx_StepDetectorConfig_s c{};
    c.timeConstantQ30 = q(0.2f, 30);
    c.rawThresholdQ31 = q(0.004f, 31);
    c.toleranceQ31 = q(0.1f, 31);
    c.minSpacingQ31 = q(0.3f, 31);
    c.velocityThresholdQ31 = q(0.05f, 31);
    c.positionThresholdQ31 = q(1e-4f, 31);
    c.reportFractionQ31 = q(0.5f, 31);
    c.keepRatioQ30 = q(1.5f, 30);
    c.rawSilenceQ28 = q(2.0f, 28);
    return c;
}

inline constexpr float kGravityMs2 = 9.81f;
inline constexpr float kGaitAmplitudeMs2 = 2.5f;
inline constexpr float kSensorNoiseMs2 = 0.05f;

/// A device carried on a walk or run: gravity on z, the gait as a sinusoid
/// of the norm at `cadenceHz`, and sensor noise on every axis.
inline std::vector<vnx_Mobile_Output_s> walk(double seconds, double cadenceHz, std::uint32_t periodUs,
                                             std::uint64_t seed = 7)
{
    vnx::testsupport::GaussianNoise noise(seed);
    const auto count = static_cast<std::size_t>(seconds * 1e6 / periodUs);
    return vnx::testsupport::accelerometerRecords(count, periodUs, [&](std::size_t, double t) {
        const double gait = kGaitAmplitudeMs2 * std::sin(2.0 * std::numbers::pi * cadenceHz * t);
        return vnx::testsupport::Acc{static_cast<float>(kSensorNoiseMs2 * noise.next()),
                                     static_cast<float>(kSensorNoiseMs2 * noise.next()),
                                     static_cast<float>(kGravityMs2 + gait + kSensorNoiseMs2 * noise.next())};
    });
}

/// A device at rest with gravity along `direction` (unit vector) and noise.
inline std::vector<vnx_Mobile_Output_s> still(double seconds, std::uint32_t periodUs,
                                              const float (&direction)[3], std::uint64_t seed = 11,
                                              std::uint32_t startUs = 0)
{
    vnx::testsupport::GaussianNoise noise(seed);
    const auto count = static_cast<std::size_t>(seconds * 1e6 / periodUs);
    return vnx::testsupport::accelerometerRecords(
        count, periodUs,
        [&](std::size_t, double) {
            vnx::testsupport::Acc a{};
            for (int k = 0; k < 3; ++k)
                a[k] = kGravityMs2 * direction[k] + static_cast<float>(kSensorNoiseMs2 * noise.next());
            return a;
        },
        startUs);
}

} // namespace vnx::activitytest
