// The mobile engine through vnx_Mobile_* in six-axis mode (no magnetometer)
// on a device that declares the noise of a real part: a steady turn is no
// zero-rate offset, a real offset is still learned.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/statusCode.h"
#include "support/MotionTrace.h"
#include "support/fusionDrivers.h"
#include "support/fusionScenarios.h"

namespace {

// The offset is judged from the end of the first statistics window (0.16 s)
// on: before it the estimate is the running mean of a few noisy samples.
constexpr double kFirstWindowS = 0.16;

using vnx::testsupport::AccuracyFigures;
using vnx::testsupport::AccuracyMeter;
using vnx::testsupport::MobileDriver;
using vnx::testsupport::MotionSample;
using vnx::testsupport::MotionTrace;
using vnx::testsupport::Vec3d;

TEST(MobileSteadyTurn, TurnsLeaveTheOffsetAloneAndARealOffsetIsLearned)
{
    const scdGen4Float_s scd = vnx::testsupport::realisticDevice().build();
    const Vec3d noOffset{0.0, 0.0, 0.0};
    const Vec3d offset{0.01, -0.02, 0.015};
    for (const Vec3d& trueOffset : {noOffset, offset}) {
        for (const vnx::testsupport::SteadyTurnCase& turn : vnx::testsupport::kSteadyTurns) {
            SCOPED_TRACE(::testing::Message()
                         << turn.rateDegPerS << " deg/s about (" << turn.axis[0] << ", " << turn.axis[1]
                         << ", " << turn.axis[2] << "), offset " << trueOffset[1]);
            MotionTrace trace(scd, vnx::testsupport::realisticNoise(3, trueOffset));
            vnx::testsupport::steadyTurn(trace, turn.axis, turn.rateDegPerS);
            MobileDriver engine(scd);
            ASSERT_EQ(engine.initStatus(), VNX_STATUS_SUCCESS);
            AccuracyMeter meter(trace.periodS(), 0.0, kFirstWindowS);
            int failures = 0;
            // The bias output of a sample the engine takes for a device at
            // rest is that sample's whole rate, so the learned offset is
            // judged while the device turns: it must never become the turn.
            double turningOffsetDegS = 0.0;
            for (const MotionSample& sample : trace) {
                failures += engine.process(sample);
                meter.add(sample, engine.orientation(), engine.removedOffset());
                if (vnx::testsupport::norm(sample.truth.angularRate) > 0.0) {
                    for (const double v : engine.removedOffset())
                        turningOffsetDegS =
                            std::max(turningOffsetDegS, std::fabs(v) * 180.0 / 3.141592653589793);
                }
            }
            EXPECT_EQ(failures, 0);
            const AccuracyFigures f = meter.figures();
            std::printf(
                "[ %g deg/s, offset %g ] orientation max %.3f deg, offset max %.3f, end error %.3f deg/s\n",
                turn.rateDegPerS, trueOffset[1], f.maxOrientationDeg, f.maxOffsetDegS,
                f.finalOffsetErrorDegS);
            EXPECT_LT(f.maxOrientationDeg, 2.0);
            if (trueOffset == noOffset) {
                EXPECT_LT(turningOffsetDegS, 0.5);
            } else {
                EXPECT_LT(f.finalOffsetErrorDegS, 0.1);
            }
        }
    }
}

} // namespace
