#include "sensorFusionMobile/mobileIntegrationScale.h"

namespace vnx::mobile {

namespace {

// A comparison counts only after this much rotation (rad) and with a
// deviation (rad) clearly above the noise of the two frames.
constexpr float kMinAngleRad = 4.0f;
constexpr float kMinDeviationRad = 0.1f;
// Drift per radian of rotation below which the gyroscope scale is fine.
constexpr float kDriftRatio = 0.004f;
// Rotation (rad, ten turns) over which k relaxes halfway to its default.
constexpr float kRelaxAngleRad = 62.8f;

} // namespace

Fp32 updateIntegrationErrorScale(Fp32 k, Fp32 deviationRad, Fp32 angleRad)
{
    const Fp32 base(kDefaultIntegrationErrorScale);
    if (deviationRad >= Fp32(kMinDeviationRad) && angleRad >= Fp32(kMinAngleRad)) {
        const Fp32 r = deviationRad / angleRad;
        if (r >= Fp32(kDriftRatio)) {
            const Fp32 x = r / Fp32(kDriftRatio);
            const Fp32 candidate = base * (Fp32(1.0f) + Fp32(2.0f) * x * x);
            if (candidate >= Fp32(kMaxIntegrationErrorScale))
                return Fp32(kMaxIntegrationErrorScale);
            return max(k, candidate);
        }
    }
    return base + Fp32(kRelaxAngleRad) / (angleRad + Fp32(kRelaxAngleRad)) * (k - base);
}

} // namespace vnx::mobile
