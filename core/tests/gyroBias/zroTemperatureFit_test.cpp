#include "gyroBias/ZroTemperatureFit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vnx {
namespace {

using Fp = ZroTemperatureFit::Fp;
using Vec3 = ZroTemperatureFit::Vec3;

constexpr float kUnknown = 2147483648.0f;

Vec3 v3(float x, float y, float z)
{
    return {Fp(x), Fp(y), Fp(z)};
}
Vec3 all(float x)
{
    return v3(x, x, x);
}

// ZRO of a device whose offset drifts linearly with temperature.
Vec3 lineZro(float t)
{
    return v3(0.01f + 2e-4f * t, -0.02f + 1e-4f * t, 0.003f - 5e-5f * t);
}

dcdZroTemperatureFit_s dcdOf(const ZroTemperatureFit& fit)
{
    dcdZroTemperatureFit_s d;
    fit.getDcd(&d);
    return d;
}

TEST(ZroTemperatureFit, FreshFitAnswersZeroWithUnknownVariance)
{
    ZroTemperatureFit fit;
    for (float t : {-20.0f, 0.0f, 25.0f, 60.0f}) {
        Vec3 zro = all(1.0f), var;
        fit.getZro(Fp(t), &zro, &var);
        EXPECT_EQ(zro, all(0.0f)) << t;
        EXPECT_EQ(var, all(kUnknown)) << t;
    }
}

TEST(ZroTemperatureFit, FreshDcdHoldsZeroSumsAndUnsetBlock)
{
    ZroTemperatureFit fit;
    const dcdZroTemperatureFit_s d = dcdOf(fit);
    const float* words = reinterpret_cast<const float*>(&d);
    for (int w = 0; w < 25; ++w)
        EXPECT_EQ(words[w], 0.0f) << w;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(d.blockVariance[i], kUnknown);
    EXPECT_EQ(d.blockTemperature, -kUnknown);
}

TEST(ZroTemperatureFit, SamplesWithinOneDegreeFuseIntoTheOpenBlockOnly)
{
    ZroTemperatureFit fit;
    fit.addStableSample(Fp(25.0f), all(0.010f), all(4e-8f));
    fit.addStableSample(Fp(25.9f), all(0.013f), all(1.2e-7f));
    const dcdZroTemperatureFit_s d = dcdOf(fit);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(d.normal[i][2], 0.0f) << "fit stays empty";
        // Inverse-variance fusion: weights 3:1.
        EXPECT_NEAR(d.blockMean[i], 0.01075f, 1e-7f);
        EXPECT_NEAR(d.blockVariance[i], 3e-8f, 1e-12f);
    }
    EXPECT_EQ(d.blockTemperature, 25.0f);

    Vec3 zro, var;
    fit.getZro(Fp(25.5f), &zro, &var);
    EXPECT_NEAR(zro[0].value(), 0.01075f, 1e-7f);
    EXPECT_NEAR(var[0].value(), 3e-8f, 1e-12f);
}

TEST(ZroTemperatureFit, SampleBeyondOneDegreeClosesTheBlockIntoTheFit)
{
    ZroTemperatureFit fit;
    fit.addStableSample(Fp(25.0f), v3(0.01f, 0.02f, 0.03f), v3(1e-6f, 2e-6f, 1e-10f));
    fit.addStableSample(Fp(26.01f), all(0.05f), all(1e-6f));
    const dcdZroTemperatureFit_s d = dcdOf(fit);
    // Weights 1/variance, and the fixed weight below the smallest usable variance.
    const float w[3] = {1e6f, 5e5f, 1846578560.0f};
    const float z[3] = {0.01f, 0.02f, 0.03f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(d.normal[i][0], 25.0f * 25.0f * w[i]) << i;
        EXPECT_FLOAT_EQ(d.normal[i][1], 25.0f * w[i]) << i;
        EXPECT_FLOAT_EQ(d.normal[i][2], w[i]) << i;
        EXPECT_FLOAT_EQ(d.rhs[i][0], 25.0f * z[i] * w[i]) << i;
        EXPECT_FLOAT_EQ(d.rhs[i][1], z[i] * w[i]) << i;
        EXPECT_FLOAT_EQ(d.sumZZ[i], z[i] * z[i] * w[i]) << i;
    }
    EXPECT_EQ(d.tempCount, 1u);
    EXPECT_EQ(d.tempMean, 25.0f);
    EXPECT_EQ(d.tempSumWeights, w[2]);
}

// Blocks of one degree from 15 to 35 degC along a line: the fit answers
// between and beyond the blocks, better than any single block.
class ZroTemperatureFitLine : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        for (float t = 15.0f; t <= 35.0f; t += 1.25f)
            fit.addStableSample(Fp(t), lineZro(t), all(1e-7f));
    }
    ZroTemperatureFit fit;
};

TEST_F(ZroTemperatureFitLine, AnswersFollowTheLineAcrossAndBeyondTheSampledRange)
{
    for (float t : {16.3f, 22.0f, 31.7f, 45.0f, 0.0f}) {
        Vec3 zro, var;
        fit.getZro(Fp(t), &zro, &var);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(zro[i].value(), lineZro(t)[i].value(), 2e-5f) << t << " axis " << i;
            EXPECT_LT(var[i].value(), 1e-6f) << t;
        }
    }
}

TEST_F(ZroTemperatureFitLine, RoundTripThroughTheDcdKeepsTheAnswers)
{
    const dcdZroTemperatureFit_s d = dcdOf(fit);
    ZroTemperatureFit restored;
    restored.init(&d);
    for (float t : {10.0f, 20.0f, 25.0f, 33.0f, 50.0f}) {
        Vec3 zro, var, zro2, var2;
        fit.getZro(Fp(t), &zro, &var);
        restored.getZro(Fp(t), &zro2, &var2);
        EXPECT_EQ(zro, zro2) << t;
        EXPECT_EQ(var, var2) << t;
    }
    dcdZroTemperatureFit_s again;
    restored.getDcd(&again);
    EXPECT_EQ(0, std::memcmp(&d, &again, sizeof d));
}

TEST(ZroTemperatureFitChannel, VarianceIsFlatInsideTheSampledRangeAndGrowsLinearlyOutside)
{
    ZroTemperatureFit::ZroChannel ch;
    for (float t = 20.0f; t <= 30.0f; t += 1.0f)
        ch.addStableSample(Fp(t), Fp(0.001f * t + 0.0001f * (t - 25.0f) * (t - 25.0f)), Fp(1e4f));
    const float inside = ch.getMseAdjusted(Fp(25.0f)).value();
    EXPECT_LT(inside, kUnknown);
    EXPECT_EQ(ch.getMseAdjusted(Fp(22.0f)).value(), inside);
    EXPECT_EQ(ch.getMseAdjusted(Fp(29.0f)).value(), inside);
    const float at45 = ch.getMseAdjusted(Fp(45.0f)).value();
    const float at65 = ch.getMseAdjusted(Fp(65.0f)).value();
    const float at5 = ch.getMseAdjusted(Fp(5.0f)).value();
    EXPECT_GT(at45, inside);
    EXPECT_NEAR(at65 / at45, 2.0f, 1e-5f); // distances 40 and 20 from the middle
    EXPECT_NEAR(at5 / at45, 1.0f, 1e-5f);
}

TEST(ZroTemperatureFitChannel, NarrowOrLightFitsAreNotUsable)
{
    struct Case
    {
        const char* what;
        float from, to, weight;
    };
    for (const Case& c :
         {Case{"span under 6 degC", 20.0f, 24.0f, 1e4f}, Case{"total weight 1000", 10.0f, 40.0f, 100.0f}}) {
        ZroTemperatureFit::ZroChannel ch;
        for (float t = c.from; t <= c.to + 1e-3f; t += (c.to - c.from) / 9.0f)
            ch.addStableSample(Fp(t), Fp(0.01f), Fp(c.weight));
        EXPECT_EQ(ch.getMseAdjusted(Fp(c.from)).value(), kUnknown) << c.what;
    }
}

TEST(ZroTemperatureFit, SumsPastTheWeightCapAreRescaledAndKeepTheLine)
{
    ZroTemperatureFit fit;
    // Variances below the usable minimum: each closed block weighs 1846578560.
    for (float t = 10.0f; t <= 40.0f; t += 2.0f)
        fit.addStableSample(Fp(t), lineZro(t), all(1e-12f));
    const dcdZroTemperatureFit_s d = dcdOf(fit);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(d.normal[i][2], 9232892928.0f * 1.000001f) << i;
        EXPECT_GT(d.normal[i][2], 9232892928.0f * 0.75f) << i;
    }
    Vec3 zro, var;
    fit.getZro(Fp(20.0f), &zro, &var);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(zro[i].value(), lineZro(20.0f)[i].value(), 2e-5f) << i;
}

TEST(ZroTemperatureFit, FarFromEveryBlockTheVarianceOfABlockGrowsWithTheSquaredDistance)
{
    ZroTemperatureFit::WeightedStatsResult block{all(0.01f), all(1e-6f), Fp(25.0f)};
    EXPECT_EQ(block.getMseAdjusted(Fp(26.0f)), all(1e-6f)); // within 1 degC: as stored
    const Vec3 at30 = block.getMseAdjusted(Fp(30.0f));
    EXPECT_FLOAT_EQ(at30[0].value(), 1e-6f + 5.7380156e-8f * 25.0f);
    EXPECT_FLOAT_EQ(at30[1].value(), 1e-6f + 1.0169882e-7f * 25.0f);
    EXPECT_FLOAT_EQ(at30[2].value(), 1e-6f + 2.3238989e-9f * 25.0f);
    const ZroTemperatureFit::WeightedStatsResult none{all(0.0f), all(kUnknown), Fp(-kUnknown)};
    EXPECT_EQ(none.getMseAdjusted(Fp(-kUnknown)), all(kUnknown));
}

} // namespace
} // namespace vnx
