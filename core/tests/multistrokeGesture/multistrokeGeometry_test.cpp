#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "gesture/MultistrokeGesture.h"

namespace {

using Segment = MultistrokeGesture::Segment_s;
using Output = GestureRecognitionProcessor::Output_t;

Segment box(int32_t minX, int32_t minY, int32_t maxX, int32_t maxY)
{
    Segment segment;
    segment.minX = minX;
    segment.minY = minY;
    segment.maxX = maxX;
    segment.maxY = maxY;
    return segment;
}

struct DistanceCase
{
    const char* what;
    Segment a;
    Segment b;
    double distance;
};

void PrintTo(const DistanceCase& c, std::ostream* os)
{
    *os << c.what;
}

class BoxDistance : public ::testing::TestWithParam<DistanceCase>
{
};

TEST_P(BoxDistance, IsTheShortestCornerToCornerDistance)
{
    EXPECT_DOUBLE_EQ(MultistrokeGesture::distance(GetParam().a, GetParam().b), GetParam().distance);
    EXPECT_DOUBLE_EQ(MultistrokeGesture::distance(GetParam().b, GetParam().a), GetParam().distance);
    EXPECT_EQ(MultistrokeGesture::intersects(GetParam().a, GetParam().b), GetParam().distance == 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, BoxDistance,
    ::testing::Values(DistanceCase{"overlapping", box(0, 0, 10, 10), box(5, 5, 20, 20), 0.0},
                      DistanceCase{"touching borders", box(0, 0, 10, 10), box(10, 0, 20, 10), 0.0},
                      DistanceCase{"inside", box(0, 0, 100, 100), box(40, 40, 60, 60), 0.0},
                      DistanceCase{"beside", box(0, 0, 10, 10), box(13, 0, 20, 10), 3.0},
                      DistanceCase{"diagonal", box(0, 0, 10, 10), box(13, 14, 20, 20), 5.0},
                      // Corners, not edges: a box above the middle of another
                      // is as far as its nearest corners.
                      DistanceCase{"above the middle", box(0, 0, 100, 10), box(40, 20, 60, 30),
                                   std::sqrt(40.0 * 40.0 + 10.0 * 10.0)},
                      // Beyond 46,340 units the squares leave 32 bits.
                      DistanceCase{"50,000 apart", box(0, 0, 10, 10), box(50010, 0, 50020, 10), 50000.0}));

TEST(BoxDistance, StrokeWithoutPointsIsFarButFinite)
{
    const Segment empty;
    const Segment drawn = box(-200, -50, 300, 80);
    EXPECT_FALSE(MultistrokeGesture::intersects(drawn, empty));
    const double d = MultistrokeGesture::distance(drawn, empty);
    EXPECT_TRUE(std::isfinite(d));
    EXPECT_GT(d, 2.0e9);
}

TEST(Dist, IsEuclidean)
{
    EXPECT_DOUBLE_EQ(MultistrokeGesture::dist(1, 2, 4, 6), 5.0);
    EXPECT_DOUBLE_EQ(MultistrokeGesture::dist(std::numeric_limits<int32_t>::min(), 0,
                                              std::numeric_limits<int32_t>::max(), 0),
                     4294967295.0);
}

struct MatchCase
{
    const char* what;
    Output result;
    bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os)
{
    *os << c.what;
}

class IsMatch : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(IsMatch, NeedsANamedResultOfSixtyPercent)
{
    EXPECT_EQ(MultistrokeGesture::isMatch(GetParam().result), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(Results, IsMatch,
                         ::testing::Values(MatchCase{"59.9", Output{true, "circle", 59.9}, false},
                                           MatchCase{"60.0", Output{true, "circle", 60.0}, true},
                                           MatchCase{"100", Output{true, "circle", 100.0}, true},
                                           MatchCase{"not done", Output{false, "circle", 90.0}, false},
                                           MatchCase{"not matched", Output{true, "Not matched", 90.0},
                                                     false}));

} // namespace
