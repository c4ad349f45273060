#include "numerics/rtNonFinite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vnx {
namespace {

// The constants are process-wide: each test starts from zero and restores them.
class RtNonFinite : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        saved_ = {rtInf, rtMinusInf, rtNaN, rtInfF, rtMinusInfF, rtNaNF};
        rtInf = rtMinusInf = rtNaN = 0.0;
        rtInfF = rtMinusInfF = rtNaNF = 0.0f;
    }
    void TearDown() override
    {
        rtInf = saved_.inf;
        rtMinusInf = saved_.minusInf;
        rtNaN = saved_.nan;
        rtInfF = saved_.infF;
        rtMinusInfF = saved_.minusInfF;
        rtNaNF = saved_.nanF;
    }

    static std::uint64_t bits(double d)
    {
        std::uint64_t b;
        std::memcpy(&b, &d, sizeof b);
        return b;
    }
    static std::uint32_t bits(float f)
    {
        std::uint32_t b;
        std::memcpy(&b, &f, sizeof b);
        return b;
    }

  private:
    struct
    {
        double inf, minusInf, nan;
        float infF, minusInfF, nanF;
    } saved_{};
};

TEST_F(RtNonFinite, UninitialisedConstantsMakeZeroTestAsInfinite)
{
    EXPECT_TRUE(rtIsInf(0.0));
    EXPECT_TRUE(rtIsInfF(0.0f));
}

TEST_F(RtNonFinite, InitialisationSetsTheBitPatterns)
{
    rt_InitInfAndNaN(8);
    EXPECT_EQ(bits(rtInf), 0x7FF0000000000000ull);
    EXPECT_EQ(bits(rtMinusInf), 0xFFF0000000000000ull);
    EXPECT_EQ(bits(rtNaN), 0x7FFFFFFFFFFFFFFFull);
    EXPECT_EQ(bits(rtInfF), 0x7F800000u);
    EXPECT_EQ(bits(rtMinusInfF), 0xFF800000u);
    EXPECT_EQ(bits(rtNaNF), 0x7FFFFFFFu);
    rt_InitInfAndNaN(4);
    EXPECT_EQ(bits(rtNaN), 0x7FFFFFFFE0000000ull);
}

TEST_F(RtNonFinite, AfterInitialisationOnlyInfinitiesTestInfinite)
{
    rt_InitInfAndNaN(8);
    EXPECT_FALSE(rtIsInf(0.0));
    EXPECT_FALSE(rtIsInf(1e308));
    EXPECT_TRUE(rtIsInf(INFINITY));
    EXPECT_TRUE(rtIsInf(-INFINITY));
    EXPECT_FALSE(rtIsInfF(0.0f));
    EXPECT_TRUE(rtIsInfF(-INFINITY));
    EXPECT_TRUE(rtIsNaN(rtNaN));
    EXPECT_TRUE(rtIsNaNF(rtNaNF));
    EXPECT_FALSE(rtIsNaN(1.0));
    EXPECT_FALSE(rtIsNaNF(INFINITY));
}

} // namespace
} // namespace vnx
