#pragma once

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Marks angular velocities too fast to learn the gyroscope offset from:
/// a magnitude of 8.7 rad/s (about 500 deg/s) or more.
class IsRsSaturate
{
    VNX_LOG_DEFAULT(IsRsSaturate);

  public:
    IsRsSaturate() = default;

    /// x^2 + y^2 + z^2 >= 75.69 in single precision, over all three axes.
    void process(const qdVectorFixed::Vector3& rate, bool& saturated) const;
};

} // namespace vnx
