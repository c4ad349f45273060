// Pick-up detector: a phone lying flat face up, swung into the viewing pose
// (upright, screen to the user) or elsewhere, at 100 ms. With the default
// reorientation (90 degrees about z) the upright phone, whose accelerometer
// reads +1 g along y, has pitch 90 degrees and roll 0.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "activity/pickUpDetectorApi.h"
#include "common/statusCode.h"
#include "detectorRig.h"
#include "numerics/fixedPoint.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activitytest::DetectorRig;
using vnx::activitytest::PickUpApi;
using vnx::testsupport::Acc;

constexpr float g = 9.81f;
constexpr std::int32_t kPeriodUs = 100000;
constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
constexpr std::uint32_t kLeftFlat = 1;
constexpr std::uint32_t kPickedUp = 2;

const Acc kFlat{0.0f, 0.0f, g};
const Acc kUpright{0.0f, g, 0.0f};
const Acc kFaceDown{0.0f, 0.0f, -g};
const Acc kZero{0.0f, 0.0f, 0.0f};

/// Upright, rolled by `degrees` about the device's z axis (screen still to
/// the user): roll beyond 60 degrees is outside the viewing pose.
Acc rolled(double degrees)
{
    const double r = degrees * kDegToRad;
    return {static_cast<float>(g * std::sin(r)), static_cast<float>(g * std::cos(r)), 0.0f};
}

struct Part
{
    Acc from;
    Acc to; ///< reached by a steady turn over `count` samples when it differs from `from`
    std::size_t count;
};

/// Holds and steady turns (linear in angle between the two directions).
std::vector<vnx_Mobile_Output_s> motion(const std::vector<Part>& parts)
{
    std::vector<Acc> samples;
    for (const Part& p : parts) {
        for (std::size_t i = 0; i < p.count; ++i) {
            const double s = p.count > 1 ? static_cast<double>(i + 1) / static_cast<double>(p.count) : 1.0;
            const bool turning = std::memcmp(&p.from, &p.to, sizeof(Acc)) != 0;
            Acc a = p.to;
            if (turning) {
                // Spherical interpolation at 1 g.
                double dot = 0;
                for (int k = 0; k < 3; ++k)
                    dot += p.from[k] * p.to[k] / (g * g);
                const double omega = std::acos(std::fmax(-1.0, std::fmin(1.0, dot)));
                const double wa = std::sin((1 - s) * omega) / std::sin(omega);
                const double wb = std::sin(s * omega) / std::sin(omega);
                for (int k = 0; k < 3; ++k)
                    a[k] = static_cast<float>(wa * p.from[k] + wb * p.to[k]);
            }
            samples.push_back(a);
        }
    }
    return vnx::testsupport::accelerometerRecords(samples, kPeriodUs);
}

Part hold(const Acc& a, std::size_t count)
{
    return {a, a, count};
}

/// Events of the records, each with its sample index.
std::vector<std::pair<std::size_t, std::uint32_t>> eventsOf(DetectorRig<PickUpApi>& rig,
                                                            const std::vector<vnx_Mobile_Output_s>& records)
{
    std::vector<std::pair<std::size_t, std::uint32_t>> events;
    const auto steps = rig.run(records);
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i].event != 0)
            events.push_back({i, steps[i].event});
    return events;
}

TEST(PickUpDetector, DefaultsFillTheSixtyFourByteRecord)
{
    vnx_PickUpDetector_Config_s c;
    std::memset(&c, 0xEE, sizeof c);
    ASSERT_EQ(vnx_PickUpDetector_getPickUpDefaults(&c), VNX_STATUS_SUCCESS);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&c);
    EXPECT_EQ(bytes[0], 3);
    const std::uint8_t flatQuaternion[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(bytes + 4, flatQuaternion, 8));
    const std::uint8_t pickUpQuaternion[8] = {0, 0, 0, 0, 0x00, 0x40, 0x00, 0x40}; // x, y, z, w: 0, 0, 1, 1
    EXPECT_EQ(0, std::memcmp(bytes + 24, pickUpQuaternion, 8));
    const struct
    {
        std::int32_t word;
        int q;
        float value;
    } words[] = {
        {c.flatTimeConstantQ20, 20, 0.4f},
        {c.flatAngleQ29, 29, 0.7853982f},
        {c.flatHysteresisQ29, 29, 0.034906585f},
        {c.pickUpTimeConstantQ20, 20, 0.125f},
        {c.pitchLowQ29, 29, -0.17453292f},
        {c.pitchHighQ29, 29, 2.9670596f},
        {c.rollLowQ29, 29, -1.0471976f},
        {c.rollHighQ29, 29, 1.0471976f},
        {c.restLevelQ24, 24, 1.0f},
        {c.movementLevelQ24, 24, 4.0f},
        {c.pickUpWindowQ20, 20, 1.0f},
    };
    for (const auto& w : words)
        EXPECT_NEAR(vnx::fptToFloat32(w.word, w.q), w.value, 1.0 / (1 << w.q)) << "Q" << w.q;
    EXPECT_EQ(c.movementLevelQ24, 67108864);
    EXPECT_EQ(vnx_PickUpDetector_getVersion(), 1);
}

TEST(PickUpDetector, ModeSelectsTheEvents)
{
    // Lying flat, then swung upright: the phone leaves the flat pose and is
    // picked up.
    const auto records = motion({hold(kFlat, 20), hold(kUpright, 20)});
    const struct
    {
        std::uint8_t mode;
        std::uint32_t seen;
    } cases[] = {{3, kLeftFlat | kPickedUp}, {1, kLeftFlat}, {2, kPickedUp}, {0, 0}};
    for (const auto& c : cases) {
        DetectorRig<PickUpApi> rig(kPeriodUs, [&](vnx_PickUpDetector_Config_s& cfg) { cfg.mode = c.mode; });
        std::uint32_t seen = 0;
        int pickUps = 0;
        for (const auto& [at, event] : eventsOf(rig, records)) {
            EXPECT_GE(at, 20u);
            seen |= event;
            pickUps += (event & kPickedUp) != 0;
        }
        EXPECT_EQ(seen, c.seen) << "mode " << int(c.mode);
        EXPECT_LE(pickUps, 1);
    }
}

TEST(PickUpDetector, RestInThePoseCountsOnlyWithinTheWindowAfterAMovement)
{
    // Swung from flat to upright but rolled 75 degrees (out of the pose),
    // held, then rolled gently (no strong movement) to 30 degrees and held:
    // the rest in the pose comes about 0.6 s after the end of the hold.
    const struct
    {
        const char* name;
        std::vector<Part> parts;
        bool pickedUp;
    } cases[] = {
        {"held in the pose from the start", {hold(kUpright, 40)}, false},
        {"rolled into the pose without a swing",
         {hold(rolled(75), 20), {rolled(75), rolled(30), 5}, hold(rolled(30), 20)},
         false},
        {"swing, short hold, roll in",
         {hold(kFlat, 20), hold(rolled(75), 2), {rolled(75), rolled(30), 5}, hold(rolled(30), 20)},
         true},
        {"swing, long hold, roll in",
         {hold(kFlat, 20), hold(rolled(75), 12), {rolled(75), rolled(30), 5}, hold(rolled(30), 20)},
         false},
        {"swing to face down, turn slowly upright",
         {hold(kFlat, 20), hold(kFaceDown, 15), {kFaceDown, kUpright, 10}, hold(kUpright, 20)},
         false},
        {"swing straight into the pose", {hold(kFlat, 20), hold(kUpright, 20)}, true},
    };
    for (const auto& c : cases) {
        DetectorRig<PickUpApi> rig(kPeriodUs, [](vnx_PickUpDetector_Config_s& cfg) { cfg.mode = 2; });
        const auto events = eventsOf(rig, motion(c.parts));
        EXPECT_EQ(events.size(), c.pickedUp ? 1u : 0u) << c.name;
    }
}

TEST(PickUpDetector, ReorientationDecidesWhichPoseIsTheViewingPose)
{
    // With x, y and z of a quaternion all 0 the samples are not turned, and
    // the viewing pose is the phone lying on its side (+1 g along -x).
    const Acc onItsSide{-g, 0.0f, 0.0f};
    const struct
    {
        const char* name;
        vnx_PickUpDetector_Quaternion_s q;
        Acc pose;
        bool pickedUp;
    } cases[] = {
        {"default, upright", {0, 0, 16384, 16384}, kUpright, true},
        {"default, on its side", {0, 0, 16384, 16384}, onItsSide, false},
        {"unit quaternion given exactly", {0, 0, 11585, 11585}, kUpright, true},
        {"no vector part, upright", {0, 0, 0, 16384}, kUpright, false},
        {"no vector part, on its side", {0, 0, 0, 16384}, onItsSide, true},
        {"no vector part and w 0, on its side", {0, 0, 0, 0}, onItsSide, true},
    };
    for (const auto& c : cases) {
        DetectorRig<PickUpApi> rig(kPeriodUs, [&](vnx_PickUpDetector_Config_s& cfg) {
            cfg.mode = 2;
            cfg.pickUpOrientation = c.q;
        });
        EXPECT_EQ(eventsOf(rig, motion({hold(kFlat, 20), hold(c.pose, 20)})).size(), c.pickedUp ? 1u : 0u)
            << c.name;
    }
}

TEST(PickUpDetector, ZeroSamplesLeaveBothPathsWorking)
{
    // Free fall reads zero: no direction, so no filter step and no NaN.
    const struct
    {
        const char* name;
        std::vector<Part> parts;
    } cases[] = {
        {"zeros first", {hold(kZero, 5), hold(kFlat, 20), hold(kUpright, 20)}},
        {"zeros while flat", {hold(kFlat, 20), hold(kZero, 5), hold(kFlat, 20), hold(kUpright, 20)}},
    };
    for (const auto& c : cases) {
        DetectorRig<PickUpApi> rig(kPeriodUs);
        std::uint32_t seen = 0;
        for (const auto& [at, event] : eventsOf(rig, motion(c.parts)))
            seen |= event;
        EXPECT_EQ(seen, kLeftFlat | kPickedUp) << c.name;
    }
}

TEST(PickUpDetector, LeavingFlatHasAHysteresis)
{
    // Flat counts up to 44 degrees from level, not flat from 46; tilting
    // to 45 leaves the state as it was.
    auto tilted = [](double degrees) {
        const double r = degrees * kDegToRad;
        return Acc{0.0f, static_cast<float>(g * std::sin(r)), static_cast<float>(g * std::cos(r))};
    };
    const struct
    {
        const char* name;
        std::vector<Part> parts;
        std::size_t exits;
    } cases[] = {
        {"flat to 45", {hold(tilted(0), 30), hold(tilted(45), 40)}, 0},
        {"flat to 47", {hold(tilted(0), 30), hold(tilted(47), 40)}, 1},
        {"face down to 47", {hold(tilted(180), 30), hold(tilted(133), 40)}, 1},
        {"never flat, 50 to 90", {hold(tilted(50), 30), hold(tilted(90), 40)}, 0},
        {"flat, 60, flat, 60",
         {hold(tilted(0), 30), hold(tilted(60), 30), hold(tilted(0), 30), hold(tilted(60), 30)},
         2},
    };
    for (const auto& c : cases) {
        DetectorRig<PickUpApi> rig(kPeriodUs, [](vnx_PickUpDetector_Config_s& cfg) { cfg.mode = 1; });
        EXPECT_EQ(eventsOf(rig, motion(c.parts)).size(), c.exits) << c.name;
    }
}

} // namespace
