#pragma once

// The project's standard accuracy scenarios for the fusion main road: the
// devices they run on, the motions they perform, and a meter that turns an
// estimate sample by sample into accuracy figures against the truth. Shared
// by the accuracy tests and the fusion_accuracy report program, so that both
// measure the same thing on the same traces.
//
//   MotionTrace trace(realisticDevice().build(), realisticNoise(1, {}));
//   steadyTurn(trace, {0, 0, 1}, 20.0);
//   AccuracyMeter meter;
//   for (const MotionSample& s : trace) { feed(s); meter.add(s, estimate, removedOffset); }
//   meter.figures().maxOrientationDeg ...

#include <cstdint>

#include "support/MotionTrace.h"
#include "support/ScdBuilder.h"
#include "support/motionMath.h"

namespace vnx::testsupport {

/// A six-axis device at 125 Hz whose calibration declares the noise of a
/// real part: accelerometer 0.02 m/s^2, gyroscope 0.005 rad/s, zero-rate init
/// sigma 0.02 rad/s, three gyroscope axes (device kind 1), no nominal
/// calibration. Accelerometer 2 g full scale, gyroscope 1 mrad/s per count.
ScdBuilder realisticDevice();

/// White noise at the levels realisticDevice declares, and a gyroscope offset.
MotionTraceOptions realisticNoise(std::uint64_t seed, const Vec3d& gyroOffset);

/// Hand-like presenter motion: the rate changes every 0.1 s along smooth
/// curves about all three axes, up to about 1.5 rad/s.
void handMotion(MotionTrace& trace, double seconds);

/// One row of the steady-turn table.
struct SteadyTurnCase
{
    Vec3d axis; ///< body axis; the trace starts flat, so z is the vertical
    double rateDegPerS;
    const char* axisName;
};

/// The steady-turn table: 5 to 360 deg/s about the vertical, 20 and 90 deg/s
/// about a horizontal axis.
inline constexpr SteadyTurnCase kSteadyTurns[] = {
    {{0, 0, 1}, 5.0, "vertical"},    {{0, 0, 1}, 20.0, "vertical"},  {{0, 0, 1}, 90.0, "vertical"},
    {{0, 0, 1}, 180.0, "vertical"},  {{0, 0, 1}, 360.0, "vertical"}, {{1, 0, 0}, 20.0, "horizontal"},
    {{1, 0, 0}, 90.0, "horizontal"},
};

/// 5 s at rest, a constant turn at `rateDegPerS` about `axis` for 10 s, then
/// 5 s at rest.
void steadyTurn(MotionTrace& trace, const Vec3d& axis, double rateDegPerS);

/// Total rotation angle between two orientations, radians in [0, pi].
double orientationError(const Quatd& truth, const Quatd& estimate);

struct AccuracyFigures
{
    double rmsInclinationDeg = 0.0;
    double maxInclinationDeg = 0.0;
    /// Tilt and heading together, against the truth at either end of the
    /// sample's period (an output may describe either).
    double maxOrientationDeg = 0.0;
    double finalHeadingDriftDeg = 0.0;
    double maxOffsetErrorDegS = 0.0;   ///< largest axis error of the removed offset, any sample
    double finalOffsetErrorDegS = 0.0; ///< the same at the last sample
    double maxOffsetDegS = 0.0;        ///< largest axis of the removed offset itself, any sample
    long samples = 0;
};

/// Accumulates the figures of the samples from `fromS` seconds on (sample
/// time = sample number x period); the offset figures from `offsetFromS`
/// on, when that is later.
class AccuracyMeter
{
  public:
    explicit AccuracyMeter(double periodS, double fromS = 0.0, double offsetFromS = 0.0)
        : periodS_(periodS), fromS_(fromS), offsetFromS_(offsetFromS)
    {
    }

    /// estimate: body to world; removedOffset: the offset the engine took off
    /// the rate of this sample (rad/s).
    void add(const MotionSample& sample, const Quatd& estimate, const Vec3d& removedOffset);
    AccuracyFigures figures() const;

  private:
    double periodS_;
    double fromS_;
    double offsetFromS_;
    double sumSq_ = 0.0;
    Quatd previousTruth_ = kIdentityQuat;
    AccuracyFigures figures_;
};

} // namespace vnx::testsupport
