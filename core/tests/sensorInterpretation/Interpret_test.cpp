#include "sensorInterpretation/Interpret.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/ScdBuilder.h"

namespace {

using vnx::FixedPointCal;
using vnx::Fp32;
using vnx::Interpret;
using vnx::RawTriple;
using vnx::qdVectorFixed::Matrix3;
using vnx::qdVectorFixed::Vector3;
using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

constexpr float kUnknown = -2147483648.0f;
constexpr float kFullScaleUnit = 1.0f / 32768.0f;

void expectVectorEq(const Vector3& actual, float x, float y, float z)
{
    EXPECT_EQ(actual[0].value(), x);
    EXPECT_EQ(actual[1].value(), y);
    EXPECT_EQ(actual[2].value(), z);
}

class InterpretTest : public ::testing::Test
{
  protected:
    Interpret interpret;
    Vector3 out{Fp32(7.0f), Fp32(7.0f), Fp32(7.0f)};
};

TEST_F(InterpretTest, AccelerometerAtFullScaleIsConvertedAndFlagged)
{
    const auto cal = ScdBuilder().accelMatrix(I).calibration();
    uint8_t flags = 0;
    interpret.accInterpret(cal, {32767, 0, 0}, out, flags);
    expectVectorEq(out, 32767.0f * kFullScaleUnit, 0, 0);
    EXPECT_EQ(flags, Interpret::kFlagAccSaturated);
}

TEST_F(InterpretTest, EachConversionTouchesOnlyItsOwnFlag)
{
    const auto cal = ScdBuilder().accelMatrix(I).gyroMatrix(I).variant(24601).magMatrix(I).calibration();
    struct Case
    {
        const char* what;
        RawTriple raw;
        uint8_t bit;
        bool set;
    };
    const Case cases[] = {
        {"acc in range", {100, -100, 0}, Interpret::kFlagAccSaturated, false},
        {"acc at -32768", {0, -32768, 0}, Interpret::kFlagAccSaturated, true},
        {"rate in range", {32766, -32767, 0}, Interpret::kFlagRsSaturated, false},
        {"rate at 32767", {0, 0, 32767}, Interpret::kFlagRsSaturated, true},
        {"mag in range", {1, 2, 3}, Interpret::kFlagMagUnusable, false},
        {"mag at -32768", {-32768, 2, 3}, Interpret::kFlagMagUnusable, true},
    };
    for (const Case& c : cases) {
        for (uint8_t before : {uint8_t{0x00}, uint8_t{0xFF}}) {
            SCOPED_TRACE(testing::Message() << c.what << ", flags before " << int(before));
            uint8_t flags = before;
            if (c.bit == Interpret::kFlagAccSaturated)
                interpret.accInterpret(cal, c.raw, out, flags);
            if (c.bit == Interpret::kFlagRsSaturated)
                interpret.rsInterpret(cal, c.raw, Vector3::zeros(), out, flags);
            if (c.bit == Interpret::kFlagMagUnusable)
                interpret.magInterpret(cal, c.raw, out, flags);
            const uint8_t expected = c.set ? (before | c.bit) : (before & ~c.bit);
            EXPECT_EQ(flags, expected);
        }
    }
}

TEST_F(InterpretTest, AccelerometerAppliesOffsetThenMatrix)
{
    // Input x feeds output y with gain 2; input z feeds output z with gain 4.
    Matrix3 m = Matrix3::zeros();
    m[1] = 2.0f;
    m[8] = 4.0f;
    const auto cal = ScdBuilder().accelMatrix(m).accelOffset(0.25f, 0, -0.5f).calibration();
    uint8_t flags = 0;
    interpret.accInterpret(cal, {8192, 16384, 16384}, out, flags);
    expectVectorEq(out, 0, (0.25f + 0.25f) * 2.0f, 0.0f);
    EXPECT_EQ(flags, 0);
}

TEST_F(InterpretTest, AccelerometerNonlinearTermsApplyOnlyWithSecondOrderTerms)
{
    const auto linear = ScdBuilder().accelMatrix(I).accelThirdOrder(1, 1, 1).calibration();
    const auto nonlinear =
        ScdBuilder().accelMatrix(I).accelSecondOrder(0.5f, 0, 0).accelThirdOrder(0.25f, 1, 0).calibration();
    uint8_t flags = 0;
    interpret.accInterpret(linear, {16384, 16384, 0}, out, flags);
    expectVectorEq(out, 0.5f, 0.5f, 0);

    interpret.accInterpret(nonlinear, {16384, 16384, 0}, out, flags);
    // x: a + 0.5 a^2 + 0.25 a^3 with a = 0.5; y: a + a^3.
    expectVectorEq(out, 0.5f + 0.125f + 0.03125f, 0.5f + 0.125f, 0);
}

TEST_F(InterpretTest, AccelerometerIsNotLimited)
{
    const auto cal = ScdBuilder().accelMatrix(1e6f * I).calibration();
    uint8_t flags = 0;
    interpret.accInterpret(cal, {-32768, 0, 0}, out, flags);
    EXPECT_EQ(out[0].value(), -1e6f);
}

TEST_F(InterpretTest, RotationAtRangeEndIsStillConverted)
{
    const auto cal = ScdBuilder().gyroMatrix(0.001f * I).gyroOffset(8, 0, -2).calibration();
    uint8_t flags = 0;
    interpret.rsInterpret(cal, {-32768, 100, 2}, Vector3::zeros(), out, flags);
    expectVectorEq(out, -32760.0f * 0.001f, 100.0f * 0.001f, 0);
    EXPECT_EQ(flags, Interpret::kFlagRsSaturated);
}

TEST_F(InterpretTest, AccelerationSensitivityCorrectsTheRawRate)
{
    // 10 raw counts of rate per m/s^2 along z, seen on gyro axis x.
    Matrix3 sens = Matrix3::zeros();
    sens[6] = 10.0f;
    const auto withSens = ScdBuilder().gyroMatrix(I).gyroAccelSensitivity(sens).calibration();
    const auto withoutSens = ScdBuilder().gyroMatrix(I).calibration();
    const Vector3 gravity{Fp32(0.0f), Fp32(0.0f), Fp32(9.81f)};
    uint8_t flags = 0;

    interpret.rsInterpret(withSens, {100, 0, 0}, gravity, out, flags);
    expectVectorEq(out, 100.0f + 10.0f * 9.81f, 0, 0);
    interpret.rsInterpret(withoutSens, {100, 0, 0}, gravity, out, flags);
    expectVectorEq(out, 100.0f, 0, 0);
}

TEST_F(InterpretTest, RotationIsLimitedToTheUnknownRange)
{
    const auto cal = ScdBuilder().gyroMatrix(1e6f * I).calibration();
    uint8_t flags = 0;
    interpret.rsInterpret(cal, {30000, -30000, 0}, Vector3::zeros(), out, flags);
    expectVectorEq(out, 2147483648.0f, -2147483648.0f, 0);
}

TEST_F(InterpretTest, TemperatureIsLimitedToPlusMinus256)
{
    struct Case
    {
        int16_t raw;
        float expected;
    };
    // 0.5 degC per count around an offset of 100 counts.
    const auto cal = ScdBuilder().tempScale(0.5f).tempOffset(100).calibration();
    const Case cases[] = {{100, 0.0f}, {150, 25.0f}, {700, 255.99f}, {-500, -255.99f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        Fp32 t = 1.0f;
        interpret.tempInterpret(cal, c.raw, t);
        EXPECT_EQ(t.value(), c.expected);
    }
}

TEST_F(InterpretTest, MagnetometerAtRangeEndIsUnknownOnEveryAxis)
{
    const auto cal = ScdBuilder().variant(24601).magMatrix(I).calibration();
    for (RawTriple raw : {RawTriple{32767, 0, 0}, RawTriple{0, 32767, 5}, RawTriple{1, 2, -32768}}) {
        uint8_t flags = 0;
        interpret.magInterpret(cal, raw, out, flags);
        expectVectorEq(out, kUnknown, kUnknown, kUnknown);
        EXPECT_EQ(flags, Interpret::kFlagMagUnusable);
    }
}

TEST_F(InterpretTest, MagnetometerAppliesOffsetThenMatrix)
{
    Matrix3 m = Matrix3::zeros();
    m[1] = 0.5f; // input x to output y
    m[3] = 2.0f; // input y to output x
    m[8] = -1.0f;
    const auto cal = ScdBuilder().variant(24601).magMatrix(m).magOffset(10, -20, 30).calibration();
    uint8_t flags = Interpret::kFlagMagUnusable;
    interpret.magInterpret(cal, {100, 200, 300}, out, flags);
    expectVectorEq(out, 360.0f, 55.0f, -330.0f);
    EXPECT_EQ(flags, 0);
}

TEST_F(InterpretTest, GlitchSampleLosesItsRotation)
{
    Vector3 rate{Fp32(1.0f), Fp32(-2.0f), Fp32(3.0f)};
    interpret.rsGlitchSuppress(16 | 64, rate);
    expectVectorEq(rate, 1.0f, -2.0f, 3.0f);
    interpret.rsGlitchSuppress(Interpret::kSampleFlagGlitch | 1, rate);
    expectVectorEq(rate, 0, 0, 0);
}

} // namespace
