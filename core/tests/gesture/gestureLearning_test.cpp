#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <string>
#include <vector>

#include "gesture/GestureRecognitionProcessor.h"
#include "gestureDrawing.h"
#include "support/recordBytes.h"

namespace {

using gesturetest::draw;
using gesturetest::Path;
using gesturetest::perturbed;
using gesturetest::setCodeLength;
using gesturetest::square;
using gesturetest::straight;
using gesturetest::train;
using vnx::testsupport::filled;
using vnx::testsupport::kFillByte;

using LearningData = vnx_CursorGesture_LearningSuccessData_s;

struct Learned
{
    vnx_CursorGesture_StatusType_e status{};
    LearningData data{};
    std::string printed;
};

/// One learning run over `paths` and its outcome; `data` starts zeroed, or
/// filled with the marker when `marked`.
Learned learn(GestureRecognitionProcessor& processor, const std::vector<Path>& paths, bool marked = false,
              uint32_t periodUs = 8000)
{
    Learned learned;
    if (marked) {
        learned.data = filled<LearningData>();
    }
    testing::internal::CaptureStdout();
    processor.startLearning();
    for (const Path& path : paths) {
        train(processor, path, periodUs);
    }
    processor.stopLearning(&learned.status, &learned.data);
    learned.printed = testing::internal::GetCapturedStdout();
    return learned;
}

std::vector<uint8_t> digitsOf(const LearningData& data)
{
    return {data.digits, data.digits + data.codeLength};
}

bool untouched(const LearningData& data)
{
    return std::memcmp(&data, &static_cast<const LearningData&>(filled<LearningData>()), sizeof(data)) == 0;
}

const std::vector<uint8_t> kSquareDigits{5, 5, 7, 7, 1, 1, 3, 3};

TEST(Learning, OneTrainingGestureGivesItsOwnDigits)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(processor, {square(40, 10)});
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(learned.data.codeLength, 8);
    EXPECT_EQ(digitsOf(learned.data), kSquareDigits);
    EXPECT_EQ(learned.data.digits[8], 0);
    EXPECT_EQ(learned.data.reserved, 0u);
    EXPECT_EQ(learned.data.quality, 100.0f);
    EXPECT_EQ(processor.learnedCode(), (std::vector<float>{5, 5, 7, 7, 1, 1, 3, 3}));
    EXPECT_EQ(learned.printed, "");
}

TEST(Learning, DisagreeingGesturesAreRefused)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(processor, {straight(10, 0, 20), straight(-10, 0, 20)}, true);
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_FAILED);
    EXPECT_EQ(learned.printed, "Gesture inputs are NOT consistent!");
    EXPECT_TRUE(untouched(learned.data));
    EXPECT_TRUE(processor.learnedCode().empty());
}

TEST(Learning, NoTrainingGestureFailsSilently)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(processor, {}, true);
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_FAILED);
    EXPECT_TRUE(untouched(learned.data));
    EXPECT_EQ(learned.printed, "");
}

// A third of the set may be dropped: one stray line among three squares is.
TEST(Learning, OutlierIsDroppedBeforeAveraging)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(
        processor, {square(40, 10), straight(10, 0, 40), perturbed(square(40, 10), 1, 7), square(20, 20)});
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(digitsOf(learned.data), kSquareDigits);
    EXPECT_GT(learned.data.quality, 90.0f);
    EXPECT_LE(learned.data.quality, 100.0f);
}

// Directions just above and just below -x average to -x (1), where a plain
// mean of the values 8.87 and 1.13 would give +x (5).
TEST(Learning, AveragesDirectionsOnTheCircle)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(processor, {straight(-10, 1, 30), straight(-10, -1, 30)});
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(digitsOf(learned.data), std::vector<uint8_t>(8, 1));
    // Each training code lies 0.127 sectors off: cost 0.127 * 1.127 / 2 per value.
    EXPECT_NEAR(learned.data.quality, 96.4f, 0.1f);
}

struct RejectedCase
{
    const char* what;
    Path path;
};

void PrintTo(const RejectedCase& c, std::ostream* os)
{
    *os << c.what;
}

class RejectedTraining : public ::testing::TestWithParam<RejectedCase>
{
};

TEST_P(RejectedTraining, IsReportedAndNotCounted)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Learned learned = learn(processor, {GetParam().path});
    EXPECT_EQ(learned.printed, "Trace not long enough!Code creation failed!\n") << GetParam().what;
    EXPECT_EQ(processor.trajectoryCount(), 0u);
    EXPECT_TRUE(processor.trajectory(0).empty());
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_FAILED);
}

INSTANTIATE_TEST_SUITE_P(Paths, RejectedTraining,
                         ::testing::Values(RejectedCase{"no samples", {}},
                                           RejectedCase{"99 units", straight(9, 0, 11)},
                                           RejectedCase{"still", straight(0, 0, 50)}));

TEST(Learning, HundredTrainingGesturesAtMost)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    std::vector<Path> paths(100, square(10, 10));
    const Learned hundred = learn(processor, paths);
    EXPECT_EQ(hundred.printed, "");
    EXPECT_EQ(processor.trajectoryCount(), 100u);
    EXPECT_EQ(hundred.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);

    paths.push_back(straight(-10, 0, 40));
    const Learned more = learn(processor, paths);
    EXPECT_EQ(more.printed, "Max number of trajectory reached. This trajectory will be ignored.\n");
    EXPECT_EQ(processor.trajectoryCount(), 100u);
    EXPECT_EQ(digitsOf(more.data), kSquareDigits);
    EXPECT_EQ(more.data.quality, 100.0f);
}

// At 100 ms per sample a training gesture keeps its first ten seconds (and
// one sample more): the turn back after them is not part of it.
TEST(Learning, TrainingGestureKeepsTenSecondsOfSamples)
{
    GestureRecognitionProcessor processor;
    setCodeLength(processor, 8);
    const Path outAndBack = gesturetest::joined({straight(10, 0, 101), straight(-10, 0, 60)});
    learn(processor, {outAndBack}, false, 100000);
    EXPECT_EQ(processor.trajectory(0), std::vector<float>(8, 5.0f));

    learn(processor, {outAndBack}, false, 0);
    EXPECT_EQ(processor.trajectory(0).back(), 1.0f) << "period 0: no limit";
}

TEST(Learning, WithoutCodeLengthTheCodeIsEmpty)
{
    GestureRecognitionProcessor processor;
    const Learned learned = learn(processor, {square(40, 10)});
    EXPECT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(learned.data.codeLength, 0);
    EXPECT_TRUE(processor.learnedCode().empty());
}

class LibraryUpdate : public ::testing::Test
{
  protected:
    void SetUp() override { setCodeLength(processor, 8); }

    std::string update(int32_t& counter)
    {
        testing::internal::CaptureStdout();
        processor.updateGestureLibrary(counter);
        return testing::internal::GetCapturedStdout();
    }

    GestureRecognitionProcessor processor;
};

// The acceptance scenario of the whole learning road: a line sets the code
// length, a square learned from three shaky copies is stored, and one of the
// copies drawn again is recognised as the new gesture.
TEST_F(LibraryUpdate, LearnedSquareIsStoredAndRecognised)
{
    const Path copies[] = {perturbed(square(40, 10), 2, 1), perturbed(square(40, 10), 2, 2),
                           perturbed(square(40, 10), 2, 3)};
    const Learned learned = learn(processor, {copies[0], copies[1], copies[2]});
    ASSERT_EQ(learned.status, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(digitsOf(learned.data), kSquareDigits);

    int32_t counter = 0;
    EXPECT_EQ(update(counter), "New code User 1 is saved to library.\n");
    EXPECT_EQ(counter, 1);
    ASSERT_EQ(processor.library().size(), 2u);
    const Gesture& stored = processor.library().back();
    EXPECT_EQ(stored.getName(), "User 1");
    EXPECT_EQ(stored.getImageName(), " ");
    EXPECT_EQ(stored.getCode(), processor.learnedCode());

    const auto drawn = draw(processor, copies[1]);
    EXPECT_EQ(drawn.result.name, "User 1");
    EXPECT_GT(drawn.result.score, 60.0) << "cost below 0.4";
}

TEST_F(LibraryUpdate, KnownGestureIsNotStoredTwice)
{
    ASSERT_TRUE(processor.addGesture(Gesture("box", "5 5 7 7 1 1 3 3", "box.png")));
    learn(processor, {square(40, 10)});
    int32_t counter = 3;
    EXPECT_EQ(update(counter), "User input matched to box with 100.0 %, not saved.\n");
    EXPECT_EQ(counter, 3);
    EXPECT_EQ(processor.library().size(), 2u);
}

TEST_F(LibraryUpdate, HundredUserGesturesAtMost)
{
    learn(processor, {square(40, 10)});
    int32_t counter = 99;
    EXPECT_EQ(update(counter), "New code User 100 is saved to library.\n");
    EXPECT_EQ(counter, 100);

    learn(processor, {straight(0, 10, 40)});
    EXPECT_EQ(update(counter), "Max number of customized gestures reached. Can not save new gesture code.\n");
    EXPECT_EQ(counter, 100);
    EXPECT_EQ(processor.library().size(), 2u);
}

} // namespace
