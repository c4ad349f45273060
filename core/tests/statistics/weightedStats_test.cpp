#include "statistics/WeightedStats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vnx {
namespace {

using Fp = FloatingPoint<float>;
using Vec1 = qdVectorFixed::vector<Fp, 1>;
using Stats = WeightedStats<Fp, 1, 15>;

Vec1 v1(float x)
{
    return {Fp(x)};
}

TEST(WeightedStats, FirstSampleSetsMeanExtremesAndWeight)
{
    Stats s(1, Fp(100.0f));
    s.addSample(v1(21.5f), Fp(3.0f));
    EXPECT_EQ(s.count, 1u);
    EXPECT_EQ(s.sumWeights.value(), 3.0f);
    EXPECT_EQ(s.mean[0].value(), 21.5f);
    EXPECT_EQ(s.M2[0].value(), 0.0f);
    EXPECT_EQ(s.min[0].value(), 21.5f);
    EXPECT_EQ(s.max[0].value(), 21.5f);
}

TEST(WeightedStats, EqualWeightsGiveTheMeanAndPopulationVariance)
{
    Stats s(1, Fp(1e9f));
    for (float x : {2.0f, 4.0f, 4.0f, 4.0f, 5.0f, 5.0f, 7.0f, 9.0f})
        s.addSample(v1(x), Fp(1.0f));
    EXPECT_FLOAT_EQ(s.mean[0].value(), 5.0f);
    EXPECT_FLOAT_EQ(s.variance(0).value(), 4.0f);
    EXPECT_EQ(s.sumWeights.value(), 8.0f);
    EXPECT_EQ(s.min[0].value(), 2.0f);
    EXPECT_EQ(s.max[0].value(), 9.0f);
}

TEST(WeightedStats, WeightsPullTheMeanInProportion)
{
    Stats s(1, Fp(1e9f));
    s.addSample(v1(10.0f), Fp(1.0f));
    s.addSample(v1(20.0f), Fp(3.0f));
    EXPECT_FLOAT_EQ(s.mean[0].value(), 17.5f);
    // Weighted spread: (1*7.5^2 + 3*2.5^2) / 4.
    EXPECT_FLOAT_EQ(s.variance(0).value(), 18.75f);
}

TEST(WeightedStats, ReachedCapHoldsTheTotalAndNewSamplesWeighAgainstIt)
{
    Stats s(1, Fp(4.0f));
    for (int k = 0; k < 4; ++k)
        s.addSample(v1(0.0f), Fp(1.0f));
    EXPECT_EQ(s.sumWeights.value(), 4.0f);
    s.addSample(v1(10.0f), Fp(1.0f));
    EXPECT_EQ(s.sumWeights.value(), 4.0f);
    EXPECT_FLOAT_EQ(s.mean[0].value(), 10.0f * 1.0f / 5.0f);
    s.addSample(v1(10.0f), Fp(1.0f));
    EXPECT_EQ(s.sumWeights.value(), 4.0f);
    EXPECT_FLOAT_EQ(s.mean[0].value(), 2.0f + 8.0f / 5.0f);
}

TEST(WeightedStats, CountStopsAtItsLargestValueAndUpdatesGoOn)
{
    Stats s(1, Fp(1e9f));
    s.addSample(v1(1.0f), Fp(1.0f));
    s.count = std::numeric_limits<std::uint32_t>::max();
    s.addSample(v1(3.0f), Fp(1.0f));
    EXPECT_EQ(s.count, std::numeric_limits<std::uint32_t>::max());
    EXPECT_FLOAT_EQ(s.mean[0].value(), 2.0f);
    EXPECT_EQ(s.sumWeights.value(), 2.0f);
}

// Zero weights carry no information; they must not turn the mean into NaN.
TEST(WeightedStats, ZeroWeightsLeaveTheStatisticsFinite)
{
    Stats s(1, Fp(1e9f));
    s.addSample(v1(5.0f), Fp(0.0f));
    s.addSample(v1(7.0f), Fp(0.0f));
    EXPECT_EQ(s.mean[0].value(), 5.0f);
    EXPECT_EQ(s.variance(0).value(), 0.0f);
    EXPECT_EQ(s.max[0].value(), 7.0f);
}

} // namespace
} // namespace vnx
