#include "numerics/FloatingPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vnx {
namespace {

TEST(FloatingPoint, PlainValuesSaturateIntoTheInt32Range)
{
    const struct
    {
        double in;
        float out;
    } cases[] = {
        {0.25, 0.25f},
        {-7.5, -7.5f},
        {2147483648.0, 2147483648.0f},
        {-2147483648.0, -2147483648.0f},
        {3e9, 2147483648.0f},
        {-3e9, -2147483648.0f},
        {1e300, 2147483648.0f},
        {INFINITY, 2147483648.0f},
        {-INFINITY, -2147483648.0f},
        {NAN, 2147483648.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fp32(static_cast<float>(c.in)).value(), c.out) << c.in;
        EXPECT_EQ(Fp32(c.in).value(), c.out) << c.in;
    }
    EXPECT_EQ(Fp32(7).value(), 7.0f);
    EXPECT_EQ(Fp32(std::numeric_limits<long long>::max()).value(), 2147483648.0f);
}

TEST(FloatingPoint, ArithmeticIsPlainFloatArithmetic)
{
    const float a = 0.1f, b = 3.7f;
    EXPECT_EQ((Fp32(a) + Fp32(b)).value(), a + b);
    EXPECT_EQ((Fp32(a) - Fp32(b)).value(), a - b);
    EXPECT_EQ((Fp32(a) * Fp32(b)).value(), a * b);
    EXPECT_EQ((Fp32(a) / Fp32(b)).value(), a / b);
    EXPECT_EQ((-Fp32(a)).value(), -a);
    Fp32 c(a);
    c += b;
    c *= 2.0f;
    EXPECT_EQ(c.value(), (a + b) * 2.0f);
    EXPECT_TRUE(Fp32(a) < Fp32(b));
    EXPECT_TRUE(Fp32(b) >= 3.7f);
    EXPECT_TRUE(Fp32(1.0f) == 1);
}

TEST(FloatingPoint, ShiftsScaleExactlyByPowersOfTwo)
{
    const float x = 0.3f;
    for (int n = -160; n <= 140; ++n) {
        EXPECT_EQ((Fp32::raw(x) << n).value(), std::ldexp(x, n)) << n;
        EXPECT_EQ((Fp32::raw(x) >> n).value(), std::ldexp(x, -n)) << n;
    }
    Fp32 y(3.0f);
    y >>= 1;
    EXPECT_EQ(y.value(), 1.5f);
    y <<= 3;
    EXPECT_EQ(y.value(), 12.0f);
    // Into and out of the subnormal range with a single rounding, as ldexp.
    const float tiny = 1.2345e-38f;
    EXPECT_EQ((Fp32::raw(tiny) >> 5).value(), std::ldexp(tiny, -5));
}

TEST(FloatingPoint, MagnitudeOfTheLowerBoundIsTheUpperBound)
{
    EXPECT_EQ(abs(Fp32(-2147483648.0f)).value(), 2147483648.0f);
    EXPECT_EQ(abs(Fp32(-2.5f)).value(), 2.5f);
    EXPECT_EQ(sqrt(Fp32(2.25f)).value(), 1.5f);
    EXPECT_EQ(min(Fp32(1.0f), Fp32(-1.0f)).value(), -1.0f);
    EXPECT_EQ(max(Fp32(1.0f), Fp32(-1.0f)).value(), 1.0f);
}

TEST(FloatingPoint, DefaultIsZero)
{
    Fp32 f;
    EXPECT_EQ(f.value(), 0.0f);
}

} // namespace
} // namespace vnx
