#include "numerics/expLog.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vnx {
namespace {

TEST(ExpT, EndpointsOfTheTables)
{
    EXPECT_EQ(expT(0.0f), 0.99999875f);
    EXPECT_EQ(expT(-7.25f), 0.0f);
    EXPECT_EQ(expT(-100.0f), 0.0f);
    EXPECT_EQ(expTFi(Fp32(0.0f)).value(), 0.99999875f);
}

TEST(ExpT, ApproximatesTheExponentialOnBothIntervals)
{
    // The near table is good to about 1.3e-6; the far one is loosest (2.7e-3)
    // at its upper end, -1.5.
    for (int i = 0; i <= 1450; ++i) {
        const float x = -0.005f * static_cast<float>(i);
        const double tol = x > -1.5f ? 2e-6 : 3e-3;
        EXPECT_NEAR(expT(x), std::exp(static_cast<double>(x)), tol) << x;
        EXPECT_EQ(expTFi(Fp32(x)).value(), expT(x));
    }
}

TEST(ExpT, PicksTheFarTableAtMinusOnePointFive)
{
    // At -1.5 the far table is used (off by 2.7e-3); just above it the near one.
    EXPECT_NEAR(expT(std::nextafter(-1.5f, 0.0f)), std::exp(-1.5), 2e-6);
    EXPECT_NEAR(expT(-1.5f), std::exp(-1.5), 3e-3);
    EXPECT_GT(std::fabs(expT(-1.5f) - std::exp(-1.5)), 1e-3);
}

TEST(LogT, OutsideTheUnitIntervalGivesZero)
{
    EXPECT_EQ(logT(1.0f), 0.0f);
    EXPECT_EQ(logT(2.0f), 0.0f);
    EXPECT_EQ(logT(NAN), 0.0f);
}

TEST(LogT, ApproximatesTheLogarithmInEachInterval)
{
    // Each table is expanded around the middle of its interval: close there,
    // looser towards the ends (up to 0.07 at the lower end of each interval).
    const struct
    {
        float lo, hi, mid, midTol;
    } intervals[] = {{0.002f, 0.0084f, 0.005f, 1e-5f},
                     {0.0084f, 0.02f, 0.015f, 1e-5f},
                     {0.02f, 0.14f, 0.1f, 1e-5f},
                     {0.14f, 0.999f, 0.5f, 1e-5f}};
    for (const auto& in : intervals) {
        EXPECT_NEAR(logT(in.mid), std::log(static_cast<double>(in.mid)), in.midTol) << in.mid;
        for (int i = 0; i < 50; ++i) {
            const float x = in.lo + (in.hi - in.lo) * static_cast<float>(i) / 50.0f;
            EXPECT_NEAR(logT(x), std::log(static_cast<double>(x)), 0.07) << x;
        }
    }
}

} // namespace
} // namespace vnx
