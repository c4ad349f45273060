#include "mobileUtilities/mobileHidFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "common/statusCode.h"
#include "mobileUtilities/mobileCompassHeading.h"

namespace {

constexpr float kPi = 3.14159265f;
constexpr std::int16_t kUntouched = 0x5A5A;
constexpr int kWords = 20;

struct Report
{
    std::int16_t words[kWords];
    Report()
    {
        for (std::int16_t& w : words)
            w = kUntouched;
    }
};

vnx_Mobile_Quaternion_s rotation(float angleDeg, float ax, float ay, float az)
{
    const float half = angleDeg * kPi / 360.0f;
    return {ax * std::sin(half), ay * std::sin(half), az * std::sin(half), std::cos(half)};
}

void setRotationVector(vnx_Mobile_Output_s& out, const vnx_Mobile_Quaternion_s& q)
{
    out.rotationVector[0] = q.x;
    out.rotationVector[1] = q.y;
    out.rotationVector[2] = q.z;
    out.rotationVector[3] = q.w;
}

/// A record with a distinct value in every field a report reads.
vnx_Mobile_Output_s fullRecord()
{
    vnx_Mobile_Output_s out{};
    for (int i = 0; i < 3; ++i) {
        out.accelerometer[i] = 1.0f + i;
        out.linearAcceleration[i] = 0.5f - i;
        out.rotationRate[i] = 0.25f * (i + 1);
        out.magnetometer[i] = 20.0f - 10.0f * i;
    }
    setRotationVector(out, rotation(40, 0, 0, 1));
    return out;
}

Report convert(const vnx_Mobile_Output_s& out, std::uint32_t all, std::int8_t& mode)
{
    Report r;
    EXPECT_EQ(vnx_Mobile_ConversionHidFormatA(&out, r.words, &mode, all), VNX_STATUS_SUCCESS);
    return r;
}

TEST(MobileHidFormat, EachValidBitWritesItsOwnWordsOnly)
{
    const struct
    {
        std::uint32_t validBits;
        int first;
        int last;
    } cases[] = {
        {VNX_MOBILE_BIT_ACCELEROMETER, 0, 2},
        {VNX_MOBILE_BIT_LINEAR_ACCELERATION, 3, 5},
        {VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE, 6, 8},
        {VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER, 9, 11},
        {VNX_MOBILE_BIT_ROTATION_VECTOR, 12, 19},
        // Bits with no words of their own write nothing.
        {VNX_MOBILE_BIT_GRAVITY | VNX_MOBILE_BIT_GAME_ROTATION_VECTOR | VNX_MOBILE_BIT_STABILITY, 0, -1},
    };
    for (const auto& c : cases) {
        vnx_Mobile_Output_s out = fullRecord();
        out.validBits = c.validBits;
        std::int8_t mode = 0;
        const Report r = convert(out, 0, mode);
        for (int i = 0; i < kWords; ++i) {
            const bool written = i >= c.first && i <= c.last;
            EXPECT_EQ(r.words[i] != kUntouched, written)
                << "bits 0x" << std::hex << c.validBits << std::dec << " word " << i;
        }
    }
}

TEST(MobileHidFormat, AllFlagWritesEveryGroupWhateverTheValidBits)
{
    vnx_Mobile_Output_s out = fullRecord();
    out.validBits = 0;
    std::int8_t mode = 0;
    const Report r = convert(out, 1, mode);
    for (int i = 0; i < kWords; ++i)
        EXPECT_NE(r.words[i], kUntouched) << "word " << i;
}

TEST(MobileHidFormat, ValuesAreScaledAndTruncatedTowardZero)
{
    vnx_Mobile_Output_s out{};
    out.validBits = VNX_MOBILE_BIT_ACCELEROMETER | VNX_MOBILE_BIT_LINEAR_ACCELERATION |
                    VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE | VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER;
    const float accelerometer[3] = {1.0f, -2.5f, 0.05f}; // -10.197, 25.49, -0.51
    const float linear[3] = {9.0f, -0.09f, 0.0f};        // -91.77, 0.92, 0
    const float rate[3] = {0.1f, -1.0f, 2.0f};           // 57.30, -572.96, 1145.92
    const float field[3] = {25.55f, -40.04f, 0.06f};     // 255.5, -400.4, 0.6
    for (int i = 0; i < 3; ++i) {
        out.accelerometer[i] = accelerometer[i];
        out.linearAcceleration[i] = linear[i];
        out.rotationRate[i] = rate[i];
        out.magnetometer[i] = field[i];
    }
    std::int8_t mode = 0;
    const Report r = convert(out, 0, mode);
    const std::int16_t expected[12] = {-10, 25, 0, -91, 0, 0, 57, -572, 1145, 255, -400, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(r.words[i], expected[i]) << "word " << i;
}

TEST(MobileHidFormat, OutOfRangeValuesClampAndNaNReadsZero)
{
    vnx_Mobile_Output_s out{};
    out.validBits = VNX_MOBILE_BIT_ACCELEROMETER | VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE;
    out.accelerometer[0] = -4000.0f; // +40789 before clamping
    out.accelerometer[1] = 4000.0f;
    out.accelerometer[2] = std::numeric_limits<float>::quiet_NaN();
    out.rotationRate[0] = 60.0f; // 34377 would wrap negative
    out.rotationRate[1] = -std::numeric_limits<float>::infinity();
    out.rotationRate[2] = 1e30f;
    std::int8_t mode = 0;
    const Report r = convert(out, 0, mode);
    EXPECT_EQ(r.words[0], INT16_MAX);
    EXPECT_EQ(r.words[1], INT16_MIN);
    EXPECT_EQ(r.words[2], 0);
    EXPECT_EQ(r.words[6], INT16_MAX);
    EXPECT_EQ(r.words[7], INT16_MIN);
    EXPECT_EQ(r.words[8], INT16_MAX);
}

TEST(MobileHidFormat, RotationVectorGivesEulerAnglesHeadingAndScaledQuaternion)
{
    const struct
    {
        const char* name;
        vnx_Mobile_Quaternion_s q;
        std::int16_t expected[8]; // words 12-19
    } cases[] = {
        {"identity", rotation(0, 0, 0, 1), {0, 0, 0, 0, 0, 0, 0, 10000}},
        // Yaw 90 in the Euler slot; the flat compass heading reads 270.
        {"z +90", rotation(90, 0, 0, 1), {900, 0, 0, 2700, 0, 0, 7071, 7071}},
        {"x +60", rotation(60, 1, 0, 0), {0, 600, 0, -1, 5000, 0, 0, 8660}},
        {"y -20", rotation(-20, 0, 1, 0), {0, 0, -200, 0, 0, -1736, 0, 9848}},
    };
    for (const auto& c : cases) {
        vnx_Mobile_Output_s out{};
        out.validBits = VNX_MOBILE_BIT_ROTATION_VECTOR;
        setRotationVector(out, c.q);
        std::int8_t mode = 0;
        const Report r = convert(out, 0, mode);
        // The heading word is checked against the compass function (below) where -1 stands.
        float headingRad = 0;
        std::int8_t compassMode = 0;
        vnx_Mobile_compassHeading(&c.q, &headingRad, &compassMode);
        for (int i = 0; i < 8; ++i) {
            const std::int16_t want =
                c.expected[i] != -1 ? c.expected[i]
                                    : static_cast<std::int16_t>(std::lround(headingRad * 572.9578f) % 3600);
            EXPECT_NEAR(r.words[12 + i], want, 1) << c.name << " word " << 12 + i;
        }
        EXPECT_EQ(mode, compassMode) << c.name;
    }
}

TEST(MobileHidFormat, HeadingRoundingUpToAFullTurnReadsZero)
{
    // A flat device turned 0.03 degrees reads a heading of 359.97 degrees,
    // which rounds to 3600 tenths: that is 0, not 3600.
    vnx_Mobile_Output_s out{};
    out.validBits = VNX_MOBILE_BIT_ROTATION_VECTOR;
    setRotationVector(out, rotation(0.03f, 0, 0, 1));
    std::int8_t mode = 0;
    EXPECT_EQ(convert(out, 0, mode).words[15], 0);

    setRotationVector(out, rotation(0.1f, 0, 0, 1)); // 359.9 degrees
    EXPECT_EQ(convert(out, 0, mode).words[15], 3599);
}

TEST(MobileHidFormat, CompassModeIsCarriedBetweenReports)
{
    vnx_Mobile_Output_s out{};
    out.validBits = VNX_MOBILE_BIT_ROTATION_VECTOR;
    setRotationVector(out, rotation(80, 1, 0, 0)); // held upright
    std::int8_t mode = 0;
    convert(out, 0, mode);
    EXPECT_EQ(mode, 1);
    setRotationVector(out, rotation(45, 1, 0, 0)); // inside the hysteresis band
    convert(out, 0, mode);
    EXPECT_EQ(mode, 1);
    // Without the rotation vector the mode is left alone.
    out.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
    mode = 7;
    convert(out, 0, mode);
    EXPECT_EQ(mode, 7);
}

TEST(MobileHidFormat, NullPointersAreRefusedAndNothingIsWritten)
{
    const vnx_Mobile_Output_s out = fullRecord();
    Report r;
    std::int8_t mode = 0;
    EXPECT_EQ(vnx_Mobile_ConversionHidFormatA(nullptr, r.words, &mode, 1), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_ConversionHidFormatA(&out, nullptr, &mode, 1), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_ConversionHidFormatA(&out, r.words, nullptr, 1), VNX_STATUS_INVALID_PARAMETER);
    for (std::int16_t w : r.words)
        EXPECT_EQ(w, kUntouched);
}

} // namespace
