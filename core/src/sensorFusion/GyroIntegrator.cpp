#include "sensorFusion/GyroIntegrator.h"

namespace vnx {

void GyroIntegrator::init()
{
    restart_ = 1;
    q_ = qdVectorFixed::Quaternion::identity();
}

void GyroIntegrator::process(std::uint32_t intervalUs, const qdVectorFixed::Vector3& rateRadPerS)
{
    if (intervalUs <= kMaxIntervalUs && restart_ == 0) {
        const Fp32 dtS = Fp32(static_cast<float>(intervalUs)) * Fp32(1e-6f);
        q_.integrateTrapz(previousRateRadPerS_, rateRadPerS, dtS);
    } else {
        restart_ = 0;
    }
    previousRateRadPerS_ = rateRadPerS;
}

} // namespace vnx
