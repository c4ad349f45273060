#include "runtime/PVMotionNoiseFilter.h"
#include "log/DXLogConfig.h"
#include "support/LogCapture.h"

#include <climits>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace {

/// A filter past its settling: the movements of this many events are handed on.
PVMotionNoiseFilter settledFilter()
{
    PVMotionNoiseFilter filter;
    filter.setPreventCount(PVMotionNoiseFilter::kSettleEvents);
    return filter;
}

int noiseLines(const LogCapture& log)
{
    int count = 0;
    for (const DXLogEntry& entry : log.entries()) {
        if (entry.text == "Noise!") {
            EXPECT_TRUE(entry.tagged);
            EXPECT_EQ(entry.tag, 2u);
            EXPECT_EQ(entry.level, DXLogLevelDebug);
            ++count;
        }
    }
    return count;
}

TEST(MotionNoiseFilter, AfterAnEventWithoutMovementSixMotionEventsAreDropped)
{
    PVMotionNoiseFilter filter = settledFilter();
    EXPECT_EQ(filter.filter(5, 3), QPointF(5, 3)) << "settled: handed on";
    EXPECT_EQ(filter.filter(0, 0), std::nullopt) << "a button event";
    EXPECT_EQ(filter.preventCount(), 0u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(filter.filter(10, -4), std::nullopt) << "motion event " << i;
    }
    EXPECT_EQ(filter.preventCount(), 6u);
    EXPECT_EQ(filter.filter(10, -4), QPointF(10, -4));
    EXPECT_EQ(filter.preventCount(), 6u) << "a movement handed on does not count";

    // A status event in the middle starts the six again.
    filter.filter(0, 0);
    filter.filter(10, 0);
    filter.filter(10, 0);
    filter.filter(0, 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(filter.filter(10, 0), std::nullopt) << "motion event " << i;
    }
    EXPECT_EQ(filter.filter(10, 0), QPointF(10, 0));
}

TEST(MotionNoiseFilter, MovementsBelowTwoInBothAxesAreNeverHandedOn)
{
    struct Case
    {
        int dx, dy;
        bool handedOn;
    };
    const Case cases[] = {
        {1, 1, false},  {-1, 1, false}, {1, -1, false}, {0, 1, false},   {-1, 0, false},
        {2, 0, true},   {0, 2, true},   {-2, 0, true},  {0, -2, true},   {2, 1, true},
        {1, -2, true},  {-2, -2, true},
    };
    for (const Case& c : cases) {
        PVMotionNoiseFilter filter = settledFilter();
        const std::optional<QPointF> used = filter.filter(c.dx, c.dy);
        EXPECT_EQ(used, c.handedOn ? std::optional<QPointF>(QPointF(c.dx, c.dy)) : std::nullopt)
            << c.dx << ", " << c.dy;
    }
    // The largest movements are measured without overflow: far from the
    // mean, they are noise.
    for (const int extreme : {INT_MIN, INT_MAX}) {
        PVMotionNoiseFilter filter = settledFilter();
        filter.setLastUsed(QPointF(4, 4));
        EXPECT_EQ(filter.filter(extreme, extreme), QPointF(4, 4));
    }

    // Dropped small movements keep the filter counting: a run of them never
    // turns into movement.
    PVMotionNoiseFilter filter;
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(filter.filter(1, 1), std::nullopt);
    }
    EXPECT_EQ(filter.preventCount(), 100u);
    EXPECT_EQ(filter.filter(2, 0), QPointF(2, 0));
}

TEST(MotionNoiseFilter, AMovementFarFromTheRecentMeanIsReplacedByTheLastOneUsed)
{
    struct Case
    {
        int dx, dy;
        bool noise; ///< squared distance from the mean (0, 0) above 160000
    };
    const Case cases[] = {
        {400, 1, true},    // 160001
        {399, 0, false},   // 159201
        {400, 0, false},   // 160000: not above
        {0, -401, true},   // 160801
        {-283, 283, true}, // 160178
        {-282, 282, false} // 159048
    };
    for (const Case& c : cases) {
        PVMotionNoiseFilter filter = settledFilter();
        filter.setLastUsed(QPointF(7, -3));
        const LogCapture log;
        SCOPED_TRACE(::testing::Message() << c.dx << ", " << c.dy);
        const std::optional<QPointF> used = filter.filter(c.dx, c.dy);
        EXPECT_EQ(used, c.noise ? QPointF(7, -3) : QPointF(c.dx, c.dy));
        EXPECT_EQ(filter.lastUsed(), *used);
        EXPECT_EQ(noiseLines(log), c.noise ? 1 : 0);
        // The movement itself joins the recent ones, noise or not.
        EXPECT_EQ(filter.recentDiffer().back(), QPointF(c.dx, c.dy));
        EXPECT_EQ(filter.recentDiffer().front(), QPointF(0, 0));
    }
}

TEST(MotionNoiseFilter, TheMeanFollowsTheLastEightMovements)
{
    PVMotionNoiseFilter filter = settledFilter();
    const LogCapture log;
    // A fast sweep: each step is far from (0, 0) but the mean catches up.
    std::vector<QPointF> used;
    for (int i = 0; i < 8; ++i) {
        used.push_back(*filter.filter(300, 0));
    }
    for (const QPointF& move : used) {
        EXPECT_EQ(move, QPointF(300, 0));
    }
    EXPECT_EQ(noiseLines(log), 0);
    for (const QPointF& move : filter.recentDiffer()) {
        EXPECT_EQ(move, QPointF(300, 0));
    }
    // Mean (300, 0): a jump to 750 is 450 away, noise. The noise still
    // weighs in the mean, (7 * 300 + 750) / 8 = 356.25: 740 is 383.75 away
    // from it and handed on (from the mean before, it would be noise).
    EXPECT_EQ(filter.filter(750, 0), QPointF(300, 0));
    EXPECT_EQ(filter.filter(740, 0), QPointF(740, 0));
    EXPECT_EQ(noiseLines(log), 1);
    QPointF sum;
    for (const QPointF& move : filter.recentDiffer()) {
        sum += move;
    }
    EXPECT_EQ(sum, QPointF(6 * 300 + 750 + 740, 0));
}

TEST(MotionNoiseFilter, ClearingPutsEightZeroPointsBack)
{
    PVMotionNoiseFilter filter = settledFilter();
    filter.filter(50, 60);
    filter.clearRecentDiffer();
    for (const QPointF& move : filter.recentDiffer()) {
        EXPECT_EQ(move, QPointF(0, 0));
    }
    EXPECT_EQ(filter.recentDiffer().size(), 8u);
    EXPECT_EQ(filter.lastUsed(), QPointF(50, 60)) << "only the recent movements";
}

} // namespace
