#include "numerics/fastSqrt.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace vnx {
namespace {

TEST(FastSqrt, OutOfDomainValues)
{
    EXPECT_EQ(sqrtfMerrowind(-1.0f), 0.0f);
    EXPECT_EQ(sqrtfMerrowind(1e-15f), 0.0f);
    EXPECT_EQ(sqrtfMerrowind(NAN), 0.0f);
    EXPECT_EQ(invSqrtfMerrowind(0.0f), FLT_MAX);
    EXPECT_EQ(invSqrtfMerrowind(-2.0f), FLT_MAX);
    EXPECT_EQ(sqrtFiMerrowind(1e-14f), 0.0f);
    EXPECT_EQ(sqrtFiMerrowind(-4.0f), 0.0f);
    EXPECT_EQ(sqrtfMerrowind(INFINITY), INFINITY);
    EXPECT_EQ(invSqrtfMerrowind(INFINITY), 0.0f);
    EXPECT_EQ(sqrtFiMerrowind(INFINITY), INFINITY);
}

TEST(FastSqrt, RelativeErrorOverManyDecades)
{
    // Two Newton steps from the quadratic guess leave about 1.3e-6 relative.
    for (float x = 1e-13f; x < 1e30f; x *= 1.37f) {
        const double root = std::sqrt(static_cast<double>(x));
        EXPECT_NEAR(sqrtfMerrowind(x) / root, 1.0, 1.5e-6) << x;
        EXPECT_NEAR(invSqrtfMerrowind(x) * root, 1.0, 1.5e-6) << x;
        EXPECT_NEAR(sqrtFiMerrowind(x) / root, 1.0, 2e-7) << x;
    }
    // The reduced value 0.25 sits where the first guess is worst: 1.19e-6 relative.
    EXPECT_NEAR(sqrtfMerrowind(4.0f) / 2.0, 1.0, 1.5e-6);
}

TEST(FastSqrt, ExactRootOfReducedValue)
{
    EXPECT_EQ(sqrtFiMerrowind(0.5f), std::sqrt(0.5f));
    EXPECT_EQ(sqrtFiMerrowind(2.0f), 2.0f * std::sqrt(0.5f));
    EXPECT_EQ(sqrtFiMerrowind(16.0f), 4.0f);
    EXPECT_EQ(sqrtFiMerrowind(0.0625f), 0.25f);
}

TEST(FastSqrtNorm, FirstGuessesAndConvergence)
{
    const Fp32 x(0.5f);
    EXPECT_EQ(sqrtFiNorm(x, 0).value(), 0.6666667f * 0.5f + 0.354167f);
    EXPECT_EQ(invSqrtFiNorm(x, 0).value(), 1.63841f * 0.5f * 0.5f - 3.2850401f * 0.5f + 2.670578f);
    for (float v = 0.25f; v < 1.0f; v += 0.01f) {
        EXPECT_NEAR(sqrtFiNorm(Fp32(v), 3).value(), std::sqrt(v), 1e-6) << v;
        EXPECT_NEAR(invSqrtFiNorm(Fp32(v), 3).value(), 1.0 / std::sqrt(v), 1e-6) << v;
    }
    EXPECT_EQ(sqrtFiNorm(Fp32(0.0f), 2).value(), 0.0f);
    EXPECT_EQ(invSqrtFiNorm(Fp32(-1.0f), 2).value(), 0.0f);
}

} // namespace
} // namespace vnx
