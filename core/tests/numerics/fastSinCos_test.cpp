#include "numerics/fastSinCos.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {
namespace {

TEST(FastSinCos, QuarterTurnsAreExact)
{
    EXPECT_EQ(sinFiMerrowind(kPiOver2F).value(), 1.0f);
    EXPECT_EQ(cosFiMerrowind(kPiF).value(), -1.0f);
    EXPECT_EQ(sinFiMerrowind(0.0f).value(), 0.0f);
    EXPECT_EQ(cosFiMerrowind(0.0f).value(), 1.0f);
    EXPECT_EQ(sinFiMerrowind(-kPiOver2F).value(), -1.0f);
}

TEST(FastSinCos, TenRadiansIsReducedByRepeatedQuarterTurnsInFloat)
{
    // Six subtractions of pi/2 in float leave the angle in [-pi/4, pi/4], quadrant 2.
    float a = 10.0f;
    for (int i = 0; i < 6; ++i)
        a -= kPiOver2F;
    EXPECT_EQ(sinFiMerrowind(10.0f).value(), sinNorm(Fp32(a), 2).value());
    EXPECT_EQ(cosFiMerrowind(10.0f).value(), cosNorm(Fp32(a), 2).value());
    EXPECT_NEAR(sinFiMerrowind(10.0f).value(), std::sin(10.0), 1e-5);
}

TEST(FastSinCos, MatchLibraryOverSeveralTurns)
{
    // The degree-6 cosine polynomial is off by up to 3.6e-6 at a reduced angle
    // of pi/4; further out the float subtraction of pi/2 adds a little.
    for (int i = -2000; i <= 2000; ++i) {
        const float a = i * 0.01f;
        const double tol = std::fabs(a) <= 3.2f ? 4e-6 : 5e-6;
        EXPECT_NEAR(sinFiMerrowind(a).value(), std::sin(static_cast<double>(a)), tol) << a;
        EXPECT_NEAR(cosFiMerrowind(a).value(), std::cos(static_cast<double>(a)), tol) << a;
    }
}

TEST(FastSinCos, HugeAndNonFiniteAnglesReturn)
{
    EXPECT_NEAR(sinFiMerrowind(1e6f).value(), std::sin(1e6), 1e-4);
    EXPECT_NEAR(cosFiMerrowind(-3e7f).value(), std::cos(-3e7), 1e-4);
    EXPECT_TRUE(std::isnan(sinFiMerrowind(Fp32::raw(INFINITY)).value()));
    EXPECT_TRUE(std::isnan(cosFiMerrowind(Fp32::raw(NAN)).value()));
}

TEST(FastSinCos, NormStagesSelectByQuadrant)
{
    const Fp32 a(0.3f);
    const float s = sinNorm(a, 0).value();
    const float c = cosNorm(a, 0).value();
    EXPECT_EQ(sinNorm(a, 1).value(), c);
    EXPECT_EQ(sinNorm(a, 2).value(), -s);
    EXPECT_EQ(sinNorm(a, 3).value(), -c);
    EXPECT_EQ(cosNorm(a, 1).value(), -s);
    EXPECT_EQ(cosNorm(a, 2).value(), -c);
    EXPECT_EQ(cosNorm(a, 3).value(), s);
    EXPECT_EQ(sinNorm(a, 4).value(), 0.0f);
    EXPECT_EQ(cosNorm(a, -1).value(), 0.0f);
}

} // namespace
} // namespace vnx
