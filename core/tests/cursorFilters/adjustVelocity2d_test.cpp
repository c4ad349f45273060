#include "cursorFilters/adjustVelocity2d.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr float kPi = 3.14159265f;

struct Result
{
    float x, y;
};

Result adjust(float vx, float vy, float tx, float ty, float minScale, float maxScale, float maxAngle,
              float sx = 0.0f, float sy = 0.0f)
{
    const float p0[2] = {sx, sy}, v[2] = {vx, vy}, p1[2] = {tx, ty};
    float out[2] = {-99.0f, -99.0f};
    EXPECT_TRUE(adjustVeloctiy2d(p0, v, p1, minScale, maxScale, maxAngle, out));
    return {out[0], out[1]};
}

TEST(AdjustVelocity2d, NoDirectionLeavesTheVelocity)
{
    const Result stillVelocity = adjust(0.0f, 0.0f, 5.0f, 5.0f, 0.5f, 2.0f, 1.0f);
    EXPECT_EQ(stillVelocity.x, 0.0f);
    EXPECT_EQ(stillVelocity.y, 0.0f);
    const Result onTarget = adjust(3.0f, -1.0f, 2.0f, 2.0f, 0.5f, 2.0f, 1.0f, 2.0f, 2.0f);
    EXPECT_EQ(onTarget.x, 3.0f);
    EXPECT_EQ(onTarget.y, -1.0f);
}

TEST(AdjustVelocity2d, WithoutAnAngleOnlyScales)
{
    struct Case
    {
        float tx, ty;
        float scale;
    };
    // v = (2, 0); the projection of the target distance gives the scale.
    const Case cases[] = {
        {3.0f, 5.0f, 1.5f}, {1.0f, -4.0f, 0.5f}, {100.0f, 0.0f, 4.0f}, {-6.0f, 1.0f, 0.25f}};
    for (const Case& c : cases) {
        const Result r = adjust(2.0f, 0.0f, c.tx, c.ty, 0.25f, 4.0f, 0.0f);
        EXPECT_NEAR(r.x, 2.0f * c.scale, 1e-6f) << c.tx;
        EXPECT_EQ(r.y, 0.0f) << c.tx;
    }
}

TEST(AdjustVelocity2d, TurnsTowardsTheTargetByAtMostTheAngle)
{
    // Target straight up from a velocity along x: a quarter turn needed.
    const Result full = adjust(1.0f, 0.0f, 0.0f, 2.0f, 0.5f, 3.0f, kPi);
    EXPECT_NEAR(full.x, 0.0f, 1e-6f);
    EXPECT_NEAR(full.y, 2.0f, 1e-6f);

    const Result limited = adjust(1.0f, 0.0f, 0.0f, 2.0f, 0.0f, 100.0f, 0.1f);
    EXPECT_NEAR(std::atan2(limited.y, limited.x), 0.1f, 1e-5f);
    // Target below: the turn goes the other way.
    const Result clockwise = adjust(1.0f, 0.0f, 0.0f, -2.0f, 0.0f, 100.0f, 0.1f);
    EXPECT_NEAR(std::atan2(clockwise.y, clockwise.x), -0.1f, 1e-5f);
    // Scale after the turn: projection of (0, 2) on (cos 0.1, sin 0.1).
    EXPECT_NEAR(std::hypot(limited.x, limited.y), 2.0f * std::sin(0.1f), 1e-5f);
}

TEST(AdjustVelocity2d, FixedPointWrapperConvertsBothWays)
{
    constexpr float kQ19 = 524288.0f, kQ24 = 16777216.0f, kQ28 = 268435456.0f, kQ29 = 536870912.0f;
    constexpr float kQ22 = 4194304.0f;
    const int32_t p0[2] = {0, 0};
    const int32_t v[2] = {static_cast<int32_t>(1.0f * kQ24), 0};
    const int32_t p1[2] = {0, static_cast<int32_t>(2.0f * kQ19)};
    int32_t out[2] = {};
    EXPECT_EQ(vxcAdjustVelocity2d(p0, v, p1, 0, static_cast<int32_t>(3.0f * kQ29),
                                  static_cast<int32_t>(kPi / 2 * kQ28), out),
              1);
    EXPECT_NEAR(out[0] / kQ22, 0.0f, 1e-5f);
    EXPECT_NEAR(out[1] / kQ22, 2.0f, 1e-5f);

    // Scale clamped at 3.9: 100 x 3.9 in 22 fraction bits.
    const int32_t fast[2] = {static_cast<int32_t>(100.0f * kQ24), 0};
    const int32_t far[2] = {static_cast<int32_t>(1000.0f * kQ19), 0};
    EXPECT_EQ(vxcAdjustVelocity2d(p0, fast, far, 0, static_cast<int32_t>(3.9f * kQ29), 0, out), 1);
    EXPECT_NEAR(out[0] / kQ22, 390.0f, 1e-3f);
    EXPECT_EQ(out[1], 0);
}

} // namespace
