#pragma once

// A device lying on a (possibly tilted) surface, turned about the surface
// normal between rests, fed sample by sample to an AccelPlanarCalibration.
// The surface is tilted about the world x axis; the device's z axis is the
// surface normal (face up) or its opposite (face down).

#include <cmath>
#include <cstdint>
#include <random>

#include "accCalibration/AccelPlanarCalibration.h"
#include "accTestSupport.h"

namespace vnx::accTest {

class PlanarRig
{
  public:
    struct Scene
    {
        Vector3 offset = Vector3::zeros(); // accelerometer offset, m/s^2
        double tiltDeg = 0.0;              // surface tilt
        bool faceDown = false;
        double noiseSigma = 0.0; // white noise per axis, m/s^2
        double periodS = 0.01;
    };

    PlanarRig(AccelPlanarCalibration& cal, const Scene& scene) : cal_(cal), scene_(scene), rng_(17) {}

    /// Orientation (body to world) at yaw yawDeg about the surface normal.
    Quaternion orientation(double yawDeg) const
    {
        Quaternion q = axisAngle(1, 0, 0, scene_.tiltDeg * kDeg) * axisAngle(0, 0, 1, yawDeg * kDeg);
        if (scene_.faceDown)
            q = q * axisAngle(1, 0, 0, M_PI);
        return q;
    }

    /// Lies still at yaw yawDeg; `vibration` adds a 5 Hz shake of that
    /// amplitude (m/s^2) along the device x axis.
    void rest(double yawDeg, int samples, double vibration = 0.0)
    {
        for (int k = 0; k < samples; ++k)
            step(orientation(yawDeg), vibration);
    }

    /// Turns at an even rate from one yaw to another.
    void turn(double fromDeg, double toDeg, int samples)
    {
        for (int k = 1; k <= samples; ++k)
            step(orientation(fromDeg + (toDeg - fromDeg) * k / samples), 0.0);
    }

    /// Time passes without samples.
    void pause(std::uint32_t us) { timeUs_ += us; }

    void setPeriod(double periodS) { scene_.periodS = periodS; }
    std::uint32_t timeUs() const { return timeUs_; }

  private:
    void step(const Quaternion& q, double vibration)
    {
        timeUs_ += static_cast<std::uint32_t>(std::lround(scene_.periodS * 1e6));
        std::normal_distribution<double> noise(0.0, 1.0);
        const Vector3 f = restingAcceleration(q);
        const double shake = vibration * std::sin(2.0 * M_PI * 5.0 * samples_ * scene_.periodS);
        double a[3];
        for (int i = 0; i < 3; ++i)
            a[i] = double(f[i].value()) + scene_.offset[i].value() + scene_.noiseSigma * noise(rng_);
        a[0] += shake;
        ++samples_;
        cal_.process(timeUs_, Fp32(float(scene_.periodS)), q, vec(a[0], a[1], a[2]));
    }

    AccelPlanarCalibration& cal_;
    Scene scene_;
    std::mt19937 rng_;
    std::uint32_t timeUs_ = 0;
    std::uint64_t samples_ = 0;
};

} // namespace vnx::accTest
