#include "sensorFusionMobile/IIR_DoubleAlphaFilterClass.h"

namespace vnx {

void IIR_DoubleAlphaFilterClass::process(std::uint32_t intervalUs, std::uint32_t periodUs, Fp32 alpha,
                                         const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3& out)
{
    // After a long gap the old state says nothing about the new samples.
    const std::uint64_t reloadUs = static_cast<std::uint64_t>(kReloadPeriods) * periodUs;
    if (reset_ || intervalUs > reloadUs) {
        stage1_ = in;
        stage2_ = in;
        reset_ = false;
    }
    const Fp32 gain = Fp32(1.0f) + alpha;
    for (int i = 0; i < 3; ++i) {
        stage1_[i] = gain * in[i] - alpha * stage1_[i];
        stage2_[i] = gain * stage1_[i] - alpha * stage2_[i];
        out[i] = stage2_[i];
    }
}

} // namespace vnx
