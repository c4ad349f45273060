#include "support/fusionScenarios.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "support/orientationError.h"

namespace vnx::testsupport {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// Accelerometer and gyroscope scales of the device (per count).
constexpr float kAccFullScale = 19.6133f; // m/s^2 at 32768 counts
constexpr float kRadPerCount = 0.001f;
constexpr double kAccNoise = 0.02;   // m/s^2
constexpr double kGyroNoise = 0.005; // rad/s

double largestAxis(const Vec3d& v)
{
    return std::max({std::fabs(v[0]), std::fabs(v[1]), std::fabs(v[2])});
}

} // namespace

ScdBuilder realisticDevice()
{
    const float accCounts = static_cast<float>(kAccNoise * 32768.0 / kAccFullScale);
    const float gyroCounts = static_cast<float>(kGyroNoise / kRadPerCount);
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(Fp32(kAccFullScale) * I)
        .accelNoise(accCounts, accCounts, accCounts)
        .gyroMatrix(Fp32(kRadPerCount) * I)
        .gyroNoise(gyroCounts, gyroCounts, gyroCounts)
        .zroInitSigma(0.02f)
        .deviceKind(1);
}

MotionTraceOptions realisticNoise(std::uint64_t seed, const Vec3d& gyroOffset)
{
    return {.seed = seed, .gyroOffset = gyroOffset, .accNoise = kAccNoise, .gyroNoise = kGyroNoise};
}

void handMotion(MotionTrace& trace, double seconds)
{
    constexpr double kStepS = 0.1;
    for (double t = 0.0; t < seconds; t += kStepS) {
        const Vec3d rate{1.2 * std::sin(0.9 * t), 0.8 * std::sin(0.6 * t + 1.0), 1.5 * std::cos(0.35 * t)};
        const double magnitude = norm(rate);
        if (magnitude < 1e-9) {
            trace.still(kStepS);
        } else {
            trace.turn(rate, magnitude, kStepS);
        }
    }
}

void steadyTurn(MotionTrace& trace, const Vec3d& axis, double rateDegPerS)
{
    trace.still(5.0).turn(axis, rateDegPerS / kDegPerRad, 10.0).still(5.0);
}

double orientationError(const Quatd& truth, const Quatd& estimate)
{
    const Quatd e = multiply(normalized(estimate), conjugate(normalized(truth)));
    const double vector = std::sqrt(e[1] * e[1] + e[2] * e[2] + e[3] * e[3]);
    return 2.0 * std::atan2(vector, std::fabs(e[0]));
}

void AccuracyMeter::add(const MotionSample& sample, const Quatd& estimate, const Vec3d& removedOffset)
{
    const Quatd& truth = sample.truth.orientation;
    const Quatd previous = previousTruth_;
    previousTruth_ = truth;
    if (static_cast<double>(sample.sampleNumber) * periodS_ < fromS_)
        return;
    const double inclination = inclinationError(truth, estimate) * kDegPerRad;
    sumSq_ += inclination * inclination;
    ++figures_.samples;
    figures_.maxInclinationDeg = std::max(figures_.maxInclinationDeg, inclination);
    const double orientation =
        std::min(orientationError(truth, estimate), orientationError(previous, estimate)) * kDegPerRad;
    figures_.maxOrientationDeg = std::max(figures_.maxOrientationDeg, orientation);
    figures_.finalHeadingDriftDeg = headingDrift(truth, estimate) * kDegPerRad;
    if (static_cast<double>(sample.sampleNumber) * periodS_ < offsetFromS_)
        return;
    const Vec3d offsetError = added(removedOffset, scaled(sample.truth.gyroOffset, -1.0));
    figures_.finalOffsetErrorDegS = largestAxis(offsetError) * kDegPerRad;
    figures_.maxOffsetErrorDegS = std::max(figures_.maxOffsetErrorDegS, figures_.finalOffsetErrorDegS);
    figures_.maxOffsetDegS = std::max(figures_.maxOffsetDegS, largestAxis(removedOffset) * kDegPerRad);
}

AccuracyFigures AccuracyMeter::figures() const
{
    AccuracyFigures out = figures_;
    out.rmsInclinationDeg = std::sqrt(sumSq_ / static_cast<double>(std::max(figures_.samples, 1L)));
    return out;
}

} // namespace vnx::testsupport
