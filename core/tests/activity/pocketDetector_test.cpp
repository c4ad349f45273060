// Pocket detector: light and proximity with the device's pose and recent
// motion, at 20000 us.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "activity/DetectorReorientation.h"
#include "activity/pocketDetectorApi.h"
#include "common/statusCode.h"
#include "support/GaussianNoise.h"
#include "support/allocationCounter.h"
#include "support/mobileOutputs.h"

namespace {

using vnx::testsupport::Acc;
using vnx::testsupport::accelerometerRecord;

constexpr std::int32_t kPeriodUs = 20000;
constexpr float kG = 9.81f;
constexpr std::uint32_t kCallerWord = 0xABCDu;

// Light with 8 fractional bits, distance with 4: the default thresholds are
// 10 (light) and 3 (distance).
constexpr std::int32_t kDarkLight = 2 * 256;
constexpr std::int32_t kBrightLight = 300 * 256;
constexpr std::int16_t kNearDistance = 1 * 16;
constexpr std::int16_t kFarDistance = 8 * 16;

/// Poses (what the accelerometer reads at rest).
constexpr Acc kStandingUp{0.0f, kG, 0.0f}; // long side vertical, as in a trouser pocket
constexpr Acc kFlat{0.0f, 0.0f, kG};       // lying on a table
constexpr Acc kUpsideDown{0.0f, -kG, 0.0f};

vnx_PocketDetectorConfig_s defaults()
{
    vnx_PocketDetectorConfig_s config{};
    EXPECT_EQ(vnx_PocketDetector_getConfigDefaults(&config), VNX_STATUS_SUCCESS);
    return config;
}

/// One sample of the scenario: the pose, a jolt to add to the norm, and
/// what light and proximity report before it (nothing when not covered or
/// uncovered this sample).
struct Step
{
    Acc acc;
    int cover = -1; ///< -1 no report, 0 light and far, 1 dark and near
};

/// `seconds` of a pose, each sample with noise and optional jolts every 0.5 s.
std::vector<Step> hold(const Acc& pose, double seconds, bool jolting = false, int cover = -1)
{
    static vnx::testsupport::GaussianNoise noise(21);
    std::vector<Step> steps;
    const int count = static_cast<int>(seconds * 1e6 / kPeriodUs + 0.5);
    for (int i = 0; i < count; ++i) {
        Acc a = pose;
        for (float& v : a)
            v += 0.05f * static_cast<float>(noise.next());
        if (jolting && i % 25 == 0) {
            for (float& v : a)
                v *= 1.4f; // a bump of the walk: |a| - 9.8 near 4, above the 2 m/s^2 jolt level
        }
        steps.push_back({a, i == 0 ? cover : -1});
    }
    return steps;
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PocketRig
{
  public:
    explicit PocketRig(const vnx_PocketDetectorConfig_s& config = defaults())
    {
        EXPECT_EQ(vnx_PocketDetector_initialize(&handle_, &config), VNX_STATUS_SUCCESS);
        start();
    }
    ~PocketRig() { vnx_PocketDetector_finalize(handle_); }

    void start()
    {
        vnx_Mobile_VirtualSensorPeriods_s periods{};
        std::int32_t light = 0, proximity = 0;
        EXPECT_EQ(vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle_, 1, &periods, &light,
                                                                              &proximity),
                  VNX_STATUS_SUCCESS);
        periods.periodUs[0] = kPeriodUs;
        EXPECT_EQ(vnx_PocketDetector_setInputPeriods(handle_, &periods, light, proximity),
                  VNX_STATUS_SUCCESS);
    }

    void cover(bool covered)
    {
        EXPECT_EQ(vnx_PocketDetector_reportLight(handle_, covered ? kDarkLight : kBrightLight, time_), 0);
        EXPECT_EQ(vnx_PocketDetector_reportProximity(handle_, covered ? kNearDistance : kFarDistance, time_),
                  0);
    }

    /// (sample index, event word) of every sample that answered 0; every
    /// other sample must answer 3 and leave the caller's word alone.
    std::vector<std::pair<std::size_t, std::uint32_t>> run(const std::vector<Step>& steps)
    {
        std::vector<std::pair<std::size_t, std::uint32_t>> events;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].cover >= 0)
                cover(steps[i].cover == 1);
            const vnx_Mobile_Output_s in = accelerometerRecord(time_, steps[i].acc);
            vnx_Detector_Output_s out{kCallerWord, 0};
            std::uint8_t flag = 1;
            const int status = vnx_PocketDetector_process(handle_, &in, &out, &flag);
            EXPECT_EQ(flag, 0);
            EXPECT_EQ(out.timeUs, time_);
            if (status == VNX_STATUS_SUCCESS) {
                events.emplace_back(index_ + i, out.event);
            } else {
                EXPECT_EQ(status, VNX_STATUS_ASYNC_PENDING);
                EXPECT_EQ(out.event, kCallerWord) << "sample " << index_ + i;
            }
            time_ += kPeriodUs;
        }
        index_ += steps.size();
        return events;
    }

    vnx_PocketDetector_Handle handle_ = nullptr;

  private:
    std::uint32_t time_ = 1000;
    std::size_t index_ = 0;
};

using Events = std::vector<std::pair<std::size_t, std::uint32_t>>;

TEST(PocketDetector, DefaultsAreTheDocumentedWords)
{
    const vnx_PocketDetectorConfig_s c = defaults();
    for (std::int16_t word : c.reorientationQ14)
        EXPECT_EQ(word, 0);
    const struct
    {
        std::int32_t word;
        double value;
        int q;
    } words[] = {{c.fastTimeConstantQ20, 0.125, 20},   {c.slowTimeConstantQ20, 5.0, 20},
                 {c.flatLimitQ29, 0.9659258, 29},      {c.uprightLimitQ29, -0.17364818, 29},
                 {c.sidewaysLimitQ29, 0.17364818, 29}, {c.joltLevelQ26, 2.0, 26},
                 {c.poseChangeLevelQ28, 0.5, 28},      {c.motionHoldTimeQ20, 1.0, 20},
                 {c.coveredTimeQ20, 1.0, 20}};
    for (const auto& w : words)
        // Within the float precision of the conversion: 24 significant bits.
        EXPECT_NEAR(w.word, w.value * std::ldexp(1.0, w.q), std::ldexp(1.0, w.q - 23)) << w.value;
    EXPECT_EQ(c.proximityThreshold, 3u);
    EXPECT_EQ(c.lightThreshold, 10u);
    EXPECT_EQ(vnx_PocketDetector_getVersion(), 1);
}

TEST(PocketDetector, NothingIsDecidedBeforeLightAndProximityReport)
{
    PocketRig rig;
    EXPECT_EQ(rig.run(hold(kStandingUp, 2.0, true) + hold(kUpsideDown, 3.0, true)), Events{});
    // Proximity alone is not enough either.
    vnx_PocketDetector_reportProximity(rig.handle_, kNearDistance, 0);
    EXPECT_EQ(rig.run(hold(kStandingUp, 3.0, true)), Events{});
}

TEST(PocketDetector, EntersAfterTheCoveredTimeWhenPutAwayRecently)
{
    const struct
    {
        const char* what;
        std::vector<Step> steps;
        Events events;
    } cases[] = {
        // Walking, then covered at sample 50: in once covered for over 1 s.
        {"pocketed while walking",
         hold(kStandingUp, 1.0, true) + hold(kStandingUp, 3.0, true, 1),
         {{101, 1}}},
        {"upside down", hold(kUpsideDown, 1.0, true) + hold(kUpsideDown, 3.0, false, 1), {{101, 1}}},
        {"covered for under 1 s",
         hold(kStandingUp, 1.0, true) + hold(kStandingUp, 0.9, true, 1) + hold(kStandingUp, 2.0, true, 0),
         {}},
        // The last motion 3 s before covering: nothing recent.
        {"at rest for long",
         hold(kStandingUp, 1.0, true) + hold(kStandingUp, 3.0) + hold(kStandingUp, 3.0, false, 1),
         {}},
        {"lying flat", hold(kFlat, 1.0, true) + hold(kFlat, 3.0, true, 1), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PocketRig rig;
        rig.cover(false);
        const Events events = rig.run(c.steps);
        ASSERT_EQ(events.size(), c.events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_NEAR(static_cast<double>(events[i].first), static_cast<double>(c.events[i].first), 1.0);
            EXPECT_EQ(events[i].second, c.events[i].second);
        }
    }
}

TEST(PocketDetector, LeavesOnlyAfterAFifthOfASecondOfLight)
{
    PocketRig rig;
    rig.cover(false);
    const Events in = rig.run(hold(kStandingUp, 1.0, true) + hold(kStandingUp, 2.0, true, 1));
    ASSERT_EQ(in.size(), 1u);
    // A single light sample, then covered again: still in.
    std::vector<Step> flicker = hold(kStandingUp, 0.02, false, 0) + hold(kStandingUp, 1.0, false, 1);
    EXPECT_EQ(rig.run(flicker), Events{});
    // Light for good: out after 0.2 s (11 samples of 20 ms).
    const Events out = rig.run(hold(kStandingUp, 1.0, false, 0));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].second, 2u);
    EXPECT_NEAR(static_cast<double>(out[0].first - (150 + 51)), 10.0, 1.0);
}

TEST(PocketDetector, AZeroSampleLeavesThePoseFiltersUsable)
{
    // Free fall reads zero; the detector must still decide afterwards.
    std::vector<Step> steps = hold(kStandingUp, 1.0, true) + hold(kStandingUp, 3.0, false, 1);
    steps[10].acc = {0.0f, 0.0f, 0.0f};
    steps[60].acc = {0.0f, 0.0f, 0.0f}; // and one while covered
    PocketRig rig;
    rig.cover(false);
    const Events events = rig.run(steps);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].second, 1u);
}

TEST(PocketDetector, ReorientationTurnsTheSensorsPoseIntoTheDevices)
{
    // Sensors mounted a quarter turn about x: what they read as lying flat
    // is the device standing up, which may enter.
    vnx_PocketDetectorConfig_s config = defaults();
    const std::int16_t half = static_cast<std::int16_t>(std::lround(std::sqrt(0.5) * 16384));
    config.reorientationQ14[0] = half; // x
    config.reorientationQ14[3] = half; // w
    PocketRig rig(config);
    rig.cover(false);
    EXPECT_EQ(rig.run(hold(kFlat, 1.0, true) + hold(kFlat, 3.0, true, 1)).size(), 1u);
}

TEST(PocketDetector, PeriodsOfAllThreeSensorsAreNegotiated)
{
    vnx_PocketDetector_Handle handle = nullptr;
    const vnx_PocketDetectorConfig_s config = defaults();
    ASSERT_EQ(vnx_PocketDetector_initialize(&handle, &config), VNX_STATUS_SUCCESS);

    vnx_Mobile_VirtualSensorPeriods_s periods{};
    periods.periodUs[0] = 0;
    std::int32_t light = 300000, proximity = 100000;
    ASSERT_EQ(
        vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods, &light, &proximity),
        VNX_STATUS_SUCCESS);
    EXPECT_EQ(periods.periodUs[0], 200000);
    EXPECT_EQ(light, 200000);
    EXPECT_EQ(proximity, 100000);

    const struct
    {
        std::int32_t acc, light, proximity;
        int status;
    } cases[] = {{20000, 100000, 100000, VNX_STATUS_SUCCESS},
                 {20000, 200000, 1, VNX_STATUS_SUCCESS},
                 {20000, 0, 100000, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {20000, 200001, 100000, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {20000, 100000, -3, VNX_STATUS_ARRAY_SIZE_MISMATCH},
                 {200001, 100000, 100000, VNX_STATUS_ARRAY_SIZE_MISMATCH}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.acc << ", " << c.light << ", " << c.proximity);
        ASSERT_EQ(vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods, &light,
                                                                              &proximity),
                  0);
        // Reports before the refusal must be forgotten by it.
        vnx_PocketDetector_reportLight(handle, kDarkLight, 0);
        vnx_PocketDetector_reportProximity(handle, kNearDistance, 0);
        periods.periodUs[0] = c.acc;
        EXPECT_EQ(vnx_PocketDetector_setInputPeriods(handle, &periods, c.light, c.proximity), c.status);
        std::int32_t effective = -1;
        vnx_PocketDetector_getEffectiveOutputPeriods(handle, &periods, c.light, c.proximity, &effective);
        EXPECT_EQ(effective, c.status == VNX_STATUS_SUCCESS ? c.acc : 0);
        if (c.status != VNX_STATUS_SUCCESS) {
            // Re-enabled, the flags are unknown again: no decision.
            vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods, &light,
                                                                        &proximity);
            periods.periodUs[0] = kPeriodUs;
            ASSERT_EQ(vnx_PocketDetector_setInputPeriods(handle, &periods, 100000, 100000), 0);
            int decided = 0;
            for (int i = 0; i < 200; ++i) {
                const vnx_Mobile_Output_s in =
                    accelerometerRecord(0, i % 25 == 0 ? Acc{0, 1.4f * kG, 0} : kStandingUp);
                vnx_Detector_Output_s out{};
                std::uint8_t flag = 0;
                decided += vnx_PocketDetector_process(handle, &in, &out, &flag) == VNX_STATUS_SUCCESS;
            }
            EXPECT_EQ(decided, 0);
        }
    }
    // Disabled: setInputPeriods changes nothing and answers 0.
    vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle, 0, &periods, &light, &proximity);
    EXPECT_EQ(vnx_PocketDetector_setInputPeriods(handle, &periods, 0, 0), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_PocketDetector_finalize(handle), 1);
    EXPECT_EQ(vnx_PocketDetector_reportLight(handle, 0, 0), VNX_STATUS_INVALID_PARAMETER);
}

TEST(PocketDetector, ProcessAllocatesNothing)
{
    PocketRig rig;
    rig.cover(false);
    const auto steps =
        hold(kStandingUp, 1.0, true) + hold(kStandingUp, 3.0, true, 1) + hold(kStandingUp, 1.0, true, 0);
    Events events;
    events.reserve(8);
    const long allocations = vnx::test::allocationsDuring([&] {
        for (const Step& s : steps) {
            if (s.cover >= 0)
                rig.cover(s.cover == 1);
            const vnx_Mobile_Output_s in = accelerometerRecord(0, s.acc);
            vnx_Detector_Output_s out{};
            std::uint8_t flag = 0;
            if (vnx_PocketDetector_process(rig.handle_, &in, &out, &flag) == 0)
                events.emplace_back(0, out.event);
        }
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(events.size(), 2u);
}

TEST(DetectorReorientation, RotatesOnlyWhenTheVectorPartIsSet)
{
    const auto q14 = [](double v) { return static_cast<std::int16_t>(std::lround(v * 16384)); };
    const double h = std::sqrt(0.5);
    const struct
    {
        std::int16_t words[4]; // x, y, z, w
        float in[3];
        float out[3];
    } cases[] = {
        {{0, 0, 0, 0}, {1, 2, 3}, {1, 2, 3}},            // none
        {{0, 0, 0, 16384}, {1, 2, 3}, {1, 2, 3}},        // none, w ignored
        {{0, 0, q14(h), q14(h)}, {1, 0, 0}, {0, 1, 0}},  // 90 deg about z
        {{q14(h), 0, 0, q14(h)}, {0, 0, 1}, {0, -1, 0}}, // 90 deg about x
        {{0, 0, 16384, 16384}, {1, 0, 0}, {0, 1, 0}},    // unnormalised: still 90 deg about z
        {{0, 16384, 0, 0}, {1, 2, 3}, {-1, 2, -3}},      // 180 deg about y
    };
    for (const auto& c : cases) {
        vnx::activity::DetectorReorientation r;
        r.set(c.words);
        float out[3];
        r.rotate(c.in, out);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], c.out[k], 2e-4f)
                << c.words[0] << " " << c.words[1] << " " << c.words[2] << " " << c.words[3] << " axis " << k;
    }
}

} // namespace
