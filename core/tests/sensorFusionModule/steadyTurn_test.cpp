// A steady turn keeps the gyroscope as quiet as a device at rest; the
// offset learning must not take its rate for the zero-rate offset. Runs the
// main road on a device that declares the noise of a real part, where the
// rate noise alone no longer tells a table from a turn.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>

#include "fusionRig.h"
#include "support/MotionTrace.h"
#include "support/fusionDrivers.h"
#include "support/fusionScenarios.h"

namespace sensorFusionTest {
namespace {

// The offset is judged from the end of the first statistics window (0.16 s)
// on: before it the estimate is the running mean of a few noisy samples.
constexpr double kFirstWindowS = 0.16;

using vnx::testsupport::AccuracyFigures;
using vnx::testsupport::AccuracyMeter;
using vnx::testsupport::MotionSample;
using vnx::testsupport::MotionTrace;
using vnx::testsupport::MotionTraceOptions;
using vnx::testsupport::SensorFusionDriver;
using vnx::testsupport::SteadyTurnCase;
using vnx::testsupport::Vec3d;

constexpr double kDegPerRad = 180.0 / std::numbers::pi;

AccuracyFigures runTurn(const scdGen4Float_s& scd, const SteadyTurnCase& turn, const Vec3d& offset)
{
    MotionTrace trace(scd, vnx::testsupport::realisticNoise(2, offset));
    vnx::testsupport::steadyTurn(trace, turn.axis, turn.rateDegPerS);
    SensorFusionDriver road;
    EXPECT_EQ(road.init(scd), VNX_STATUS_SUCCESS);
    AccuracyMeter meter(trace.periodS(), 0.0, kFirstWindowS);
    int failures = 0;
    for (const MotionSample& sample : trace) {
        failures += road.process(sample) != VNX_STATUS_SUCCESS;
        meter.add(sample, road.orientation(), road.removedOffset());
    }
    EXPECT_EQ(failures, 0);
    return meter.figures();
}

TEST(SensorFusionSteadyTurn, TurnRateIsNeverTakenForTheOffset)
{
    CoreLibrary core;
    const scdGen4Float_s scd = vnx::testsupport::realisticDevice().build();
    for (const SteadyTurnCase& turn : vnx::testsupport::kSteadyTurns) {
        SCOPED_TRACE(::testing::Message() << turn.rateDegPerS << " deg/s about the " << turn.axisName);
        const AccuracyFigures f = runTurn(scd, turn, {0.0, 0.0, 0.0});
        std::printf("[ %g deg/s ] orientation max %.3f deg, offset max %.3f deg/s\n", turn.rateDegPerS,
                    f.maxOrientationDeg, f.maxOffsetDegS);
        EXPECT_LT(f.maxOrientationDeg, 2.0);
        EXPECT_LT(f.maxOffsetDegS, 0.5);
    }
}

TEST(SensorFusionSteadyTurn, RealOffsetIsStillLearnedAroundTheTurn)
{
    CoreLibrary core;
    const scdGen4Float_s scd = vnx::testsupport::realisticDevice().build();
    const Vec3d offset{0.01, -0.02, 0.015};
    for (const SteadyTurnCase& turn : vnx::testsupport::kSteadyTurns) {
        SCOPED_TRACE(::testing::Message() << turn.rateDegPerS << " deg/s about the " << turn.axisName);
        const AccuracyFigures f = runTurn(scd, turn, offset);
        EXPECT_LT(f.maxOrientationDeg, 2.0);
        EXPECT_LT(f.finalOffsetErrorDegS, 0.1);
    }
}

TEST(SensorFusionSteadyTurn, TurningFromTheFirstSampleLeavesNoOffsetAndAGoodDcd)
{
    CoreLibrary core;
    struct Case
    {
        const char* name;
        scdGen4Float_s scd;
        double gyroNoise; ///< rad/s, as the device has it
    };
    // The test device declares less accelerometer noise than it has, so it
    // never sees a table: nothing but the start phase decides what it learns.
    const Case cases[] = {
        {"realistic noise", vnx::testsupport::realisticDevice().build(), 0.005},
        {"test device", testDevice().deviceKind(1).build(), 0.002},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const MotionTraceOptions noise{.seed = 5, .accNoise = 0.02, .gyroNoise = c.gyroNoise};
        MotionTrace trace(c.scd, noise);
        trace.turn({1, 0, 0}, 0.5, 2.0).still(60.0);
        vnx::testsupport::handMotion(trace, 30.0);

        dcdAlg49AxisFixed_s dcd{};
        {
            SensorFusionDriver road;
            ASSERT_EQ(road.init(c.scd), VNX_STATUS_SUCCESS);
            AccuracyMeter meter(trace.periodS(), 2.0, 2.0);
            for (const MotionSample& sample : trace) {
                road.process(sample);
                meter.add(sample, road.orientation(), road.removedOffset());
            }
            const AccuracyFigures f = meter.figures();
            std::printf("[ turning at start, %s ] inclination max %.3f deg, offset max %.3f deg/s\n", c.name,
                        f.maxInclinationDeg, f.maxOffsetDegS);
            EXPECT_LT(f.maxInclinationDeg, 2.0);
            EXPECT_LT(f.maxOffsetDegS, 0.5);
            ASSERT_EQ(road.dcd(dcd), VNX_STATUS_SUCCESS);
            for (const float zro : dcd.innards.zro)
                EXPECT_LT(std::fabs(zro) * kDegPerRad, 0.5);
        }

        // A new session from that DCD, held still and then moved.
        MotionTrace next(c.scd, {.seed = 6, .accNoise = 0.02, .gyroNoise = c.gyroNoise});
        next.still(5.0);
        vnx::testsupport::handMotion(next, 10.0);
        SensorFusionDriver restored;
        ASSERT_EQ(restored.init(c.scd, &dcd.head), VNX_STATUS_SUCCESS);
        AccuracyMeter meter(next.periodS(), 0.0, kFirstWindowS);
        for (const MotionSample& sample : next) {
            restored.process(sample);
            meter.add(sample, restored.orientation(), restored.removedOffset());
        }
        EXPECT_LT(meter.figures().maxInclinationDeg, 2.0);
        EXPECT_LT(meter.figures().maxOffsetDegS, 0.5);
    }
}

} // namespace
} // namespace sensorFusionTest
