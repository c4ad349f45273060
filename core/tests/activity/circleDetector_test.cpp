// Circle detector: a device at rest (gravity on z), then a deviation of
// 6 m/s^2 turning in the x-y plane, given as the deviation's direction per
// sample.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "activity/circleDetectorApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/GaussianNoise.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::CircleApi;
using vnx::activitytest::DetectorRig;
using vnx::testsupport::Acc;

constexpr float kGravity = 9.81f;
constexpr float kNoiseMs2 = 0.05f;
constexpr float kDeviationMs2 = 6.0f;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

/// One second at rest with noise, then one sample per entry of `headings`:
/// the deviation's direction in degrees in the x-y plane.
std::vector<vnx_Mobile_Output_s> gesture(std::int32_t periodUs, const std::vector<double>& headings)
{
    vnx::testsupport::GaussianNoise noise(11);
    std::vector<Acc> samples;
    const auto rest = static_cast<std::size_t>(1000000 / periodUs);
    for (std::size_t i = 0; i < rest; ++i) {
        Acc a{0.0f, 0.0f, kGravity};
        for (float& v : a)
            v += kNoiseMs2 * static_cast<float>(noise.next());
        samples.push_back(a);
    }
    for (double h : headings) {
        const double r = h * kDegToRad;
        samples.push_back({static_cast<float>(kDeviationMs2 * std::cos(r)),
                           static_cast<float>(kDeviationMs2 * std::sin(r)), kGravity});
    }
    return vnx::testsupport::accelerometerRecords(samples, static_cast<std::uint32_t>(periodUs));
}

/// Headings turning by `stepDegrees` per sample: `count` samples from `start`.
std::vector<double> turn(double start, double stepDegrees, std::size_t count)
{
    std::vector<double> h;
    for (std::size_t i = 0; i < count; ++i)
        h.push_back(start + stepDegrees * static_cast<double>(i));
    return h;
}

std::vector<double> joined(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(CircleDetector, DefaultsAreWordsOfTheirQFormats)
{
    vnx_CircleDetectorConfig_s c{};
    ASSERT_EQ(vnx_CircleDetector_getConfigDefaults(&c), VNX_STATUS_SUCCESS);
    EXPECT_EQ(c.minDeviationQ24, 67108864); // 4.0 in Q24
    EXPECT_EQ(c.minAxisCosQ30, 0);
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.totalAngleQ25, 25), 9.424778f);
    EXPECT_EQ(vnx_CircleDetector_getVersion(), 1);
}

TEST(CircleDetector, DeviceAtRestNeverStarts)
{
    DetectorRig<CircleApi> rig(40000);
    EXPECT_TRUE(rig.eventsOf(gesture(40000, {})).empty());
    // A deviation below 4 m/s^2 turning for good starts nothing either.
    auto small = gesture(40000, {});
    for (double h = 0; h < 3 * 360; h += 14.4) {
        const double r = h * kDegToRad;
        small.push_back(vnx::testsupport::accelerometerRecord(
            0, {static_cast<float>(3.5 * std::cos(r)), static_cast<float>(3.5 * std::sin(r)), kGravity}));
    }
    EXPECT_TRUE(rig.eventsOf(small).empty());
}

TEST(CircleDetector, OneAndAHalfTurnsInOnePlaneAreACircle)
{
    // About one revolution a second at 40 ms: 14.4 degrees per sample, a
    // step of 57.6 degrees every fourth sample; the tenth step passes 540.
    DetectorRig<CircleApi> rig(40000);
    const auto records = gesture(40000, turn(0, 14.4, 100));
    const std::vector<std::size_t> events = rig.eventsOf(records);
    const std::size_t rest = 25;
    EXPECT_EQ(events, (std::vector<std::size_t>{rest + 40})) << "once, at the tenth step";
}

TEST(CircleDetector, ReversingTheTurnStartsTheCountOver)
{
    // Steps of 50 degrees, one per sample: eleven make 550 degrees. The
    // step that reverses is the first of a new count and adds no angle.
    const struct
    {
        const char* name;
        std::vector<double> headings;
        bool circle;
    } cases[] = {
        {"thirteen steps one way", turn(0, 50, 14), true},
        {"five, then eight back", joined(turn(0, 50, 6), turn(250, -50, 9)), false},
        {"five, then twelve back", joined(turn(0, 50, 6), turn(250, -50, 13)), true},
        {"ten steps only", turn(0, 50, 11), false},
    };
    for (const auto& c : cases) {
        DetectorRig<CircleApi> rig(40000);
        EXPECT_EQ(!rig.eventsOf(gesture(40000, c.headings)).empty(), c.circle) << c.name;
    }
}

TEST(CircleDetector, APauseOfEightTenthsOfASecondAbandonsTheGesture)
{
    // Five steps, a pause of `pause` samples holding the last heading, then
    // six more steps. The wait for a step is 8 times the samples in 100 ms:
    // 3 at 40 ms (24 samples), 5 at 20 ms (40); the step after the pause is
    // its sample number pause + 1.
    const struct
    {
        std::int32_t periodUs;
        std::size_t pause;
        bool circle;
    } cases[] = {{40000, 22, true}, {40000, 23, false}, {20000, 38, true}, {20000, 39, false}};
    for (const auto& c : cases) {
        std::vector<double> headings = turn(0, 50, 6);
        headings.insert(headings.end(), c.pause, 250.0);
        headings = joined(headings, turn(300, 50, 6));
        DetectorRig<CircleApi> rig(c.periodUs);
        EXPECT_EQ(!rig.eventsOf(gesture(c.periodUs, headings)).empty(), c.circle)
            << c.periodUs << " us, pause " << c.pause;
    }
}

} // namespace
