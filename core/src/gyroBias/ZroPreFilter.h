#pragma once

#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Second-order recursive low-pass filter of the angular velocity, one
/// section per axis, that takes the sensor noise out of the rate before the
/// offset estimators see it. Its DC gain is 0.99885, not exactly 1. A plain
/// value: six states and no resources.
class ZroPreFilter
{
  public:
    ZroPreFilter() = default;

    /// States 0.
    void init();
    void process(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3& out);
    /// Both states of each axis at the sample's value; out = the sample.
    void initWithSample(const qdVectorFixed::Vector3& sample, qdVectorFixed::Vector3& out);
    /// One step of one axis, in place.
    static void iirBiquad(Fp32& value, Fp32& w1, Fp32& w2);

  private:
    Fp32 w1_[3] = {};
    Fp32 w2_[3] = {};
};

} // namespace vnx
