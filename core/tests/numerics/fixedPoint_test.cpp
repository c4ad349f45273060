#include "numerics/fixedPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace vnx {
namespace {

constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();

struct ToFixedCase
{
    float value;
    int q;
    std::int32_t expected;
};

TEST(FptToFixed32, RoundsHalfAwayFromZeroAtAnyScale)
{
    const ToFixedCase cases[] = {
        {1.5f, 0, 2},    {-1.5f, 0, -2},    {0.25f, 2, 1},     {-0.1f, 0, 0},        {2.5f, 0, 3},
        {-2.5f, 0, -3},  {0.4f, 0, 0},      {1.0f, 16, 65536}, {-1.0f, 31, kI32Min}, {3.0f, -1, 2},
        {-3.0f, -1, -2}, {1024.0f, -10, 1}, {1.0f, -64, 0},    {1.0f, 64, kI32Max},  {0.5f, 30, 1 << 29},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fptToFixed32(c.value, c.q, true, true), c.expected) << c.value << " q " << c.q;
        // The flags do not change the conversion.
        EXPECT_EQ(fptToFixed32(c.value, c.q, false, false), c.expected) << c.value << " q " << c.q;
    }
}

TEST(FptToFixed32, ClampsOutOfRangeAndNaN)
{
    const ToFixedCase cases[] = {
        {2147483648.0f, 0, kI32Max},
        {1e30f, 0, kI32Max},
        {INFINITY, 0, kI32Max},
        {-2147483648.0f, 0, kI32Min},
        {-1e30f, 0, kI32Min},
        {-INFINITY, 0, kI32Min},
        {1.0f, 40, kI32Max},
        {-1.0f, 40, kI32Min},
        {NAN, 0, 0},
        {2147483520.0f, 0, 2147483520}, // largest float below 2^31 stays exact
    };
    for (const auto& c : cases)
        EXPECT_EQ(fptToFixed32(c.value, c.q, true, true), c.expected) << c.value;
}

TEST(FptToFloat32, ScalesByExactPowerOfTwo)
{
    EXPECT_EQ(fptToFloat32(3, 1), 1.5f);
    EXPECT_EQ(fptToFloat32(65536, 16), 1.0f);
    EXPECT_EQ(fptToFloat32(-3, 2), -0.75f);
    EXPECT_EQ(fptToFloat32(3, -2), 12.0f);
    EXPECT_EQ(fptToFloat32(1, 70), std::ldexp(1.0f, -70)); // no wrap of the shift count
    EXPECT_EQ(fptToFloat32(1, -70), std::ldexp(1.0f, 70));
}

TEST(Division6432, TruncatesAndRoundsAsSpecifiedPerSign)
{
    EXPECT_EQ(sdiv6432(7, 2), 3);
    EXPECT_EQ(sdiv6432(-7, 2), -3);
    EXPECT_EQ(sdiv6432_round(7, 2), 4);
    EXPECT_EQ(sdiv6432_round(-7, 2), -3);
    EXPECT_EQ(sdiv6432_round(8, 3), 3);   // adds 1
    EXPECT_EQ(sdiv6432_round(8, -3), -2); // adds -2: 6 / -3
    EXPECT_EQ(udiv6432(7, 2), 3u);
    EXPECT_EQ(udiv6432_round(7, 2), 3u);
    EXPECT_EQ(sdiv6432(INT64_C(1) << 40, 1 << 20), INT64_C(1) << 20);
}

TEST(Division6432, StaysDefinedAtTheLimits)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(sdiv6432(5, 0), 0);
    EXPECT_EQ(sdiv6432_round(5, 0), 0);
    EXPECT_EQ(udiv6432(5, 0), 0u);
    EXPECT_EQ(udiv6432_round(5, 0), 0u);
    EXPECT_EQ(sdiv6432(kMin, -1), kMax);
    EXPECT_EQ(sdiv6432_round(kMax, 2), kMax / 2 + 1); // the sum does not overflow
    EXPECT_EQ(sdiv6432_round(kMin, -1), kMax);
}

} // namespace
} // namespace vnx
