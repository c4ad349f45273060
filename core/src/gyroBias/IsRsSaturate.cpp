#include "gyroBias/IsRsSaturate.h"

namespace vnx {

namespace {

constexpr float kSaturatedSquared = 75.69f; // (8.7 rad/s)^2

} // namespace

void IsRsSaturate::process(const qdVectorFixed::Vector3& rate, bool& saturated) const
{
    saturated = rate.normSquared() >= Fp32(kSaturatedSquared);
}

} // namespace vnx
