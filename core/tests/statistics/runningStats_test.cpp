#include "statistics/RunningStats.h"

#include <gtest/gtest.h>

#include <vector>

#include "statistics/RunningMean.h"
#include "statistics/RunningMeanStd.h"

namespace vnx {
namespace {

using Fp = FloatingPoint<float>;
using Vec3 = qdVectorFixed::vector<Fp, 3>;

Vec3 v3(float x, float y, float z)
{
    return {Fp(x), Fp(y), Fp(z)};
}

TEST(RunningStats, FirstSampleIsMeanMinAndMaxWithZeroVariance)
{
    RunningStats<Fp, 3, 9> s("vnx_core_test");
    s.addSample(v3(1.5f, -2.0f, 3.0f));
    EXPECT_EQ(s.count, 1u);
    EXPECT_EQ(s.mean, v3(1.5f, -2.0f, 3.0f));
    EXPECT_EQ(s.min, v3(1.5f, -2.0f, 3.0f));
    EXPECT_EQ(s.max, v3(1.5f, -2.0f, 3.0f));
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.M2[i], 0.0);
        EXPECT_EQ(s.variance(i).value(), 0.0f); // count 1: no division by zero
        EXPECT_EQ(s.range(i).value(), 0.0f);
    }
}

TEST(RunningStats, MeanVarianceAndExtremesOfAKnownSeries)
{
    RunningStats<Fp, 3, 9> s("vnx_core_test");
    for (float x : {2.0f, 4.0f, 4.0f, 4.0f, 5.0f, 5.0f, 7.0f, 9.0f})
        s.addSample(v3(x, -x, 10.0f * x));
    EXPECT_EQ(s.count, 8u);
    EXPECT_FLOAT_EQ(s.mean[0].value(), 5.0f);
    EXPECT_FLOAT_EQ(s.mean[1].value(), -5.0f);
    EXPECT_FLOAT_EQ(s.mean[2].value(), 50.0f);
    EXPECT_FLOAT_EQ(s.variance(0).value(), 32.0f / 7.0f);
    EXPECT_FLOAT_EQ(s.variance(1).value(), 32.0f / 7.0f);
    EXPECT_FLOAT_EQ(s.variance(2).value(), 3200.0f / 7.0f);
    EXPECT_EQ(s.min[0].value(), 2.0f);
    EXPECT_EQ(s.max[0].value(), 9.0f);
    EXPECT_EQ(s.min[1].value(), -9.0f);
    EXPECT_EQ(s.range(2).value(), 70.0f);
}

TEST(RunningStats, OnlyChannelsBelowTheChannelCountAreUpdated)
{
    RunningStats<Fp, 3, 9> s("vnx_core_test", 2);
    s.addSample(v3(1.0f, 2.0f, 3.0f));
    s.addSample(v3(3.0f, 4.0f, 5.0f));
    EXPECT_EQ(s.mean[1].value(), 3.0f);
    EXPECT_EQ(s.mean[2].value(), 0.0f);
    EXPECT_EQ(s.max[2].value(), 0.0f);
    EXPECT_EQ(s.M2[2], 0.0);
}

TEST(RunningStats, LargestVarianceAndRangeOfAChannelGroup)
{
    RunningStats<Fp, 6, 10> s("vnx_core_test");
    using Vec6 = qdVectorFixed::vector<Fp, 6>;
    s.addSample(Vec6{Fp(0.0f), Fp(0.0f), Fp(0.0f), Fp(0.0f), Fp(0.0f), Fp(0.0f)});
    s.addSample(Vec6{Fp(1.0f), Fp(3.0f), Fp(2.0f), Fp(10.0f), Fp(0.0f), Fp(0.0f)});
    EXPECT_EQ(s.largestRange(0, 3).value(), 3.0f);
    EXPECT_EQ(s.largestVariance(0, 3).value(), 4.5f);
    EXPECT_EQ(s.largestRange(3, 3).value(), 10.0f);
    EXPECT_EQ(s.largestVariance(4, 2).value(), 0.0f);
}

TEST(RunningStats, PlainFloatInstanceTakesAPointerAndKeepsSinglePrecisionSums)
{
    RunningStats<float, 1, 9> s("vnx_core_test", 1);
    const float xs[] = {1.0f, 2.0f, 3.0f, 4.0f};
    for (const float& x : xs)
        s.addSample(&x);
    EXPECT_FLOAT_EQ(s.mean[0], 2.5f);
    EXPECT_FLOAT_EQ(s.variance(0), 5.0f / 3.0f);
    static_assert(std::is_same_v<decltype(s.M2[0]), float&>);
}

TEST(RunningStats, ResetMakesTheNextSampleTheFirst)
{
    RunningStats<Fp, 3, 9> s("vnx_core_test");
    s.addSample(v3(100.0f, 100.0f, 100.0f));
    s.addSample(v3(-100.0f, 0.0f, 0.0f));
    s.reset();
    s.addSample(v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(s.count, 1u);
    EXPECT_EQ(s.mean, v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(s.min, v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(s.max, v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(s.M2[0], 0.0);
}

// Long windows of tiny deviations: the double M2 of the FloatingPoint
// instance keeps the variance where a float sum would drift.
TEST(RunningStats, LongWindowOfSmallDeviationsKeepsItsVariance)
{
    RunningStats<Fp, 3, 9> s("vnx_core_test");
    const int n = 2000000;
    for (int k = 0; k < n; ++k) {
        const float x = 1.0f + ((k & 1) ? 1e-3f : -1e-3f);
        s.addSample(v3(x, x, x));
    }
    EXPECT_NEAR(s.variance(0).value(), 1e-6, 1e-9); // a float sum ends 2 % low
}

// The three templates share one update: on the same data they agree exactly.
TEST(RunningStats, MeanStdAndMeanTemplatesAgreeWithTheFullStatistics)
{
    RunningStats<Fp, 3, 10> full("vnx_core_test");
    RunningMeanStd<Fp, 3, 10> meanStd("vnx_core_test");
    RunningMean<Fp, 3> mean("vnx_core_test");
    const std::vector<Vec3> samples = {v3(0.1f, 9.8f, -3.0f), v3(0.2f, 9.7f, -3.1f), v3(-0.4f, 9.9f, -2.7f),
                                       v3(0.05f, 9.81f, -3.3f), v3(0.3f, 9.6f, -2.9f)};
    for (const Vec3& x : samples) {
        full.addSample(x);
        meanStd.addSample(x);
        mean.addSample(x);
    }
    EXPECT_EQ(meanStd.count, 5u);
    EXPECT_EQ(mean.count, 5u);
    EXPECT_EQ(meanStd.mean, full.mean);
    EXPECT_EQ(mean.mean, full.mean);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(meanStd.M2[i], full.M2[i]);
        EXPECT_EQ(meanStd.variance(i), full.variance(i));
    }
}

TEST(RunningStats, RestartMakesOneSampleWindows)
{
    RunningMeanStd<Fp, 3, 10> meanStd("vnx_core_test");
    RunningMean<Fp, 3> mean("vnx_core_test");
    meanStd.addSample(v3(5.0f, 5.0f, 5.0f));
    meanStd.addSample(v3(7.0f, 7.0f, 7.0f));
    mean.addSample(v3(5.0f, 5.0f, 5.0f));
    meanStd.restart(v3(1.0f, 2.0f, 3.0f));
    mean.restart(v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(meanStd.count, 1u);
    EXPECT_EQ(meanStd.mean, v3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(meanStd.M2[0], 0.0);
    EXPECT_EQ(mean.count, 1u);
    EXPECT_EQ(mean.mean, v3(1.0f, 2.0f, 3.0f));
}

} // namespace
} // namespace vnx
