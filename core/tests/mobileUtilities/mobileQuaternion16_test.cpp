#include "mobileUtilities/mobileQuaternion16.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "common/statusCode.h"

namespace {

constexpr double kQ14 = 16384.0;

struct Packed
{
    std::int16_t words[3];
};

Packed encode(const vnx_Mobile_Quaternion16_s& q)
{
    Packed p{};
    EXPECT_EQ(vnx_Mobile_encodeQuaternion16x4_to_16x3(&q, p.words), VNX_STATUS_SUCCESS);
    return p;
}

vnx_Mobile_Quaternion16_s decode(const Packed& p)
{
    vnx_Mobile_Quaternion16_s q{};
    EXPECT_EQ(vnx_Mobile_decodeQuaternion16x3_to_16x4(p.words, &q), VNX_STATUS_SUCCESS);
    return q;
}

/// Q14 words of the unit quaternion along (w, x, y, z).
vnx_Mobile_Quaternion16_s unitQ14(double w, double x, double y, double z)
{
    const double n = std::sqrt(w * w + x * x + y * y + z * z);
    const auto word = [&](double v) { return static_cast<std::int16_t>(std::lround(v / n * kQ14)); };
    return {word(x), word(y), word(z), word(w)};
}

TEST(MobileQuaternion16, IdentityPacksToZeroWordsAndComesBackExactly)
{
    const vnx_Mobile_Quaternion16_s identity{0, 0, 0, 16384};
    const Packed p = encode(identity);
    EXPECT_EQ(p.words[0], 0); // k = 0 (w): no tag bits
    EXPECT_EQ(p.words[1], 0);
    EXPECT_EQ(p.words[2], 0);
    const vnx_Mobile_Quaternion16_s back = decode(p);
    EXPECT_EQ(back.x, 0);
    EXPECT_EQ(back.y, 0);
    EXPECT_EQ(back.z, 0);
    EXPECT_EQ(back.w, 16384);
}

TEST(MobileQuaternion16, TagBitsNameTheDroppedComponentAndItsSign)
{
    const struct
    {
        vnx_Mobile_Quaternion16_s q; // x, y, z, w
        Packed expected;
    } cases[] = {
        // Largest w (k = 0): kept x, y, z.
        {{100, -200, 300, 16000}, {{200, -400, 600}}},
        // Largest x (k = 1): kept w, y, z; word 1 carries k & 1.
        {{-16000, 5, 6, 7}, {{14, 11, 13}}},
        // Largest y (k = 2): kept w, x, z; word 0 carries k >> 1.
        {{5, 16000, 6, 7}, {{15, 10, 12}}},
        // Largest z (k = 3), negative.
        {{5, 6, -16000, 7}, {{15, 11, 13}}},
        // Ties keep the first index: w and x equal in magnitude, k = 0.
        {{-11585, 0, 0, 11585}, {{-23170, 0, 0}}},
    };
    for (const auto& c : cases) {
        const Packed p = encode(c.q);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(p.words[i], c.expected.words[i])
                << "word " << i << " of (" << c.q.x << ", " << c.q.y << ", " << c.q.z << ", " << c.q.w << ")";
    }
}

TEST(MobileQuaternion16, UnitQuaternionsRoundTripWithinOneCount)
{
    const vnx_Mobile_Quaternion16_s cases[] = {
        unitQ14(1, 0, 0, 0),           unitQ14(-1, 0, 0, 0),
        unitQ14(0, 1, 0, 0),           unitQ14(0, 0, -1, 0),
        unitQ14(0, 0, 0, 1),           unitQ14(0.5, 0.5, 0.5, 0.5),
        unitQ14(0.5, -0.5, 0.5, -0.5), unitQ14(0.9, 0.3, -0.2, 0.1),
        unitQ14(0.1, -0.9, 0.3, 0.2),  unitQ14(-0.2, 0.1, 0.95, -0.2),
        unitQ14(0.3, 0.2, 0.1, -0.9),  unitQ14(1, 1, 0, 0),
        unitQ14(0.7, 0.1, 0.7, 0.1),
    };
    for (const vnx_Mobile_Quaternion16_s& q : cases) {
        const vnx_Mobile_Quaternion16_s back = decode(encode(q));
        EXPECT_LE(std::abs(back.x - q.x), 1) << q.x << " " << q.y << " " << q.z << " " << q.w;
        EXPECT_LE(std::abs(back.y - q.y), 1) << q.x << " " << q.y << " " << q.z << " " << q.w;
        EXPECT_LE(std::abs(back.z - q.z), 1) << q.x << " " << q.y << " " << q.z << " " << q.w;
        EXPECT_LE(std::abs(back.w - q.w), 1) << q.x << " " << q.y << " " << q.z << " " << q.w;
    }
}

TEST(MobileQuaternion16, KeptComponentsBeyondUnitNormRebuildZero)
{
    // a = b = c = 10000: their squares already exceed 2^28.
    const Packed p{{20000, 20000, 20000}};
    const vnx_Mobile_Quaternion16_s q = decode(p);
    EXPECT_EQ(q.w, 0);
    EXPECT_EQ(q.x, 10000);
    EXPECT_EQ(q.y, 10000);
    EXPECT_EQ(q.z, 10000);
}

TEST(MobileQuaternion16, OversizedKeptComponentKeepsItsSign)
{
    // Not a unit quaternion: x is beyond the 15 bits a kept component has.
    // Shifting it as it is would wrap it negative; it is clamped instead.
    const vnx_Mobile_Quaternion16_s q{20000, 0, 0, 30000};
    const vnx_Mobile_Quaternion16_s back = decode(encode(q));
    EXPECT_EQ(back.x, 16383);
    EXPECT_GE(back.w, 0);
}

TEST(MobileQuaternion16, NullPointersAreRefusedAndNothingIsWritten)
{
    const vnx_Mobile_Quaternion16_s q{0, 0, 0, 16384};
    std::int16_t words[3] = {7, 7, 7};
    vnx_Mobile_Quaternion16_s out{1, 2, 3, 4};
    EXPECT_EQ(vnx_Mobile_encodeQuaternion16x4_to_16x3(nullptr, words), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_encodeQuaternion16x4_to_16x3(&q, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_decodeQuaternion16x3_to_16x4(nullptr, &out), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Mobile_decodeQuaternion16x3_to_16x4(words, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(words[0], 7);
    EXPECT_EQ(out.x, 1);
    EXPECT_EQ(out.w, 4);
}

} // namespace
