#pragma once

#include <cstdint>

#include "numerics/qdVectorFixed.h"

namespace vnx {

class SensorFusionWeightedFusion {
public:
    /// Reference field direction (sqrt(1 - d^2), 0, -d) in the world frame
    /// for d = m . g of the unit field and gravity directions; returns 0 and
    /// leaves `h` as it is when they are within 5 degrees of parallel (no
    /// heading information), else 1.
    static std::uint8_t computeHu(const qdVectorFixed::Vector3& m, const qdVectorFixed::Vector3& g,
                                  qdVectorFixed::Vector3& h);
};

}  // namespace vnx
