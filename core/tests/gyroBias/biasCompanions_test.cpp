// The small helpers of the bias corrector: convergence grading, window
// statistics, on-table and saturation tests, update weights, the rate
// pre-filter and the temperature filter.

#include <gtest/gtest.h>

#include <cmath>

#include "biasCorrectRig.h"
#include "gyroBias/CalcPeak2Peak.h"
#include "gyroBias/EvaluateRsZroConvergeConfidence.h"
#include "gyroBias/IsAccOnTableMin.h"
#include "gyroBias/IsRsSaturate.h"
#include "gyroBias/RsMoveAverage.h"
#include "gyroBias/TemperatureFilt.h"
#include "gyroBias/ZroPreFilter.h"

namespace vnx::biastest {
namespace {

// --- convergence confidence --------------------------------------------------

/// Levels after n close updates in a row.
std::uint8_t levelAfter(KfRole_e role, int closeUpdates, float error = 0.005f)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    EvaluateRsZroConvergeConfidence confidence;
    confidence.init(cal);
    for (int i = 0; i < closeUpdates; ++i)
        confidence.process(v3(error, error, error), v3(0, 0, 0), role);
    return confidence.get();
}

TEST(EvaluateRsZroConvergeConfidence, ThresholdsAt125Hz)
{
    EvaluateRsZroConvergeConfidence confidence;
    confidence.init(presenterScd().calibration());
    EXPECT_EQ(confidence.threshold(0), 7u);
    EXPECT_EQ(confidence.threshold(1), 11u);
    EXPECT_EQ(confidence.threshold(2), 30u);

    confidence.init(presenterScd().period(0.004).calibration());
    EXPECT_EQ(confidence.threshold(0), 13u); // 6.5 / 0.5 rounded
    EXPECT_EQ(confidence.threshold(2), 60u);
}

TEST(EvaluateRsZroConvergeConfidence, LevelsByRole)
{
    struct Case
    {
        KfRole_e role;
        int updates;
        std::uint8_t level;
    };
    const Case cases[] = {
        {KF_ROLE_MAIN, 6, 0},
        {KF_ROLE_MAIN, 7, 1},
        {KF_ROLE_MAIN, 11, 2},
        {KF_ROLE_MAIN, 30, 3},
        {KF_ROLE_CHECK, 7, 0},
        {KF_ROLE_CHECK, 11, 2},
        {KF_ROLE_CHECK, 30, 3},
        {KF_ROLE_CHECK2, 29, 0},
        {KF_ROLE_CHECK2, 30, 3},
        {KF_ROLE_CHECK_RESTORED, 7, 1},
        {KF_ROLE_CHECK_RESTORED, 30, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(levelAfter(c.role, c.updates), c.level) << c.role << " " << c.updates;
}

TEST(EvaluateRsZroConvergeConfidence, CloseMeansSquaredErrorBelowLimit)
{
    // Sum over three channels of 0.0095^2 = 0.00027: not close for a
    // learning filter, close for a restored "Check".
    EXPECT_EQ(levelAfter(KF_ROLE_MAIN, 30, 0.0095f), 0);
    EXPECT_EQ(levelAfter(KF_ROLE_CHECK_RESTORED, 30, 0.0095f), 1);
}

TEST(EvaluateRsZroConvergeConfidence, FarUpdateRestartsTheCountButKeepsTheLevel)
{
    EvaluateRsZroConvergeConfidence confidence;
    confidence.init(presenterScd().calibration());
    for (int i = 0; i < 11; ++i)
        confidence.process(v3(0, 0, 0), v3(0, 0, 0), KF_ROLE_MAIN);
    ASSERT_EQ(confidence.get(), 2);
    confidence.process(v3(0.1f, 0, 0), v3(0, 0, 0), KF_ROLE_MAIN);
    EXPECT_EQ(confidence.count(), 0u);
    EXPECT_EQ(confidence.get(), 2);
    confidence.set(7);
    EXPECT_EQ(confidence.get(), 3);
}

// --- window statistics -----------------------------------------------------

TEST(CalcPeak2Peak, ValidFromTheNthSampleWithSpreadAndExtremes)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    CalcPeak2Peak stats;
    stats.init(cal);
    ASSERT_EQ(stats.entries(), 20u);
    CalcPeak2Peak::Output out{};
    for (int i = 1; i <= 20; ++i) {
        const Fp32 in[6] = {Fp32(float(i)), Fp32(0.0f), Fp32(-float(i)), Fp32(1.0f), Fp32(2.0f), Fp32(9.8f)};
        stats.process(in, out);
        EXPECT_EQ(out.valid, i == 20 ? 1 : 0) << i;
    }
    EXPECT_EQ(out.min[0].value(), 1.0f);
    EXPECT_EQ(out.max[0].value(), 20.0f);
    EXPECT_EQ(out.spread[0].value(), 19.0f);
    EXPECT_EQ(out.spread[2].value(), 19.0f);
    EXPECT_EQ(out.spread[5].value(), 0.0f);
    EXPECT_EQ(out.max[5].value(), 9.8f);

    // The ring overwrites its oldest entry.
    const Fp32 next[6] = {Fp32(21.0f), Fp32(0.0f), Fp32(0.0f), Fp32(1.0f), Fp32(2.0f), Fp32(9.8f)};
    stats.process(next, out);
    EXPECT_EQ(out.min[0].value(), 2.0f);
    Fp32 mean[3];
    stats.calcRsMean(mean);
    EXPECT_FLOAT_EQ(mean[0].value(), 11.5f);
}

TEST(CalcPeak2Peak, MeanDividesByTheNominalWindowWhenTheRingIsCapped)
{
    CalcPeak2Peak stats;
    stats.init(presenterScd().period(0.004).calibration());
    ASSERT_EQ(stats.entries(), 35u);
    CalcPeak2Peak::Output out{};
    const Fp32 in[6] = {Fp32(1.0f), Fp32(2.0f), Fp32(3.0f), Fp32(0.0f), Fp32(0.0f), Fp32(0.0f)};
    for (int i = 0; i < 35; ++i)
        stats.process(in, out);
    Fp32 mean[3];
    stats.calcRsMean(mean);
    EXPECT_FLOAT_EQ(mean[0].value(), 35.0f / 40.0f);
    EXPECT_FLOAT_EQ(mean[2].value(), 3.0f * 35.0f / 40.0f);
}

TEST(CalcPeak2Peak, TwoRateChannelsPutAccelerationAtIndexTwo)
{
    CalcPeak2Peak stats;
    stats.init(presenterScd().calibration(), 2);
    CalcPeak2Peak::Output out{};
    for (int i = 0; i < 20; ++i) {
        const Fp32 in[5] = {Fp32(0.0f), Fp32(0.0f), Fp32(float(i)), Fp32(0.0f), Fp32(0.0f)};
        stats.process(in, out);
    }
    EXPECT_EQ(out.spread[2].value(), 19.0f);
    EXPECT_EQ(out.spread[1].value(), 0.0f);
}

// --- on the table ----------------------------------------------------------

/// Window statistics of a quiet device: noise-free rates and gravity on z.
struct TableFeed
{
    explicit TableFeed(const ScdBuilder& scd) : cal(scd.calibration())
    {
        stats.init(cal);
        table.init(cal);
    }
    bool step(float rate = 0.01f, float accZ = 9.8f)
    {
        input[0] = input[1] = input[2] = Fp32(rate);
        input[3] = input[4] = Fp32(0.0f);
        input[5] = Fp32(accZ);
        stats.process(input, out);
        return table.process(out, input);
    }

    FixedPointCal::Output cal;
    CalcPeak2Peak stats;
    IsAccOnTableMin table;
    CalcPeak2Peak::Output out{};
    Fp32 input[6];
};

TEST(IsAccOnTableMin, StillDeviceAnswersEveryThirtySamplesAt125Hz)
{
    TableFeed feed(presenterScd());
    ASSERT_EQ(feed.table.window(), 20u);
    std::vector<int> answers;
    for (int n = 1; n <= 200; ++n)
        if (feed.step())
            answers.push_back(n);
    // Statistics valid from sample 20; first answer 30 samples later.
    const std::vector<int> expected = {50, 80, 110, 140, 170, 200};
    EXPECT_EQ(answers, expected);
}

TEST(IsAccOnTableMin, QuietGyroscopeWatchesRatesNoisyOneWatchesAcceleration)
{
    TableFeed quiet(presenterScd());
    EXPECT_FALSE(quiet.table.accelerationWatched());
    EXPECT_FLOAT_EQ(quiet.table.limit(0).value(), 0.017f);
    EXPECT_FLOAT_EQ(quiet.table.limit(3).value(), 5.0f * quiet.cal.accNoise[0].value());
    TableFeed noisy(presenterScd().gyroNoise(5, 5, 5));
    EXPECT_TRUE(noisy.table.accelerationWatched());
    EXPECT_FLOAT_EQ(noisy.table.limit(0).value(), 0.025f);

    // An accelerometer beyond 1.5 g is no table, watched or not.
    int noisyAnswers = 0;
    int quietAnswers = 0;
    for (int n = 0; n < 200; ++n) {
        noisyAnswers += noisy.step(0.01f, 15.0f);
        quietAnswers += quiet.step(0.01f, 15.0f);
    }
    EXPECT_EQ(noisyAnswers, 0);
    EXPECT_EQ(quietAnswers, 0);
}

TEST(IsAccOnTableMin, SteadyTurnOfAQuietGyroscopeIsNoTable)
{
    // A turn of 0.5 rad/s about x keeps the rate spread at zero; gravity
    // turning through y and z is what shows it is no table.
    TableFeed turning(presenterScd());
    ASSERT_FALSE(turning.table.accelerationWatched());
    int answers = 0;
    for (int n = 0; n < 400; ++n) {
        const float angle = 0.5f * 0.008f * static_cast<float>(n);
        turning.input[0] = Fp32(0.5f);
        turning.input[1] = turning.input[2] = Fp32(0.0f);
        turning.input[3] = Fp32(0.0f);
        turning.input[4] = Fp32(9.8f * std::sin(angle));
        turning.input[5] = Fp32(9.8f * std::cos(angle));
        turning.stats.process(turning.input, turning.out);
        answers += turning.table.process(turning.out, turning.input);
    }
    EXPECT_EQ(answers, 0);

    // Accelerometer noise well inside the looser limit still makes a table.
    TableFeed still(presenterScd());
    int stillAnswers = 0;
    for (int n = 0; n < 200; ++n)
        stillAnswers += still.step(0.01f, 9.8f + ((n % 2) ? 0.02f : -0.02f));
    EXPECT_EQ(stillAnswers, 6);
}

TEST(IsAccOnTableMin, MovementRestartsTheCount)
{
    TableFeed feed(presenterScd());
    for (int n = 1; n <= 49; ++n)
        ASSERT_FALSE(feed.step());
    // A rate step larger than the limit spoils the next 20 windows.
    EXPECT_FALSE(feed.step(0.05f));
    int first = 0;
    for (int n = 1; n <= 100 && first == 0; ++n)
        if (feed.step(0.05f))
            first = n;
    EXPECT_EQ(first, 49); // 19 windows with the step inside, then 30 more
}

TEST(IsAccOnTableMin, SlowDriftBeyondTheLimitIsNoTable)
{
    TableFeed feed(presenterScd());
    // Each window spans less than the limit, the whole run more.
    bool any = false;
    for (int n = 0; n < 400; ++n)
        any = feed.step(0.01f + 0.0005f * n) || any;
    EXPECT_FALSE(any);
}

// --- saturation ------------------------------------------------------------

TEST(IsRsSaturate, FiveHundredDegreesPerSecondIsTheLimit)
{
    IsRsSaturate test;
    bool saturated = false;
    test.process(v3(8.71f, 0, 0), saturated);
    EXPECT_TRUE(saturated);
    test.process(v3(8.7f, 0, 0), saturated);
    EXPECT_FALSE(saturated);
    test.process(v3(0, 6.2f, 6.2f), saturated);
    EXPECT_TRUE(saturated);
}

// --- update weights --------------------------------------------------------

TEST(RsMoveAverage, WeightsAreOneOverTheCount)
{
    RsMoveAverage average;
    average.init(presenterScd().calibration());
    Vector3 w{};
    average.process(w);
    EXPECT_EQ(w[0].value(), 1.0f);
    average.process(w);
    EXPECT_EQ(w[2].value(), 0.5f);
}

TEST(RsMoveAverage, ResetStartsWithSmallWeightsAndRestartsTheStatistics)
{
    const FixedPointCal::Output cal = presenterScd().calibration();
    RsMoveAverage average;
    average.init(cal);
    average.reset();
    const std::uint32_t oneSecond = static_cast<std::uint32_t>(std::floor(cal.rate));
    ASSERT_EQ(average.count(0), oneSecond);

    Vector3 w{};
    Vector3 mean{};
    Vector3 spread{};
    average.process(w);
    EXPECT_FLOAT_EQ(w[0].value(), 1.0f / float(oneSecond + 1));
    // The restart zeroes the counts: this sample enters as v x w.
    average.processWithStats(v3(2, 4, 6), w, mean, spread);
    EXPECT_EQ(average.count(1), 0u);
    EXPECT_FLOAT_EQ(mean[0].value(), 2.0f * w[0].value());
    // The next sample starts the statistics at its value.
    average.process(w);
    average.processWithStats(v3(3, 4, 6), w, mean, spread);
    EXPECT_EQ(mean, v3(3, 4, 6));
    EXPECT_EQ(spread, v3(0, 0, 0));
    average.process(w);
    average.processWithStats(v3(5, 4, 6), w, mean, spread);
    EXPECT_EQ(mean[0].value(), 4.0f);
    EXPECT_EQ(spread[0].value(), 2.0f);
}

// --- rate pre-filter ---------------------------------------------------------

TEST(ZroPreFilter, SettlesSlightlyBelowItsInput)
{
    ZroPreFilter filter;
    filter.init();
    Vector3 out{};
    for (int i = 0; i < 200; ++i)
        filter.process(v3(1, -2, 0.5f), out);
    EXPECT_NEAR(out[0].value(), 0.99885f, 2e-5f);
    EXPECT_NEAR(out[1].value(), -2.0f * 0.99885f, 4e-5f);

    // One step of one axis equals the vector step.
    ZroPreFilter a;
    a.init();
    Vector3 va{};
    a.process(v3(0.3f, 0, 0), va);
    Fp32 v(0.3f), w1(0.0f), w2(0.0f);
    ZroPreFilter::iirBiquad(v, w1, w2);
    EXPECT_EQ(v.value(), va[0].value());
    EXPECT_FLOAT_EQ(v.value(), 0.3f * 0.4791592f * 0.34373423f);
}

TEST(ZroPreFilter, StartingAtASampleOutputsIt)
{
    ZroPreFilter filter;
    Vector3 out{};
    filter.initWithSample(v3(1, 2, 3), out);
    EXPECT_EQ(out, v3(1, 2, 3));
    filter.process(v3(1, 2, 3), out);
    // From a settled state the output moves only by the DC gain.
    EXPECT_NEAR(out[2].value(),
                3.0f * (0.4791592f + 0.80149925f - 0.31114817f) * 0.34373423f +
                    3.0f * (0.37493938f + 0.34373423f),
                1e-5f);
}

// --- temperature filter ----------------------------------------------------

struct TempFeed
{
    explicit TempFeed(const ScdBuilder& scd = presenterScd()) : cal(scd.calibration()) { filter.init(cal); }
    TemperatureFilt::Output step(float t, std::uint32_t gap = 0)
    {
        TemperatureFilt::Output out;
        filter.process(Fp32(t), gap, out);
        return out;
    }
    FixedPointCal::Output cal;
    TemperatureFilt filter;
};

TEST(TemperatureFilt, ConstantInputIsInvalidTwiceThenExact)
{
    TempFeed feed;
    for (int n = 0; n < 500; ++n) {
        const TemperatureFilt::Output out = feed.step(23.4f);
        EXPECT_EQ(out.valid, n >= 2 ? 1 : 0) << n;
        EXPECT_EQ(out.temperature.value(), 23.4f) << n;
    }
    EXPECT_EQ(feed.filter.gain().value(), 0.01f);
}

TEST(TemperatureFilt, BlockMeanChangeSetsTheGain)
{
    // Block length: half a second of samples (62 at 1/0.008f Hz).
    const std::uint32_t block =
        static_cast<std::uint32_t>(std::floor(presenterScd().calibration().rate * 0.5f));
    struct Case
    {
        float step; // degC above the start after the first two samples
        float gain;
    };
    // n = 2 start-up calls + one block; 10 x change / n, within 0.0001-0.01.
    const float n = float(block + 2);
    const Case cases[] = {{0.5f, std::fmin(0.01f, 10.0f * 0.5f / n)},
                          {0.05f, 0.01f},
                          {0.2f, std::fmin(0.01f, 10.0f * 0.2f / n)}};
    for (const Case& c : cases) {
        TempFeed feed;
        feed.step(20.0f);
        feed.step(20.0f);
        for (std::uint32_t i = 0; i < block; ++i)
            feed.step(20.0f + c.step);
        EXPECT_FLOAT_EQ(feed.filter.gain().value(), c.gain) << c.step;
        EXPECT_EQ(feed.filter.reference().value() == 20.0f, c.step < 0.1f) << c.step;
    }
}

TEST(TemperatureFilt, GapAboveOneSecondRestarts)
{
    const std::uint32_t limit = static_cast<std::uint32_t>(std::floor(presenterScd().calibration().rate));
    for (std::uint32_t gap : {limit, limit + 1}) {
        TempFeed feed;
        for (int i = 0; i < 10; ++i)
            feed.step(20.0f);
        const TemperatureFilt::Output out = feed.step(30.0f, gap);
        if (gap > limit) {
            EXPECT_EQ(out.valid, 0);
            EXPECT_EQ(out.temperature.value(), 30.0f);
        } else {
            EXPECT_EQ(out.valid, 1);
            EXPECT_FLOAT_EQ(out.temperature.value(), 20.1f);
        }
    }
}

} // namespace
} // namespace vnx::biastest
