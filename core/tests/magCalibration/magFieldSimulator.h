#pragma once

// Synthetic magnetometer traces for the calibration tests: a device turning
// through many orientations in a constant field, read through a known
// soft-iron matrix and hard-iron offset.
//
// The sensor is described by a matrix M and the field strength F: a reading is
// raw = F * M^-1 * u + rawOffset for the field direction u in the body, so a
// perfect fit finds (I + D) = M / F, the offset (after the matrix)
// M * rawOffset / F and the field strength 3 F / trace(M).

#include <cmath>
#include <cstdint>

#include "numerics/qdVectorFixed.h"

namespace vnx::test {

struct Dvec3
{
    double x, y, z;
};

struct Dquat
{
    double w, x, y, z;
};

inline Dquat multiply(const Dquat& a, const Dquat& b)
{
    return {a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w};
}

inline Dquat axisAngle(const Dvec3& axis, double angleRad)
{
    const double s = std::sin(angleRad / 2);
    return {std::cos(angleRad / 2), axis.x * s, axis.y * s, axis.z * s};
}

/// World vector v seen in the body frame of orientation q: conj(q) v q.
inline Dvec3 toBody(const Dquat& q, const Dvec3& v)
{
    const Dquat p{0, v.x, v.y, v.z};
    const Dquat c{q.w, -q.x, -q.y, -q.z};
    const Dquat r = multiply(multiply(c, p), q);
    return {r.x, r.y, r.z};
}

inline double norm(const Dvec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

inline qdVectorFixed::Vector3 toVec(const Dvec3& v)
{
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

inline qdVectorFixed::Quaternion toQuat(const Dquat& q)
{
    return {static_cast<float>(q.w), static_cast<float>(q.x), static_cast<float>(q.y),
            static_cast<float>(q.z)};
}

class MagFieldSimulator
{
  public:
    struct Sample
    {
        qdVectorFixed::Vector3 raw;     ///< magnetometer reading
        qdVectorFixed::Quaternion q;    ///< device orientation
        qdVectorFixed::Vector3 gravity; ///< gravity reference in the body
        Dvec3 field;                    ///< true field in the body, sensor units
    };

    /// shape: M, row-major; fieldStrength: F, sensor units; rawOffset:
    /// hard-iron offset of the reading.
    MagFieldSimulator(const double (&shape)[9], double fieldStrength, const Dvec3& rawOffset)
        : fieldStrength_(fieldStrength), rawOffset_(rawOffset)
    {
        invert(shape, inverse_);
    }

    /// Rates of the three turns that make up the trajectory, rad/s.
    void setRates(double spinRad, double tiltRad, double rollRad)
    {
        spin_ = spinRad;
        tilt_ = tiltRad;
        roll_ = rollRad;
    }
    /// Amplitude of a deterministic noise added to every reading.
    void setNoise(double amplitude) { noise_ = amplitude; }
    /// Tilt about x swinging within +-amplitude instead of turning on.
    void setTiltSwing(double amplitudeRad) { tiltSwing_ = amplitudeRad; }
    /// Unit field direction in the world (gravity is along z).
    void setFieldDirection(const Dvec3& unitWorld) { unitWorld_ = unitWorld; }

    Sample at(double t)
    {
        const double tilt = tiltSwing_ > 0 ? tiltSwing_ * std::sin(tilt_ * t) : tilt_ * t;
        const Dquat q = multiply(multiply(axisAngle({0, 0, 1}, spin_ * t), axisAngle({1, 0, 0}, tilt)),
                                 axisAngle({0, 1, 0}, roll_ * t));
        const Dvec3 u = toBody(q, unitWorld_);
        const Dvec3 g = toBody(q, {0.0, 0.0, 9.80665});
        Sample s;
        const double r[3] = {u.x, u.y, u.z};
        double raw[3];
        for (int i = 0; i < 3; ++i) {
            raw[i] = inverse_[3 * i] * r[0] + inverse_[3 * i + 1] * r[1] + inverse_[3 * i + 2] * r[2];
            raw[i] *= fieldStrength_;
            raw[i] += nextNoise();
        }
        s.raw = toVec({raw[0] + rawOffset_.x, raw[1] + rawOffset_.y, raw[2] + rawOffset_.z});
        s.q = toQuat(q);
        s.gravity = toVec(g);
        s.field = {u.x * fieldStrength_, u.y * fieldStrength_, u.z * fieldStrength_};
        return s;
    }

  private:
    static void invert(const double (&m)[9], double (&out)[9])
    {
        const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                           m[2] * (m[3] * m[7] - m[4] * m[6]);
        out[0] = (m[4] * m[8] - m[5] * m[7]) / det;
        out[1] = (m[2] * m[7] - m[1] * m[8]) / det;
        out[2] = (m[1] * m[5] - m[2] * m[4]) / det;
        out[3] = (m[5] * m[6] - m[3] * m[8]) / det;
        out[4] = (m[0] * m[8] - m[2] * m[6]) / det;
        out[5] = (m[2] * m[3] - m[0] * m[5]) / det;
        out[6] = (m[3] * m[7] - m[4] * m[6]) / det;
        out[7] = (m[1] * m[6] - m[0] * m[7]) / det;
        out[8] = (m[0] * m[4] - m[1] * m[3]) / det;
    }

    double nextNoise()
    {
        if (noise_ == 0)
            return 0;
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = static_cast<double>(state_ >> 11) / 9007199254740992.0; // [0, 1)
        return (2 * unit - 1) * noise_;
    }

    double inverse_[9];
    double fieldStrength_;
    Dvec3 rawOffset_;
    double spin_ = 1.6;  // about 92 deg/s about z
    double tilt_ = 0.41; // about 23 deg/s about x
    double roll_ = 0.17;
    double noise_ = 0;
    double tiltSwing_ = 0;
    Dvec3 unitWorld_{0.6, 0.0, 0.8}; // a dip of about 37 degrees from gravity
    std::uint64_t state_ = 12345;
};

} // namespace vnx::test
