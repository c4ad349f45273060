#include "statistics/StabilityDetect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vnx {
namespace {

using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::vector<Fp, 3>;
using Detector = StabilityDetect<Fp, 3, 10>;

Vec3 v3(float x)
{
    return {Fp(x), Fp(x), Fp(x)};
}

// A detector as its owners set it up: window of 8, full window after 32.
class StabilityDetectTest : public ::testing::Test
{
  protected:
    void configure(float threshold, std::uint32_t interval = 8, std::uint32_t maxCount = 32)
    {
        d.testedChannels = 3;
        for (Fp& t : d.threshold)
            t = Fp(threshold);
        d.reportInterval = interval;
        d.minCount = interval;
        d.maxCount = maxCount;
        d.resetPending = 1;
        d.state = Detector::kMoving;
    }

    Detector::Output feed(float x) { return feed(v3(x)); }
    Detector::Output feed(const Vec3& x)
    {
        Detector::Output out;
        d.process(x, &out);
        return out;
    }

    Detector d{"vnx_core_test"};
};

TEST_F(StabilityDetectTest, ConstantInputGoesStillOnExactlyTheReportIntervalThSample)
{
    configure(1.0f);
    for (int k = 1; k < 8; ++k) {
        const Detector::Output out = feed(0.5f);
        EXPECT_EQ(out.report, 0) << k;
        EXPECT_EQ(out.still, 0) << k;
    }
    const Detector::Output out = feed(0.5f);
    EXPECT_EQ(out.report, 1);
    EXPECT_EQ(out.still, 1);
    EXPECT_EQ(out.motion, 0);
    EXPECT_EQ(d.stats.count, 8u);
    EXPECT_EQ(d.stats.mean[0].value(), 0.5f);
}

TEST_F(StabilityDetectTest, StillDetectorReportsEveryIntervalAndRestartsStillAtTheMaximumCount)
{
    configure(1.0f);
    std::vector<int> reports;
    for (int k = 1; k <= 48; ++k) {
        const Detector::Output out = feed(0.25f);
        if (out.report)
            reports.push_back(k);
        if (k >= 8) {
            EXPECT_EQ(out.still, 1) << k;
        }
        EXPECT_EQ(out.motion, 0) << k;
        if (k == 32) {
            EXPECT_EQ(d.resetPending, 1);
        }
        if (k == 33) {
            EXPECT_EQ(d.stats.count, 1u);
        }
    }
    // 8..32 within the first window, then the new window reports again once
    // it has its minimum count (count 8 at sample 40).
    EXPECT_EQ(reports, (std::vector<int>{8, 16, 24, 32, 40, 48}));
}

TEST_F(StabilityDetectTest, StillDetectorGivesWindowVariancesFromTheMinimumCountOn)
{
    configure(1.0f);
    for (int k = 0; k < 8; ++k)
        feed(0.0f);
    const Detector::Output out = feed(0.5f); // count 9, one deviation
    ASSERT_EQ(out.still, 1);
    const float expected = static_cast<float>(d.stats.M2[0] / 8.0);
    EXPECT_GT(expected, 0.0f);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(out.variance[i].value(), expected);
}

TEST_F(StabilityDetectTest, MovingSpreadEqualToTwiceTheRootKeepsTheWindow)
{
    configure(1.0f); // spread 2: 2^2 == 4 * 1
    int reportedAt = 0;
    for (int k = 1; k <= 8; ++k) {
        const Detector::Output out = feed((k & 1) ? 0.0f : 2.0f);
        EXPECT_EQ(out.motion, 0) << k;
        if (out.report)
            reportedAt = k;
    }
    EXPECT_EQ(reportedAt, 8);
}

TEST_F(StabilityDetectTest, MovingSpreadBeyondTwiceTheRootRestartsTheWindow)
{
    configure(std::nextafter(1.0f, 0.0f));
    feed(0.0f);
    const Detector::Output out = feed(2.0f);
    EXPECT_EQ(out.motion, 1);
    EXPECT_EQ(d.resetPending, 1);
    // The window restarts with sample 3, so the report comes at sample 10.
    for (int k = 3; k <= 9; ++k)
        EXPECT_EQ(feed(2.0f).report, 0) << k;
    EXPECT_EQ(feed(2.0f).report, 1);
}

TEST_F(StabilityDetectTest, StillSpreadWhoseSquareReachesEightThresholdsEndsStillness)
{
    struct Case
    {
        float jump;
        bool endsStillness;
    };
    // threshold 0.5: 8 * 0.5 = 4 = 2^2.
    for (const Case& c : {Case{2.0f, true}, Case{std::nextafter(2.0f, 0.0f), false}}) {
        configure(0.5f, 8, 1000);
        for (int k = 0; k < 8; ++k)
            feed(0.0f);
        // Keep the variance test out of the way: only the spread matters here.
        d.minCount = 1000;
        const Detector::Output out = feed(c.jump);
        EXPECT_EQ(out.motion, c.endsStillness ? 1 : 0) << c.jump;
        EXPECT_EQ(out.still, c.endsStillness ? 0 : 1) << c.jump;
        EXPECT_EQ(d.state, c.endsStillness ? Detector::kMoving : Detector::kStill);
    }
}

TEST_F(StabilityDetectTest, StillVarianceEqualToItsThresholdKeepsStillness)
{
    // Five zeros and four ones: spread 1 fits both spread limits for a
    // threshold near 0.28, so only the variance test decides.
    const float xs[] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    RunningStats<Fp, 3, 10> reference("vnx_core_test");
    for (float x : xs)
        reference.addSample(v3(x));
    const float atNine = reference.variance(0).value();

    struct Case
    {
        float threshold;
        bool staysStill;
    };
    for (const Case& c : {Case{atNine, true}, Case{std::nextafter(atNine, 0.0f), false}}) {
        configure(c.threshold);
        Detector::Output out{};
        for (float x : xs)
            out = feed(x);
        EXPECT_EQ(out.variance[0].value(), atNine);
        EXPECT_EQ(out.still, c.staysStill ? 1 : 0) << c.threshold;
        EXPECT_EQ(out.motion, c.staysStill ? 0 : 1) << c.threshold;
    }
}

TEST_F(StabilityDetectTest, OnlyTheTestedChannelsAreCompared)
{
    configure(1.0f);
    d.testedChannels = 2;
    Detector::Output out{};
    for (int k = 1; k <= 8; ++k)
        out = feed(Vec3{Fp(0.0f), Fp(0.0f), Fp(k * 10.0f)});
    EXPECT_EQ(out.report, 1);
    EXPECT_EQ(out.still, 1);
}

TEST_F(StabilityDetectTest, UnknownStateFallsBackToMoving)
{
    configure(1.0f);
    d.state = 7;
    const Detector::Output out = feed(0.0f);
    EXPECT_EQ(out.still, 0);
    EXPECT_EQ(out.report, 0);
    EXPECT_EQ(d.state, Detector::kMoving);
}

// A zero report interval would divide by zero in the still state; such a
// detector simply never reports by interval (its maximum count still does).
TEST_F(StabilityDetectTest, ZeroReportIntervalNeverDividesByZero)
{
    configure(1.0f, 0, 5);
    d.state = Detector::kStill;
    int reports = 0;
    for (int k = 1; k <= 5; ++k)
        reports += feed(0.0f).report;
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(d.resetPending, 1);
}

} // namespace
} // namespace vnx
