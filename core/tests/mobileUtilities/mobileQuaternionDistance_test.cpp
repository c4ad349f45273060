#include "mobileUtilities/mobileQuaternionDistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

constexpr float kPi = 3.14159265f;

/// Output-frame quaternion (x, y, z, w) of a rotation by angleRad about an axis.
vnx_Mobile_Quaternion_s rotation(float angleRad, float ax, float ay, float az)
{
    const float n = std::sqrt(ax * ax + ay * ay + az * az);
    const float s = std::sin(angleRad / 2) / n;
    return {ax * s, ay * s, az * s, std::cos(angleRad / 2)};
}

vnx_Mobile_Quaternion16_s scaled(const vnx_Mobile_Quaternion_s& q)
{
    const auto word = [](float v) { return static_cast<std::int16_t>(std::lround(v * 10000.0f)); };
    return {word(q.x), word(q.y), word(q.z), word(q.w)};
}

struct DistanceCase
{
    vnx_Mobile_Quaternion_s a;
    vnx_Mobile_Quaternion_s b;
    float expectedRad;
};

const DistanceCase kCases[] = {
    {rotation(0, 0, 0, 1), rotation(0, 0, 0, 1), 0.0f},
    {rotation(0, 0, 0, 1), rotation(kPi / 2, 0, 0, 1), kPi / 2},
    {rotation(0, 0, 0, 1), rotation(kPi / 2, 1, 0, 0), kPi / 2},
    {rotation(0.3f, 0, 1, 0), rotation(1.3f, 0, 1, 0), 1.0f},
    {rotation(0.5f, 1, 2, 3), rotation(0.5f, 1, 2, 3), 0.0f},
    // q and -q are the same orientation.
    {rotation(0.7f, 1, 0, 0), {-rotation(0.7f, 1, 0, 0).x, 0, 0, -rotation(0.7f, 1, 0, 0).w}, 0.0f},
    // Composition of two quarter turns about different axes: 120 degrees apart from identity.
    {rotation(0, 1, 0, 0), {0.5f, 0.5f, 0.5f, 0.5f}, 2 * kPi / 3},
    {rotation(3.0f, 0, 0, 1), rotation(-3.0f, 0, 0, 1), 2 * kPi - 6.0f}, // the short way round
};

TEST(MobileQuaternionDistance, AngleOfTheRelativeRotation)
{
    for (const DistanceCase& c : kCases) {
        EXPECT_NEAR(vnx_Mobile_quaternionDistance(&c.a, &c.b), c.expectedRad, 1e-4f);
        EXPECT_NEAR(vnx_Mobile_quaternionDistance(&c.b, &c.a), c.expectedRad, 1e-4f);
    }
}

TEST(MobileQuaternionDistance, SixteenBitFormGivesRoundedTenthsOfARadian)
{
    for (const DistanceCase& c : kCases) {
        const vnx_Mobile_Quaternion16_s a = scaled(c.a);
        const vnx_Mobile_Quaternion16_s b = scaled(c.b);
        EXPECT_EQ(vnx_Mobile_quaternionDistance16(&a, &b), std::lround(c.expectedRad * 10.0f))
            << "expected " << c.expectedRad << " rad";
    }
}

TEST(MobileQuaternionDistance, TenthsRoundToTheNearest)
{
    // 2.502 tenths round up, 2.4 down.
    const vnx_Mobile_Quaternion16_s identity = scaled(rotation(0, 0, 0, 1));
    const vnx_Mobile_Quaternion16_s quarter = scaled(rotation(0.2502f, 0, 0, 1));
    const vnx_Mobile_Quaternion16_s under = scaled(rotation(0.24f, 0, 0, 1));
    EXPECT_EQ(vnx_Mobile_quaternionDistance16(&identity, &quarter), 3);
    EXPECT_EQ(vnx_Mobile_quaternionDistance16(&identity, &under), 2);
}

TEST(MobileQuaternionDistance, NullPointersGiveNoDistance)
{
    const vnx_Mobile_Quaternion_s q = rotation(0, 0, 0, 1);
    const vnx_Mobile_Quaternion16_s q16 = scaled(q);
    EXPECT_TRUE(std::isnan(vnx_Mobile_quaternionDistance(&q, nullptr)));
    EXPECT_TRUE(std::isnan(vnx_Mobile_quaternionDistance(nullptr, &q)));
    EXPECT_EQ(vnx_Mobile_quaternionDistance16(&q16, nullptr), -1);
    EXPECT_EQ(vnx_Mobile_quaternionDistance16(nullptr, &q16), -1);
}

TEST(MobileQuaternionDistance, ConvertQuaternion16ReadsTheOutputFrame)
{
    // Output (x, y, z, w) = (0.1, 0.2, 0.3, 0.9) is internal (w, y, x, -z).
    const vnx_Mobile_Quaternion16_s q{1000, 2000, 3000, 9000};
    const auto p = vnx::mobile::convertQuaternion16(q);
    EXPECT_FLOAT_EQ(p.w().value(), 0.9f);
    EXPECT_FLOAT_EQ(p.x().value(), 0.2f);
    EXPECT_FLOAT_EQ(p.y().value(), 0.1f);
    EXPECT_FLOAT_EQ(p.z().value(), -0.3f);
}

} // namespace
