// Flip detector: poses given as the angle between the device's -z axis and
// the ground direction (0 face down, 180 degrees face up), held or switched.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "activity/flipDetectorApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::DetectorRig;
using vnx::activitytest::FlipApi;
using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecords;

constexpr float kGravity = 9.81f;
constexpr std::int32_t kPeriodUs = 100000;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

/// What the accelerometer of a device at `degrees` from face down reads.
Acc pose(double degrees)
{
    const double r = degrees * kDegToRad;
    return {static_cast<float>(kGravity * std::sin(r)), 0.0f, static_cast<float>(-kGravity * std::cos(r))};
}

/// Poses held for the given numbers of samples, one after another.
std::vector<vnx_Mobile_Output_s> holds(const std::vector<std::pair<double, std::size_t>>& parts,
                                       std::int32_t periodUs = kPeriodUs)
{
    std::vector<Acc> samples;
    for (const auto& [degrees, count] : parts)
        samples.insert(samples.end(), count, pose(degrees));
    return accelerometerRecords(samples, static_cast<std::uint32_t>(periodUs));
}

TEST(FlipDetector, DefaultsAreWordsOfTheirQFormats)
{
    vnx_FlipDetectorConfig_s c{};
    ASSERT_EQ(vnx_FlipDetector_getFlipDefaults(&c), VNX_STATUS_SUCCESS);
    EXPECT_EQ(c.timeConstantQ20, 419430); // 0.4 in Q20
    EXPECT_NEAR(vnx::fptToFloat32(c.timeConstantQ20, 20), 0.4f, 1.0 / (1 << 20));
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.angleQ29, 29), 0.7853982f);
    EXPECT_FLOAT_EQ(vnx::fptToFloat32(c.hysteresisQ29, 29), 0.034906585f);
    EXPECT_EQ(vnx_FlipDetector_getVersion(), 1);
}

TEST(FlipDetector, TurningFaceDownIsReportedOncePerTurn)
{
    const struct
    {
        const char* name;
        std::vector<std::pair<double, std::size_t>> parts;
        std::size_t events;
    } cases[] = {
        {"starting face down reports at once", {{0, 30}}, 1},
        {"face up never reports", {{180, 30}}, 0},
        {"down, up and down again", {{0, 30}, {180, 30}, {0, 30}}, 2},
        {"on its side", {{90, 60}}, 0},
        // Between 44 and 46 degrees the state stays what it was.
        {"down, then 45: still down, 43 adds nothing", {{0, 30}, {45, 60}, {43, 30}}, 1},
        {"up, then 45: still not down, 43 is down", {{180, 30}, {45, 60}, {43, 30}}, 1},
        {"down, 47 leaves, 45 keeps it left, 43 is down again", {{0, 30}, {47, 60}, {45, 60}, {43, 30}}, 2},
        {"up, then 44.5 stays not down", {{180, 30}, {44.5, 60}}, 0},
        {"down, then 45.5 stays down, up and 43.5 reports", {{0, 30}, {45.5, 60}, {180, 30}, {43.5, 30}}, 2},
    };
    for (const auto& c : cases) {
        DetectorRig<FlipApi> rig(kPeriodUs);
        const std::vector<std::size_t> events = rig.eventsOf(holds(c.parts));
        EXPECT_EQ(events.size(), c.events) << c.name;
        if (c.parts.front().first == 0 && !events.empty()) {
            EXPECT_EQ(events.front(), 0u) << c.name;
        }
    }
}

TEST(FlipDetector, LowPassFactorFollowsTheInputPeriod)
{
    // From lying on its side (90 degrees) straight to face down: the filtered
    // x falls as alpha^n and z grows as 1 - alpha^n, so the angle passes 44
    // degrees at the first n with alpha^n < tan 44 / (1 + tan 44), with
    // alpha = tau / (period + tau) and tau = 0.4 s (0.8 at 100 ms).
    for (std::int32_t periodUs : {100000, 50000, 20000, 10000}) {
        const double alpha = 0.4 / (periodUs * 1e-6 + 0.4);
        const double t = std::tan(44.0 * kDegToRad);
        const auto n = static_cast<std::size_t>(std::ceil(std::log(t / (1.0 + t)) / std::log(alpha)));
        DetectorRig<FlipApi> rig(periodUs);
        const std::size_t side = 200;
        EXPECT_EQ(rig.eventsOf(holds({{90, side}, {0, 100}}, periodUs)),
                  (std::vector<std::size_t>{side + n - 1}))
            << periodUs;
    }
}

TEST(FlipDetector, FilterStartsAfreshAfterEveryAcceptedPeriod)
{
    // On its side, then a new period, then face down: the first sample after
    // the period seeds the filter, so the flip is seen at once.
    DetectorRig<FlipApi> rig(kPeriodUs);
    EXPECT_TRUE(rig.eventsOf(holds({{90, 50}})).empty());
    ASSERT_EQ(rig.setPeriod(kPeriodUs), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.eventsOf(holds({{0, 10}})), (std::vector<std::size_t>{0}));
}

TEST(FlipDetector, ZeroAccelerationGivesNoDecision)
{
    // Zero samples right after the filter is seeded leave it at zero: no
    // direction, no decision, and nothing that keeps the later flip from
    // being seen.
    DetectorRig<FlipApi> rig(kPeriodUs);
    const std::vector<Acc> zeros(20, Acc{0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(rig.eventsOf(accelerometerRecords(zeros, kPeriodUs)).empty());
    EXPECT_EQ(rig.eventsOf(holds({{0, 10}})), (std::vector<std::size_t>{0}));
}

} // namespace
