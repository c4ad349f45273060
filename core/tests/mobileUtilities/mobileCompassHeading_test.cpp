#include "mobileUtilities/mobileCompassHeading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "common/statusCode.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDeg = kPi / 180.0f;

/// Output-frame quaternion (x, y, z, w) of a rotation by angleRad about an axis.
vnx_Mobile_Quaternion_s rotation(float angleRad, float ax, float ay, float az)
{
    const float s = std::sin(angleRad / 2);
    return {ax * s, ay * s, az * s, std::cos(angleRad / 2)};
}

/// Output-frame Hamilton product a (x) b.
vnx_Mobile_Quaternion_s operator*(const vnx_Mobile_Quaternion_s& a, const vnx_Mobile_Quaternion_s& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

/// Device tilted from flat by tiltDeg about its x axis.
vnx_Mobile_Quaternion_s tilted(float tiltDeg)
{
    return rotation(tiltDeg * kDeg, 1, 0, 0);
}

TEST(MobileCompassHeading, ModeTurnsUprightPast55DegreesAndFlatAgainOnlyBelow35)
{
    std::int8_t mode = 0;
    float heading = 0;
    // Tilting up from flat: flat until 55 degrees.
    for (float deg = 0; deg <= 90; deg += 1) {
        const vnx_Mobile_Quaternion_s q = tilted(deg);
        ASSERT_EQ(vnx_Mobile_compassHeading(&q, &heading, &mode), VNX_STATUS_SUCCESS);
        EXPECT_EQ(mode, deg < 55 ? 0 : 1) << "tilting up at " << deg << " deg";
    }
    // Back down: upright until below 35 degrees.
    for (float deg = 90; deg >= 0; deg -= 1) {
        const vnx_Mobile_Quaternion_s q = tilted(deg);
        ASSERT_EQ(vnx_Mobile_compassHeading(&q, &heading, &mode), VNX_STATUS_SUCCESS);
        EXPECT_EQ(mode, deg > 35 ? 1 : 0) << "tilting down at " << deg << " deg";
    }
}

TEST(MobileCompassHeading, HysteresisBandKeepsTheModeItEnteredWith)
{
    for (const float deg : {36.0f, 45.0f, 54.0f}) {
        const vnx_Mobile_Quaternion_s q = tilted(deg);
        float heading = 0;
        std::int8_t flat = 0, upright = 1;
        vnx_Mobile_compassHeading(&q, &heading, &flat);
        vnx_Mobile_compassHeading(&q, &heading, &upright);
        EXPECT_EQ(flat, 0) << deg;
        EXPECT_EQ(upright, 1) << deg;
    }
    // Face down counts as flat too: |cos tilt| is what counts.
    const vnx_Mobile_Quaternion_s faceDown = tilted(180);
    float heading = 0;
    std::int8_t mode = 1;
    vnx_Mobile_compassHeading(&faceDown, &heading, &mode);
    EXPECT_EQ(mode, 0);
}

TEST(MobileCompassHeading, UnknownModeStartsFlat)
{
    for (const std::int8_t start : {std::int8_t{2}, std::int8_t{-1}, std::int8_t{127}}) {
        const vnx_Mobile_Quaternion_s q = tilted(80); // upright for mode 0 or 1
        float heading = 0;
        std::int8_t mode = start;
        vnx_Mobile_compassHeading(&q, &heading, &mode);
        EXPECT_EQ(mode, 0) << int{start};
    }
}

TEST(MobileCompassHeading, FlatHeadingFollowsTurnsAboutTheVertical)
{
    // Internal heading = atan2(2(wz + xy), 2(w^2 + x^2) - 1) of (w, y, x, -z):
    // a turn by a about the output z axis reads -a.
    const struct
    {
        float turnDeg;
        float expected0To2PiDeg;
        float expectedPiToPiDeg;
    } cases[] = {
        {0, 0, 0}, {30, 330, -30}, {-30, 30, 30}, {90, 270, -90}, {-135, 135, 135}, {179, 181, -179},
    };
    for (const auto& c : cases) {
        const vnx_Mobile_Quaternion_s q = rotation(c.turnDeg * kDeg, 0, 0, 1);
        float heading = -1;
        std::int8_t mode = 0;
        ASSERT_EQ(vnx_Mobile_compassHeading(&q, &heading, &mode), VNX_STATUS_SUCCESS);
        EXPECT_NEAR(heading, c.expected0To2PiDeg * kDeg, 1e-4f) << c.turnDeg;
        mode = 0;
        ASSERT_EQ(vnx_Mobile_compassHeading_RangePiToPi(&q, &heading, &mode), VNX_STATUS_SUCCESS);
        EXPECT_NEAR(heading, c.expectedPiToPiDeg * kDeg, 1e-4f) << c.turnDeg;
        EXPECT_EQ(mode, 0);
    }
}

TEST(MobileCompassHeading, UprightHeadingFollowsTurnsAboutTheVerticalToo)
{
    // The same turns about the vertical, applied to a device held upright
    // (tilted 90 degrees about its x axis): the upright formula tracks them
    // with a fixed offset.
    float reference = 0;
    {
        const vnx_Mobile_Quaternion_s q = tilted(90);
        std::int8_t mode = 1;
        vnx_Mobile_compassHeading_RangePiToPi(&q, &reference, &mode);
        ASSERT_EQ(mode, 1);
    }
    for (const float turnDeg : {10.0f, 45.0f, -60.0f, 120.0f}) {
        const vnx_Mobile_Quaternion_s q = rotation(turnDeg * kDeg, 0, 0, 1) * tilted(90);
        float heading = 0;
        std::int8_t mode = 1;
        vnx_Mobile_compassHeading_RangePiToPi(&q, &heading, &mode);
        ASSERT_EQ(mode, 1) << turnDeg;
        float change = heading - reference;
        if (change > kPi)
            change -= 2 * kPi;
        if (change < -kPi)
            change += 2 * kPi;
        EXPECT_NEAR(std::fabs(change), std::fabs(turnDeg) * kDeg, 1e-4f) << turnDeg;
    }
}

TEST(MobileCompassHeading, NullPointersAreRefusedAndNothingIsWritten)
{
    const vnx_Mobile_Quaternion_s q = tilted(80);
    float heading = 5;
    std::int8_t mode = 0;
    EXPECT_EQ(vnx_Mobile_compassHeading(nullptr, &heading, &mode), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_compassHeading(&q, nullptr, &mode), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_compassHeading(&q, &heading, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_compassHeading_RangePiToPi(&q, &heading, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(heading, 5);
    EXPECT_EQ(mode, 0);
}

TEST(MobileCompassHeading, NonFiniteQuaternionsAreRefusedAndNothingIsWritten)
{
    const float nan = std::nanf("");
    const float inf = INFINITY;
    const vnx_Mobile_Quaternion_s quaternions[] = {
        {nan, 0, 0, 1}, {0, nan, 0, 1}, {0, 0, inf, 1}, {0, 0, 0, -inf}, {0, 0, 0, nan},
    };
    for (const vnx_Mobile_Quaternion_s& q : quaternions) {
        float heading = 5;
        std::int8_t mode = 0;
        EXPECT_EQ(vnx_Mobile_compassHeading(&q, &heading, &mode), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(vnx_Mobile_compassHeading_RangePiToPi(&q, &heading, &mode), VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(heading, 5);
        EXPECT_EQ(mode, 0);
    }
}

} // namespace
