#include "mobileUtilities/mobileBandLimit.h"

#include <cmath>

#include "common/statusCode.h"
#include "mobileUtilities/int16Conversion.h"
#include "numerics/firIir.h"

namespace vnx::mobile {

namespace {

/// Low-pass section for one decimation factor.
struct BandLimitSection
{
    int factor;
    float g;  ///< input gain
    float a1; ///< feedback of w[t-1]
    float a2; ///< feedback of w[t-2], subtracted
    float c;  ///< output weight of w[t] and w[t-2] (twice it for w[t-1])
};

constexpr BandLimitSection kSections[] = {
    {2, 0.6819022f, 0.462938f, 0.20971535f, 0.2737846f},
    {5, 0.1647409f, 1.3489678f, 0.5139819f, 0.25041467f},
    {10, 0.047426082f, 1.6692032f, 0.71663386f, 0.2500245f},
    {20, 0.0127992425f, 1.8337326f, 0.846532f, 0.25000143f},
};

const BandLimitSection* sectionFor(std::int32_t factor)
{
    for (const BandLimitSection& s : kSections)
        if (s.factor == factor)
            return &s;
    return nullptr;
}

void runSection(const BandLimitSection& k, float x, float* y, float* state)
{
    const float s1 = state[0], s2 = state[1];
    const float w = k.g * x + k.a1 * s1 - k.a2 * s2;
    if (y != nullptr)
        *y = k.c * w + 2.0f * k.c * s1 + k.c * s2;
    state[1] = s1;
    state[0] = w;
}

} // namespace

void dec2_iirBiquad(float x, float* y, float* state)
{
    runSection(kSections[0], x, y, state);
}
void dec5_iirBiquad(float x, float* y, float* state)
{
    runSection(kSections[1], x, y, state);
}
void dec10_iirBiquad(float x, float* y, float* state)
{
    runSection(kSections[2], x, y, state);
}
void dec20_iirBiquad(float x, float* y, float* state)
{
    runSection(kSections[3], x, y, state);
}

} // namespace vnx::mobile

extern "C" {

int vnx_Mobile_bandlimitSensor(float* state, const int16_t* in, int32_t factor, int16_t* out)
{
    const vnx::mobile::BandLimitSection* k = vnx::mobile::sectionFor(factor);
    if (k == nullptr) {
        if (out == nullptr)
            return VNX_STATUS_SUCCESS;
        if (in == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
        for (int i = 0; i < 3; ++i)
            out[i] = in[i];
        return VNX_STATUS_SUCCESS;
    }
    if (state == nullptr || in == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;

    // The shared three-axis section adds its feedback terms: a2 goes in negated.
    const vnx::Fp32 num[3] = {k->c, 2.0f * k->c, k->c};
    const vnx::Fp32 den[2] = {k->a1, -k->a2};
    vnx::Fp32 x[3] = {in[0], in[1], in[2]};
    vnx::Fp32 s[6];
    for (int i = 0; i < 6; ++i)
        s[i] = state[i];
    vnx::IIR_Biquad_3ch_I(x, num, den, k->g, s);
    for (int i = 0; i < 6; ++i)
        state[i] = s[i].value();
    if (out != nullptr)
        for (int i = 0; i < 3; ++i)
            out[i] = vnx::mobile::truncateToInt16(std::floor(x[i].value()));
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
