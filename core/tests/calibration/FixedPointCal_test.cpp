#include "calibration/FixedPointCal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/crc32.h"
#include "support/ScdBuilder.h"

namespace {

using vnx::FixedPointCal;
using vnx::Fp32;
using vnx::qdVectorFixed::Matrix3;
using vnx::qdVectorFixed::Quaternion;
using vnx::qdVectorFixed::Vector3;
using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

constexpr float c = 0.0016666667f; // magnetometer scale of the default variants

/// Output of a FixedPointCal initialised from the builder's SCD.
struct Calibrated
{
    explicit Calibrated(const ScdBuilder& builder) { cal.init(builder.innards()); }
    const FixedPointCal::Output& out() const { return cal.output(); }
    FixedPointCal cal;
};

Matrix3 matrixOf(std::initializer_list<std::pair<int, float>> elements)
{
    Matrix3 m = Matrix3::zeros();
    for (auto [k, v] : elements)
        m[k] = v;
    return m;
}

void expectMatrixEq(const Matrix3& actual, const Matrix3& expected)
{
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(actual[k].value(), expected[k].value()) << "element " << k;
}

TEST(FixedPointCal, ConstructedOutputIsZero)
{
    const FixedPointCal cal;
    EXPECT_EQ(cal.output().period, 0.0f);
    EXPECT_EQ(cal.output().rate, 0.0f);
    EXPECT_EQ(cal.output().accFullScale, 0.0f);
    EXPECT_EQ(cal.output().rsScaleErrorRatio, 0.0f);
    EXPECT_EQ(cal.output().scdCrc, 0u);
}

TEST(FixedPointCal, ScdWithoutFormatWordRunsAt125HzAsVariant3)
{
    const Calibrated c3(ScdBuilder().period(0.004).rsStableParam(0.5f).formatWord(0));
    const auto& o = c3.out();
    EXPECT_EQ(o.period, 0.008f);
    EXPECT_FLOAT_EQ(o.rate, 125.0f); // 1 / 0.008f is not exactly 125 in float
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(o.rsStableParam[i].value(), 0.003f);
    EXPECT_EQ(o.variant, 3);
    EXPECT_EQ(o.rsScaleErrorRatio, 0.015f);
    EXPECT_EQ(o.periodScale, 1.0f);
}

TEST(FixedPointCal, FormatWordBringsPeriodAndStillParameter)
{
    const Calibrated fast(ScdBuilder().period(0.004).rsStableParam(0.5f));
    EXPECT_EQ(fast.out().period, 0.004f);
    EXPECT_FLOAT_EQ(fast.out().rate, 250.0f);
    EXPECT_EQ(fast.out().rsStableParam[2].value(), 0.5f);

    const Calibrated noStill(ScdBuilder().period(0.004));
    EXPECT_EQ(noStill.out().rsStableParam[0].value(), 0.003f);
}

TEST(FixedPointCal, UnusablePeriodCountsAsAbsent)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float periods[] = {0.0f,   -0.0f, -0.008f, inf,  -inf, std::nanf(""),
                             1e-39f, 1e-7f, 5e-7f,   2.0f, 1.0f, 3e38f};
    for (float period : periods) {
        SCOPED_TRACE(period);
        const Calibrated cal(ScdBuilder().period(period));
        EXPECT_EQ(cal.out().period, 0.008f);
        EXPECT_FLOAT_EQ(cal.out().rate, 125.0f);
        EXPECT_EQ(FixedPointCal::getPeriod(ScdBuilder().period(period).innards()), 0.008f);
    }
}

TEST(FixedPointCal, VariantChoosesTheMagnetometerMatrix)
{
    struct Case
    {
        const char* what;
        ScdBuilder scd;
        int variant;
        Matrix3 mag;
    };
    const Case cases[] = {
        {"variant word 0, period 0.00875", ScdBuilder().period(0.00875), 2,
         matrixOf({{0, -c}, {4, -c}, {8, -c}})},
        {"variant word 0, period 0.008", ScdBuilder().period(0.008), 3,
         matrixOf({{1, -c}, {3, -c}, {8, -c}})},
        {"variant 3", ScdBuilder().variant(3.9f), 3, matrixOf({{1, -c}, {3, -c}, {8, -c}})},
        {"variant 4", ScdBuilder().variant(4), 4, matrixOf({{1, -c}, {3, -c}, {8, -c}})},
        {"variant 5", ScdBuilder().variant(5), 5, matrixOf({{1, c}, {3, c}, {8, -c}})},
        {"variant 6", ScdBuilder().variant(6), 6, matrixOf({{0, c}, {4, -c}, {8, -c}})},
        {"variant 7", ScdBuilder().variant(7), 7, matrixOf({{1, -c}, {3, c}, {8, c}})},
        {"variant 1", ScdBuilder().variant(1), 1, matrixOf({{0, c}, {4, c}, {8, c}})},
        {"variant 99", ScdBuilder().variant(99), 99, matrixOf({{0, c}, {4, c}, {8, c}})},
        {"variant -2.5", ScdBuilder().variant(-2.5f), -2, matrixOf({{0, c}, {4, c}, {8, c}})},
        // A variant word that is no number derives the variant as a 0 does.
        {"variant NaN", ScdBuilder().variant(std::nanf("")), 3, matrixOf({{1, -c}, {3, -c}, {8, -c}})},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.what);
        const Calibrated cal(tc.scd);
        EXPECT_EQ(cal.out().variant, tc.variant);
        expectMatrixEq(cal.out().magMatrix, tc.mag);
        EXPECT_TRUE(cal.cal.is9Axis());
        EXPECT_EQ(cal.out().magOffset, Vector3::zeros());
    }
}

TEST(FixedPointCal, Variant24601TakesTheStoredMagnetometer)
{
    const Matrix3 mag = matrixOf({{0, 0.5f}, {5, 0.25f}, {8, 0.125f}});
    const Calibrated cal(ScdBuilder()
                             .variant(24601)
                             .accelOffset(0.1f, 0.2f, 0.3f)
                             .accelSecondOrder(0.01f, 0.02f, 0.03f)
                             .magOffset(10, 20, 30)
                             .magMatrix(mag));
    const auto& o = cal.out();
    expectMatrixEq(o.magMatrix, mag);
    EXPECT_EQ(o.magOffset, (Vector3{10, 20, 30}));
    EXPECT_EQ(o.accOffset, (Vector3{0.1f, 0.2f, 0.3f}));
    EXPECT_EQ(o.accSecondOrder, Vector3::zeros());
    EXPECT_EQ(o.accThirdOrder, Vector3::zeros());
    expectMatrixEq(o.rsAccSensMatrix, Matrix3::zeros());
    EXPECT_FALSE(o.hasRsAccSens);
    EXPECT_FALSE(o.hasAccNonlinear);
    EXPECT_TRUE(cal.cal.is9Axis());

    const Calibrated noDiagonal(ScdBuilder().variant(24601).magMatrix(matrixOf({{1, 1.0f}, {5, 1.0f}})));
    EXPECT_FALSE(noDiagonal.cal.is9Axis());
}

TEST(FixedPointCal, OtherVariantsKeepTheAccelerometerTermsAndGyroSensitivity)
{
    const Matrix3 sens = matrixOf({{2, 0.5f}});
    const Calibrated cal(ScdBuilder()
                             .variant(3)
                             .accelSecondOrder(0.01f, 0, 0)
                             .accelThirdOrder(1, 2, 3)
                             .gyroAccelSensitivity(sens));
    EXPECT_EQ(cal.out().accThirdOrder, (Vector3{1, 2, 3}));
    expectMatrixEq(cal.out().rsAccSensMatrix, sens);
    EXPECT_EQ(cal.out().magOffset, Vector3::zeros());
    EXPECT_TRUE(cal.out().hasRsAccSens);
    EXPECT_TRUE(cal.out().hasAccNonlinear);
}

TEST(FixedPointCal, NonlinearAndSensitivityFlagsIgnoreNegligibleTerms)
{
    const Calibrated tiny(ScdBuilder()
                              .accelSecondOrder(1e-7f, -1e-7f, 0)
                              .accelThirdOrder(5, 5, 5)
                              .gyroAccelSensitivity(matrixOf({{7, -1.1920929e-7f}})));
    EXPECT_FALSE(tiny.out().hasAccNonlinear); // third-order terms alone do not count
    EXPECT_FALSE(tiny.out().hasRsAccSens);

    const Calibrated small(
        ScdBuilder().accelSecondOrder(0, 0, -2e-7f).gyroAccelSensitivity(matrixOf({{7, 2e-7f}})));
    EXPECT_TRUE(small.out().hasAccNonlinear);
    EXPECT_TRUE(small.out().hasRsAccSens);
}

TEST(FixedPointCal, NoiseFollowsTheMatrixToEachOutputAxis)
{
    // Input axis 1 feeds output axis 0 with gain 2: output noise 0 combines
    // both inputs, output 1 sees none of them and keeps its own zero.
    const Matrix3 gyro = matrixOf({{0, 1.0f}, {3, 2.0f}, {8, 0.5f}});
    const Calibrated cal(ScdBuilder()
                             .gyroMatrix(gyro)
                             .gyroNoise(3, 4, 10)
                             .accelMatrix(matrixOf({{0, 2.0f}, {8, 4.0f}}))
                             .accelNoise(32768, 32768, 16384));
    EXPECT_FLOAT_EQ(cal.out().rsNoise[0].value(), std::sqrt(73.0f));
    EXPECT_EQ(cal.out().rsNoise[1].value(), 0.0f);
    EXPECT_EQ(cal.out().rsNoise[2].value(), 5.0f);
    EXPECT_EQ(cal.out().accNoise[0].value(), 2.0f);
    EXPECT_EQ(cal.out().accNoise[1].value(), 0.098f); // zero column: default on that axis only
    EXPECT_EQ(cal.out().accNoise[2].value(), 2.0f);
}

TEST(FixedPointCal, AllZeroGyroNoiseGivesTheDefaultOnEveryAxis)
{
    const Calibrated cal(ScdBuilder().gyroMatrix(0.001f * I));
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(cal.out().rsNoise[j].value(), 0.01f);
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(cal.out().accNoise[j].value(), 0.098f);
}

/// SCD of the faulty production batch, marked nominal so that the two
/// corrected terms show in zroInitSigma and agingRate.
ScdBuilder faultyBatch()
{
    return ScdBuilder()
        .accelMatrix(32768.0f * I)
        .accelNoise(63.1446f, 99.3907f, 84.5787f)
        .zroInitSigma(1.1001753f)
        .zroAging(0.0036669367f)
        .zroTerms(1e-3f, 1e-3f)
        .nominalMarker(-0.5f);
}

TEST(FixedPointCal, FaultyBatchGetsTheCorrectedNoiseAndTerms)
{
    const Calibrated cal(faultyBatch());
    EXPECT_EQ(cal.out().accNoise[0].value(), 75.715897f);
    EXPECT_EQ(cal.out().accNoise[1].value(), 121.98770f);
    EXPECT_EQ(cal.out().accNoise[2].value(), 115.3635f);
    EXPECT_EQ(cal.out().zroInitSigma, 0.09583166f);
    EXPECT_EQ(cal.out().agingRate, 0.00039929643f * 0.01f);
}

TEST(FixedPointCal, OneUlpAwayFromTheFaultyBatchKeepsTheStoredValues)
{
    const scdGen4FloatInnards_s faulty = faultyBatch().innards();
    for (int field = 0; field < 5; ++field) {
        SCOPED_TRACE(field);
        scdGen4FloatInnards_s in = faulty;
        float* values[] = {&in.accNoise[0], &in.accNoise[1], &in.accNoise[2], &in.zroInitSigma, &in.zroAging};
        *values[field] = std::nextafter(*values[field], 1e9f);
        FixedPointCal cal;
        cal.init(in);
        EXPECT_EQ(cal.output().accNoise[0].value(), in.accNoise[0]);
        EXPECT_EQ(cal.output().accNoise[2].value(), in.accNoise[2]);
        EXPECT_EQ(cal.output().zroInitSigma, in.zroInitSigma);
        EXPECT_EQ(cal.output().agingRate, in.zroAging * 0.01f);
    }
}

TEST(FixedPointCal, MissingOffsetTermsSelectTheDefaultModelWhateverTheMarker)
{
    for (float marker : {-0.5f, 0.0f, 1.0f}) {
        SCOPED_TRACE(marker);
        const Calibrated cal(ScdBuilder().nominalMarker(marker).zroTerms(0, 0.5f).zroNominalSigma(0.7f));
        const auto& o = cal.out();
        EXPECT_EQ(o.zroNominalSigma, 1.2f);
        EXPECT_EQ(o.zroMinTerm, 0.00421f);
        EXPECT_EQ(o.zroTempCoef, 0.0123f);
        EXPECT_EQ(o.agingRate, 3.6669e-5f);
        EXPECT_EQ(o.zroInitSigma, 1.1f);
        EXPECT_FALSE(o.isNominalCal);
        EXPECT_FALSE(cal.cal.isNominal());
    }
}

TEST(FixedPointCal, NominalCalibrationTakesItsLevelAndUncertainties)
{
    struct Case
    {
        float marker;
        float nominalSigma;
        float expectedLevel;
        float expectedSigma;
        bool isNominal;
    };
    const Case cases[] = {
        {-0.25f, 0.05f, 0.25f, 0.05f, true},
        {-1.0f, -0.05f, 0.02f, 0.05f, true},
        {-4.0f, 2e-7f, 0.02f, 0.0f, false}, // negligible nominal sigma: nominal, but not usable
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.marker);
        const Calibrated cal(ScdBuilder()
                                 .nominalMarker(tc.marker)
                                 .zroTerms(-0.002f, 0.003f)
                                 .zroNominalSigma(tc.nominalSigma)
                                 .zroInitSigma(-0.2f)
                                 .zroAging(0.5f)
                                 .zroTempCoef(1e-5f, -3e-4f, 2e-4f));
        const auto& o = cal.out();
        EXPECT_TRUE(o.isNominalCal);
        EXPECT_EQ(o.nominalLevel, tc.expectedLevel);
        EXPECT_EQ(o.zroNominalSigma, tc.expectedSigma);
        EXPECT_EQ(o.zroInitSigma, 0.2f);
        EXPECT_EQ(o.agingRate, 0.005f);
        EXPECT_EQ(o.zroMinTerm, 0.002f);
        EXPECT_EQ(o.zroTempCoef, 3e-4f);
        EXPECT_EQ(cal.cal.isNominal(), tc.isNominal);
    }
}

TEST(FixedPointCal, UnitCalibrationTakesTheLargestUncertainty)
{
    const Calibrated cal(ScdBuilder()
                             .zroTerms(0.004f, 0.003f)
                             .deviceKind(1)
                             .zroTermKind1(-0.001f)
                             .zroNominalSigma(0.1f)
                             .zroInitSigma(-0.3f)
                             .zroAging(0.2f)
                             .zroTempCoef(1e-5f, 1e-5f, 1e-5f));
    const auto& o = cal.out();
    EXPECT_FALSE(o.isNominalCal);
    EXPECT_EQ(o.zroNominalSigma, 0.3f);
    EXPECT_EQ(o.zroInitSigma, 1.1f);
    EXPECT_EQ(o.agingRate, 3.6669e-5f);
    EXPECT_EQ(o.zroMinTerm, 0.001f);          // device kind 1 consults its own term
    EXPECT_EQ(o.zroTempCoef, 0.00024414063f); // at least 2^-12
    EXPECT_EQ(o.deviceKind, 1);
}

TEST(FixedPointCal, NominalLevelOfAnEarlierScdDoesNotSurviveInit)
{
    FixedPointCal cal;
    cal.init(ScdBuilder().nominalMarker(-0.25f).zroTerms(0.001f, 0.001f).innards());
    ASSERT_EQ(cal.output().nominalLevel, 0.25f);
    cal.init(ScdBuilder().zroTerms(0.001f, 0.001f).innards());
    EXPECT_FALSE(cal.output().isNominalCal);
    EXPECT_EQ(cal.output().nominalLevel, 0.0f);
}

TEST(FixedPointCal, DeviceKindKeepsItsFlagBits)
{
    const Calibrated cal(ScdBuilder().deviceKind(12.7f));
    EXPECT_EQ(cal.out().deviceKind, 12);
}

TEST(FixedPointCal, FullScalesAreTheLargestConvertedMagnitudes)
{
    const Calibrated cal(ScdBuilder().accelMatrix(19.6133f * I).gyroMatrix(0.001f * I).gyroOffset(-7, 0, 0));
    EXPECT_FLOAT_EQ(cal.out().accFullScale, 32767.0f / 32768.0f * 19.6133f);
    EXPECT_FLOAT_EQ(cal.out().rsFullScale, 32760.0f * 0.001f);
    EXPECT_FLOAT_EQ(cal.out().magFullScale, 4096.0f * c); // variant 3: x feeds output y
}

TEST(FixedPointCal, MagnetometerFullScaleStartsFromTheOffsetFreeProbe)
{
    const Calibrated cal(ScdBuilder().variant(24601).magMatrix(I).magOffset(100.5f, -3.25f, 0));
    // Probe (4096 - 100, 4, 0) plus the offset.
    EXPECT_FLOAT_EQ(cal.out().magFullScale, std::hypot(4096.5f, 0.75f));
}

TEST(FixedPointCal, FullScaleNeverReachesTheUnknownMark)
{
    // An offset beyond the 16-bit range puts the probe at its end: the sample
    // is unusable and its "unknown" components are limited below 2^31.
    const Calibrated cal(ScdBuilder().variant(24601).magMatrix(I).magOffset(-1e9f, 0, 0));
    EXPECT_LT(cal.out().magFullScale, 2147483648.0f);
    EXPECT_EQ(cal.out().magFullScale, 2147483520.0f);
}

TEST(FixedPointCal, VerifyAndInitRefusesABadScdAndKeepsItsCrcOtherwise)
{
    FixedPointCal cal;
    scdGen4Float_s scd = ScdBuilder().period(0.004).build();
    scd.checkWord += 1;
    EXPECT_EQ(cal.verifyAndInit(&scd.head), -13);
    EXPECT_EQ(cal.output().period, 0.0f);
    EXPECT_EQ(cal.verifyAndInit(nullptr), -13);

    scd.checkWord -= 1;
    EXPECT_EQ(cal.verifyAndInit(&scd.head), 0);
    EXPECT_EQ(cal.output().period, 0.004f);
    EXPECT_EQ(cal.output().scdCrc, crc32_process(&scd, 260));

    // init on the fields alone leaves the CRC of the SCD that was verified.
    cal.init(ScdBuilder().innards());
    EXPECT_EQ(cal.output().scdCrc, crc32_process(&scd, 260));
}

TEST(FixedPointCal, IdentityReorientationChangesNothing)
{
    FixedPointCal cal;
    cal.init(ScdBuilder()
                 .accelMatrix(matrixOf({{1, 3.0f}, {5, -2.0f}}))
                 .gyroMatrix(0.001f * I)
                 .gyroAccelSensitivity(matrixOf({{6, 0.1f}}))
                 .innards());
    const FixedPointCal::Output before = cal.output();
    cal.applyReorientation(Quaternion::identity());
    expectMatrixEq(cal.output().accMatrix, before.accMatrix);
    expectMatrixEq(cal.output().rsMatrix, before.rsMatrix);
    expectMatrixEq(cal.output().rsAccSensMatrix, before.rsAccSensMatrix);
    expectMatrixEq(cal.output().magMatrix, before.magMatrix);
}

TEST(FixedPointCal, ReorientationTurnsEveryMatrixIntoTheNewFrame)
{
    FixedPointCal cal;
    // Accelerometer input x feeds output y; variant 7 magnetometer.
    cal.init(ScdBuilder()
                 .variant(7)
                 .accelMatrix(matrixOf({{1, 1.0f}}))
                 .accelOffset(0.5f, 0, 0)
                 .gyroMatrix(I)
                 .gyroNoise(1, 2, 3)
                 .innards());
    const FixedPointCal::Output before = cal.output();
    const float h = std::sqrt(0.5f);
    cal.applyReorientation(Quaternion{Fp32(h), Fp32(0.0f), Fp32(0.0f), Fp32(h)}); // 90 degrees about z
    const auto& o = cal.output();

    Matrix3 r;
    Quaternion{Fp32(h), Fp32(0.0f), Fp32(0.0f), Fp32(h)}.asDcm(r);
    // Row 0 of the accelerometer matrix, (0, 1, 0), becomes row 1 of R.
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(o.accMatrix[j].value(), r[3 + j].value());
    expectMatrixEq(o.rsMatrix, r);
    expectMatrixEq(o.magMatrix, before.magMatrix * r);
    EXPECT_EQ(o.accOffset, before.accOffset);
    EXPECT_EQ(o.rsNoise, before.rsNoise);
    EXPECT_EQ(o.rsFullScale, before.rsFullScale);
}

} // namespace
