#include "gyroBias/ZroFromStable.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "zroFromStableRig.h"

namespace vnx {
namespace {

using testsupport::Noise;
using testsupport::v3;
using testsupport::ZroRig;
using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::vector<Fp, 3>;

constexpr float kUnknown = 2147483648.0f;
const Vec3 kTrueZro = v3(0.01f, -0.02f, 0.005f);
const Vec3 kGravity = v3(0.0f, 0.0f, 9.8f);

std::uint32_t wordAt(const dcdAlg4MinFixedInnards_s& innards, std::size_t byte)
{
    std::uint32_t w;
    std::memcpy(&w, reinterpret_cast<const unsigned char*>(&innards) + byte, 4);
    return w;
}

float floatAt(const dcdAlg4MinFixedInnards_s& innards, std::size_t byte)
{
    return std::bit_cast<float>(wordAt(innards, byte));
}

// Lying on a table: the true offset plus sensor noise.
struct TableDevice
{
    Noise noise{12345};
    Vec3 rate() { return kTrueZro + noise.vec(0.0005f); }
    Vec3 acc() { return kGravity + noise.vec(0.001f); }
};

// Held in hand: a tremor at 8 Hz on every gyro axis, amplitude in rad/s.
struct HandDevice
{
    explicit HandDevice(float amplitude) : amplitude(amplitude) {}
    float amplitude;
    int k = 0;
    Noise noise{777};
    Vec3 rate()
    {
        const float s = amplitude * std::sin(2.0f * 3.14159265f * 8.0f * 0.01f * static_cast<float>(k++));
        return kTrueZro + v3(s, -s, 0.5f * s) + noise.vec(0.0005f);
    }
    Vec3 acc() { return kGravity + noise.vec(0.001f); }
};

TEST(ZroFromStable, StillOnTableForJustOverASecondOverridesEverySampleWithTheMeanOfWindowMeans)
{
    ZroRig rig;
    TableDevice device;
    // The on-table windows are 0.25 s (25 samples): collect their means.
    std::vector<Vec3> samples;
    double sumOfMeans[3] = {0, 0, 0};
    int windows = 0;
    int firstOverride = -1;
    for (int k = 0; k < 400; ++k) {
        const Vec3 rate = device.rate();
        samples.push_back(rate);
        if (samples.size() == 26) { // the 26th sample completes a window of 25
            for (int i = 0; i < 3; ++i) {
                double m = 0;
                for (int j = 0; j < 25; ++j)
                    m += samples[j][i].value();
                sumOfMeans[i] += m / 25.0;
            }
            ++windows;
            samples.erase(samples.begin(), samples.begin() + 25);
        }
        const ZroFromStable::Output& out = rig.step(rate, device.acc());
        if (out.onTableOverride && firstOverride < 0)
            firstOverride = k;
        if (firstOverride < 0)
            continue;
        ASSERT_EQ(out.onTableOverride, 1) << k;
        EXPECT_EQ(out.windowWeight.value(), 4.0f) << k;
        EXPECT_EQ(out.estimateWeight.value(), 4.0f) << k;
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out.zro[i].value(), sumOfMeans[i] / windows, 1e-6) << k;
    }
    // Five windows of 0.25 s: the first moment past 1 s of table time.
    EXPECT_EQ(firstOverride, 125);
}

// Fast sensors are averaged down to 100 Hz for the on-table windows; the
// table is still found just over a second in, and the estimate is the offset.
TEST(ZroFromStable, FastSensorsFindTheTableJustOverASecondInToo)
{
    for (double periodS : {0.0025, 0.004, 0.01}) {
        SCOPED_TRACE(periodS);
        ZroRig rig(periodS);
        TableDevice device;
        double firstS = -1.0;
        while (rig.timeS() < 2.0) {
            const double t = rig.timeS();
            if (rig.step(device.rate(), device.acc()).onTableOverride && firstS < 0.0)
                firstS = t;
        }
        EXPECT_GT(firstS, 1.0);
        EXPECT_LT(firstS, 1.27);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(rig.out.zro[i].value(), kTrueZro[i].value(), 2e-4f) << i;
    }
}

TEST(ZroFromStable, FreshDcdPartHoldsZeroEstimateStateOneAndAnUnsetFitBlock)
{
    ZroRig rig;
    EXPECT_TRUE(rig.zro.dcdPending());
    dcdAlg4MinFixedInnards_s innards;
    std::memset(&innards, 0xA5, sizeof innards);
    ASSERT_TRUE(rig.zro.getDcd(&innards));
    EXPECT_FALSE(rig.zro.dcdPending());
    for (std::size_t byte = 0; byte < 36; byte += 4)
        EXPECT_EQ(wordAt(innards, byte), 0u) << byte;
    EXPECT_EQ(wordAt(innards, 40), 1u);
    EXPECT_FLOAT_EQ(floatAt(innards, 44), 0.002f);                     // n_g, rad/s
    EXPECT_FLOAT_EQ(floatAt(innards, 48), 19.6133f * 4.0f / 32768.0f); // n_a, m/s^2
    EXPECT_FLOAT_EQ(floatAt(innards, 52), 0.003f);                     // n_m
    for (std::size_t byte = 56; byte < 156; byte += 4)
        EXPECT_EQ(wordAt(innards, byte), 0u) << byte;
    EXPECT_EQ(floatAt(innards, 156), kUnknown);
    EXPECT_EQ(floatAt(innards, 160), kUnknown);
    EXPECT_EQ(floatAt(innards, 164), kUnknown);
    EXPECT_EQ(floatAt(innards, 168), -kUnknown);
}

TEST(ZroFromStable, InitWithADcdTakesTheCallersPendingFlag)
{
    ZroRig rig;
    dcdAlg4MinFixedInnards_s innards;
    rig.zro.getDcd(&innards);
    for (bool flag : {false, true}) {
        rig.zro.init(rig.cal, &innards, flag);
        EXPECT_EQ(rig.zro.dcdPending(), flag);
    }
    rig.zro.init(rig.cal, nullptr, false);
    EXPECT_TRUE(rig.zro.dcdPending()) << "without a DCD there is always one to write";
}

TEST(ZroFromStable, PartialDcdLeavesTheWordsOfOtherAlgorithms)
{
    ZroRig rig;
    TableDevice device;
    for (int k = 0; k < 300; ++k)
        rig.step(device.rate(), device.acc());
    dcdAlg4MinFixedInnards_s innards;
    std::memset(&innards, 0x5A, sizeof innards);
    ASSERT_TRUE(rig.zro.getPartialDcd(&innards));
    for (std::size_t byte = 0; byte < 36; byte += 4)
        EXPECT_EQ(wordAt(innards, byte), 0x5A5A5A5Au) << byte;
    EXPECT_EQ(wordAt(innards, 40), 0x5A5A5A5Au);
    EXPECT_EQ(floatAt(innards, 36), 25.0f); // temperature of the estimate

    dcdAlg4MinFixedInnards_s whole;
    rig.zro.getDcd(&whole);
    EXPECT_EQ(0, std::memcmp(reinterpret_cast<const char*>(&innards) + 44,
                             reinterpret_cast<const char*>(&whole) + 44, 172 - 44));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(whole.zro[i], kTrueZro[i].value(), 2e-4f);
}

// Learns on a table at two temperatures, then hands its DCD to a new
// estimator: with a stored estimate it starts from it (weight 4); with an
// all-zero one it keeps only the noise levels and the fit.
TEST(ZroFromStable, DcdRestoresEstimateNoiseLevelsAndFit)
{
    ZroRig teacher;
    TableDevice device;
    for (int k = 0; k < 3000; ++k) {
        teacher.temperature = k < 1500 ? 20.0f : 27.0f;
        teacher.step(device.rate(), device.acc());
    }
    dcdAlg4MinFixedInnards_s learned;
    teacher.zro.getDcd(&learned);
    ASSERT_GT(learned.zroTemperatureFit[2], 0u) << "the fit learned a block";

    for (bool zeroEstimate : {false, true}) {
        SCOPED_TRACE(zeroEstimate);
        dcdAlg4MinFixedInnards_s stored = learned;
        if (zeroEstimate)
            std::memset(stored.zro, 0, sizeof stored.zro);
        ZroRig student(0.01, &stored);
        dcdAlg4MinFixedInnards_s again;
        student.zro.getDcd(&again);
        EXPECT_EQ(0, std::memcmp(reinterpret_cast<const char*>(&again) + 36,
                                 reinterpret_cast<const char*>(&stored) + 36, 172 - 36));

        // Moving in hand: no window, no override; the answer is the estimate.
        const ZroFromStable::Output& out = student.step(v3(1.0f, -2.0f, 0.5f), v3(3.0f, 1.0f, 9.0f));
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(out.zro[i].value(), zeroEstimate ? 0.0f : stored.zro[i]) << i;
        EXPECT_EQ(out.estimateWeight.value(), zeroEstimate ? 0.0f : 4.0f);
    }
}

TEST(ZroFromStable, ConfirmedTableTeachesTheTemperatureFitThatAnswersWithoutStillEstimate)
{
    ZroRig rig;
    rig.useStillEstimate = false;
    TableDevice device;
    const ZroFromStable::Output* out = &rig.step(device.rate(), device.acc());
    EXPECT_EQ(out->zroVariance[0].value(), kUnknown) << "nothing learned yet";
    EXPECT_EQ(out->zro[0].value(), 0.0f);
    for (int k = 0; k < 500; ++k)
        out = &rig.step(device.rate(), device.acc());
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(out->zro[i].value(), kTrueZro[i].value(), 2e-4f) << i;
        EXPECT_LT(out->zroVariance[i].value(), 1e-6f) << i;
    }
}

TEST(ZroFromStable, UnknownRateRestartsTheTableTime)
{
    ZroRig rig;
    TableDevice device;
    for (int k = 0; k < 200; ++k)
        rig.step(device.rate(), device.acc());
    ASSERT_EQ(rig.out.onTableOverride, 1);
    rig.step(v3(0.0f, -kUnknown, 0.0f), device.acc());
    EXPECT_EQ(rig.out.onTableOverride, 0);
    int back = -1;
    for (int k = 0; k < 300 && back < 0; ++k)
        if (rig.step(device.rate(), device.acc()).onTableOverride)
            back = k;
    EXPECT_GT(back, 100) << "needs over a second of table time again";
}

TEST(ZroFromStable, QuietHandWindowsBuildTheEstimateAndItsWeightStaysAtMostFour)
{
    ZroRig rig;
    HandDevice hand(0.03f);
    float largestWeight = 0.0f;
    int weighted = 0;
    for (int k = 0; k < 1500; ++k) { // 15 s: short of the long-still override
        const ZroFromStable::Output& out = rig.step(hand.rate(), hand.acc());
        ASSERT_EQ(out.onTableOverride, 0) << k;
        ASSERT_EQ(out.longStillOverride, 0) << k;
        if (out.windowWeight > Fp(0.15f))
            ++weighted;
        largestWeight = std::max(largestWeight, out.estimateWeight.value());
        ASSERT_LE(out.estimateWeight.value(), 4.0f) << k;
    }
    EXPECT_GT(weighted, 5);
    EXPECT_EQ(largestWeight, 4.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(rig.out.zro[i].value(), kTrueZro[i].value(), 2e-3f) << i;
}

TEST(ZroFromStable, NoisyHandWindowsLeaveTheEstimateUnchanged)
{
    ZroRig rig;
    HandDevice hand(0.07f); // still for the detector, too shaky to learn from
    int reported = 0;
    for (int k = 0; k < 1000; ++k) {
        const ZroFromStable::Output& out = rig.step(hand.rate(), hand.acc());
        reported += out.windowReported;
        ASSERT_LE(out.windowWeight.value(), 0.15f) << k;
        ASSERT_EQ(out.estimateWeight.value(), 0.0f) << k;
        ASSERT_EQ(out.zro, v3(0.0f, 0.0f, 0.0f)) << k;
    }
    EXPECT_GT(reported, 10);
}

TEST(ZroFromStable, TemperatureChangeOfOneAndAHalfDegreesHalvesTheOldWeight)
{
    ZroRig rig;
    HandDevice hand(0.03f);
    float weightBefore = -1.0f;
    while (weightBefore < 0.0f && rig.sample() < 1000)
        if (rig.step(hand.rate(), hand.acc()).windowWeight > Fp(0.15f))
            weightBefore = rig.out.estimateWeight.value();
    ASSERT_GT(weightBefore, 0.0f);

    rig.temperature += 1.5f;
    while (rig.sample() < 2000)
        if (rig.step(hand.rate(), hand.acc()).windowWeight > Fp(0.15f))
            break;
    const float w = rig.out.windowWeight.value();
    EXPECT_NEAR(rig.out.estimateWeight.value(), weightBefore / 2.0f + w, 1e-6f);
}

TEST(ZroFromStable, StillInHandForTwentySecondsTakesTheMeanRateSinceTheLastChange)
{
    ZroRig rig;
    HandDevice hand(0.03f);
    int first = -1;
    for (int k = 0; k < 2300; ++k) {
        const ZroFromStable::Output& out = rig.step(hand.rate(), hand.acc());
        if (out.longStillOverride && first < 0)
            first = k;
        if (first < 0)
            continue;
        ASSERT_EQ(out.longStillOverride, 1) << k;
        EXPECT_EQ(out.windowWeight.value(), 4.0f);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(out.zro[i].value(), kTrueZro[i].value(), 2e-3f) << k;
    }
    EXPECT_GE(first, 2000);
    EXPECT_LT(first, 2200);
}

// An unusable magnetometer sample (-2^31) must not become the reference of
// the normalised field: with a field norm above 1 the samples after it would
// all read about 2^30, and a real change of the field would go unseen.
TEST(ZroFromStable, UnusableMagnetometerSampleKeepsTheFieldVisible)
{
    ZroRig rig;
    rig.magPresent = true;
    rig.fieldNorm = 2.0f;
    HandDevice hand(0.03f);
    int first = -1;
    for (int k = 0; k < 3800 && first < 0; ++k) {
        if (k == 300)
            rig.mag = v3(-kUnknown, -kUnknown, -kUnknown);
        else
            rig.mag = k < 1500 ? v3(0.3f, 0.1f, -0.4f) : v3(0.1f, 0.3f, -0.4f); // the field turns at 15 s
        if (rig.step(hand.rate(), hand.acc()).longStillOverride)
            first = k;
    }
    EXPECT_GE(first, 3500) << "the turn at 15 s restarts the still time";
    EXPECT_LT(first, 3800);
}

TEST(ZroFromStable, WindowLengthFollowsTheSampleRate)
{
    struct Case
    {
        double periodS;
        std::uint32_t windowLength;
    };
    for (const Case& c : {Case{0.002, 512}, Case{0.005, 512}, Case{0.008, 256}, Case{0.01, 256},
                          Case{0.02, 128}, Case{0.04, 64}}) {
        ZroRig rig(c.periodS);
        EXPECT_EQ(rig.zro.windowLength(), c.windowLength) << c.periodS;
        EXPECT_EQ(rig.zro.detector().reportInterval, c.windowLength / 8) << c.periodS;
        EXPECT_EQ(rig.zro.detector().maxCount, c.windowLength) << c.periodS;
    }
}

TEST(ZroFromStable, SamplePeriodsBelowOneMillisecondAreIgnored)
{
    ZroRig rig(0.01);
    rig.zro.updatePeriods(Fp(0.0005f), Fp(0.0005f), Fp(0.0005f), Fp(0.0005f));
    EXPECT_EQ(rig.zro.windowLength(), 256u);
    rig.zro.updatePeriods(Fp(0.0f), Fp(0.0f), Fp(0.0f), Fp(-0.01f));
    EXPECT_EQ(rig.zro.windowLength(), 256u);
}

} // namespace
} // namespace vnx
