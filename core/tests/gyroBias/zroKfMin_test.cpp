#include "gyroBias/ZroKfMin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "biasCorrectRig.h"

namespace vnx::biastest {
namespace {

using Static = ZroKfMin::StaticCalConstants_t;
using Varying = ZroKfMin::TimeVaryingConstants_t;

constexpr float kUnknown = 2147483648.0f;
constexpr float kNoTemperature = -256.0f;

/// Gyroscope with one count = 2^-10 rad/s and noise 8 counts: rsNoise is
/// exactly 2^-7, so rFloor is exactly 2^-14.
ScdBuilder exactNoiseScd()
{
    return presenterScd().gyroMatrix((1.0f / 1024.0f) * I).gyroNoise(8, 8, 8);
}

ScdBuilder nominalScd()
{
    return presenterScd().nominalMarker(-0.02f).zroNominalSigma(0.05f).zroInitSigma(0.05f);
}

struct Kf
{
    explicit Kf(const ScdBuilder& scd, KfRole_e role = KF_ROLE_MAIN, std::uint8_t channels = 3)
        : cal(scd.calibration()), filter(role)
    {
        constants.init(cal, channels);
        filter.init(cal, constants);
    }
    Varying tv(float tempChange, float tempRate, float aging = 0.0f) const
    {
        return Varying(cal, constants, Fp32(tempChange), Fp32(tempRate), Fp32(aging), 0);
    }

    FixedPointCal::Output cal;
    Static constants{};
    ZroKfMin filter;
};

dcdAlg4MinFixedInnards_s storedState(std::uint32_t state, float zro, float variance,
                                     float temperature = 25.0f)
{
    dcdAlg4MinFixedInnards_s d;
    dcdAlg4MinFixedInnardsSetEmpty(&d);
    for (int c = 0; c < 3; ++c) {
        d.zro[c] = zro;
        d.zroVariance[c] = variance;
        d.zro2[c] = -zro;
    }
    d.temperature = temperature;
    d.state = state;
    return d;
}

const bool kNoSkip[3] = {false, false, false};

// --- constants -------------------------------------------------------------

TEST(ZroKfMinConstants, PresenterAt125HzWithoutNominalLevel)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    Static k{};
    k.init(cal);
    EXPECT_FLOAT_EQ(k.rFloor[0].value(), 4e-6f); // 0.002^2
    EXPECT_FLOAT_EQ(k.pScale.value(), 0.05f);    // 20 samples in 0.16 s
    EXPECT_FLOAT_EQ(k.pOnTable[2].value(), 2e-7f);
    EXPECT_EQ(k.zroStep.value(), 0.0f);
    EXPECT_EQ(k.gainFloor.value(), 0.0f);
    EXPECT_EQ(k.qNominal.value(), 0.0f);
    EXPECT_EQ(k.rateSamples, 125);
    EXPECT_FLOAT_EQ(k.pFloorPhase1.value(), 0.01f / 124.0f);
    EXPECT_FLOAT_EQ(k.weightFloor.value(), 0.008f / 25.0f);
    EXPECT_FLOAT_EQ(k.tempRateFloor.value(), 0.05f * std::sqrt(0.016f));
    EXPECT_EQ(k.agingLimit, 0xFFFFFFFFu);
    // Quiet gyroscope: three times its noise.
    EXPECT_FLOAT_EQ(k.consistencyLimit.value(), 0.006f);
    // Without a nominal level the drift rule gives 0: one second of samples
    // (1 / 0.008f is just below 125).
    EXPECT_EQ(k.gapSamples, static_cast<std::int32_t>(std::floor(cal.rate)));
    EXPECT_GE(k.gapSamples, 124);
}

TEST(ZroKfMinConstants, NominalLevelSetsGapStepAndCaps)
{
    const FixedPointCal::Output cal = nominalScd().calibration();
    ASSERT_FLOAT_EQ(cal.nominalLevel, 0.02f);
    Static k{};
    k.init(cal);
    EXPECT_FLOAT_EQ(k.driftPerPeriod8.value(), 20.0f);
    EXPECT_EQ(k.gapSamples, static_cast<std::int32_t>(std::floor(20.0f / 0.0003f)));
    EXPECT_FLOAT_EQ(k.zroStep.value(), 0.002f); // min(0.1 x level, term / 2)
    EXPECT_FLOAT_EQ(k.gainFloor.value(), 0.002f * 0.31830987f * 0.008f);
    EXPECT_FLOAT_EQ(k.qNominal.value(), 0.04f * 0.04f / 1000.0f);
    EXPECT_FLOAT_EQ(k.nominalSq4.value(), 0.0016f);
}

TEST(ZroKfMinConstants, NoisyGyroscopeJudgesTablesByTheNominalLevel)
{
    Static k{};
    k.init(nominalScd().gyroNoise(4, 4, 4).calibration()); // 5 x 0.004 > 0.017
    EXPECT_FLOAT_EQ(k.consistencyLimit.value(), 0.02f);
}

TEST(ZroKfMinConstants, TwoChannelsReadYAndZWithoutTableVarianceFloor)
{
    // Axis x noisy and tiny noise on y and z.
    const FixedPointCal::Output cal = presenterScd().gyroNoise(100, 0.01f, 0.02f).calibration();
    Static three{};
    three.init(cal, 3);
    Static two{};
    two.init(cal, 2);
    EXPECT_FLOAT_EQ(two.rFloor[0].value(), 5.9604645e-8f); // 1e-10 lifted to 2^-24
    EXPECT_FLOAT_EQ(two.pOnTable[0].value(), 5.9604645e-8f * 0.05f);
    EXPECT_EQ(two.rFloor[2].value(), 0.0f);
    // With three channels the table variance is at least 2^-28.
    EXPECT_FLOAT_EQ(three.pOnTable[1].value(), 3.7252903e-9f);
    // The noisy x axis does not count with two channels, but still sets the
    // limit through the largest noise. With three channels it would judge
    // tables by the nominal level, which a per-unit calibration does not
    // have: three times the noise then too, not a limit of 0 that no table
    // offset could meet.
    EXPECT_FLOAT_EQ(two.consistencyLimit.value(), 0.3f);
    EXPECT_FLOAT_EQ(three.consistencyLimit.value(), 0.3f);
}

TEST(ZroKfMinConstants, TimeVaryingWordsFollowTemperatureAndAging)
{
    const FixedPointCal::Output cal = nominalScd().calibration();
    Static k{};
    k.init(cal);

    const Varying still(cal, k, Fp32(2.0f), Fp32(0.0f), Fp32(1e-4f), 0);
    EXPECT_EQ(still.qPerSample.value(), 0.0f);
    EXPECT_FLOAT_EQ(still.zroSpan.value(), 0.02f); // 2 x 0.0003 + 1e-4, lifted to the level
    EXPECT_EQ(still.gainCapPhase3.value(), k.gainFloor.value());
    EXPECT_EQ(still.pCapPhase3.value(), k.qNominal.value());
    EXPECT_FLOAT_EQ(still.outlierLimit.value(), std::sqrt(64.0f * 0.02f));

    const Varying unknown(cal, k, Fp32(kNoTemperature), Fp32(0.125f), Fp32(0.0f), 0);
    EXPECT_FLOAT_EQ(unknown.zroSpan.value(), 0.2f); // 4 x nominal sigma
    const float drift = (0.125f * 0.0003f + 0.02f) * 0.016f;
    EXPECT_FLOAT_EQ(unknown.qPerSample.value(), drift * drift);
    // n = min(8, 0.02 / (2 x 0.125 x 0.0003), max(4, 0.002 / (0.125 x 0.0003))) = 8.
    EXPECT_FLOAT_EQ(unknown.gainCapPhase3.value(), 0.008f / 8.0f);
}

TEST(ZroKfMinConstants, WithoutNominalLevelTheRunningCapsFallAway)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    Static k{};
    k.init(cal);
    const Varying tv(cal, k, Fp32(1.0f), Fp32(0.125f), Fp32(0.0f), 0);
    EXPECT_TRUE(std::isinf(tv.gainCapPhase3.value()));
    EXPECT_TRUE(std::isnan(tv.pCapPhase3.value()));

    // Running phase: P and K pass unchanged by the caps.
    Kf kf(presenterScd());
    kf.filter.processDeviceOnTable(tv, true, v3(0, 0, 0));
    ASSERT_EQ(kf.filter.phase(), ZroKfMin::KF_PHASE_RUNNING);
    const Fp32 p = kf.filter.p()[0] + tv.qPerSample;
    const Vector3 rVar = v3(3 * p.value(), 1, 1);
    kf.filter.updateWithConstraint(tv, v3(0.01f, 0, 0), v3(0, 0, 0), rVar, kNoSkip);
    const Fp32 k0 = ZroKfMin::computeKalmanGain(p, rVar[0]);
    EXPECT_EQ(kf.filter.x()[0].value(), (k0 * Fp32(0.01f)).value());
    EXPECT_EQ(kf.filter.p()[0].value(), ((Fp32(1.0f) - k0) * p).value());
}

// --- one filter step -------------------------------------------------------

struct StartGainCase
{
    const char* name;
    float p;      // variance before the step (after the phase-1 floor)
    float rOverP; // R as a multiple of P
    float error;  // r - x
    float expectedK;
};

class StartPhaseGain : public ::testing::TestWithParam<StartGainCase>
{
};

TEST_P(StartPhaseGain, IsHeldBetweenWeightAndCap)
{
    const StartGainCase& c = GetParam();
    Kf kf(exactNoiseScd());
    const Varying tv = kf.tv(0.0f, 0.0f); // no process noise
    ASSERT_EQ(kf.filter.p()[0].value(), 1.0f / 16384.0f);
    kf.filter.addPDueToPowerGap(Fp32(c.p - 1.0f / 16384.0f));
    ASSERT_EQ(kf.filter.p()[0].value(), c.p);

    const Vector3 rVar = v3(c.p * c.rOverP, c.p * c.rOverP, c.p * c.rOverP);
    kf.filter.updateWithConstraint(tv, v3(c.error, 0, 0), v3(0.01f, 0.01f, 0.01f), rVar, kNoSkip);
    EXPECT_FLOAT_EQ(kf.filter.x()[0].value(), c.expectedK * c.error) << c.name;
    EXPECT_FLOAT_EQ(kf.filter.p()[0].value(), (1.0f - c.expectedK) * c.p) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    ZroKfMin, StartPhaseGain,
    ::testing::Values(StartGainCase{"gain 0.5 is capped at 0.149", 0.001f, 1.0f, 0.01f, 0.149f},
                      StartGainCase{"gain 0.001 is lifted to the weight", 0.001f, 999.0f, 0.01f, 0.01f},
                      // e^2 = 64 P: 0.5 x 16/64 = 0.125, between weight and cap.
                      StartGainCase{"a 4-sigma innovation scales the gain", 1.0f / 4096.0f, 1.0f, 0.125f,
                                    0.125f}),
    [](const ::testing::TestParamInfo<StartGainCase>& info) { return std::to_string(info.index); });

TEST(ZroKfMin, RunningWithSteadyTemperatureUsesTheGainFloor)
{
    Kf kf(nominalScd());
    const Varying tv = kf.tv(1.0f, 0.0f);
    kf.filter.processDeviceOnTable(tv, true, v3(0, 0, 0));
    ASSERT_EQ(kf.filter.phase(), ZroKfMin::KF_PHASE_RUNNING);
    ASSERT_GT(kf.filter.p()[0].value(), tv.qNominal.value());

    for (float rVar : {1e-9f, 1e3f}) {
        ZroKfMin f(KF_ROLE_MAIN);
        f = kf.filter;
        f.updateWithConstraint(tv, v3(0.01f, 0, 0), v3(0, 0, 0), v3(rVar, rVar, rVar), kNoSkip);
        EXPECT_FLOAT_EQ(f.x()[0].value(), tv.gainFloor.value() * 0.01f) << rVar;
        EXPECT_FLOAT_EQ(f.p()[0].value(), (1.0f - tv.gainFloor.value()) * tv.qNominal.value()) << rVar;
    }
}

TEST(ZroKfMin, SkippedChannelGetsNoProcessNoiseButIsUpdated)
{
    Kf kf(presenterScd());
    kf.filter.setDcd(kf.cal, kf.constants, storedState(12, 0.0f, 1e-5f));
    ASSERT_EQ(kf.filter.phase(), ZroKfMin::KF_PHASE_RESTORED);
    const Varying tv = kf.tv(1.0f, 0.5f, 1e-3f);
    ASSERT_GT(tv.qPerSample.value(), 0.0f);
    const bool skip[3] = {true, false, false};
    const Vector3 rVar = v3(1e-5f, 1e-5f, 1e-5f);
    kf.filter.updateWithConstraint(tv, v3(0.001f, 0.001f, 0), v3(0, 0, 0), rVar, skip);

    const Fp32 p0(1e-5f);
    const Fp32 k0 = ZroKfMin::computeKalmanGain(p0, rVar[0]);
    EXPECT_EQ(kf.filter.x()[0].value(), (k0 * Fp32(0.001f)).value());
    EXPECT_EQ(kf.filter.p()[0].value(), ((Fp32(1.0f) - k0) * p0).value());
    const Fp32 p1 = p0 + tv.qPerSample + tv.qPhase2;
    const Fp32 k1 = ZroKfMin::computeKalmanGain(p1, rVar[1]);
    EXPECT_EQ(kf.filter.p()[1].value(), ((Fp32(1.0f) - k1) * p1).value());
}

TEST(ZroKfMin, VarianceNeverDropsBelowTwoPowMinus28)
{
    Kf kf(presenterScd());
    kf.filter.setDcd(kf.cal, kf.constants, storedState(12, 0.0f, 1e-12f));
    kf.filter.updateWithConstraint(kf.tv(0, 0), v3(0, 0, 0), v3(0, 0, 0), v3(1e-12f, 1e-12f, 1e-12f),
                                   kNoSkip);
    EXPECT_EQ(kf.filter.p()[0].value(), 3.7252903e-9f);
}

TEST(ZroKfMin, KalmanGainStaysBelowOne)
{
    EXPECT_EQ(ZroKfMin::computeKalmanGain(Fp32(0.0f), Fp32(0.0f)).value(), 0.99999988f);
    EXPECT_EQ(ZroKfMin::computeKalmanGain(Fp32(1.0f), Fp32(1e-12f)).value(), 0.99999988f);
    EXPECT_EQ(ZroKfMin::computeKalmanGain(Fp32(1.0f), Fp32(3.0f)).value(), 0.25f);
}

TEST(ZroKfMin, MeasurementVarianceFromWindowSpreadAndError)
{
    Kf kf(presenterScd());
    const Varying tv = kf.tv(0.0f, 0.125f, 1e-4f);
    CalcPeak2Peak::Output stats{};
    Vector3 rVar{};
    bool skip[3] = {true, true, true};

    kf.filter.calcRsVar(tv, v3(0, 0, 0), v3(0, 0, 0), stats, rVar, skip);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(rVar[c].value(), kUnknown) << "statistics not valid";
        EXPECT_FALSE(skip[c]);
    }

    stats.valid = 1;
    stats.spread[0] = Fp32(0.01f);
    stats.spread[1] = Fp32(0.003f);
    stats.spread[2] = Fp32(0.01f);
    // Start phase: half the spread, squared, at least rFloor. The shaken z
    // accelerometer axis marks the y rate; the x rate is never marked.
    kf.filter.calcRsVar(tv, v3(0, 0, 0), v3(1, 1, 0.07f), stats, rVar, skip);
    EXPECT_FLOAT_EQ(rVar[0].value(), 2.5e-5f);
    EXPECT_FLOAT_EQ(rVar[1].value(), 4e-6f);
    EXPECT_FALSE(skip[0]);
    EXPECT_TRUE(skip[1]);
    EXPECT_TRUE(skip[2]) << "z looks at the y accelerometer axis";

    // Restored: an estimate beyond the outlier limit is not measured, one
    // between the span and the limit gets R inflated by e^2 / span, one
    // within the span plain (spread + e)^2.
    kf.filter.setDcd(kf.cal, kf.constants, storedState(12, 0.0f, 1e-5f));
    const Varying aged = kf.tv(0.0f, 0.125f, 1e-3f);
    ASSERT_NEAR(aged.zroSpan.value(), 1e-3f, 1e-9f);
    kf.filter.calcRsVar(aged, v3(0.4f, 0.0005f, 0.01f), v3(0, 0, 0), stats, rVar, skip);
    EXPECT_EQ(rVar[0].value(), kUnknown);
    EXPECT_TRUE(skip[0]);
    EXPECT_FLOAT_EQ(rVar[1].value(), (0.003f + 0.0005f) * (0.003f + 0.0005f));
    EXPECT_FALSE(skip[1]);
    const float inflated = 0.01f + 0.01f * 0.01f / aged.zroSpan.value();
    EXPECT_FLOAT_EQ(rVar[2].value(), inflated * inflated);
    EXPECT_FALSE(skip[2]);
}

TEST(ZroKfMin, PowerGapWidensOnlyAStartingFilter)
{
    Kf kf(presenterScd());
    kf.filter.addPDueToPowerGap(Fp32(1.0f));
    EXPECT_FLOAT_EQ(kf.filter.p()[1].value(), 1.000004f);

    kf.filter.setDcd(kf.cal, kf.constants, storedState(12, 0.0f, 1e-5f));
    kf.filter.addPDueToPowerGap(Fp32(1.0f));
    EXPECT_EQ(kf.filter.p()[1].value(), 1e-5f);

    kf.filter.processDeviceOnTable(kf.tv(0, 0), true, v3(0, 0, 0));
    ASSERT_EQ(kf.filter.phase(), ZroKfMin::KF_PHASE_RUNNING);
    kf.filter.addPDueToPowerGap(Fp32(1.0f));
    EXPECT_EQ(kf.filter.p()[1].value(), 1e-5f);
}

// --- stored state ----------------------------------------------------------

struct RestoreCase
{
    KfRole_e role;
    std::uint32_t state;
    ZroKfMin::KfPhase_e phase;
    float x; // restored offset, 0 for a restart
};

TEST(ZroKfMin, RestoreFollowsTheRole)
{
    const RestoreCase cases[] = {
        {KF_ROLE_MAIN, 11, ZroKfMin::KF_PHASE_RESTORED, 0.02f},
        {KF_ROLE_CHECK_RESTORED, 11, ZroKfMin::KF_PHASE_RESTORED, 0.02f},
        {KF_ROLE_CHECK, 11, ZroKfMin::KF_PHASE_START, 0.0f},
        {KF_ROLE_CHECK, 5, ZroKfMin::KF_PHASE_START, 0.0f},
        {KF_ROLE_CHECK, 19, ZroKfMin::KF_PHASE_START, 0.0f},
        {KF_ROLE_CHECK, 12, ZroKfMin::KF_PHASE_RESTORED, 0.02f},
        {KF_ROLE_CHECK, 28, ZroKfMin::KF_PHASE_RESTORED, 0.02f},
        {KF_ROLE_CHECK2, 28, ZroKfMin::KF_PHASE_START, 0.0f},
    };
    for (const RestoreCase& c : cases) {
        Kf kf(presenterScd(), c.role);
        kf.filter.setDcd(kf.cal, kf.constants, storedState(c.state, 0.02f, 3e-6f));
        EXPECT_EQ(kf.filter.phase(), c.phase) << c.role << " " << c.state;
        EXPECT_EQ(kf.filter.x()[2].value(), c.x) << c.role << " " << c.state;
        EXPECT_EQ(kf.filter.p()[2].value(), c.x != 0.0f ? 3e-6f : kf.constants.rFloor[2].value());
        EXPECT_EQ(kf.filter.confidenceLevel(), 0);
    }
}

TEST(ZroKfMin, StoredStateBytesFollowTheRole)
{
    for (KfRole_e role : {KF_ROLE_MAIN, KF_ROLE_CHECK, KF_ROLE_CHECK2, KF_ROLE_CHECK_RESTORED}) {
        Kf kf(presenterScd(), role);
        kf.filter.setDcd(kf.cal, kf.constants, storedState(28, 0.03f, 2e-6f));
        dcdAlg4MinFixedInnards_s before;
        std::memset(&before, 0xA5, sizeof before);
        dcdAlg4MinFixedInnards_s after = before;
        kf.filter.getDcd(after);
        const unsigned char* b = reinterpret_cast<const unsigned char*>(&before);
        const unsigned char* a = reinterpret_cast<const unsigned char*>(&after);
        for (std::size_t i = 0; i < sizeof before; ++i) {
            const bool written =
                (role == KF_ROLE_MAIN && i < 36) || (role == KF_ROLE_CHECK && i >= 24 && i < 36);
            if (!written) {
                EXPECT_EQ(a[i], b[i]) << "role " << role << " byte " << i;
            }
        }
        if (role == KF_ROLE_MAIN) {
            EXPECT_EQ(after.zro[0], 0.03f);
            EXPECT_EQ(after.zroVariance[1], 2e-6f);
            EXPECT_EQ(after.zro2[2], 0.03f);
        }
        if (role == KF_ROLE_CHECK) {
            EXPECT_EQ(after.zro2[0], 0.03f);
        }
    }
}

TEST(ZroKfMin, CopyTakesStateButKeepsRole)
{
    Kf a(presenterScd(), KF_ROLE_MAIN);
    Kf b(presenterScd(), KF_ROLE_CHECK2);
    a.filter.processDeviceOnTable(a.tv(0, 0), true, v3(0.1f, 0.2f, 0.3f));
    b.filter = a.filter;
    EXPECT_EQ(b.filter.role(), KF_ROLE_CHECK2);
    EXPECT_EQ(b.filter.phase(), ZroKfMin::KF_PHASE_RUNNING);
    EXPECT_EQ(b.filter.confidenceLevel(), 1);
    EXPECT_EQ(b.filter.x(), a.filter.x());
    EXPECT_EQ(b.filter.p(), a.filter.p());
}

// --- table offsets ----------------------------------------------------------

TEST(ZroKfMin, ConsistentTableOffsetsRaiseConfidenceToThree)
{
    Kf kf(presenterScd());
    const Varying tv = kf.tv(0, 0);
    const Vector3 first = v3(0.01f, 0.02f, 0.03f);
    kf.filter.processDeviceOnTable(tv, true, first);
    kf.filter.processDeviceOnTable(tv, true, v3(0.011f, 0.021f, 0.031f));
    kf.filter.processDeviceOnTable(tv, true, v3(0.012f, 0.022f, 0.032f));
    kf.filter.processDeviceOnTable(tv, true, v3(0.013f, 0.023f, 0.033f));
    EXPECT_EQ(kf.filter.confidenceLevel(), 3);
    EXPECT_EQ(kf.filter.phase(), ZroKfMin::KF_PHASE_RUNNING);
    EXPECT_EQ(kf.filter.x(), first);
}

TEST(ZroKfMin, InconsistentTableOffsetRestartsByRole)
{
    struct Case
    {
        KfRole_e role;
        std::uint8_t confidence;
        ZroKfMin::KfPhase_e phase;
    };
    const Case cases[] = {{KF_ROLE_MAIN, 1, ZroKfMin::KF_PHASE_RUNNING},
                          {KF_ROLE_CHECK, 0, ZroKfMin::KF_PHASE_RESTORED},
                          {KF_ROLE_CHECK2, 0, ZroKfMin::KF_PHASE_START},
                          {KF_ROLE_CHECK_RESTORED, 3, ZroKfMin::KF_PHASE_RUNNING}};
    for (const Case& c : cases) {
        Kf kf(presenterScd(), c.role);
        const Varying tv = kf.tv(0, 0);
        for (int i = 0; i < 3; ++i)
            kf.filter.processDeviceOnTable(tv, true, v3(0, 0, 0));
        ASSERT_EQ(kf.filter.confidenceLevel(), 3);
        const Vector3 m = v3(0.05f, -0.05f, 0.01f);
        kf.filter.processDeviceOnTable(tv, false, m);
        EXPECT_EQ(kf.filter.confidenceLevel(), c.confidence) << c.role;
        EXPECT_EQ(kf.filter.phase(), c.phase) << c.role;
        EXPECT_EQ(kf.filter.x(), m) << c.role;
        EXPECT_EQ(kf.filter.p()[1].value(), kf.constants.pOnTable[1].value()) << c.role;
    }
}

TEST(ZroKfMin, DifferenceAtTheConsistencyLimitIsConsistent)
{
    Kf kf(presenterScd());
    const Varying tv = kf.tv(0, 0);
    const float limit = tv.consistencyLimit.value();
    ASSERT_GT(limit, 0.0f);
    bool consistent = false;
    Vector3 diff{};
    kf.filter.isZroConsistent(tv, v3(limit, -limit, 0), consistent, diff);
    EXPECT_TRUE(consistent);
    EXPECT_EQ(diff[1].value(), limit);
    kf.filter.isZroConsistent(tv, v3(0, 0, std::nextafter(limit, 1.0f)), consistent, diff);
    EXPECT_FALSE(consistent);
}

TEST(ZroKfMin, TwoChannelsLeaveTheThirdSlotAlone)
{
    Kf kf(presenterScd(), KF_ROLE_MAIN, 2);
    const Varying tv = kf.tv(0, 0);
    kf.filter.processDeviceOnTable(tv, false, v3(0.1f, 0.2f, 0.3f));
    EXPECT_EQ(kf.filter.x(), v3(0.1f, 0.2f, 0.0f));
    bool consistent = false;
    Vector3 diff{};
    kf.filter.isZroConsistent(tv, v3(0.1f, 0.2f, 5.0f), consistent, diff);
    EXPECT_TRUE(consistent);
    EXPECT_EQ(diff[2].value(), 0.0f);
}

} // namespace
} // namespace vnx::biastest
