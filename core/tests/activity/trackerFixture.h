#pragma once

// The activity tracker's configuration in the tests and benchmarks: the
// settings the gait classifier's tables were trained with (25 Hz samples,
// 1-s frames, windows of 3 frames on a phone and 4 on a wrist, the tracker's
// step and vibration channels of ldaScenarios.h), the step detectors'
// fixture configuration, and the SCD of a phone accelerometer.

#include <cstdint>
#include <cstring>
#include <vector>

#include "activity/TiltDetector.h"
#include "activity/activityTrackerApi.h"
#include "calibration/scdData.h"
#include "ldaScenarios.h"
#include "numerics/fixedPoint.h"
#include "stepFixture.h"
#include "support/ScdBuilder.h"

namespace vnx::activitytest {

inline std::int32_t fixedQ(float value, int fractionalBits)
{
    return vnx::fptToFixed32(value, fractionalBits, true, true);
}

/// A periods record asking for (or granting) `us` in the accelerometer slot.
inline vnx_Mobile_VirtualSensorPeriods_s accelerometerPeriod(std::int32_t us)
{
    vnx_Mobile_VirtualSensorPeriods_s p{};
    p.periodUs[VNX_MOBILE_ACCELEROMETER] = us;
    return p;
}

/// The classifier with the trained LDA settings; in-vehicle crossings of a
/// still-from-statistics detector, the tilt detector's defaults, and a stair
/// slope of 0.001 hPa per pressure sample.
inline vnx_ActivityClassifierConfig_s classifierFixtureConfig(std::uint32_t framePeriodUs = 1000000,
                                                              std::uint32_t ldaKind = 0)
{
    vnx_ActivityClassifierConfig_s c{};
    c.framePeriodUs = framePeriodUs;
    c.lda.kind = ldaKind;
    c.lda.windowLength = ldaKind == 0 ? vnx::ldatraining::kPhoneWindow : vnx::ldatraining::kWatchWindow;
    c.inVehicle = {3, 6, 0};
    vnx::activity::TiltDetector::getDefaults(c.tilt);
    c.stair.slopeThresholdQ16 = fixedQ(0.001f, 16);
    return c;
}

inline vnx_ActivityTracker_Channel_Config_s trackerChannel(const vnx::ldatraining::ChannelSettings& s)
{
    return {fixedQ(s.timeConstantS, 30), fixedQ(s.threshold, 31), fixedQ(s.toleranceS, 31),
            fixedQ(s.minSpacingS, 31)};
}

/// Phone (device kind 0) or watch (any other kind, with the wrist classifier).
inline vnx_ActivityTracker_atConfigMemory_s trackerFixtureConfig(std::int32_t deviceKind = 0,
                                                                 std::uint32_t framePeriodUs = 1000000)
{
    vnx_ActivityTracker_atConfigMemory_s c{};
    c.size = VNX_ACTIVITY_TRACKER_CONFIG_SIZE;
    c.version = VNX_ACTIVITY_TRACKER_CONFIG_VERSION;
    c.innards.deviceKind = deviceKind;
    c.innards.stepChannel = trackerChannel(vnx::ldatraining::kStepChannel);
    c.innards.vibrationChannel = trackerChannel(vnx::ldatraining::kVibrationChannel);
    c.innards.classifier = classifierFixtureConfig(framePeriodUs, deviceKind == 0 ? 0 : 1);
    c.innards.stepDetector = stepFixtureConfig();
    return c;
}

/// A phone accelerometer of +-4 g; noise 0.05 m/s^2 on x and y and 0.06 on
/// z (the largest is the tracker's noise level).
inline std::vector<std::uint8_t> phoneScd()
{
    constexpr float kFullScaleMs2 = 39.2266f;
    const float counts = 32768.0f / kFullScaleMs2;
    const scdGen4Float_s scd = vnx::testsupport::ScdBuilder()
                                   .period(0.01)
                                   .accelMatrix(kFullScaleMs2 * vnx::testsupport::I)
                                   .accelNoise(0.05f * counts, -0.05f * counts, 0.06f * counts)
                                   .build();
    std::vector<std::uint8_t> bytes(sizeof scd);
    std::memcpy(bytes.data(), &scd, sizeof scd);
    return bytes;
}

} // namespace vnx::activitytest
