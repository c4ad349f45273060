// Tilt detector: a device held in poses given as the angle of gravity from
// the device's z axis (turning about x), with sensor noise, at 100 ms.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "activity/DetectorFamily.h"
#include "activity/TiltDetector.h"
#include "activity/tiltDetectorApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/GaussianNoise.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activity::DetectorFamily;
using vnx::activity::TiltDetector;
using vnx::activitytest::DetectorRig;
using vnx::activitytest::TiltApi;
using vnx::testsupport::Acc;

constexpr float kGravity = 9.81f;
constexpr float kNoiseMs2 = 0.05f;
constexpr std::int32_t kPeriodUs = 100000;
/// Samples in one 2-second window at kPeriodUs.
constexpr std::size_t kWindow = 20;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

/// Poses held for the given numbers of samples, one after another; a pose
/// of NaN degrees is an all-zero sample.
std::vector<vnx_Mobile_Output_s> holds(const std::vector<std::pair<double, std::size_t>>& parts)
{
    vnx::testsupport::GaussianNoise noise(3);
    std::vector<Acc> samples;
    for (const auto& [degrees, count] : parts) {
        for (std::size_t i = 0; i < count; ++i) {
            if (std::isnan(degrees)) {
                samples.push_back({0.0f, 0.0f, 0.0f});
                continue;
            }
            const double r = degrees * kDegToRad;
            Acc a{0.0f, static_cast<float>(kGravity * std::sin(r)),
                  static_cast<float>(kGravity * std::cos(r))};
            for (float& v : a)
                v += kNoiseMs2 * static_cast<float>(noise.next());
            samples.push_back(a);
        }
    }
    return vnx::testsupport::accelerometerRecords(samples, kPeriodUs);
}

TEST(TiltDetector, DefaultsAreWordsOfTheirQFormats)
{
    vnx_TiltDetectorConfig_s c{};
    ASSERT_EQ(vnx_TiltDetector_getConfigDefaults(&c), VNX_STATUS_SUCCESS);
    EXPECT_EQ(c.windowQ27, 268435456); // 2.0 in Q27
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.cosThresholdQ30, 30), 0.81915206f);
    EXPECT_EQ(vnx_TiltDetector_getVersion(), 1);
}

TEST(TiltDetector, TurnsBeyondTheAngleAreReportedAtTheirWindowsEnd)
{
    // The reference is set one second (10 samples) into the first window;
    // windows end at samples 19, 39, 59, ...
    const struct
    {
        const char* name;
        std::vector<std::pair<double, std::size_t>> parts;
        std::vector<std::size_t> events;
    } cases[] = {
        {"held still from the start", {{0, 10 * kWindow}}, {}},
        {"30 degrees for whole windows", {{0, 2 * kWindow}, {30, 6 * kWindow}}, {}},
        {"40 degrees at a window boundary", {{0, 2 * kWindow}, {40, 6 * kWindow}}, {3 * kWindow - 1}},
        {"40 degrees, then back",
         {{0, 2 * kWindow}, {40, 2 * kWindow}, {0, 2 * kWindow}},
         {3 * kWindow - 1, 5 * kWindow - 1}},
        {"30 degrees, then 30 more",
         {{0, 2 * kWindow}, {30, 2 * kWindow}, {60, 2 * kWindow}},
         {5 * kWindow - 1}},
        {"a window of zeros at the start",
         {{NAN, kWindow}, {0, 2 * kWindow}, {40, 2 * kWindow}},
         {4 * kWindow - 1}},
    };
    for (const auto& c : cases) {
        DetectorRig<TiltApi> rig(kPeriodUs);
        EXPECT_EQ(rig.eventsOf(holds(c.parts)), c.events) << c.name;
    }
}

TEST(TiltDetector, GenerateOutputGivesEachTiltOnce)
{
    DetectorRig<TiltApi> rig(kPeriodUs);
    TiltDetector* tilt = DetectorFamily<TiltDetector>::instance(rig.handle());
    ASSERT_NE(tilt, nullptr);
    int tilts = 0;
    for (const vnx_Mobile_Output_s& in : holds({{0, 2 * kWindow}, {40, 2 * kWindow}, {0, 2 * kWindow}})) {
        rig.process(in);
        tilts += tilt->generateOutput() ? 1 : 0;
    }
    EXPECT_EQ(tilts, 2);
    EXPECT_FALSE(tilt->generateOutput());

    // A tilt not yet taken is not given while the detector is disabled.
    for (const vnx_Mobile_Output_s& in : holds({{40, 2 * kWindow}}))
        rig.process(in);
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    ASSERT_EQ(vnx_TiltDetector_enableOutputPeriodsAndDeriveInputPeriods(rig.handle(), 0, &periods), 0);
    EXPECT_FALSE(tilt->generateOutput());
}

TEST(TiltDetector, CutoffPeriodIsTheLongestAccepted)
{
    const struct
    {
        int requested;
        int bounded;
    } cases[] = {{200000, 111111}, {111111, 111111}, {50000, 50000}, {1, 1}};
    for (const auto& c : cases) {
        int period = c.requested;
        TiltDetector::applyCutoffPeriod(period);
        EXPECT_EQ(period, c.bounded) << c.requested;
    }
}

TEST(TiltDetector, DisablingForgetsTheReference)
{
    // The reference is taken at pose 0; after a disable and a new start the
    // pose 40 degrees away becomes the new reference instead of a tilt.
    DetectorRig<TiltApi> rig(kPeriodUs);
    EXPECT_TRUE(rig.eventsOf(holds({{0, 2 * kWindow}})).empty());
    vnx_Mobile_VirtualSensorPeriods_s periods{};
    ASSERT_EQ(vnx_TiltDetector_enableOutputPeriodsAndDeriveInputPeriods(rig.handle(), 0, &periods), 0);
    ASSERT_EQ(vnx_TiltDetector_enableOutputPeriodsAndDeriveInputPeriods(rig.handle(), 1, &periods), 0);
    ASSERT_EQ(rig.setPeriod(kPeriodUs), VNX_STATUS_SUCCESS);
    EXPECT_TRUE(rig.eventsOf(holds({{40, 4 * kWindow}})).empty());
}

TEST(TiltDetector, NewPeriodStartsANewWindow)
{
    // Half a window at 0 degrees, then a new period: the window restarts,
    // so the following window at 40 degrees is compared with a reference
    // taken from itself (no tilt), not with the half window before.
    DetectorRig<TiltApi> rig(kPeriodUs);
    EXPECT_TRUE(rig.eventsOf(holds({{0, kWindow / 2 - 1}})).empty());
    ASSERT_EQ(rig.setPeriod(kPeriodUs), VNX_STATUS_SUCCESS);
    EXPECT_TRUE(rig.eventsOf(holds({{40, 4 * kWindow}})).empty());
}

} // namespace
