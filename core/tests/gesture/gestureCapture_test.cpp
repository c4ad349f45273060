#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <vector>

#include "gesture/GestureRecognitionProcessor.h"
#include "gestureDrawing.h"

namespace {

using gesturetest::draw;
using gesturetest::Path;
using gesturetest::setCodeLength;
using gesturetest::straight;
using Output = GestureRecognitionProcessor::Output_t;

TEST(Capture, StraightMovementMakesOneShortFirstStepThenOneStepPerSample)
{
    GestureRecognitionProcessor processor;
    Output result;
    processor.processCursorFrame(10, 0, true, result, nullptr, 8000); // starts; delta unused
    EXPECT_FALSE(result.done);
    for (int sample = 1; sample <= 3; ++sample) {
        processor.processCursorFrame(10, 0, true, result, nullptr, 8000);
    }
    EXPECT_TRUE(processor.stepsX().empty()) << "30 units are no step yet";
    EXPECT_EQ(processor.positionsX(), (std::vector<int32_t>{10, 20, 30}));

    processor.processCursorFrame(10, 0, true, result, nullptr, 8000);
    ASSERT_EQ(processor.stepsX().size(), 1u);
    EXPECT_EQ(processor.stepsX()[0], 8.0f); // 40 units, shrunk by 5
    EXPECT_EQ(processor.stepsY()[0], 0.0f);

    for (int sample = 0; sample < 6; ++sample) {
        processor.processCursorFrame(10, 0, true, result, nullptr, 8000);
    }
    EXPECT_EQ(processor.stepsX(), (std::vector<float>{8, 10, 10, 10, 10, 10, 10}));
    EXPECT_FALSE(result.done);
}

struct DirectionCase
{
    int32_t dx;
    int32_t dy;
    float value;
};

void PrintTo(const DirectionCase& c, std::ostream* os)
{
    *os << "(" << c.dx << ", " << c.dy << ")";
}

class StraightCapture : public ::testing::TestWithParam<DirectionCase>
{
};

// 12 steps with L = 8 lie between 3L/4 and 3L/2: one value per step.
TEST_P(StraightCapture, GivesItsDirectionAtEveryPosition)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    draw(processor, straight(GetParam().dx, GetParam().dy, 15));
    ASSERT_EQ(processor.code().size(), 12u);
    for (float value : processor.code()) {
        EXPECT_EQ(value, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(Axes, StraightCapture,
                         ::testing::Values(DirectionCase{10, 0, 5.0f}, DirectionCase{-10, 0, 1.0f},
                                           DirectionCase{0, 10, 7.0f}, DirectionCase{0, -10, 3.0f}));

struct NormaliseCase
{
    int codeLength;
    int steps;
    std::size_t codeValues;
};

void PrintTo(const NormaliseCase& c, std::ostream* os)
{
    *os << "L " << c.codeLength << ", " << c.steps << " steps";
}

class Normalise : public ::testing::TestWithParam<NormaliseCase>
{
};

// A 10-unit straight line makes its first step on the fourth captured sample
// and one more per sample after it: n steps take n + 3 samples.
TEST_P(Normalise, StretchesShortAndCompressesLongCaptures)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, GetParam().codeLength);
    draw(processor, straight(10, 0, GetParam().steps + 3));
    ASSERT_EQ(processor.stepsX().size(), static_cast<std::size_t>(GetParam().steps));
    EXPECT_EQ(processor.code().size(), GetParam().codeValues);
}

INSTANTIATE_TEST_SUITE_P(Lengths, Normalise,
                         ::testing::Values(NormaliseCase{8, 3, 3},    // fewer than 4 steps: kept as they are
                                           NormaliseCase{8, 5, 10},   // below 3L/4 = 6: each step twice
                                           NormaliseCase{8, 4, 8},    // 6 / 4 + 1 = 2 times
                                           NormaliseCase{8, 6, 6},    // 3L/4 up to 3L/2: once each
                                           NormaliseCase{8, 12, 12},  // 3L/2 itself
                                           NormaliseCase{8, 13, 6},   // q = 1, M = 12, window 2: 6 values
                                           NormaliseCase{8, 20, 9},   // q = 2, M = 18, window 2: 9 values
                                           NormaliseCase{16, 5, 15},  // 12 / 5 + 1 = 3 times
                                           NormaliseCase{16, 40, 19}, // q = 2, M = 38, window 2: 19 values
                                           NormaliseCase{1, 10, 0}    // L = 1 drops every step
                                           ));

TEST(Capture, ThreeStepsAreNotMatched)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const auto drawn = draw(processor, straight(10, 0, 6));
    EXPECT_TRUE(drawn.result.done);
    EXPECT_EQ(drawn.result.name, "Not matched");
    EXPECT_EQ(drawn.result.score, 0.0);
    EXPECT_EQ(drawn.additional.imageName, "Gesture_noMatch.png");
    EXPECT_TRUE(drawn.additional.positionsX.empty());
    EXPECT_EQ(drawn.additional.durationS, 0.0f) << "statistics are left alone without a match";
}

TEST(Capture, EmptyLibraryMatchesNothing)
{
    GestureRecognitionProcessor processor;
    const auto drawn = draw(processor, straight(10, 0, 30));
    EXPECT_TRUE(drawn.result.done);
    EXPECT_EQ(drawn.result.name, "Not matched");
    EXPECT_TRUE(processor.code().empty()) << "no code length: no code";
}

TEST(Capture, OnlyTheFallingSampleIsDone)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    Output result;
    std::vector<bool> done;
    const bool flags[] = {false, true, true, true, false, false, true, false};
    for (bool capture : flags) {
        processor.processCursorFrame(10, 0, capture, result, nullptr, 8000);
        done.push_back(result.done);
    }
    EXPECT_EQ(done, (std::vector<bool>{false, false, false, false, true, false, false, true}));
}

TEST(Match, FindsTheCheapestGestureAndReportsThePath)
{
    GestureRecognitionProcessor processor;
    ASSERT_TRUE(processor.addGesture(Gesture("up", "3 3 3 3 3 3 3 3", "up.png")));
    ASSERT_TRUE(processor.addGesture(Gesture("right", "5 5 5 5 5 5 5 5", "right.png")));
    ASSERT_TRUE(processor.addGesture(Gesture("right again", "5 5 5 5 5 5 5 5", "again.png")));

    // 20 samples of (10, 2) then 5 samples of (0, 0): 25 positions.
    const Path path = gesturetest::joined({straight(10, 2, 20), straight(0, 0, 5)});
    const auto drawn = draw(processor, path, 10000);
    EXPECT_EQ(drawn.result.name, "right") << "the first of equal costs wins";
    EXPECT_GT(drawn.result.score, 60.0);
    EXPECT_LE(drawn.result.score, 100.0);

    const auto& more = drawn.additional;
    EXPECT_EQ(more.imageName, "right.png");
    ASSERT_EQ(more.positionsX.size(), 25u);
    EXPECT_EQ(more.positionsX.front(), 10);
    EXPECT_EQ(more.positionsY.back(), 40);
    EXPECT_FLOAT_EQ(more.durationS, 0.25f);
    EXPECT_FLOAT_EQ(more.centreX, 105.0f);
    EXPECT_FLOAT_EQ(more.centreY, 21.0f);
    EXPECT_FLOAT_EQ(more.width, 190.0f);
    EXPECT_FLOAT_EQ(more.height, 38.0f);
    EXPECT_FLOAT_EQ(more.lastX, 200.0f);
    EXPECT_FLOAT_EQ(more.lastY, 40.0f);
    EXPECT_FLOAT_EQ(more.pathLength, static_cast<float>(19.0 * std::sqrt(104.0)));
    EXPECT_EQ(more.captureState, 0u);
}

TEST(Match, CostOfPointFourOrMoreIsNoMatch)
{
    GestureRecognitionProcessor processor;
    ASSERT_TRUE(processor.addGesture(Gesture("left", "1 1 1 1 1 1 1 1", "left.png")));
    const auto drawn = draw(processor, straight(10, 0, 15));
    EXPECT_EQ(drawn.result.name, "Not matched");
    EXPECT_EQ(drawn.result.score, 0.0);
}

TEST(Limits, TenSecondsOfSamplesStopTheCaptureButItIsStillEvaluated)
{
    GestureRecognitionProcessor processor;
    processor.addGesture(Gesture("right", "5 5 5 5 5 5 5 5", "right.png"));
    // 100 ms per sample: ten seconds are 100 samples.
    const auto drawn = draw(processor, straight(2, 0, 150), 100000);
    EXPECT_EQ(processor.positionsX().size(), 100u);
    EXPECT_EQ(drawn.result.name, "right");
    EXPECT_EQ(drawn.additional.captureState, 1u);
    EXPECT_FLOAT_EQ(drawn.additional.durationS, 10.0f);
}

TEST(Limits, SixHundredTwentyFiveStepsStopTheCapture)
{
    GestureRecognitionProcessor processor;
    processor.addGesture(Gesture("right", "5 5 5 5 5 5 5 5", "right.png"));
    const auto drawn = draw(processor, straight(10, 0, 700), 1000);
    EXPECT_EQ(processor.stepsX().size(), 625u);
    EXPECT_EQ(processor.positionsX().size(), 628u);
    EXPECT_EQ(drawn.result.name, "right");
    EXPECT_EQ(drawn.additional.captureState, 2u);
}

TEST(Limits, PeriodZeroSetsNoTimeLimit)
{
    GestureRecognitionProcessor processor;
    processor.addGesture(Gesture("right", "5 5 5 5 5 5 5 5", "right.png"));
    // Still samples add positions but no steps, for as long as the flag is held.
    const Path path = gesturetest::joined({straight(10, 0, 20), straight(0, 0, 20000)});
    const auto drawn = draw(processor, path, 0);
    EXPECT_EQ(processor.positionsX().size(), 20020u);
    EXPECT_EQ(drawn.result.name, "right");
    EXPECT_EQ(drawn.additional.captureState, 0u);
    EXPECT_EQ(drawn.additional.durationS, 0.0f);
}

// A corrupt delta far beyond any real movement adds a bounded number of steps
// instead of hundreds of millions.
TEST(Limits, OneHugeDeltaAddsAtMostTheLengthLimitOfSteps)
{
    GestureRecognitionProcessor processor;
    processor.addGesture(Gesture("right", "5 5 5 5 5 5 5 5", "right.png"));
    const auto drawn = draw(processor, {{10, 0}, {10, 0}, {10, 0}, {10, 0}, {2000000000, 0}, {10, 0}});
    EXPECT_EQ(processor.stepsX().size(), 626u);
    EXPECT_EQ(drawn.result.name, "right");
    EXPECT_EQ(drawn.additional.captureState, 2u);
}

TEST(Library, FirstGestureSetsTheCodeLengthUntilCleared)
{
    GestureRecognitionProcessor processor;
    EXPECT_EQ(processor.codeLength(), 0);
    EXPECT_TRUE(processor.addGesture(Gesture("a", "1 2 3 4", "")));
    EXPECT_EQ(processor.codeLength(), 4);
    EXPECT_FALSE(processor.addGesture(Gesture("b", "1 2 3", "")));
    EXPECT_EQ(processor.library().size(), 1u);
    EXPECT_TRUE(processor.addGesture(Gesture("c", "5 6 7 8", "")));

    processor.clearGestures();
    EXPECT_EQ(processor.codeLength(), 0);
    EXPECT_TRUE(processor.library().empty());
    EXPECT_TRUE(processor.addGesture(Gesture("d", "1 2 3", "")));
    EXPECT_EQ(processor.codeLength(), 3);
}

TEST(Library, InitEmptiesLibraryAndCaptureButKeepsSteps)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    Output result;
    processor.processCursorFrame(0, 0, true, result, nullptr, 8000);
    for (int i = 0; i < 10; ++i) {
        processor.processCursorFrame(10, 0, true, result, nullptr, 8000);
    }
    processor.init();
    EXPECT_TRUE(processor.library().empty());
    EXPECT_EQ(processor.codeLength(), 0);
    EXPECT_TRUE(processor.positionsX().empty());
    EXPECT_EQ(processor.stepsX().size(), 7u);
    // The previous flag was cleared: the next held sample starts a new capture.
    processor.processCursorFrame(10, 0, true, result, nullptr, 8000);
    EXPECT_TRUE(processor.stepsX().empty());
    EXPECT_FALSE(result.done);
}

TEST(Library, StartAndStopCaptureDoWhatTheFlagEdgesDo)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    processor.handleStartCapture();
    for (int i = 0; i < 15; ++i) {
        processor.handleCapturing(0, -10, 8000);
    }
    Output result;
    processor.handleStopCapture(result, nullptr, 8000);
    EXPECT_TRUE(result.done);
    EXPECT_EQ(processor.code(), std::vector<float>(12, 3.0f));
}

} // namespace
