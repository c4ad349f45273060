#include "accCalibration/ThreeAxesOffset.h"

#include "numerics/matrixSolversLu.h"

namespace vnx {

namespace {

// Forgetting factor per fitted sample.
constexpr float kLambda = 0.95f;
// g^2, m^2/s^4.
constexpr float kGravitySquared = 96.17039f;
// |det P| / P33^4 above this: the samples span enough orientations to pin
// down all four unknowns (a scale-free measure of how well P is conditioned).
constexpr float kMinNormalisedDet = 10000.0f;

} // namespace

void ThreeAxesOffset::init()
{
    state_ = State{};
}

void ThreeAxesOffset::process(const qdVectorFixed::Vector3& a, Output* out)
{
    const float s = a.normSquared().value();
    // Not "<=": a NaN sample must not poison the sums either.
    if (!(s <= kOverloadNormSquared)) {
        out->accuracy = Fp32(kUnusableAccuracy);
        return;
    }

    const float phi[4] = {-2.0f * a[0].value(), -2.0f * a[1].value(), -2.0f * a[2].value(), 1.0f};
    const float y = kGravitySquared - s;

    float* P = state_.P;
    int k = 0;
    for (int i = 0; i < 4; ++i) {
        for (int j = i; j < 4; ++j, ++k)
            P[k] = kLambda * P[k] + phi[i] * phi[j];
        state_.b[i] = kLambda * state_.b[i] + phi[i] * y;
    }

    // The full symmetric matrix (the same column by column as row by row).
    float full[16];
    k = 0;
    for (int i = 0; i < 4; ++i) {
        for (int j = i; j < 4; ++j, ++k) {
            full[i + 4 * j] = P[k];
            full[j + 4 * i] = P[k];
        }
    }
    float x[4];
    float det = 0.0f;
    Matrix_4x4_4x1_mldivide(full, state_.b, x, &det);

    const float n = P[9];
    const bool usable = det / (n * n * n * n) > kMinNormalisedDet;
    out->accuracy = Fp32(usable ? kUsableAccuracy : kUnusableAccuracy);
    out->offset = qdVectorFixed::Vector3::zeros();
    if (usable)
        out->offset = {Fp32(x[0]), Fp32(x[1]), Fp32(x[2])};
}

} // namespace vnx
