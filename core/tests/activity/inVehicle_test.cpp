// In-vehicle components of the activity classifier: vibration counting with
// stillness, and the window detectors of vehicle acceleration.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "activity/InVehicleAcceleration.h"
#include "activity/InVehicleDetector.h"
#include "activity/StairDetector.h"
#include "activity/WindowBank.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"
#include "support/GaussianNoise.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::activity::InVehicleAcceleration;
using vnx::activity::InVehicleDetector;
using vnx::activity::InVehicleOutput;
using vnx::activity::WindowBank;
using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecord;

constexpr float kG = 9.81f;

vnx_ActivityClassifier_InVehicle_Config_s vibrationConfig(std::uint32_t mode, std::uint32_t limitA = 7,
                                                          std::uint32_t limitB = 5)
{
    return {limitA, limitB, mode};
}

/// A device lying still (noise only), shaken by a vehicle's cabin (0.3 m/s^2
/// at 12 Hz on every axis), or carried while walking. The sensor is a quiet
/// one (0.005 m/s^2 per axis), below the detector's noise floor: the
/// crossing thresholds sit at that floor, so a noisier sensor must declare
/// its noise for them to stay above it.
enum class Motion
{
    Still,
    Cabin,
    Walking
};

Acc sampleOf(Motion motion, double t, vnx::testsupport::GaussianNoise& noise)
{
    Acc a{0.0f, 0.0f, kG};
    for (float& v : a)
        v += 0.005f * static_cast<float>(noise.next());
    if (motion == Motion::Cabin) {
        for (int k = 0; k < 3; ++k)
            a[k] += 0.3f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 12.0 * t + k));
    } else if (motion == Motion::Walking) {
        a[2] += 2.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 2.0 * t));
        a[0] += 1.0f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 1.0 * t));
    }
    return a;
}

/// The detector's status after one frame of `seconds` of motion.
std::uint8_t frameStatus(InVehicleDetector& detector, Motion motion, double seconds, std::int32_t periodUs)
{
    vnx::testsupport::GaussianNoise noise(31);
    const int samples = static_cast<int>(seconds * 1e6 / periodUs);
    for (int i = 0; i < samples; ++i) {
        const double t = i * periodUs * 1e-6;
        detector.reportNewAcc(
            accelerometerRecord(static_cast<std::uint32_t>(i * periodUs), sampleOf(motion, t, noise)));
    }
    InVehicleDetector::Output_s out{};
    out.reserved0 = out.reserved1 = 0xFFFFFFFFu;
    detector.generateOutput(&out);
    EXPECT_EQ(out.reserved0, 0u);
    EXPECT_EQ(out.reserved1, 0u);
    return out.status;
}

TEST(InVehicleDetector, InitTakesTheNoiseLevelWithAFloor)
{
    const struct
    {
        float noise, level;
    } cases[] = {{0.01f, 0.017734336f}, {0.0f, 0.017734336f}, {0.05f, 0.05f}};
    for (const auto& c : cases) {
        InVehicleDetector detector;
        const auto config = vibrationConfig(0);
        ASSERT_EQ(detector.init(&config, c.noise), VNX_STATUS_SUCCESS);
        EXPECT_EQ(detector.noiseLevel(), c.level);
        EXPECT_EQ(detector.thresholdB(), c.level);
        EXPECT_EQ(detector.thresholdA(), 2.0f * c.level);
        EXPECT_EQ(detector.filterCoefficient(), 0.9f);
        EXPECT_EQ(detector.status(), InVehicleOutput::kUndecided);
    }
    InVehicleDetector detector;
    EXPECT_EQ(detector.init(nullptr, 0.01f), VNX_STATUS_INVALID_CONFIG);
}

TEST(InVehicleDetector, PeriodSetsThresholdsAndLimits)
{
    const float n = 0.017734336f;
    const struct
    {
        std::int32_t periodUs;
        float thresholdA, thresholdB;
        int limitA, limitB;
    } cases[] = {
        {40000, 0.15f, 0.1f, 1, 12}, // slow sampling: fixed values whatever the configuration
        {25000, 0.15f, 0.1f, 1, 12}, {20000, 2 * n, n, 7, 5},
        {10000, 2 * n, n, 7, 5},     {5000, 2 * n, n, 14, 10}, // twice as many samples: twice the crossings
        {2500, 2 * n, n, 28, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.periodUs);
        InVehicleDetector detector;
        const auto config = vibrationConfig(0, 7, 5);
        detector.init(&config, 0.01f);
        detector.changePeriod(c.periodUs); // disabled: ignored
        EXPECT_EQ(detector.filterCoefficient(), 0.9f);
        detector.enable(true, true);
        detector.changePeriod(c.periodUs);
        EXPECT_EQ(detector.thresholdA(), c.thresholdA);
        EXPECT_EQ(detector.thresholdB(), c.thresholdB);
        EXPECT_EQ(detector.limitA(), c.limitA);
        EXPECT_EQ(detector.limitB(), c.limitB);
        const float periodS = static_cast<float>(c.periodUs) * 1e-6f;
        EXPECT_FLOAT_EQ(detector.filterCoefficient(), 0.09f / (periodS + 0.09f));
    }
}

TEST(InVehicleDetector, InputPeriodLimits)
{
    const struct
    {
        bool maximum, vehicle;
        std::int32_t limit;
    } cases[] = {{true, true, 11111}, {true, false, 44444}, {false, true, 10000}, {false, false, 40000}};
    for (const auto& c : cases) {
        std::int32_t period = 100000;
        InVehicleDetector::applyInputPeriod(c.maximum, c.vehicle, period);
        EXPECT_EQ(period, c.limit);
        period = 5000;
        InVehicleDetector::applyInputPeriod(c.maximum, c.vehicle, period);
        EXPECT_EQ(period, 5000);
    }
}

TEST(InVehicleDetector, FrameStatusFromStillnessAndVibration)
{
    // 10 ms samples, one-second frames; limits 7 (large) and 5 (small)
    // crossings per frame. The cabin's 12 Hz shake crosses about 12 times a
    // second on every axis.
    const struct
    {
        std::uint32_t mode;
        bool vehicleClassification;
        Motion motion;
        std::uint8_t status;
    } cases[] = {
        {0, true, Motion::Still, InVehicleOutput::kStill},
        {0, true, Motion::Cabin, InVehicleOutput::kVehicle},
        {0, false, Motion::Cabin, InVehicleOutput::kUndecided},  // vibration not asked for
        {0, true, Motion::Walking, InVehicleOutput::kUndecided}, // moving, but far too slow to vibrate
        {1, true, Motion::Still, InVehicleOutput::kStill},       // few large crossings on every axis
        {1, true, Motion::Cabin, InVehicleOutput::kVehicle},
        {1, false, Motion::Cabin, InVehicleOutput::kUndecided},
        {9, true, Motion::Cabin, InVehicleOutput::kUndecided}, // other modes: the status stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", motion " << static_cast<int>(c.motion)
                                        << ", vehicle " << c.vehicleClassification);
        InVehicleDetector detector;
        const auto config = vibrationConfig(c.mode);
        detector.init(&config, 0.01f);
        detector.enable(true, c.vehicleClassification);
        detector.changePeriod(10000);
        frameStatus(detector, c.motion, 1.0, 10000);
        EXPECT_EQ(frameStatus(detector, c.motion, 1.0, 10000), c.status);
        for (int axis = 0; axis < 3; ++axis)
            EXPECT_EQ(detector.block(axis).countB, 0u) << "counts start afresh each frame";
    }
}

TEST(InVehicleDetector, DisabledDetectorIsUndecided)
{
    InVehicleDetector detector;
    const auto config = vibrationConfig(0);
    detector.init(&config, 0.01f);
    EXPECT_EQ(frameStatus(detector, Motion::Still, 2.0, 10000), InVehicleOutput::kUndecided);
}

TEST(InVehicleDetector, AChangeOfAboutFourHundredthsDisarmsTheCounters)
{
    // At 10 ms (a = 0.9, input gain 0.95): a small input of 0.0021 takes the
    // output to -0.002 and arms the counters; the next input v then lifts it
    // to 0.95 v - 0.0018. A change of 0.040 (v = 0.0419) is taken for a
    // sensor step and counts nothing; 0.050 (v = 0.0524) crosses both
    // thresholds.
    const struct
    {
        float v;
        std::uint32_t crossings;
    } cases[] = {{0.0419f, 0}, {0.0524f, 1}};
    for (const auto& c : cases) {
        InVehicleDetector detector;
        const auto config = vibrationConfig(1);
        detector.init(&config, 0.01f);
        detector.enable(true, true);
        detector.changePeriod(10000);
        std::vector<float> inputs(10, 0.0f);
        inputs.push_back(0.0021f);
        inputs.push_back(-c.v);
        inputs.resize(inputs.size() + 10, 0.0f);
        for (float x : inputs)
            detector.reportNewAcc(accelerometerRecord(0, {x, 0.0f, 0.0f}));
        EXPECT_EQ(detector.block(0).countB, c.crossings) << c.v;
        EXPECT_EQ(detector.block(0).countA, c.crossings) << c.v;
    }
}

/// Thresholds that keep every detector out of its band but the ones given.
vnx_ActivityClassifier_InVehicle_Acceleration_Config_s accelerationConfig(const float (&t)[24])
{
    vnx_ActivityClassifier_InVehicle_Acceleration_Config_s config{};
    for (int k = 0; k < 24; ++k)
        config.thresholdQ20[k] = vnx::fptToFixed32(t[k], 20, true, true);
    return config;
}

// Every band open: each detector is in its band on any signal.
constexpr float kOpen[24] = {1000, -1000, 1000, -1000, 1000, -1, 1000, -1, 0,    0,  1000, -1,
                             1000, -1,    1000, -1000, 1000, -1, 1000, -1, 1000, -1, 1000, -1};
// Only the smoothed-norm detector can fire: the low-passed norm must stray
// 0.05 to 5 m/s^2 from the 5-s smoothed norm (a vehicle speeding up or
// braking at 2 m/s^2 across gravity moves the norm by up to 0.2 m/s^2), with
// the smoothed norm itself near gravity. These values were chosen for the
// synthetic drive below; the others close their bands.
constexpr float kSmoothedOnly[24] = {-1,   1,     -1,    1,    -1, 1, -1, 1, 0,  0, 1.0f, -1.0f,
                                     5.0f, 0.05f, 11.0f, 8.5f, -1, 1, -1, 1, -1, 1, -1,   1};

std::vector<std::uint8_t> drive(InVehicleAcceleration& detector, double seconds, std::int32_t periodUs,
                                double surgeMs2, std::uint32_t startUs = 0)
{
    vnx::testsupport::GaussianNoise noise(41);
    std::vector<std::uint8_t> statuses;
    const int samples = static_cast<int>(seconds * 1e6 / periodUs);
    for (int i = 0; i < samples; ++i) {
        const double t = i * periodUs * 1e-6;
        // Speeding up and braking in a 12-s cycle along x.
        const float surge = static_cast<float>(surgeMs2 * std::sin(2.0 * std::numbers::pi * t / 12.0));
        const Acc a{surge + 0.02f * static_cast<float>(noise.next()),
                    0.02f * static_cast<float>(noise.next()), kG + 0.02f * static_cast<float>(noise.next())};
        detector.reportNewAcc(accelerometerRecord(startUs + static_cast<std::uint32_t>(i * periodUs), a));
        statuses.push_back(detector.status());
    }
    return statuses;
}

InVehicleAcceleration& running(InVehicleAcceleration& detector, const float (&t)[24], std::int32_t periodUs)
{
    const auto config = accelerationConfig(t);
    EXPECT_EQ(detector.init(&config, 0.5f), VNX_STATUS_SUCCESS);
    detector.enable(true);
    detector.changePeriod(periodUs);
    return detector;
}

TEST(InVehicleAcceleration, PeriodSetsHopSecondAndSmoothing)
{
    const struct
    {
        std::int32_t periodUs, hop, perSecond;
    } cases[] = {{40000, 12, 25}, {10000, 50, 100}, {20000, 25, 50}};
    for (const auto& c : cases) {
        InVehicleAcceleration detector;
        const auto config = accelerationConfig(kOpen);
        detector.init(&config, 0.0f);
        EXPECT_EQ(detector.hop(), 50);
        EXPECT_FLOAT_EQ(detector.smoothingFactor(), -0.8333333f);
        detector.changePeriod(c.periodUs); // disabled: ignored
        EXPECT_EQ(detector.hop(), 50);
        detector.enable(true);
        detector.changePeriod(c.periodUs);
        EXPECT_EQ(detector.hop(), c.hop);
        EXPECT_EQ(detector.samplesPerSecond(), c.perSecond);
        EXPECT_FLOAT_EQ(detector.smoothingFactor(), -5.0f / (c.periodUs * 1e-6f + 5.0f));
    }
    InVehicleAcceleration detector;
    EXPECT_EQ(detector.init(nullptr, 0.0f), VNX_STATUS_INVALID_CONFIG);
}

TEST(InVehicleAcceleration, NeverAVehicleInTheFirstFiveSeconds)
{
    // Even with every band open; the time stamps start just before they wrap.
    for (std::uint32_t startUs : {0u, 0xFFFFFFFFu - 2000000u}) {
        InVehicleAcceleration detector;
        running(detector, kOpen, 40000);
        const auto statuses = drive(detector, 10.0, 40000, 0.0, startUs);
        for (std::size_t i = 0; i < statuses.size(); ++i) {
            const bool settled = i * 40000 >= 5000000u;
            EXPECT_EQ(statuses[i], settled ? InVehicleOutput::kVehicle : InVehicleOutput::kUndecided)
                << "sample " << i;
        }
    }
}

TEST(InVehicleAcceleration, SpeedingUpAndBrakingIsAVehiclePattern)
{
    const struct
    {
        double surgeMs2;
        bool vehicle;
    } cases[] = {{2.0, true}, {0.0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.surgeMs2);
        InVehicleAcceleration detector;
        running(detector, kSmoothedOnly, 40000);
        const auto statuses = drive(detector, 60.0, 40000, c.surgeMs2);
        int vehicle = 0;
        for (std::uint8_t s : statuses)
            vehicle += s == InVehicleOutput::kVehicle;
        if (c.vehicle)
            EXPECT_GT(vehicle, static_cast<int>(statuses.size()) / 4);
        else
            EXPECT_EQ(vehicle, 0);
        InVehicleAcceleration::Output_s out{};
        detector.generateOutput(&out);
        EXPECT_EQ(out.status, statuses.back());
    }
}

TEST(InVehicleAcceleration, OutputShowsTheStatusAlsoWhenDisabled)
{
    InVehicleAcceleration detector;
    running(detector, kOpen, 40000);
    drive(detector, 8.0, 40000, 0.0);
    ASSERT_EQ(detector.status(), InVehicleOutput::kVehicle);
    detector.enable(false);
    drive(detector, 2.0, 40000, 0.0); // ignored
    InVehicleAcceleration::Output_s out{};
    detector.generateOutput(&out);
    EXPECT_EQ(out.status, InVehicleOutput::kVehicle);
}

TEST(InVehicleAcceleration, AngleStatisticsStayFinite)
{
    // A zero stream (no direction at all) and a constant vector (whose
    // normalised dot product with itself can round past 1).
    const Acc inputs[] = {{0.0f, 0.0f, 0.0f}, {0.1f, 0.2f, 9.8f}, {-3.3f, 7.1f, 5.9f}};
    for (const Acc& a : inputs) {
        InVehicleAcceleration detector;
        running(detector, kOpen, 40000);
        for (int i = 0; i < 500; ++i) {
            detector.reportNewAcc(accelerometerRecord(static_cast<std::uint32_t>(i * 40000), a));
            ASSERT_TRUE(std::isfinite(detector.angleDeg())) << "sample " << i;
        }
        const WindowBank& bank = detector.angleBank();
        for (int k = 0; k < WindowBank::kWindows; ++k) {
            EXPECT_TRUE(std::isfinite(bank.deviation(k)));
            EXPECT_LT(bank.minimum(k), 1.0f);
            EXPECT_LT(bank.mean(k), 1.0f);
        }
    }
}

TEST(WindowBank, WindowsRestartInTurn)
{
    const char* const names[4] = {"w0", "w1", "w2", "w3"};
    WindowBank bank("vnx_core_test", &names, names);
    const int hop = 3;
    // Window counts after n samples: window 0 restarts at 4W, window k + 1
    // when window k reaches W.
    const struct
    {
        int samples;
        std::uint32_t counts[4];
        int fullest;
    } cases[] = {{1, {1, 1, 1, 1}, 0},  {3, {3, 0, 3, 0}, 0},  {6, {6, 3, 0, 3}, 0},  {9, {9, 6, 3, 0}, 0},
                 {12, {0, 9, 6, 3}, 1}, {15, {3, 0, 9, 6}, 2}, {18, {6, 3, 0, 9}, 3}, {21, {9, 6, 3, 0}, 0}};
    int done = 0;
    for (const auto& c : cases) {
        for (; done < c.samples; ++done) {
            bank.add(static_cast<float>(done));
            bank.stagger(hop);
        }
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(bank.count(k), c.counts[k]) << "after " << c.samples << ", window " << k;
        EXPECT_EQ(bank.fullest(), c.fullest) << "after " << c.samples;
    }
}

TEST(ClassifierComponents, SamplesAllocateNothing)
{
    InVehicleDetector vibration;
    const auto vibrationSettings = vibrationConfig(0);
    vibration.init(&vibrationSettings, 0.01f);
    vibration.enable(true, true);
    vibration.changePeriod(10000);
    InVehicleAcceleration acceleration;
    running(acceleration, kOpen, 10000);
    vnx::activity::StairDetector stairs;
    const vnx_ActivityClassifier_Stair_Config_s stairSettings{};
    stairs.init(&stairSettings);
    stairs.enable(true);
    std::vector<vnx_Mobile_Output_s> records;
    vnx::testsupport::GaussianNoise noise(3);
    for (int i = 0; i < 2000; ++i)
        records.push_back(accelerometerRecord(static_cast<std::uint32_t>(i * 10000),
                                              sampleOf(Motion::Cabin, i * 0.01, noise)));
    const long allocations = vnx::test::allocationsDuring([&] {
        for (std::size_t i = 0; i < records.size(); ++i) {
            vibration.reportNewAcc(records[i]);
            acceleration.reportNewAcc(records[i]);
            if (i % 10 == 0)
                stairs.process(1013 << 20, records[i].timeUs, 6);
            if (i % 100 == 99) {
                InVehicleOutput out{};
                vibration.generateOutput(&out);
                acceleration.generateOutput(&out);
            }
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(stairs.probability(), 0.0f);
}

} // namespace
