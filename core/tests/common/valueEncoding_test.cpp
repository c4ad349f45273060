#include "common/valueEncoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

constexpr int8_t kFloat = VNX_QPOINT_FLOAT;
constexpr int8_t kAbsent = VNX_QPOINT_INVALID;
constexpr int32_t kOk = 0;
constexpr int32_t kInvalid = -2;
constexpr int32_t kSaturated = -16;

vnx_Number32_u fixedWord(int32_t v)
{
    vnx_Number32_u w;
    w.fixed = v;
    return w;
}

vnx_Number32_u floatWord(float f)
{
    vnx_Number32_u w;
    w.real = f;
    return w;
}

// A word that no successful call in these tests writes.
constexpr int32_t kUntouched = 0x5A5A5A5A;

TEST(ValueEncodingRead, GetFloat32DecodesEachCode)
{
    float out = -1.0f;
    EXPECT_EQ(vnx_getFloat32(fixedWord(0x00010000), 16, &out), kOk);
    EXPECT_EQ(out, 1.0f);
    EXPECT_EQ(vnx_getFloat32(fixedWord(0x00010000), kFloat, &out), kOk);
    float expected;
    const uint32_t bits = 0x00010000;
    std::memcpy(&expected, &bits, sizeof expected);
    EXPECT_EQ(out, expected);
    EXPECT_EQ(vnx_getFloat32(fixedWord(-3), 1, &out), kOk);
    EXPECT_EQ(out, -1.5f);
    EXPECT_EQ(vnx_getFloat32(fixedWord(3), -2, &out), kOk); // negative q scales up
    EXPECT_EQ(out, 12.0f);
    EXPECT_EQ(vnx_getFloat32(fixedWord(1), 100, &out), kOk); // no wrap of large q
    EXPECT_EQ(out, std::ldexp(1.0f, -100));
}

TEST(ValueEncodingRead, AbsentValueLeavesTargetOrWritesDefault)
{
    float out = 7.0f;
    EXPECT_EQ(vnx_getFloat32(fixedWord(5), kAbsent, &out), kInvalid);
    EXPECT_EQ(out, 7.0f);
    EXPECT_EQ(vnx_getFloat32WithDefault(fixedWord(5), kAbsent, &out, 2.5f), kInvalid);
    EXPECT_EQ(out, 2.5f);
    EXPECT_EQ(vnx_getFloat32WithDefault(fixedWord(5), 0, &out, 2.5f), kOk);
    EXPECT_EQ(out, 5.0f);
    // The byte 129 passed as an unsigned code means the same.
    EXPECT_EQ(vnx_getFloat32(fixedWord(5), static_cast<int8_t>(static_cast<uint8_t>(129)), &out), kInvalid);
}

struct GetIntCase
{
    int32_t word;
    int32_t scale;
    int8_t q;
    int32_t status;
    int32_t value; // stored value when status is 0
};

TEST(ValueEncodingRead, GetInt16FixedPointRoundsHalfUpAndRejectsOutOfRange)
{
    const GetIntCase cases[] = {
        {3, 1, 1, kOk, 2},   // 1.5 rounds up
        {-3, 1, 1, kOk, -1}, // -1.5 rounds up to -1
        {5, 3, 2, kOk, 4},   // 15 / 4 = 3.75
        {100, 2, 0, kOk, 200},
        {100, 1, -2, kOk, 400},        // q <= 0 shifts left
        {-65536, 1, 1, kSaturated, 0}, // -32768 counts as out of range
        {32767, 1, 0, kOk, 32767},
        {-32767, 1, 0, kOk, -32767},
        {32768, 1, 0, kSaturated, 0},
        {1, 1, -40, kSaturated, 0}, // shift far beyond the word
        {0, 1, -100, kOk, 0},
        {-5, 1, 64, kOk, -1}, // q >= 64 leaves only the sign
        {5, 1, 100, kOk, 0},
        {std::numeric_limits<int32_t>::max(), 32767, 40, kOk, 64}, // the product needs 46 bits
    };
    for (const auto& c : cases) {
        int16_t out = 0x5A5A;
        EXPECT_EQ(vnx_getInt16(fixedWord(c.word), static_cast<int16_t>(c.scale), c.q, &out), c.status)
            << c.word << " q " << int(c.q);
        EXPECT_EQ(out, c.status == kOk ? c.value : 0x5A5A) << c.word << " q " << int(c.q);
    }
}

TEST(ValueEncodingRead, GetInt32FixedPointUsesTheSymmetricRange)
{
    const GetIntCase cases[] = {
        {3, 1, 1, kOk, 2},
        {std::numeric_limits<int32_t>::max(), 1, 0, kOk, std::numeric_limits<int32_t>::max()},
        {std::numeric_limits<int32_t>::min(), 1, 0, kSaturated, 0},
        {std::numeric_limits<int32_t>::max(), 2, 0, kSaturated, 0},
        {std::numeric_limits<int32_t>::max(), 4, 2, kOk, std::numeric_limits<int32_t>::max()},
        {-7, 1000, 3, kOk, -875},
        {1, 1, -31, kSaturated, 0},
        {1, 1, -30, kOk, 1 << 30},
    };
    for (const auto& c : cases) {
        int32_t out = kUntouched;
        EXPECT_EQ(vnx_getInt32(fixedWord(c.word), c.scale, c.q, &out), c.status)
            << c.word << " q " << int(c.q);
        EXPECT_EQ(out, c.status == kOk ? c.value : kUntouched) << c.word << " q " << int(c.q);
    }
}

TEST(ValueEncodingRead, FloatWordsRoundAndClampSilently)
{
    const struct
    {
        float f;
        int16_t scale;
        int16_t expected;
    } cases16[] = {
        {-40000.0f, 1, -32768}, {40000.0f, 1, 32767}, {2.5f, 1, 3}, {-2.5f, 1, -3},         {0.49f, 1, 0},
        {1.25f, 4, 5},          {32767.4f, 1, 32767}, {NAN, 1, 0},  {-INFINITY, 1, -32768},
    };
    for (const auto& c : cases16) {
        int16_t out = 1;
        EXPECT_EQ(vnx_getInt16(floatWord(c.f), c.scale, kFloat, &out), kOk) << c.f;
        EXPECT_EQ(out, c.expected) << c.f;
    }
    const struct
    {
        float f;
        int32_t scale;
        int32_t expected;
    } cases32[] = {
        {1.5f, 1, 2},
        {-1.5f, 1, -2},
        {3e9f, 1, std::numeric_limits<int32_t>::max()},
        {-3e9f, 1, std::numeric_limits<int32_t>::min()},
        {0.75f, 1000, 750},
        {NAN, 1, 0},
    };
    for (const auto& c : cases32) {
        int32_t out = 1;
        EXPECT_EQ(vnx_getInt32(floatWord(c.f), c.scale, kFloat, &out), kOk) << c.f;
        EXPECT_EQ(out, c.expected) << c.f;
    }
}

TEST(ValueEncodingWrite, SetFloat32RoundsAndClampsFixedPoint)
{
    vnx_Number32_u w = fixedWord(kUntouched);
    EXPECT_EQ(vnx_setFloat32(1.0f, 16, &w), kOk);
    EXPECT_EQ(w.fixed, 65536);
    EXPECT_EQ(vnx_setFloat32(-0.75f, 1, &w), kOk);
    EXPECT_EQ(w.fixed, -2); // -1.5 rounds away from zero
    EXPECT_EQ(vnx_setFloat32(1e20f, 0, &w), kOk);
    EXPECT_EQ(w.fixed, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(vnx_setFloat32(-1.0f, 40, &w), kOk);
    EXPECT_EQ(w.fixed, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(vnx_setFloat32(NAN, 4, &w), kOk);
    EXPECT_EQ(w.fixed, 0);
    EXPECT_EQ(vnx_setFloat32(-2.25f, kFloat, &w), kOk);
    EXPECT_EQ(w.real, -2.25f);
}

struct SetIntCase
{
    int32_t value;
    int32_t divisor;
    int8_t q;
    int32_t status;
    int32_t word; // stored word when status is 0
};

TEST(ValueEncodingWrite, SetInt16StoresTheQuotientInFixedPoint)
{
    const SetIntCase cases[] = {
        {1, 3, 16, kOk, 21845},
        {1, 1, 16, kOk, 65536},
        {-1, 3, 16, kOk, -21845}, // truncated quotient
        {1, 3, 8, kOk, 85},       // 21845 / 256 = 85.33
        {1, 2, 0, kOk, 1},        // 0.5 rounds half up
        {-1, 2, 0, kOk, 0},       // -0.5 rounds half up
        {1, 3, 20, kOk, 21845 << 4},
        {5, 1, -1, kOk, 3}, // 2.5 rounds half up
        {-5, 1, -1, kOk, -2},
        {-5, 1, -32, kOk, -1}, // the sign alone
        {5, 1, -40, kOk, 0},
        {7, 2, -16, kOk, 0}, // quotient path: the sign alone
        {-7, 2, -20, kOk, -1},
        {-32768, 1, 16, kOk, std::numeric_limits<int32_t>::min()},
        {-32768, -1, 16, kSaturated, 0}, // 2^31 does not fit
        {1, 1, 31, kSaturated, 0},       // shifts of 32 or more are defined and out of range
        {1, 1, 100, kSaturated, 0},
        {0, 1, 100, kOk, 0},
        {1, 3, 100, kSaturated, 0},
    };
    for (const auto& c : cases) {
        vnx_Number32_u w = fixedWord(kUntouched);
        EXPECT_EQ(vnx_setInt16(static_cast<int16_t>(c.value), static_cast<int16_t>(c.divisor), c.q, &w),
                  c.status)
            << c.value << "/" << c.divisor << " q " << int(c.q);
        EXPECT_EQ(w.fixed, c.status == kOk ? c.word : kUntouched)
            << c.value << "/" << c.divisor << " q " << int(c.q);
    }
}

TEST(ValueEncodingWrite, SetInt32StoresTheQuotientWithinTheSymmetricRange)
{
    const SetIntCase cases[] = {
        {3, 2, 31, kSaturated, 0}, // 1.5 does not fit with 31 fractional bits
        {1, 2, 31, kOk, 1 << 30},
        {1, 3, 32, kOk, 1431655765},
        {2, 3, 32, kSaturated, 0},
        {1, 3, 30, kOk, 357913941},
        {-1, 3, 30, kOk, -357913941},
        {7, 1, 0, kOk, 7},
        {std::numeric_limits<int32_t>::min(), 1, 0, kOk, std::numeric_limits<int32_t>::min()},
        {std::numeric_limits<int32_t>::min(), -1, 0, kSaturated, 0}, // no overflow in the division
        {std::numeric_limits<int32_t>::min(), 2, 0, kOk, -(1 << 30)},
        {5, 2, -31, kOk, 0},
        {-5, 2, -32, kOk, -1}, // the sign alone
        {1, 1, 40, kSaturated, 0},
        {1000, 7, 16, kOk, 9362286}, // 142.857142... * 65536 rounded half up
    };
    for (const auto& c : cases) {
        vnx_Number32_u w = fixedWord(kUntouched);
        EXPECT_EQ(vnx_setInt32(c.value, c.divisor, c.q, &w), c.status)
            << c.value << "/" << c.divisor << " q " << int(c.q);
        EXPECT_EQ(w.fixed, c.status == kOk ? c.word : kUntouched)
            << c.value << "/" << c.divisor << " q " << int(c.q);
    }
}

TEST(ValueEncodingWrite, FloatCodeStoresTheFloatQuotient)
{
    vnx_Number32_u w = fixedWord(kUntouched);
    EXPECT_EQ(vnx_setInt16(1, 4, kFloat, &w), kOk);
    EXPECT_EQ(w.real, 0.25f);
    EXPECT_EQ(vnx_setInt32(-7, 1, kFloat, &w), kOk);
    EXPECT_EQ(w.real, -7.0f);
    EXPECT_EQ(vnx_setInt32(1, 3, kFloat, &w), kOk);
    EXPECT_EQ(w.real, 1.0f / 3.0f);
}

TEST(ValueEncodingWrite, ZeroDivisorIsRejectedWithTheWordUntouched)
{
    for (int8_t q : {int8_t{0}, int8_t{16}, kFloat, int8_t{-5}}) {
        vnx_Number32_u w = fixedWord(kUntouched);
        EXPECT_EQ(vnx_setInt16(1, 0, q, &w), kInvalid);
        EXPECT_EQ(vnx_setInt32(1, 0, q, &w), kInvalid);
        EXPECT_EQ(w.fixed, kUntouched);
    }
}

TEST(ValueEncoding, EveryFunctionAnswersMinusTwoForAbsentValues)
{
    vnx_Number32_u w = fixedWord(kUntouched);
    float f = 3.0f;
    int16_t i16 = 3;
    int32_t i32 = 3;
    EXPECT_EQ(vnx_getFloat32(w, kAbsent, &f), kInvalid);
    EXPECT_EQ(vnx_getFloat32WithDefault(w, kAbsent, &f, 3.0f), kInvalid);
    EXPECT_EQ(vnx_getInt16(w, 1, kAbsent, &i16), kInvalid);
    EXPECT_EQ(vnx_getInt32(w, 1, kAbsent, &i32), kInvalid);
    EXPECT_EQ(vnx_setFloat32(1.0f, kAbsent, &w), kInvalid);
    EXPECT_EQ(vnx_setInt16(1, 1, kAbsent, &w), kInvalid);
    EXPECT_EQ(vnx_setInt32(1, 1, kAbsent, &w), kInvalid);
    EXPECT_EQ(f, 3.0f);
    EXPECT_EQ(i16, 3);
    EXPECT_EQ(i32, 3);
    EXPECT_EQ(w.fixed, kUntouched);
}

TEST(ValueEncoding, EveryFunctionAnswersMinusTwoForANullTarget)
{
    for (int8_t q : {int8_t{0}, int8_t{16}, kFloat, kAbsent}) {
        SCOPED_TRACE(static_cast<int>(q));
        const vnx_Number32_u w = fixedWord(1 << 16);
        EXPECT_EQ(vnx_getFloat32(w, q, nullptr), kInvalid);
        EXPECT_EQ(vnx_getFloat32WithDefault(w, q, nullptr, 3.0f), kInvalid);
        EXPECT_EQ(vnx_getInt16(w, 1, q, nullptr), kInvalid);
        EXPECT_EQ(vnx_getInt32(w, 1, q, nullptr), kInvalid);
        EXPECT_EQ(vnx_setFloat32(1.0f, q, nullptr), kInvalid);
        EXPECT_EQ(vnx_setInt16(1, 2, q, nullptr), kInvalid);
        EXPECT_EQ(vnx_setInt32(1, 2, q, nullptr), kInvalid);
    }
}

} // namespace
