#include "numerics/angleMath.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {
namespace {

TEST(Signf, SignOfEveryKindOfValue)
{
    EXPECT_EQ(signf(2.0f), 1.0f);
    EXPECT_EQ(signf(0.0f), 1.0f);
    EXPECT_EQ(signf(-0.0f), 1.0f);
    EXPECT_EQ(signf(-1e-30f), -1.0f);
    EXPECT_EQ(signf(NAN), -1.0f);
}

TEST(PhaseLimiter, WrapsIntoHalfOpenInterval)
{
    EXPECT_EQ(phaseLimiter(kPiF), kPiF);
    EXPECT_EQ(phaseLimiter(-kPiF), kPiF);
    EXPECT_NEAR(phaseLimiter(7.0f), 7.0 - 2.0 * M_PI, 1e-6);
    EXPECT_NEAR(phaseLimiter(-7.0f), -7.0 + 2.0 * M_PI, 1e-6);
    EXPECT_EQ(phaseLimiter(0.5f), 0.5f);
    for (float a = -100.0f; a < 100.0f; a += 0.37f) {
        const float w = phaseLimiter(a);
        EXPECT_GT(w, -kPiF);
        EXPECT_LE(w, kPiF);
        EXPECT_NEAR(std::remainder(static_cast<double>(w) - a, 2.0 * M_PI), 0.0, 1e-4) << a;
    }
    EXPECT_TRUE(std::isnan(phaseLimiter(INFINITY)));
}

} // namespace
} // namespace vnx
