// Stair detector: line fits through windows of pressure samples and the
// two-state update of the on-stairs probability.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "activity/StairDetector.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"
#include "support/GaussianNoise.h"

namespace {

using vnx::activity::StairDetector;

constexpr std::uint8_t kStill = 4;
constexpr std::uint8_t kWalking = 6;
/// Slope threshold of the tests, hPa per sample: climbing one floor (about
/// 0.36 hPa) in some 5 s at 10 Hz is 0.007 hPa per sample; a barometer at
/// rest drifts far less.
constexpr float kSlopeThreshold = 0.004f;
constexpr float kClimbPerSample = -0.007f; // hPa: pressure falls going up
constexpr std::uint32_t kTenHzUs = 100000;

class StairRig
{
  public:
    StairRig()
    {
        vnx_ActivityClassifier_Stair_Config_s config{};
        config.slopeThresholdQ16 = vnx::fptToFixed32(kSlopeThreshold, 16, true, true);
        for (std::int32_t& word : config.reservedQ16)
            word = 12345; // kept, without effect
        EXPECT_EQ(detector.init(&config), VNX_STATUS_SUCCESS);
        detector.enable(true);
    }

    /// One pressure call; hPa with 20 fractional bits.
    void call(double hPa, std::uint8_t activity)
    {
        detector.process(vnx::fptToFixed32(static_cast<float>(hPa), 20, true, true), timeUs_, activity);
        timeUs_ += periodUs;
    }

    /// One window of 40 samples at 10 Hz and the call that closes it.
    float window(bool climbing, std::uint8_t activity = kWalking)
    {
        for (int i = 0; i <= StairDetector::kWindowSamples; ++i) {
            pressure_ += climbing ? kClimbPerSample : 0.0;
            call(pressure_ + 0.002 * noise_.next(), activity);
        }
        return detector.probability();
    }

    StairDetector detector;
    std::uint32_t periodUs = kTenHzUs;

  private:
    std::uint32_t timeUs_ = 5000000;
    double pressure_ = 1013.25;
    vnx::testsupport::GaussianNoise noise_{17};
};

TEST(StairDetector, ProbabilityRisesOnStairsAndFallsOffThem)
{
    StairRig rig;
    const struct
    {
        bool climbing;
        double probability;
        int percent;
    } windows[] = {{true, 0.2326, 23},  {true, 0.9035, 90},  {true, 0.9961, 100},
                   {false, 0.8805, 88}, {false, 0.4145, 41}, {false, 0.0685, 7}};
    for (const auto& w : windows) {
        const float p = rig.window(w.climbing);
        EXPECT_NEAR(p, w.probability, 5e-5);
        EXPECT_EQ(static_cast<int>(std::lround(p * 100.0f)), w.percent);
        StairDetector::Output_s out{};
        rig.detector.generateOutput(&out);
        EXPECT_EQ(out.probability, p);
        EXPECT_EQ(out.evidence, w.climbing ? 1u : 0u);
    }
}

TEST(StairDetector, EvidenceNeedsASteepTrendWhileOnFoot)
{
    const struct
    {
        bool climbing;
        std::uint8_t activity;
        bool evidence;
    } cases[] = {{false, kWalking, false}, {true, kStill, false}, {true, 7, true}, {true, 8, false}};
    for (const auto& c : cases) {
        StairRig rig;
        const float p = rig.window(c.climbing, c.activity);
        EXPECT_NEAR(p, c.evidence ? 0.2326 : 0.00104, 5e-5) << int(c.activity) << " " << c.climbing;
    }
}

TEST(StairDetector, CallsCloserThan33MsStoreNothing)
{
    StairRig rig;
    rig.periodUs = 20000;
    for (int i = 0; i < 1000; ++i)
        rig.call(1013.0 - 0.01 * i, kWalking);
    // Only the very first call, measured from the detector's start at time
    // 0, is far enough from its predecessor; no window ever fills.
    EXPECT_LE(rig.detector.sampleCount(), 1);
    EXPECT_EQ(rig.detector.probability(), 0.0f);
}

TEST(StairDetector, TheCallThatClosesAWindowIsDropped)
{
    StairRig rig;
    for (int i = 0; i < StairDetector::kWindowSamples; ++i)
        rig.call(1013.0, kWalking);
    EXPECT_EQ(rig.detector.sampleCount(), 40);
    EXPECT_EQ(rig.detector.probability(), 0.0f);
    rig.call(1013.0, kWalking); // the 41st: closes, 4 s after the first
    EXPECT_EQ(rig.detector.sampleCount(), 0);
    EXPECT_GT(rig.detector.probability(), 0.0f);
    // The next call is measured from the 40th, 0.2 s back: it is stored.
    rig.call(1013.0, kWalking);
    EXPECT_EQ(rig.detector.sampleCount(), 1);
}

TEST(StairDetector, ProbabilityOutlivesInitPeriodsAndDisabling)
{
    StairRig rig;
    rig.window(true);
    const float p = rig.detector.probability();
    ASSERT_GT(p, 0.2f);
    for (int i = 0; i < 10; ++i)
        rig.call(1013.0, kWalking);
    rig.detector.changePeriod(100000);
    EXPECT_EQ(rig.detector.sampleCount(), 0);
    rig.detector.enable(false);
    StairDetector::Output_s out{};
    rig.detector.generateOutput(&out);
    EXPECT_EQ(out.probability, 0.0f);
    rig.call(1013.0, kWalking); // ignored while disabled
    EXPECT_EQ(rig.detector.sampleCount(), 0);
    vnx_ActivityClassifier_Stair_Config_s config{};
    EXPECT_EQ(rig.detector.init(&config), VNX_STATUS_SUCCESS);
    rig.detector.enable(true);
    EXPECT_EQ(rig.detector.probability(), p);
    EXPECT_EQ(rig.detector.init(nullptr), VNX_STATUS_INVALID_CONFIG);
}

TEST(StairDetector, InputPeriodsFollowTheRequest)
{
    const struct
    {
        bool maximum, phoneLda;
        std::int32_t accelerometer, pressure;
    } cases[] = {{false, true, 40000, 100000},
                 {false, false, 40000, 100000},
                 {true, true, 44444, 111111},
                 {true, false, 42105, 111111}};
    for (const auto& c : cases) {
        std::int32_t acc = 1000000, pressure = 1000000;
        StairDetector::applyInputPeriod(c.maximum, c.phoneLda, acc, pressure);
        EXPECT_EQ(acc, c.accelerometer);
        EXPECT_EQ(pressure, c.pressure);
        acc = 20000;
        pressure = 50000; // shorter requests stay
        StairDetector::applyInputPeriod(c.maximum, c.phoneLda, acc, pressure);
        EXPECT_EQ(acc, 20000);
        EXPECT_EQ(pressure, 50000);
    }
}

} // namespace
