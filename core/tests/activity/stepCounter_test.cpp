// Step counter: only peaks whose intervals form a rhythm become steps.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "activity/StepCounter.h"
#include "activity/stepDetectorApi.h"

namespace {

using vnx::activity::StepCounter;

struct Rhythm
{
    float dtS;
    float toleranceS;
    float minIntervalS;
    std::int32_t intervalSamples; // samples between two peaks
};

TEST(StepCounter, RegularRhythmCountsEveryPeakOnceWarmedUp)
{
    const Rhythm rhythms[] = {
        {0.02f, 0.1f, 0.3f, 25},  // walking at 2 Hz sampled at 50 Hz: T 5, M 15
        {0.04f, 0.1f, 0.3f, 12},  // the same at 25 Hz: T 2, M 7
        {0.02f, 0.02f, 0.3f, 17}, // T 1: only equal intervals agree
        {0.01f, 0.05f, 0.25f, 40},
    };
    for (const Rhythm& r : rhythms) {
        SCOPED_TRACE(testing::Message() << "dt " << r.dtS << ", interval " << r.intervalSamples);
        StepCounter counter;
        counter.init({r.toleranceS, r.minIntervalS});
        counter.setSamplePeriod(r.dtS);
        ASSERT_GE(counter.toleranceSamples(), 1);
        ASSERT_GT(r.intervalSamples + 1, counter.minIntervalSamples());

        std::vector<std::int32_t> totals;
        for (int peak = 1; peak <= 9; ++peak) {
            const std::int32_t before = counter.total();
            const std::int32_t delta = counter.process(r.intervalSamples);
            EXPECT_EQ(delta, counter.total() - before);
            totals.push_back(counter.total());
        }
        EXPECT_EQ(totals[0], 1) << "the first peak counts at once";
        // From the fifth interval on: at most one per peak, except for the
        // one-time correction at the seventh.
        for (int peak : {5, 6, 8, 9}) {
            const std::int32_t growth = totals[peak - 1] - totals[peak - 2];
            EXPECT_GE(growth, 0) << "peak " << peak;
            EXPECT_LE(growth, 1) << "peak " << peak;
        }
        EXPECT_EQ(totals[8], 9);
        EXPECT_EQ(counter.rank(), 3);
        EXPECT_FLOAT_EQ(counter.averagePeriod(), static_cast<float>(r.intervalSamples + 1));
        // A steady rhythm goes on one step per peak.
        for (int peak = 10; peak <= 40; ++peak)
            EXPECT_EQ(counter.process(r.intervalSamples), 1) << "peak " << peak;
    }
}

TEST(StepCounter, IntervalsShorterThanTheMinimumAreNoSteps)
{
    StepCounter counter;
    counter.init({0.1f, 0.3f});
    counter.setSamplePeriod(0.02f); // M = 15
    for (int peak = 0; peak < 30; ++peak)
        counter.process(10);
    EXPECT_EQ(counter.rank(), 0);
    EXPECT_LE(counter.total(), 1);
}

TEST(StepCounter, IrregularIntervalsConfirmFarFewerStepsThanPeaks)
{
    // Intervals drawn between 0.2 s and 1.2 s, far beyond the 0.1 s tolerance.
    StepCounter counter;
    counter.init({0.1f, 0.3f});
    counter.setSamplePeriod(0.02f);
    std::mt19937 random(5);
    std::uniform_int_distribution<std::int32_t> interval(10, 60);
    const int peaks = 400;
    for (int peak = 0; peak < peaks; ++peak)
        counter.process(interval(random));
    EXPECT_LT(counter.total(), peaks / 4);
}

TEST(StepCounter, VersionsAreExported)
{
    EXPECT_EQ(vnx_StepDetector_getCounterVersion(), 1);
    EXPECT_EQ(vnx_StepDetectorWatch_getCounterVersion(), 1);
    EXPECT_EQ(vnx_StepDetector_getDetectorVersion(), 2);
    EXPECT_EQ(vnx_StepDetectorWatch_getDetectorVersion(), 2);
}

} // namespace
