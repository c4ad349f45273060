#include "mobileUtilities/mobileFixedPoint.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct MultiplyCase
{
    std::int32_t a;
    std::int32_t b;
    std::int8_t shift;
    std::int32_t expected;
};

TEST(MobileFixedPoint, MultiplyScalesTheFullProductAndRoundsHalfUp)
{
    const MultiplyCase cases[] = {
        {3, 1, 1, 2}, // 1.5 rounds up
        {3, 1, 0, 3},
        {3, 1, -2, 12},
        {5, 1, 2, 1},   // 1.25 rounds down
        {-3, 1, 1, -1}, // -1.5 rounds up, towards +infinity
        {-5, 1, 2, -1}, // -1.25
        {-7, 1, 2, -2}, // -1.75
        // Q23 x Q23 >> 23: 1.5 * -2.25 = -3.375, exact.
        {3 << 22, -(9 << 21), 23, -(27 << 20)},
        // The product of two 2^30 values needs 61 bits before the shift.
        {1 << 30, 1 << 30, 40, 1 << 20},
        {INT32_MIN, INT32_MIN, 62, 1},
        {INT32_MIN, INT32_MIN, 63, 1}, // 2^62 / 2^63 = 0.5 rounds up
        {123, 456, 64, 0},             // only the sign is left
        {-123, 456, 64, -1},
        {-123, 456, 127, -1},
        {0, 0, -128, 0},
        // Results beyond 32 bits clamp rather than wrap.
        {1 << 20, 1 << 20, 0, INT32_MAX},
        {-(1 << 20), 1 << 20, 0, INT32_MIN},
        {1, 1, 31, 0},          // 2^-31 rounds to 0
        {1, 1, -31, INT32_MAX}, // 2^31
        {-1, 1, -31, INT32_MIN},
        {1, 1, -30, 1 << 30},
        {1, 1, -64, INT32_MAX}, // a shift past the product's width
        {-1, 1, -128, INT32_MIN},
    };
    for (const MultiplyCase& c : cases)
        EXPECT_EQ(vnx_Mobile_fixedPointMultiply(c.a, c.b, c.shift), c.expected)
            << c.a << " * " << c.b << " >> " << int{c.shift};
}

struct Multiply16Case
{
    std::int16_t a;
    std::int16_t b;
    std::int8_t shift;
    std::int16_t expected;
};

TEST(MobileFixedPoint, Multiply16RoundsAndClampsTo16Bits)
{
    const Multiply16Case cases[] = {
        {3, 1, 1, 2},
        {3, 1, 0, 3},
        {3, 1, -2, 12},
        {-3, 1, 1, -1},
        // Q14 x Q14 >> 14: 0.5 * 0.5 = 0.25.
        {8192, 8192, 14, 4096},
        {-16384, 16384, 14, -16384},
        {INT16_MIN, INT16_MIN, 15, INT16_MAX}, // 2^15 does not fit: clamps instead of turning negative
        {INT16_MIN, INT16_MIN, 16, 16384},
        {100, 100, 0, 10000},
        {200, 200, 0, INT16_MAX}, // 40000 does not fit 16 bits
        {-200, 200, 0, INT16_MIN},
        {1, 1, -15, INT16_MAX},
        {1, 1, -14, 16384},
        {1, 1, -40, INT16_MAX},
        {7, 9, 31, 0}, // 63 / 2^31 rounds to 0
        {7, 9, 32, 0}, // only the sign is left
        {-7, 9, 32, -1},
        {-7, 9, 100, -1},
    };
    for (const Multiply16Case& c : cases)
        EXPECT_EQ(vnx_Mobile_fixedPointMultiply16(c.a, c.b, c.shift), c.expected)
            << c.a << " * " << c.b << " >> " << int{c.shift};
}

TEST(MobileFixedPoint, InverseSquareRootInQ23)
{
    constexpr std::int32_t one = 1 << 23;
    const struct
    {
        std::int32_t x;
        std::int32_t expected;
    } cases[] = {
        {one, one},
        {4 * one, one / 2},
        {one / 4, 2 * one},
        {one / 16, 4 * one},
        {2 * one, 5931642}, // 0.70710677 * 2^23 = 5931641.6
        // 1.4142135 * 2^23 = 11863283.2; the rounding half is added in float,
        // whose spacing there is 1, so the sum lands on 11863284.
        {one / 2, 11863284},
        {0, INT32_MAX}, // infinity clamps
        {-one, 0},      // no real root
        {INT32_MIN, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vnx_Mobile_fixedPointInvSqrt32Q23(c.x), c.expected) << c.x;
}

TEST(MobileFixedPoint, InverseSquareRootInQ7StaysWithin16Bits)
{
    const struct
    {
        std::int16_t x;
        std::int16_t expected;
    } cases[] = {
        {128, 128},     // 1.0
        {512, 64},      // 4.0 -> 0.5
        {32, 256},      // 0.25 -> 2.0
        {1, 1448},      // 1/128 -> 11.3137 -> 1448.15
        {2, 1024},      // 1/64 -> 8
        {INT16_MAX, 8}, // 255.99 -> 0.0625 -> 8.0
        {0, INT16_MAX}, // infinity clamps instead of wrapping to -1
        {-128, 0},      // no real root
    };
    for (const auto& c : cases)
        EXPECT_EQ(vnx_Mobile_fixedPointInvSqrt16Q7(c.x), c.expected) << c.x;
}

} // namespace
