#include "numerics/normalTail.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vnx {
namespace {

TEST(NormalUpperTail, FollowsTheNormalDistributionClosely)
{
    for (float z = -4.0f; z <= 4.0f; z += 0.01f) {
        const double exact = 0.5 * std::erfc(z / std::sqrt(2.0));
        EXPECT_NEAR(normalUpperTail(z), exact, 2e-3) << z;
    }
}

TEST(NormalUpperTail, PiecesMeetAndTheTailsAreExactlyZeroAndOne)
{
    struct Case
    {
        float z;
        float expected;
    };
    for (const Case& c : {Case{0.0f, 0.500823f}, Case{3.2f, 0.0f}, Case{10.0f, 0.0f}, Case{-3.2f, 1.0f},
                          Case{-50.0f, 1.0f}}) {
        EXPECT_FLOAT_EQ(normalUpperTail(c.z), c.expected) << c.z;
    }
    EXPECT_NEAR(normalUpperTail(std::nextafter(1.325f, 0.0f)), normalUpperTail(1.325f), 2e-3f);
    EXPECT_NEAR(normalUpperTail(std::nextafter(3.2f, 0.0f)), 0.0f, 1e-3f);
}

TEST(NormalUpperTail, NotANumberCarriesNoWeight)
{
    EXPECT_EQ(normalUpperTail(std::nanf("")), 0.0f);
}

} // namespace
} // namespace vnx
