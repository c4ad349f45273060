#include "gyroBias/ZroPreFilter.h"

#include <bit>
#include <cstdint>

namespace vnx {

namespace {

// Coefficients as exact single-precision bit patterns.
const Fp32 kInputGain(std::bit_cast<float>(std::uint32_t{0x3EF5545B})); // 0.4791592
const Fp32 kFeedback1(std::bit_cast<float>(std::uint32_t{0x3F4D2F0E})); // 0.80149925
const Fp32 kFeedback2(std::bit_cast<float>(std::uint32_t{0x3E9F4ED0})); // 0.31114817
const Fp32 kOuter(std::bit_cast<float>(std::uint32_t{0x3EAFFDEF}));     // 0.34373423
const Fp32 kMiddle(std::bit_cast<float>(std::uint32_t{0x3EBFF80E}));    // 0.37493938

} // namespace

void ZroPreFilter::init()
{
    for (int i = 0; i < 3; ++i)
        w1_[i] = w2_[i] = Fp32(0.0f);
}

void ZroPreFilter::iirBiquad(Fp32& value, Fp32& w1, Fp32& w2)
{
    const Fp32 w = kInputGain * value + kFeedback1 * w1 - kFeedback2 * w2;
    value = kOuter * w + kMiddle * w1 + kOuter * w2;
    w2 = w1;
    w1 = w;
}

void ZroPreFilter::process(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3& out)
{
    for (int i = 0; i < 3; ++i) {
        Fp32 v = in[i];
        iirBiquad(v, w1_[i], w2_[i]);
        out[i] = v;
    }
}

void ZroPreFilter::initWithSample(const qdVectorFixed::Vector3& sample, qdVectorFixed::Vector3& out)
{
    for (int i = 0; i < 3; ++i)
        w1_[i] = w2_[i] = sample[i];
    out = sample;
}

} // namespace vnx
