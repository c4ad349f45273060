// The true orientation of a trace: closed-form turns, the engine's frame and
// product conventions, and the time line across lost samples.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "support/MotionTrace.h"
#include "support/orientationError.h"
#include "traceDevices.h"

namespace vnx::tracetest {
namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;
using testsupport::axisAngle;
using testsupport::MotionSample;
using testsupport::MotionTrace;
using testsupport::Quatd;
using testsupport::Vec3d;

constexpr double kG = MotionTrace::kGravity;

/// Rotation angle between two orientations (q and -q alike), in radians.
double angleBetween(const Quatd& a, const Quatd& b)
{
    const Quatd d = testsupport::multiply(testsupport::conjugate(a), b);
    return 2.0 * std::atan2(std::sqrt(d[1] * d[1] + d[2] * d[2] + d[3] * d[3]), std::abs(d[0]));
}

void expectVecNear(const Vec3d& actual, const Vec3d& expected, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "axis " << i;
}

TEST(MotionTraceOrientation, TurnFollowsTheClosedFormAtEverySample)
{
    const double rate = 1.5;
    const Vec3d axis{1.0 / 3.0, -2.0 / 3.0, 2.0 / 3.0};
    MotionTrace trace(presenterScd().build());
    trace.turn({1, -2, 2}, rate, 2.0); // axis of any length
    const double period = trace.periodS();

    int k = 0;
    for (const MotionSample& s : trace) {
        ++k;
        ASSERT_EQ(s.sampleNumber, k);
        const Quatd expected = axisAngle(axis, rate * period * k);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(s.truth.orientation[i], expected[i], 1e-14) << "sample " << k;
        expectVecNear(s.truth.angularRate, {rate * axis[0], rate * axis[1], rate * axis[2]}, 1e-15);
    }
    ASSERT_EQ(k, 250);
    // The whole turn: rate x duration about the axis.
    EXPECT_NEAR(rate * period * k, 3.0, 1e-6);
}

TEST(MotionTraceOrientation, PositiveTurnAboutZIsCounterClockwiseSeenFromAbove)
{
    MotionTrace trace(presenterScd().build());
    trace.turn({0, 0, 1}, 1.0, 0.4);
    const MotionSample* last = nullptr;
    for (const MotionSample& s : trace)
        last = &s;
    ASSERT_NE(last, nullptr);
    const double angle = 50 * trace.periodS();
    expectVecNear(testsupport::bodyToWorld(last->truth.orientation, {1, 0, 0}),
                  {std::cos(angle), std::sin(angle), 0}, 1e-14);
    // Gravity stays on the body's z axis through a turn about the vertical.
    expectVecNear(last->truth.specificForce, {0, 0, -kG}, 1e-12);
}

TEST(MotionTraceOrientation, GravityInTheBodyAfterQuarterTurns)
{
    struct Case
    {
        const char* what;
        Vec3d axis;
        double rate;
        Vec3d specificForce;
    };
    // Each turn lasts 0.8 s; the rate makes it a quarter turn.
    const double quarter = std::numbers::pi / 2.0 / 0.8;
    const Case cases[] = {
        {"+x: body y points up", {1, 0, 0}, quarter, {0, -kG, 0}},
        {"-x: body y points down", {1, 0, 0}, -quarter, {0, kG, 0}},
        {"+y: body x points down", {0, 1, 0}, quarter, {kG, 0, 0}},
        {"+z: still flat", {0, 0, 1}, quarter, {0, 0, -kG}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MotionTrace trace(presenterScd().build());
        // The period of the SCD is a float: scale the rate to land on the quarter exactly.
        trace.turn(c.axis, c.rate * 0.008 / trace.periodS(), 0.8);
        const MotionSample* last = nullptr;
        for (const MotionSample& s : trace)
            last = &s;
        ASSERT_NE(last, nullptr);
        expectVecNear(last->truth.specificForce, c.specificForce, 1e-12);
    }
}

// The engine integrates body rates by the right product q (x) (0, w dt / 2)
// and reads gravity as q* (x) (0, 0, -g) (x) q: fed the trace's own counts,
// its first-order integrator stays with the truth through turns about
// changing axes, which a world-frame (left) product in the generator would
// not.
TEST(MotionTraceOrientation, EngineIntegrationOfTheCountsTracksTheTruth)
{
    MotionTrace trace(imperfectScd().build(), {.initialOrientation = {0.9, 0.3, -0.2, 0.1}});
    trace.turn({1, 0, 0}, 1.2, 1.0)
        .turn({0, 1, 0}, -0.9, 1.0)
        .turn({0, 0, 1}, 2.0, 1.0)
        .turn({1, 1, 0}, 0.7, 1.0);
    const FixedPointCal::Output& cal = trace.calibration();

    Quatd start = testsupport::normalized({0.9, 0.3, -0.2, 0.1});
    Quaternion engine{Fp32(float(start[0])), Fp32(float(start[1])), Fp32(float(start[2])),
                      Fp32(float(start[3]))};
    double worst = 0.0;
    for (const MotionSample& s : trace) {
        const auto& r = s.output6AG;
        const Vector3 acc = accFromRaw(cal, {r.accelerometer[0], r.accelerometer[1], r.accelerometer[2]});
        const Vector3 rate = rsFromRaw(cal, {r.gyroscope[0], r.gyroscope[1], r.gyroscope[2]}, acc);
        engine.integrate(rate, Fp32(cal.period));
        worst = std::max(worst, angleBetween(s.truth.orientation, testsupport::toQuatd(engine)));
    }
    // Quantisation (half a count: 0.00026 rad/s) over 4 s and first-order error.
    EXPECT_LT(worst, 0.002);
}

TEST(MotionTraceOrientation, InitialOrientationIsTheStartOfTheFirstSegment)
{
    const Quatd start = axisAngle({0, 1, 0}, std::numbers::pi / 2.0); // body x points down
    MotionTrace trace(presenterScd().build(),
                      {.initialOrientation = {2 * start[0], 2 * start[1], 2 * start[2], 2 * start[3]}});
    trace.still(0.04).turn({1, 0, 0}, 1.0, 0.04);
    std::vector<Quatd> seen;
    for (const MotionSample& s : trace)
        seen.push_back(s.truth.orientation);
    ASSERT_EQ(seen.size(), 10u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(seen[4][i], start[i], 1e-15); // normalised
    // Body rates compose on the right.
    const Quatd expected = testsupport::multiply(start, axisAngle({1, 0, 0}, 5 * trace.periodS()));
    EXPECT_LT(angleBetween(seen[9], expected), 1e-14);
}

TEST(MotionTraceOrientation, GapSkipsSampleNumbersAndKeepsTheMotionGoing)
{
    MotionTrace trace(presenterScd().build());
    trace.turn({0, 0, 1}, 1.0, 0.08).gap(5).still(0.04).gap(3).turn({0, 0, 1}, -1.0, 0.04);
    const double period = trace.periodS();

    std::vector<std::int32_t> numbers;
    std::vector<double> headings;
    for (const MotionSample& s : trace) {
        numbers.push_back(s.sampleNumber);
        EXPECT_EQ(s.timeUs, static_cast<std::uint32_t>(s.sampleNumber) * 8000u);
        EXPECT_EQ(s.output6AG.sampleNumber, s.sampleNumber);
        const Vec3d x = testsupport::bodyToWorld(s.truth.orientation, {1, 0, 0});
        headings.push_back(std::atan2(x[1], x[0]));
    }
    const std::vector<std::int32_t> expected{1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                             16, 17, 18, 19, 20, 24, 25, 26, 27, 28};
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(trace.sampleCount(), 20);
    // The turn goes on through the first gap (15 periods at 1 rad/s), the
    // device is still through the second, then turns back.
    EXPECT_NEAR(headings[9], 10 * period, 1e-14);
    EXPECT_NEAR(headings[10], 15 * period, 1e-14);
    EXPECT_NEAR(headings[14], 15 * period, 1e-14);
    EXPECT_NEAR(headings[19], 10 * period, 1e-14);
}

TEST(MotionTraceOrientation, GapAtTheStartIsStill)
{
    MotionTrace trace(presenterScd().build());
    trace.gap(4).still(0.008);
    const MotionSample* s = trace.next();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->sampleNumber, 5);
    EXPECT_EQ(s->truth.orientation, testsupport::kIdentityQuat);
    EXPECT_EQ(trace.next(), nullptr);
}

} // namespace
} // namespace vnx::tracetest
