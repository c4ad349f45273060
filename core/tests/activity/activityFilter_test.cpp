// The classifier's six-state filter: measured rows, matrix choice,
// prediction time, the switch probability after a tilt, and the rounding of
// the confidences.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>

#include "activity/ActivityFilter.h"

namespace {

using namespace vnx::activity;

constexpr std::uint8_t kNone = 4, kUndecided = 4;

FrameEvidence evidence(std::uint8_t lda, std::uint8_t vibration, std::uint8_t acceleration,
                       bool tilted = false, float stairs = 0.0f)
{
    return {lda, vibration, acceleration, tilted, stairs};
}

ActivityFilterState withProbabilities(std::initializer_list<float> p, std::uint8_t mostLikely)
{
    ActivityFilterState s;
    int k = 0;
    for (float v : p)
        s.p[k++] = v;
    s.mostLikely = mostLikely;
    return s;
}

TEST(ActivityFilter, StartsUnknownWithTheBaseSwitchProbability)
{
    const ActivityFilterState s;
    EXPECT_EQ(s.selector, 1);
    EXPECT_FLOAT_EQ(s.q, 0.06f);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(s.p[k], 0.0f);
    EXPECT_EQ(s.p[5], 1.0f);
    EXPECT_EQ(s.mostLikely, 5);
    EXPECT_EQ(confArrIndexLookupTable_[s.mostLikely], 0);
    const std::uint8_t codes[6] = {1, 2, 6, 7, 4, 0};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(confArrIndexLookupTable_[k], codes[k]);
}

TEST(ActivityFilter, EveryMeasurementColumnIsAProbabilityDistribution)
{
    for (const auto* m : {&measurementMatrix1_, &measurementMatrix2_}) {
        for (int state = 0; state < 6; ++state) {
            float sum = 0;
            for (int row = 0; row < 6; ++row)
                sum += (*m)[row][state];
            EXPECT_NEAR(sum, 1.0f, 1e-3f) << "state " << state;
        }
    }
    EXPECT_EQ(measurementMatrix1_[3][5], 0.0f);
    EXPECT_FLOAT_EQ(measurementMatrix2_[5][5], 0.7853f);
}

TEST(ActivityFilter, MeasuredRowFollowsTheComponents)
{
    struct Case
    {
        std::uint8_t lda, vibration, acceleration;
        int row;
    };
    const Case cases[] = {
        {2, 0, 4, 0},          // vibration of a vehicle
        {3, 0, 4, 1},          // ... but arm motion wins over vibration
        {1, 3, 0, 4},          // still beats the gait and the acceleration
        {3, 4, 4, 1},          // arm motion
        {1, 4, 0, 2},          // walking
        {0, 4, 4, 3},          // running
        {2, kUndecided, 4, 5}, // not walking, nothing else: unknown
        {kNone, kUndecided, 4, 5},
        {2, kUndecided, 0, 0}, // vehicle acceleration alone
        {kNone, kUndecided, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(getChosenCombinerIndex(evidence(c.lda, c.vibration, c.acceleration)), c.row)
            << int(c.lda) << " " << int(c.vibration) << " " << int(c.acceleration);
}

TEST(ActivityFilter, SecondMatrixOnlyForVehicleAccelerationWithoutOtherEvidence)
{
    struct Case
    {
        std::int32_t before;
        std::uint8_t lda, vibration, acceleration;
        std::int32_t after;
    };
    const Case cases[] = {
        {1, 2, 4, 0, 2},     {2, 2, 0, 0, 1}, {2, 2, 3, 0, 1},
        {2, 1, 4, 0, 1},     {2, 0, 4, 0, 1}, {2, 2, 4, 4, 2}, // nothing new: kept
        {1, kNone, 4, 4, 1}, {1, 3, 4, 0, 2},
    };
    for (const Case& c : cases) {
        ActivityFilterState s;
        s.selector = c.before;
        chooseMeasurementMatrix(s, evidence(c.lda, c.vibration, c.acceleration));
        EXPECT_EQ(s.selector, c.after) << int(c.lda) << " " << int(c.vibration) << " " << int(c.acceleration);
    }
}

TEST(ActivityFilter, ConsistentWalkingEvidenceMakesWalkingMostLikely)
{
    ActivityFilterState s;
    for (int frame = 0; frame < 5; ++frame)
        updateProbability(s, 1.0f, evidence(1, kUndecided, 4));
    EXPECT_EQ(s.mostLikely, 2);
    EXPECT_GT(s.p[2], 0.9f);
    float sum = 0;
    for (float p : s.p) {
        EXPECT_GE(p, 0.0f);
        sum += p;
    }
    EXPECT_NEAR(sum, 1.0f, 1e-5f);
}

TEST(ActivityFilter, AFrameWithoutTimeChangesNothing)
{
    ActivityFilterState s = withProbabilities({0.1f, 0.1f, 0.6f, 0.1f, 0.05f, 0.05f}, 2);
    s.q = 0.2f;
    const ActivityFilterState before = s;
    for (float dt : {0.0f, 1e-7f})
        updateProbability(s, dt, evidence(0, 0, 0, true));
    EXPECT_EQ(s.q, before.q);
    EXPECT_EQ(s.mostLikely, 2);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(s.p[k], before.p[k]);
}

/// Predicts over dtS on a state that holds only walking, with a measured row
/// that tells nothing apart between walking and running.
float walkingAfter(float dtS)
{
    ActivityFilterState s = withProbabilities({0, 0, 1, 0, 0, 0}, 2);
    updateProbability(s, dtS, evidence(2, kUndecided, 4));
    return s.p[2];
}

TEST(ActivityFilter, PredictionCountsWholeSecondsFromOneToSixty)
{
    EXPECT_EQ(walkingAfter(0.3f), walkingAfter(1.0f));
    EXPECT_EQ(walkingAfter(1.0f), walkingAfter(1.9f));
    EXPECT_GT(walkingAfter(1.0f), walkingAfter(2.0f));
    EXPECT_GT(walkingAfter(59.0f), walkingAfter(60.0f));
    EXPECT_EQ(walkingAfter(60.0f), walkingAfter(3600.0f));
    // Over a long gap every state becomes about equally likely before the
    // measurement: 0.94^60 keeps 2.4 % on walking.
    ActivityFilterState s = withProbabilities({0, 0, 1, 0, 0, 0}, 2);
    s.selector = 1;
    updateProbability(s, 60.0f, evidence(2, kUndecided, 4));
    const double stay = std::pow(0.94, 60);
    const double others = (1 - stay) / 5;
    const double column[6] = {0.25, 0.15, 0.09, 0.05, 0.07, 0.75}; // row 5 of the first matrix
    double sum = 0;
    for (int k = 0; k < 6; ++k)
        sum += (k == 2 ? stay + 0 : others) * column[k];
    EXPECT_NEAR(s.p[2], stay * column[2] / sum, 1e-5);
}

TEST(ActivityFilter, TiltRaisesTheSwitchProbabilityWhichThenDecays)
{
    ActivityFilterState s;
    updateProbability(s, 1.0f, evidence(2, kUndecided, 4, true));
    EXPECT_FLOAT_EQ(s.q, 0.4f);
    float expected = 0.4f;
    int frames = 0;
    while (s.q > 0.06f) {
        updateProbability(s, 1.0f, evidence(2, kUndecided, 4));
        expected = std::fmax(0.06f, 0.95f * expected);
        ASSERT_FLOAT_EQ(s.q, expected);
        ++frames;
    }
    EXPECT_EQ(frames, 37); // 0.4 * 0.95^37 < 0.06 < 0.4 * 0.95^36
    updateProbability(s, 1.0f, evidence(2, kUndecided, 4));
    EXPECT_FLOAT_EQ(s.q, 0.06f);
    updateProbability(s, 1.0f, evidence(2, kUndecided, 4, true));
    EXPECT_FLOAT_EQ(s.q, 0.4f);
}

TEST(ActivityFilter, TiesKeepTheLowerState)
{
    // States 1 and 5 start equal and row 0 of the first matrix weighs them
    // alike (0.05): they stay equal and ahead of the others.
    ActivityFilterState s = withProbabilities({0.0f, 0.5f, 0.0f, 0.0f, 0.0f, 0.5f}, 5);
    updateProbability(s, 1.0f, evidence(2, 0, 4));
    ASSERT_EQ(s.p[1], s.p[5]);
    EXPECT_GT(s.p[1], s.p[0]);
    EXPECT_EQ(s.mostLikely, 1);
}

struct RoundingCase
{
    float p[6];
    std::uint8_t mostLikely;
    std::uint8_t states[6]; ///< percentages of states 0-5 after the correction
};

TEST(ActivityFilter, ConfidencesSumToOneHundred)
{
    const RoundingCase cases[] = {
        // 33 + 33 + 33: one short, given to state 5 (first in line).
        {{0.333f, 0.333f, 0.334f, 0, 0, 0}, 2, {33, 33, 33, 0, 0, 1}},
        // 50 + 50 + 1 + 1: two over; state 5 cannot give 2, state 0 is the
        // most likely, so state 1 gives them.
        {{0.495f, 0.495f, 0.005f, 0.005f, 0, 0}, 0, {50, 48, 1, 1, 0, 0}},
        // Exactly 100: nothing moves.
        {{0.2f, 0.2f, 0.2f, 0.2f, 0.1f, 0.1f}, 0, {20, 20, 20, 20, 10, 10}},
        // One short, and the most likely state 5 is skipped.
        {{0.0f, 0.0f, 0.0f, 0.333f, 0.333f, 0.334f}, 5, {1, 0, 0, 33, 33, 33}},
        // Three over and no state but the most likely holds more than 3.
        {{0.005f, 0.005f, 0.005f, 0.005f, 0.005f, 0.975f}, 5, {1, 1, 1, 1, 1, 98}},
    };
    for (const RoundingCase& c : cases) {
        ActivityFilterState s;
        std::copy(std::begin(c.p), std::end(c.p), s.p);
        s.mostLikely = c.mostLikely;
        updateExternalProbability(s, evidence(2, kUndecided, 4));
        const std::uint8_t* conf = s.confidences;
        const std::uint8_t byCode[6] = {conf[1], conf[2], conf[6], conf[7], conf[4], conf[0]};
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(byCode[k], c.states[k]) << "state " << k << " of case " << &c - cases;
        EXPECT_EQ(conf[3], c.states[2] + c.states[3]);
    }
}

TEST(ActivityFilter, TiltAndStairConfidencesComeFromTheirComponents)
{
    struct Case
    {
        bool tilted;
        float stairs;
        std::uint8_t tilt, onStairs;
    };
    const Case cases[] = {{false, 0.0f, 0, 0},     {true, 0.0f, 100, 0},     {false, 0.2326f, 0, 23},
                          {false, 0.9035f, 0, 90}, {false, 0.9961f, 0, 100}, {true, 0.005f, 100, 1}};
    for (const Case& c : cases) {
        ActivityFilterState s;
        updateExternalProbability(s, evidence(2, kUndecided, 4, c.tilted, c.stairs));
        EXPECT_EQ(s.confidences[5], c.tilt);
        EXPECT_EQ(s.confidences[8], c.onStairs) << c.stairs;
        EXPECT_EQ(s.confidences[0], 100);
    }
}

} // namespace
