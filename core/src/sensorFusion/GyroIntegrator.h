#pragma once

// Integrates the zero-rate-corrected gyroscope rate into a body-orientation
// quaternion. The gyro-stabilised filters low-pass their vectors in the frame
// this quaternion carries, so that device rotation does not smear them.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class GyroIntegrator
{
    VNX_LOG_DEFAULT(GyroIntegrator);

  public:
    /// Longest interval that is integrated; a longer gap only primes the
    /// previous rate, as the first sample after init does.
    static constexpr std::uint32_t kMaxIntervalUs = 1000000;

    GyroIntegrator() = default;

    /// Identity orientation; the next sample only primes the previous rate.
    void init();

    /// Trapezoidal step from the previous rate to `rateRadPerS` over
    /// `intervalUs` (unsigned wrapping difference of time stamps).
    void process(std::uint32_t intervalUs, const qdVectorFixed::Vector3& rateRadPerS);

    /// The integrated orientation (w, x, y, z).
    const qdVectorFixed::Quaternion& quaternion() const { return q_; }

  private:
    std::uint8_t restart_ = 1;
    qdVectorFixed::Quaternion q_ = qdVectorFixed::Quaternion::identity();
    qdVectorFixed::Vector3 previousRateRadPerS_{};
};

} // namespace vnx
