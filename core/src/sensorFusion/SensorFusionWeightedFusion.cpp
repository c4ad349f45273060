#include "sensorFusion/SensorFusionWeightedFusion.h"

namespace vnx {

namespace {

// cos(5 degrees): closer to parallel leaves no usable heading.
constexpr float kParallelCos = 0.9961947f;

}  // namespace

std::uint8_t SensorFusionWeightedFusion::computeHu(const qdVectorFixed::Vector3& m, const qdVectorFixed::Vector3& g,
                                                   qdVectorFixed::Vector3& h)
{
    const Fp32 d = dot(m, g);
    if (abs(d) >= Fp32(kParallelCos)) return 0;
    h = {sqrt(Fp32(1.0f) - d * d), Fp32(0.0f), -d};
    return 1;
}

}  // namespace vnx
