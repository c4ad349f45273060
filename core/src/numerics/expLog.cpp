#include "numerics/expLog.h"

namespace vnx {

namespace {

// Coefficients c0..c7 of c0 t^7 + c1 t^6 + ... + c7, t = -x.
constexpr float kExpNear[8] = {-9.372352e-5f, 0.0011481132f, -0.007995788f, 0.041362826f,
                               -0.16648921f,  0.49993473f,   -0.99998623f,  0.99999875f};
constexpr float kExpFar[8] = {-2.2041659e-6f, 8.486039e-5f, -0.0014464839f, 0.014262332f,
                              -0.08868393f,   0.35146523f,  -0.8310506f,    0.9134135f};

// Logarithm coefficients stored interleaved: the four sets' c0, then their
// c1, and so on; set s of coefficient k is at k * 4 + s.
constexpr float kLogCoefficients[32] = {
    6196649428779008.0f, 1227110088704.0f, 6811959.5f,  7.307654f,
    -212545080131584.0f, -142303870976.0f, -4450480.0f, -34.017128f,
    3213681491968.0f,    7274573824.0f,    1281738.25f, 69.803146f,
    -28119713792.0f,     -215206144.0f,    -213623.05f, -82.89124f,
    157470400.0f,        4074569.75f,      22786.459f,  62.99734f,
    -595238.125f,        -52073.0f,        -1640.625f,  -32.317635f,
    1666.6666f,          492.95773f,       87.5f,       12.280702f,
    -8.065528f,          -6.8473706f,      -5.1185856f, -3.154976f,
};

constexpr float kExpZeroAtOrBelow = -7.25f;
constexpr float kExpNearAbove = -1.5f;

float horner7(const float* c, int stride, float t)
{
    float acc = c[0];
    for (int k = 1; k < 8; ++k)
        acc = acc * t + c[k * stride];
    return acc;
}

} // namespace

float expT(float x)
{
    if (x <= kExpZeroAtOrBelow)
        return 0.0f;
    const float t = -x;
    return horner7(x > kExpNearAbove ? kExpNear : kExpFar, 1, t);
}

Fp32 expTFi(Fp32 x)
{
    return Fp32::raw(expT(x.value()));
}

float logT(float x)
{
    if (!(x < 1.0f))
        return 0.0f;
    const int set = x < 0.0084f ? 0 : x < 0.02f ? 1 : x < 0.14f ? 2 : 3;
    return horner7(kLogCoefficients + set, 4, x);
}

} // namespace vnx
