#include "sensorFusion/SensorFusionTwoRotation9AM.h"

#include <algorithm>
#include <cmath>

#include "numerics/numericConstants.h"
#include "sensorFusion/WahbaSolvers.h"
#include "sensorFusion/frameRotation.h"

namespace vnx {

namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;
using sensorFusion::saturated;

// Time constant of the reference filter, s.
constexpr float kReferenceTimeConstantS = 0.125f;
// A gap of more than this many periods reloads the reference filter.
constexpr std::uint64_t kReloadPeriods = 30;
// Heading errors (degrees) that switch to the magnetometer-led solver and
// back; the gap between them is the hysteresis.
constexpr float kMagnetometerLedBelowDeg = 20.0f;
constexpr float kAccelerometerLedFromDeg = 30.0f;
constexpr float kRadPerDeg = 0.017453292f;

} // namespace

void SensorFusionTwoRotation9AM::init()
{
    q_ = Quaternion::identity();
    reset_ = 1;
    stage1_ = {};
    stage2_ = {};
    mode_ = kAccelerometerLed;
}

void SensorFusionTwoRotation9AM::huFrom_gDoth(Fp32 d, Vector3& h)
{
    h = {saturated(sqrt(Fp32(1.0f) - d * d)), Fp32(0.0f), -d};
}

void SensorFusionTwoRotation9AM::process(Fp32 periodS, std::uint32_t intervalUs, Fp32 headingErrorDeg, Fp32 d,
                                         const Vector3& acc, const Vector3& mag, Quaternion& out)
{
    Vector3 h;
    huFrom_gDoth(d, h);

    const Fp32 tau(kReferenceTimeConstantS);
    const Fp32 alpha = saturated(-tau / (tau + periodS));
    // Whole microseconds of the period, as float; compared in double so that
    // no period overflows the product.
    const float periodUs = std::floor((periodS * Fp32(1000000.0f)).value());
    const double reloadUs = static_cast<double>(kReloadPeriods) * static_cast<double>(periodUs);
    if (reset_ != 0 || static_cast<double>(intervalUs) > reloadUs) {
        stage1_ = h;
        stage2_ = h;
        reset_ = 0;
    }
    const Fp32 keep = -alpha;
    const Fp32 take = Fp32(1.0f) + alpha;
    for (int i = 0; i < 3; ++i) {
        stage1_[i] = take * h[i] + keep * stage1_[i];
        stage2_[i] = take * stage1_[i] + keep * stage2_[i];
    }
    Vector3 reference = sensorFusion::normalizedSaturated(stage2_);

    if (mode_ == kAccelerometerLed) {
        if (headingErrorDeg <= Fp32(kMagnetometerLedBelowDeg))
            mode_ = kMagnetometerLed;
    } else if (headingErrorDeg >= Fp32(kAccelerometerLedFromDeg)) {
        mode_ = kAccelerometerLed;
    }

    const Vector3 down{Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)};
    const Vector3 worldX{Fp32(1.0f), Fp32(0.0f), Fp32(0.0f)};
    const Vector3 accDir = sensorFusion::isNegligible(acc) ? sensorFusion::rotateByConjugate(q_, down)
                                                           : sensorFusion::normalizedSaturated(acc);
    Vector3 magDir;
    const bool noField = sensorFusion::isNegligible(mag);
    if (noField) {
        // No field: feed the current heading back in.
        reference = worldX;
        magDir = sensorFusion::rotateByConjugate(q_, worldX);
    } else {
        magDir = sensorFusion::normalizedSaturated(mag);
    }

    // The stand-in field is horizontal only in the old orientation: levelling
    // on it would tilt the result away from measured gravity, so without a
    // field the accelerometer leads whatever the mode.
    if (mode_ == kAccelerometerLed || noField) {
        WahbaSolvers::TwoRotationsAcc(reference, accDir, magDir, q_);
    } else {
        WahbaSolvers::TwoRotationsMag(reference, accDir, magDir, q_);
    }
    q_.renormalize();
    out = q_;
}

void SensorFusionTwoRotation9AM::getAccuracy(Fp32 periodS, Fp32 w, Fp32 headingErrorDeg, const Vector3& mag,
                                             const Vector3& previousMag, Fp32& accuracy)
{
    const Fp32 pi(kPiF);
    const Fp32 base =
        headingErrorDeg >= Fp32(kMagnetometerLedBelowDeg) ? pi : headingErrorDeg * Fp32(kRadPerDeg);
    const Fp32 change = saturated((mag - previousMag).norm() / mag.norm() * w / periodS);
    const Fp32 sum = saturated(base + (change << 1));
    accuracy = Fp32(std::clamp(sum.value(), 0.0f, kPiF));
}

} // namespace vnx
