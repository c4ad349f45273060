#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <vector>

#include "gesture/GestureRecognitionProcessor.h"

namespace {

struct DirectionCase
{
    double x;
    double y;
    float value;
};

void PrintTo(const DirectionCase& c, std::ostream* os)
{
    *os << "(" << c.x << ", " << c.y << ")";
}

class Direction : public ::testing::TestWithParam<DirectionCase>
{
};

TEST_P(Direction, LiesOnTheEightSectorScale)
{
    EXPECT_FLOAT_EQ(GestureRecognitionProcessor::codeFromDeltaPos(GetParam().y, GetParam().x),
                    GetParam().value);
}

// -x lies at the seam: the formula gives 9.0 there, which folds onto 1.0.
INSTANTIATE_TEST_SUITE_P(Axes, Direction,
                         ::testing::Values(DirectionCase{10, 0, 5.0f}, DirectionCase{-10, 0, 1.0f},
                                           DirectionCase{0, 10, 7.0f}, DirectionCase{0, -10, 3.0f},
                                           DirectionCase{10, 10, 6.0f}, DirectionCase{-10, -10, 2.0f},
                                           DirectionCase{-10, 10, 8.0f}, DirectionCase{0, 0, 5.0f}));

TEST(Direction, MinusXIsExactlyOneNeverNine)
{
    EXPECT_EQ(GestureRecognitionProcessor::codeFromDeltaPos(0.0, -1.0), 1.0f);
    EXPECT_EQ(GestureRecognitionProcessor::codeFromDeltaPos(0.0, -123456.0), 1.0f);
    // Just above the seam the value stays just below 9.
    const float above = GestureRecognitionProcessor::codeFromDeltaPos(1e-3, -1.0);
    EXPECT_GT(above, 8.99f);
    EXPECT_LT(above, 9.0f);
}

struct CostCase
{
    const char* what;
    std::vector<float> tested;
    std::vector<float> reference;
    double cost;
};

void PrintTo(const CostCase& c, std::ostream* os)
{
    *os << c.what;
}

class Cost : public ::testing::TestWithParam<CostCase>
{
};

TEST_P(Cost, IsTheCheapestWarpingPathOverTwiceTheReferenceLength)
{
    GestureRecognitionProcessor processor;
    EXPECT_DOUBLE_EQ(processor.costProcess(GetParam().tested, GetParam().reference), GetParam().cost)
        << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Cost,
    ::testing::Values(CostCase{"identical", {5, 7, 1, 3, 5}, {5, 7, 1, 3, 5}, 0.0},
                      // d = 1 everywhere: cost 1 per position, m positions over 2m.
                      CostCase{"one sector apart", {5, 6, 7, 8}, {6, 7, 8, 1}, 0.5},
                      CostCase{"neighbours across the seam", {1, 1, 1}, {8, 8, 8}, 0.5},
                      // d = 4 is the largest circular distance: 4 * 5 / 2 = 10 per position.
                      CostCase{"opposite", {1, 1}, {5, 5}, 5.0},
                      CostCase{"empty tested code", {}, {5, 5, 5}, 0.4},
                      // Two steps along the longer reference at 1/|m - n| = 0.5 each: 1 / 12.
                      CostCase{"shorter tested code", {5, 5, 5, 5}, {5, 5, 5, 5, 5, 5}, 1.0 / 12.0},
                      // Two steps along the longer tested code at 0.5 each, over 2 * 4.
                      CostCase{"longer tested code", {5, 5, 5, 5, 5, 5}, {5, 5, 5, 5}, 1.0 / 8.0}));

TEST(Cost, EmptyReferenceMatchesNothing)
{
    GestureRecognitionProcessor processor;
    EXPECT_TRUE(std::isinf(processor.costProcess({5, 5, 5, 5}, {})));
}

// Codes longer than 31 values, as long definitions and normalised codes are,
// cost the same as short ones would and stay inside their tables.
TEST(Cost, LongCodesAreComparedWhole)
{
    GestureRecognitionProcessor processor;
    // Runs of ten of 1, 3, 5, 7, and the same one sector higher: no value of
    // one code equals any of the other, so no warping beats the diagonal.
    std::vector<float> forty(40);
    for (std::size_t i = 0; i < forty.size(); ++i) {
        forty[i] = static_cast<float>(1 + 2 * (i / 10));
    }
    EXPECT_EQ(processor.costProcess(forty, forty), 0.0);
    std::vector<float> higher = forty;
    for (float& value : higher) {
        value += 1.0f;
    }
    EXPECT_DOUBLE_EQ(processor.costProcess(forty, higher), 0.5);
    // A short code after a long one reuses the grown table.
    EXPECT_DOUBLE_EQ(processor.costProcess({5, 6, 7, 8}, {6, 7, 8, 1}), 0.5);
    // 63 equal values against 20: 43 steps along the tested code alone at
    // 1/43 each, over 2 * 20.
    const std::vector<float> longest(63, 3.0f);
    const std::vector<float> shorter(20, 3.0f);
    EXPECT_NEAR(processor.costProcess(longest, shorter), 1.0 / 40.0, 1e-12);
}

} // namespace
