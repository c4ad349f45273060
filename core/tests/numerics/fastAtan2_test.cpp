#include "numerics/fastAtan2.h"

#include <gtest/gtest.h>

#include <cmath>

#include "numerics/numericConstants.h"

namespace vnx {
namespace {

TEST(Atan2fMerrowind, NearZeroArgumentsGiveTheAxisAngles)
{
    EXPECT_EQ(atan2fMerrowind(0.0f, 0.0f), kPiOver2F);
    EXPECT_EQ(atan2fMerrowind(0.0f, -1.0f), kPiF);
    EXPECT_EQ(atan2fMerrowind(0.0f, 1.0f), 0.0f);
    EXPECT_EQ(atan2fMerrowind(-1.0f, 1e-8f), -kPiOver2F);
    EXPECT_EQ(atan2fMerrowind(1.0f, -1e-8f), kPiOver2F);
    EXPECT_EQ(atan2fMerrowind(-1e-8f, -1.0f), kPiF);
}

// The rational approximation with its fixed coefficients peaks at 5.35e-5 rad
// (near |y/x| = 0.885); the bound guards the coefficients and the octant
// fix-ups, which would break it by far more.
constexpr double kAtan2MaxErrorRad = 5.5e-5;

TEST(Atan2fMerrowind, ErrorStaysWithinTheApproximationBoundOnADenseGrid)
{
    double worst = 0.0;
    for (int i = 0; i < 100000; ++i) {
        const double angle = -M_PI + 2.0 * M_PI * (i + 0.5) / 100000.0;
        for (float radius : {1e-2f, 1.0f, 1000.0f}) {
            const float y = radius * static_cast<float>(std::sin(angle));
            const float x = radius * static_cast<float>(std::cos(angle));
            const double truth = std::atan2(static_cast<double>(y), static_cast<double>(x));
            double err = std::fabs(atan2fMerrowind(y, x) - truth);
            err = std::fmin(err, 2.0 * M_PI - err); // -pi and +pi are the same direction
            worst = std::fmax(worst, err);
        }
    }
    EXPECT_LT(worst, kAtan2MaxErrorRad);
}

TEST(Atan2fMerrowind, DiagonalsAndOctantBoundaries)
{
    const struct
    {
        float y, x;
        double truth;
    } cases[] = {
        {1, 1, M_PI / 4},
        {-1, -1, -3 * M_PI / 4},
        {1, -1, 3 * M_PI / 4},
        {-1, 1, -M_PI / 4},
        {1, 2, std::atan2(1.0, 2.0)},
        {-2, -1, std::atan2(-2.0, -1.0)},
        {2, -1, std::atan2(2.0, -1.0)},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(atan2fMerrowind(c.y, c.x), c.truth, kAtan2MaxErrorRad) << c.y << "," << c.x;
}

TEST(Atan2fMerrowind, HugeRatioGivesTheAxisAngleNotNaN)
{
    EXPECT_NEAR(atan2fMerrowind(2147483648.0f, 1e-4f), M_PI / 2, 1e-6);
    EXPECT_NEAR(atan2fMerrowind(-2147483648.0f, -1e-4f), -M_PI / 2, 1e-6);
    EXPECT_NEAR(atan2fMerrowind(INFINITY, 1.0f), M_PI / 2, 1e-6);
}

TEST(Atan2FiMerrowindNorm, IsTheLibraryAtan2)
{
    EXPECT_EQ(atan2FiMerrowindNorm(Fp32(0.3f), Fp32(-0.7f)).value(), std::atan2(0.3f, -0.7f));
}

} // namespace
} // namespace vnx
