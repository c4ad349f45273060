#include "gyroBias/BiasCorrectMin.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "biasCorrectRig.h"
#include "common/NodeManager.h"
#include "log/Logger.h"

namespace vnx::biastest {
namespace {

constexpr auto kStart = ZroKfMin::KF_PHASE_START;
constexpr auto kRestored = ZroKfMin::KF_PHASE_RESTORED;
constexpr auto kRunning = ZroKfMin::KF_PHASE_RUNNING;

const float kOffset10mrad[3] = {10, 10, 10}; // counts of 0.001 rad/s

/// One minute at 125 Hz.
constexpr int kOneMinute = 7500;

dcdAlg4MinFixedInnards_s storedState(std::uint32_t state, float zro, float temperature = 25.0f)
{
    dcdAlg4MinFixedInnards_s d;
    dcdAlg4MinFixedInnardsSetEmpty(&d);
    for (int c = 0; c < 3; ++c) {
        d.zro[c] = zro;
        d.zroVariance[c] = 1e-6f;
        d.zro2[c] = -zro;
    }
    d.temperature = temperature;
    d.state = state;
    return d;
}

bool allConverged(const BiasCorrectMin& b)
{
    for (const ZroKfMin* f : {&b.mainEstimator(), &b.checkEstimator(), &b.check2Estimator()})
        if (f->phase() != kRunning || f->confidenceLevel() != 3)
            return false;
    return true;
}

// --- learning state --------------------------------------------------------

TEST(BiasCorrectMin, WorseStateComparison)
{
    struct Case
    {
        std::uint32_t a, b;
        bool worse;
    };
    const Case cases[] = {{12, 28, false}, {11, 28, false}, {10, 11, true}, {6, 9, true},
                          {9, 6, false},   {1, 1, false},   {1, 5, true},   {28, 12, false}};
    for (const Case& c : cases)
        EXPECT_EQ(BiasCorrectMin::isDcdWorseThan(c.a, c.b), c.worse) << c.a << " " << c.b;

    EXPECT_TRUE(BiasCorrectMin::isDcdStateBad(storedState(28, 0, -256.0f)));
    EXPECT_TRUE(BiasCorrectMin::isDcdStateBad(storedState(4, 0)));
    EXPECT_TRUE(BiasCorrectMin::isDcdStateBad(storedState(29, 0)));
    EXPECT_FALSE(BiasCorrectMin::isDcdStateBad(storedState(5, 0)));
}

TEST(BiasCorrectMin, StateValidityChecksTheOpenValuesToo)
{
    struct Case
    {
        std::uint32_t state;
        ZroKfMin::KfPhase_e pm;
        std::uint8_t cm;
        ZroKfMin::KfPhase_e pc;
        std::uint8_t cc;
        ZroKfMin::KfPhase_e p2;
        std::uint8_t c2;
        bool valid;
    };
    const Case cases[] = {
        {1, kStart, 0, kStart, 0, kStart, 0, true},
        {1, kStart, 1, kStart, 0, kStart, 0, false}, // "Main" at confidence 0 in states 1-4
        {2, kStart, 0, kRunning, 1, kStart, 0, true},
        {2, kStart, 0, kRunning, 2, kStart, 0, false},
        {6, kRunning, 1, kRestored, 0, kStart, 0, true},
        {6, kRunning, 1, kRestored, 1, kStart, 0, false},
        {12, kRunning, 3, kRestored, 0, kStart, 0, true},
        {12, kRunning, 3, kRestored, 0, kRestored, 0, false},
        {16, kRunning, 3, kRunning, 3, kStart, 0, true},
        {28, kRunning, 3, kRunning, 3, kRunning, 3, true},
        {28, kRunning, 3, kRunning, 3, kRunning, 2, false},
        {27, kRunning, 3, kRunning, 3, kRunning, 3, false},
        {0, kRunning, 0, kStart, 0, kStart, 0, false},
        {29, kRunning, 3, kRunning, 3, kRunning, 3, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(isStateValid(KF_ROLE_MAIN, c.state, c.pm, c.cm, c.pc, c.cc, c.p2, c.c2), c.valid)
            << c.state;
}

TEST(BiasCorrectMin, FreshObjectOffersTheEmptyStateUntilMainRuns)
{
    BiasRig rig(presenterScd());
    dcdAlg4MinFixedInnards_s d;
    EXPECT_TRUE(rig.bias.getDcd(d));
    EXPECT_EQ(d.state, 1u);
    EXPECT_EQ(d.temperature, 0.0f);

    int n = 0;
    for (; n < 200 && rig.bias.mainEstimator().phase() != kRunning; ++n) {
        EXPECT_FALSE(rig.bias.isDcdReady()) << n;
        rig.step(kOffset10mrad, 0.0f);
    }
    ASSERT_EQ(rig.bias.mainEstimator().phase(), kRunning);
    EXPECT_TRUE(rig.bias.isDcdReady());

    // Stored: not offered again while nothing changes...
    EXPECT_TRUE(rig.bias.getDcd(d));
    rig.bias.notifyDcdWritten();
    EXPECT_FALSE(rig.bias.isDcdReady());
    // ...until the learning reaches another state.
    rig.run(kOneMinute, kOffset10mrad, 0.0f);
    ASSERT_EQ(rig.bias.getState(), BCM_STATE_BEST);
    EXPECT_TRUE(rig.bias.isDcdReady());
}

TEST(BiasCorrectMin, BestStateOfTwentyEightGivesWayToTwelve)
{
    // A stored state of full confidence whose offset is wrong: the table
    // corrects "Main", while "Check", restored from the stored state, stays
    // far off and restored.
    const dcdAlg4MinFixedInnards_s stored = storedState(28, 0.05f);
    BiasRig rig(presenterScd(), &stored);
    ASSERT_EQ(rig.bias.bestDcd().state, 28u);
    int n = 0;
    for (; n < 1000 && rig.bias.getState() != 12; ++n)
        rig.step(kOffset10mrad, 0.0f);
    ASSERT_EQ(rig.bias.getState(), 12) << "after " << n << " samples";

    dcdAlg4MinFixedInnards_s d;
    EXPECT_TRUE(rig.bias.getDcd(d));
    EXPECT_EQ(d.state, 12u);
    EXPECT_EQ(rig.bias.bestDcd().state, 12u);
    EXPECT_NEAR(d.zro[0], 0.01f, 1e-6f);
    EXPECT_EQ(d.temperature, 25.0f);
}

TEST(BiasCorrectMin, LowerStateDoesNotReplaceABetterBest)
{
    // State 9 stored; a fresh run reaches only state 5 or so first.
    dcdAlg4MinFixedInnards_s stored = storedState(9, 0.01f, -256.0f);
    BiasRig rig(presenterScd(), &stored);
    for (int n = 0; n < 100 && rig.bias.getState() < 5; ++n)
        rig.step(kOffset10mrad, 0.0f);
    ASSERT_GE(rig.bias.getState(), 5);
    ASSERT_LT(rig.bias.getState(), 9);
    dcdAlg4MinFixedInnards_s d;
    EXPECT_FALSE(rig.bias.getDcd(d));
    EXPECT_EQ(d.state, 9u);
    EXPECT_EQ(d.temperature, -256.0f);
}

// --- initialisation ----------------------------------------------------------

TEST(BiasCorrectMin, RestoresTheStoredStateAndItsReference)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    struct Case
    {
        std::uint32_t state;
        float temperature;
        ZroKfMin::KfPhase_e mainPhase;
        float reference; // first offset 0.02, second -0.02
        std::uint32_t keptGap;
    };
    const std::uint32_t fullGap = static_cast<std::uint32_t>(std::floor(double(cal.rate) * 1.4256e7));
    const Case cases[] = {{28, 25.0f, kRestored, 0.02f, fullGap},
                          {12, 25.0f, kRestored, 0.02f, 0xFFFFFFFFu},
                          {9, 25.0f, kRestored, -0.02f, 0xFFFFFFFFu},
                          {27, 25.0f, kRestored, -0.02f, 0xFFFFFFFFu},
                          {28, -256.0f, kStart, 0.02f, fullGap}};
    for (const Case& c : cases) {
        const dcdAlg4MinFixedInnards_s stored = storedState(c.state, 0.02f, c.temperature);
        BiasCorrectMin bias;
        bias.init(cal, &stored, true);
        EXPECT_EQ(bias.mainEstimator().phase(), c.mainPhase) << c.state;
        EXPECT_EQ(bias.mainEstimator().x()[1].value(), c.mainPhase == kRestored ? 0.02f : 0.0f) << c.state;
        EXPECT_EQ(bias.checkEstimator().role(), KF_ROLE_CHECK_RESTORED);
        EXPECT_EQ(bias.checkEstimator().phase(), c.mainPhase);
        EXPECT_EQ(bias.check2Estimator().phase(), kStart);
        EXPECT_EQ(bias.referenceOffset()[2].value(), c.reference) << c.state;
        EXPECT_EQ(bias.referenceTemperature().value(), c.temperature);
        EXPECT_EQ(bias.keptGap(), c.keptGap) << c.state;
        EXPECT_EQ(bias.temperatureMode(), c.mainPhase == kRestored ? 1 : 0);
        EXPECT_TRUE(bias.bestDcdWritten());
        EXPECT_EQ(bias.bestDcd().state, c.state);
    }
}

TEST(BiasCorrectMin, PerUnitSeedStartsFromZeroOffset)
{
    struct Case
    {
        const char* name;
        ScdBuilder scd;
        bool seeded;
    };
    const Case cases[] = {
        {"kind flag 4", presenterScd().deviceKind(4), true},
        // Nominal values but no nominal sigma: the small initial sigma counts.
        {"small initial sigma", presenterScd().nominalMarker(-0.02f).zroInitSigma(0.05f), true},
        {"unit-calibrated", presenterScd(), false},
        {"nominal", presenterScd().nominalMarker(-0.02f).zroNominalSigma(0.05f).zroInitSigma(0.05f), false},
    };
    for (const Case& c : cases) {
        const FixedPointCal::Output cal = c.scd.calibration();
        BiasCorrectMin bias;
        bias.init(cal, nullptr, true);
        EXPECT_EQ(bias.mainEstimator().phase(), c.seeded ? kRestored : kStart) << c.name;
        EXPECT_EQ(bias.mainEstimator().x(), v3(0, 0, 0)) << c.name;
        EXPECT_EQ(bias.mainEstimator().p()[0].value(), bias.constants().rFloor[0].value()) << c.name;
        EXPECT_EQ(bias.bestDcd().state, 1u) << c.name;
    }
}

// --- per sample ----------------------------------------------------------------

TEST(BiasCorrectMin, ConvergedDeviceIsReportedOnTheTableEveryThirtySamples)
{
    BiasRig rig(presenterScd());
    rig.run(kOneMinute, kOffset10mrad);
    ASSERT_TRUE(allConverged(rig.bias));
    std::vector<int> flagged;
    for (int n = 0; n < 300; ++n) {
        const Vector3 mainBefore = rig.bias.mainEstimator().x();
        if (rig.step(kOffset10mrad).onTable) {
            flagged.push_back(n);
            // The table agrees: every filter stays converged.
            EXPECT_TRUE(allConverged(rig.bias));
            EXPECT_EQ(rig.bias.checkEstimator().role(), KF_ROLE_CHECK);
            EXPECT_LT((rig.bias.mainEstimator().x() - mainBefore).infNorm().value(), 1e-4f);
        }
    }
    ASSERT_EQ(flagged.size(), 10u);
    for (std::size_t i = 1; i < flagged.size(); ++i)
        EXPECT_EQ(flagged[i] - flagged[i - 1], 30);
}

TEST(BiasCorrectMin, SaturatedRateSkipsTheEstimation)
{
    BiasRig rig(presenterScd());
    rig.run(100, kOffset10mrad, 0.0f);
    const CalcPeak2Peak::Output statsBefore = rig.bias.statistics();
    const Vector3 xBefore = rig.bias.outputEstimator().x();
    ASSERT_TRUE(statsBefore.valid);

    Interpret::Output fast = rig.sample;
    BiasCorrectMin::Output out{};
    fast.rs = v3(8.71f, 0, 0);
    rig.bias.process(1, 1, fast, out);
    EXPECT_EQ(rig.bias.statistics().spread[0].value(), statsBefore.spread[0].value());
    EXPECT_EQ(rig.bias.outputEstimator().x(), xBefore);
    EXPECT_EQ(out.rate[0].value(), (Fp32(8.71f) - xBefore[0]).value());
    EXPECT_EQ(out.onTable, 0);

    fast.rs = v3(8.7f, 0, 0); // 8.7^2 in single precision is just below 75.69
    rig.bias.process(1, 1, fast, out);
    EXPECT_GT(rig.bias.statistics().spread[0].value(), 8.0f);
}

TEST(BiasCorrectMin, WithoutTemperatureInputTheStateCarriesTemperatureZero)
{
    BiasRig rig(presenterScd().tempScale(0.0f));
    Interpret::Output fast = rig.sample;
    BiasCorrectMin::Output out{};
    fast.rs = v3(9, 0, 0);
    rig.bias.process(0xFFFFFFFFu, 1, fast, out);
    EXPECT_EQ(rig.bias.currentTemperature().value(), -256.0f) << "saturated: no temperature update";
    rig.step(kOffset10mrad, 0.0f);
    EXPECT_EQ(rig.bias.currentTemperature().value(), 0.0f);
    EXPECT_EQ(rig.bias.temperatureMode(), 4);

    rig.run(100, kOffset10mrad, 0.0f);
    const dcdAlg4MinFixedInnards_s d = rig.dcd();
    EXPECT_EQ(d.temperature, 0.0f);
    EXPECT_GE(d.state, 5u);
    EXPECT_EQ(d.state, static_cast<std::uint32_t>(rig.bias.getState()));
}

TEST(BiasCorrectMin, TwoChannelsPassTheXAxisUnchanged)
{
    BiasRig rig(presenterScd(), nullptr, 7, 2);
    const float rate[3] = {40, 20, -30};
    BiasCorrectMin::Output out{};
    for (int n = 0; n < 1000; ++n)
        out = rig.step(rate, 0.0f);
    EXPECT_EQ(out.rate[0].value(), rig.sample.rs[0].value());
    EXPECT_EQ(out.variance[0].value(), 0.0f);
    EXPECT_LT(std::fabs(out.rate[1].value()), 1e-4f);
    EXPECT_LT(std::fabs(out.rate[2].value()), 1e-4f);
    EXPECT_NEAR(rig.bias.mainEstimator().x()[0].value(), 0.02f, 1e-4f) << "channel 0 is the y axis";
    EXPECT_EQ(rig.bias.getState(), BCM_STATE_BEST);
}

// --- pauses --------------------------------------------------------------------

TEST(BiasCorrectMin, WithoutNominalLevelPausesUpToOneSecondArePlainSamples)
{
    BiasRig rig(presenterScd());
    rig.run(kOneMinute, kOffset10mrad, 0.0f);
    ASSERT_EQ(rig.bias.mainEstimator().phase(), kRunning);
    const std::uint32_t oneSecond = static_cast<std::uint32_t>(rig.bias.constants().gapSamples);
    ASSERT_EQ(oneSecond, static_cast<std::uint32_t>(std::floor(rig.cal.rate)));

    // A pause longer than the statistics window restarts the statistics only.
    rig.skip(oneSecond - 1);
    rig.step(kOffset10mrad, 0.0f);
    EXPECT_EQ(rig.bias.mainEstimator().phase(), kRunning);
    EXPECT_FALSE(rig.bias.statistics().valid);

    // One sample more is a gap: the learned state is restored.
    rig.run(100, kOffset10mrad, 0.0f);
    rig.skip(oneSecond);
    rig.step(kOffset10mrad, 0.0f);
    EXPECT_EQ(rig.bias.mainEstimator().phase(), kRestored);
    EXPECT_EQ(rig.bias.keptGap(), oneSecond + 1);
    EXPECT_LT(rig.out.rate.infNorm().value(), 1e-4f);
}

TEST(BiasCorrectMin, ShortPauseBeyondTheWindowRestartsTheStatistics)
{
    BiasRig rig(presenterScd());
    rig.run(100, kOffset10mrad, 0.0f);
    ASSERT_TRUE(rig.bias.statistics().valid);
    rig.skip(9); // delta 10: not more than 0.08 s
    rig.step(kOffset10mrad, 0.0f);
    EXPECT_TRUE(rig.bias.statistics().valid);
    rig.skip(10); // delta 11
    rig.step(kOffset10mrad, 0.0f);
    EXPECT_FALSE(rig.bias.statistics().valid);
}

TEST(BiasCorrectMin, AgingEffectOfAGap)
{
    BiasRig rig(presenterScd());
    const float initSigma = rig.cal.zroInitSigma;
    const float aging = rig.cal.agingRate;
    struct Case
    {
        std::uint32_t gap, step;
        float expected;
    };
    const Case cases[] = {
        {0xFFFFFFFFu, 1, initSigma},
        // 0xFFFFFFFE >= 2 x 0xFFFFFFFF wrapped (2^32 - 2).
        {0xFFFFFFFEu, 2, initSigma},
        {0xFFFFFFFEu, 1, float(0xFFFFFFFEu) * 1e-6f * 0.00027777778f * aging},
        {3600000000u, 1, 3600000000.0f * 1e-6f * 0.00027777778f * aging},
    };
    for (const Case& c : cases) {
        rig.bias.computeAgingEffect(c.gap, c.step);
        EXPECT_FLOAT_EQ(rig.bias.agingEffect().value(), c.expected) << c.gap << " " << c.step;
    }

    // Offset change a temperature drift of 0.125 degC/s (12.5 degC at most)
    // over the gap could cause.
    EXPECT_FLOAT_EQ(rig.bias.predictZROTEffect(1000000u).value(), 0.125f * rig.cal.zroTempCoef);
    EXPECT_FLOAT_EQ(rig.bias.predictZROTEffect(4000000000u).value(), 12.5f * rig.cal.zroTempCoef);

    BiasRig noInput(presenterScd().tempScale(0.0f));
    noInput.bias.computeAgingEffect(1000000u, 1);
    EXPECT_FLOAT_EQ(noInput.bias.referenceTemperature().value(), 0.125f);
    noInput.bias.computeAgingEffect(200000000u, 1);
    EXPECT_EQ(noInput.bias.referenceTemperature().value(), 12.5f);
}

TEST(BiasCorrectMin, InitialVarianceAfterAGap)
{
    BiasRig rig(presenterScd());
    rig.bias.updateInitP(Fp32(-30.0f));
    const float sigma = rig.cal.zroInitSigma + rig.cal.zroTempCoef * 30.0f;
    EXPECT_FLOAT_EQ(rig.bias.initialVariance().value(), sigma * sigma);
    // Only a starting filter takes it.
    EXPECT_FLOAT_EQ(rig.bias.mainEstimator().p()[0].value(), 4e-6f + sigma * sigma);

    BiasRig nominal(presenterScd().nominalMarker(-0.02f).zroNominalSigma(0.05f).zroInitSigma(0.05f));
    nominal.bias.updateInitP(Fp32(80.0f));
    EXPECT_FLOAT_EQ(nominal.bias.initialVariance().value(), 0.0025f);
}

// --- table ---------------------------------------------------------------------

TEST(BiasCorrectMin, TableOffsetNoFilterAcceptsRestartsFromIt)
{
    BiasRig rig(presenterScd());
    rig.run(kOneMinute, kOffset10mrad, 0.0f);
    ASSERT_TRUE(allConverged(rig.bias));
    rig.dcd();
    ASSERT_EQ(rig.bias.bestDcd().state, 28u);

    // The offset jumps by 0.02 rad/s on the axes across gravity, far beyond
    // the consistency limit. (Along gravity such a jump is a slow turn about
    // the vertical as much as an offset, and no table may take it.)
    const float moved[3] = {30, 30, 10};
    int n = 0;
    for (; n < 200 && rig.bias.bestDcd().state != 1; ++n)
        rig.step(moved, 0.0f);
    ASSERT_EQ(rig.bias.bestDcd().state, 1u) << "no table restart";
    EXPECT_FALSE(rig.bias.bestDcdWritten());
    EXPECT_NEAR(rig.bias.referenceOffset()[0].value(), 0.03f, 1e-6f);
    EXPECT_EQ(rig.bias.mainEstimator().x()[0].value(), rig.bias.referenceOffset()[0].value());
    EXPECT_EQ(rig.bias.mainEstimator().confidenceLevel(), 1);
    EXPECT_EQ(rig.bias.mainEstimator().phase(), kRunning);
    EXPECT_LT(rig.out.rate.infNorm().value(), 1e-6f);
    EXPECT_NEAR(rig.bias.agingEffect().value(), 0.02f, 1e-3f);
}

// --- node tree -----------------------------------------------------------------

TEST(BiasCorrectMin, NamesItsMembersAndLoggersUnderItsNode)
{
    NodeManager& nodes = NodeManager::getInstance();
    char device = 0;
    ASSERT_NE(nodes.addNode(nullptr, &device, NodeInterface::NODE_MODULE, "device"), nullptr);
    {
        BiasCorrectMin bias;
        ASSERT_NE(nodes.addNode(&device, &bias, NodeInterface::NODE_SUBNODE, "BiasCorrectMin"), nullptr);
        for (const char* name :
             {"IsAccOnTableMin", "CalcPeak2Peak", "IsRsSaturate", "RsMoveAverageMain", "RsMoveAverageChecks",
              "Main", "Check", "Check2", "TemperatureFilt", "Main.EvaluateRsZroConvergeConfidence",
              "Check2.EvaluateRsZroConvergeConfidence"}) {
            const std::string full = std::string("device.BiasCorrectMin.") + name;
            NodeInterface* node = nodes.getNode(full.c_str());
            ASSERT_NE(node, nullptr) << full;
            EXPECT_EQ(node->getNodeType(), NodeInterface::NODE_SUBNODE) << full;
        }
        const std::pair<const char*, const char*> loggers[] = {
            {"device.BiasCorrectMin.dftLog", "vnx_core_BiasCorrectMin"},
            {"device.BiasCorrectMin.Check.dftLog", "vnx_core_ZroKfMin"},
            {"device.BiasCorrectMin.Check.EvaluateRsZroConvergeConfidence.dftLog",
             "vnx_core_EvaluateRsZroConvergeConfidence"},
            {"device.BiasCorrectMin.TemperatureFilt.dftLog", "vnx_core_TemperatureFilt"},
            {"device.BiasCorrectMin.RsMoveAverageMain.dftLog", "vnx_core_RsMoveAverage"},
            {"device.BiasCorrectMin.IsRsSaturate.dftLog", "vnx_core_IsRsSaturate"},
        };
        for (const auto& [name, block] : loggers) {
            NodeInterface* log = nodes.getNode(name);
            ASSERT_NE(log, nullptr) << name;
            EXPECT_EQ(log->getNodeType(), NodeInterface::NODE_LOG);
            EXPECT_STREQ(static_cast<const log::Logger*>(**log)->getBlockName(), block);
        }
    }
    EXPECT_EQ(nodes.getNode("device.BiasCorrectMin.Main"), nullptr);
    EXPECT_EQ(nodes.getNode("device.BiasCorrectMin.dftLog"), nullptr);
    nodes.removeNode(static_cast<const void*>(&device));
}

} // namespace
} // namespace vnx::biastest
