#include "numerics/saturatingCast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace vnx {
namespace {

constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();

struct Case
{
    double value;
    std::int32_t expected32;
    std::int16_t expected16;
};

TEST(SaturatingCast, TruncatesTowardZeroAndClampsOutOfRangeAndNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {nan, 0, 0},
        {1e10, kI32Max, 32767},
        {-1e10, kI32Min, -32768},
        {inf, kI32Max, 32767},
        {-inf, kI32Min, -32768},
        {2.9, 2, 2},
        {-2.9, -2, -2},
        {-0.5, 0, 0},
        {32767.9, 32767, 32767},
        {32768.0, 32768, 32767},
        {-32768.9, -32768, -32768},
        {-32769.0, -32769, -32768},
        {2147483520.0, 2147483520, 32767}, // largest float below 2^31
        {2147483648.0, kI32Max, 32767},
        {-2147483648.0, kI32Min, -32768},
        {-2147483904.0, kI32Min, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(truncateToInt32(c.value), c.expected32) << c.value;
        EXPECT_EQ(truncateToInt16(c.value), c.expected16) << c.value;
        const float f = static_cast<float>(c.value);
        EXPECT_EQ(truncateToInt32(f), truncateToInt32(static_cast<double>(f))) << c.value;
        EXPECT_EQ(truncateToInt16(f), truncateToInt16(static_cast<double>(f))) << c.value;
    }
}

TEST(SaturatingCast, DoubleKeepsValuesJustInsideTheInt32Range)
{
    EXPECT_EQ(truncateToInt32(2147483647.9), kI32Max);
    EXPECT_EQ(truncateToInt32(2147483646.5), 2147483646);
    EXPECT_EQ(truncateToInt32(-2147483647.5), -2147483647);
}

} // namespace
} // namespace vnx
