#include "cursorFilters/TremorCancel.h"

#include <cmath>
#include <cstring>

#include "numerics/saturatingCast.h"

namespace vnx {

namespace {

// Indices into Constants::c.
constexpr int kA1 = 0;
constexpr int kA2 = 1;
constexpr int kResetMotion = 2;
constexpr int kP0 = 3;
constexpr int kSlopes = 28;
constexpr int kIntercepts = 32;
constexpr int kMeasurementNoise = 36;
constexpr int kBypassRate = 37;
constexpr int kCorrectionDecay = 38;
constexpr int kVarianceSmoothing = 39;

constexpr float kTremorRadPerS = 56.548668f; // 2 pi x 9 Hz
constexpr float kTremorDamping = 4.0f;       // pole radius e^(-4 T)
constexpr float kInitialMotion = 0.01f;
constexpr float kInitialMotionVariance = 0.1f;
constexpr float kMaxMotionVariance = 50.0f;
constexpr float kMinMotionEnergy = 0.01f;
constexpr float kGapSeconds = 0.05f;

constexpr float kP0Values[25] = {
    1.0f,  -1.0f, -1.0f, 0.0f, 0.0f, //
    -1.0f, 1.0f,  1.0f,  0.0f, 0.0f, //
    -1.0f, 1.0f,  1.0f,  0.0f, 0.0f, //
    0.0f,  0.0f,  0.0f,  0.1f, 0.0f, //
    0.0f,  0.0f,  0.0f,  0.0f, 0.1f,
};
constexpr float kQDiagonal[5] = {0.1f, 0.01f, 0.0f, 0.001f, 0.001f};

// Borders of the region in which the adapted oscillation stays stable:
// A2 <= m_k A1 + b_k for every k.
constexpr float kRegionSlopes[4] = {-0.9980267f, -0.92282677f, -0.85329306f, -0.7889986f};
constexpr float kRegionIntercepts[4] = {0.9921302f, 0.8482517f, 0.7252384f, 0.62006444f};

void resetState(TremorCancel::State& s)
{
    s.x[0] = kInitialMotion;
    for (int i = 1; i < 5; ++i)
        s.x[i] = 0.0f;
    std::memcpy(s.P, kP0Values, sizeof s.P);
    std::memset(s.Q, 0, sizeof s.Q);
    for (int i = 0; i < 5; ++i)
        s.Q[i * 5 + i] = kQDiagonal[i];
}

// Motion energy rises at once (capped) and falls with a first-order lag.
float nextVariance(float variance, float rate, float smoothing)
{
    const float energy = (2.0f * rate) * (2.0f * rate);
    if (energy > variance)
        return energy < kMaxMotionVariance ? energy : kMaxMotionVariance;
    const float floored = energy > kMinMotionEnergy ? energy : kMinMotionEnergy;
    return variance + (floored - variance) * smoothing;
}

} // namespace

void TremorCancel::Constants::update(Fp32 period)
{
    const float t = period.value();
    std::memset(c, 0, sizeof c);
    c[kA1] = 2.0f * std::exp(-kTremorDamping * t) * std::cos(kTremorRadPerS * t);
    c[kA2] = -std::exp(-2.0f * kTremorDamping * t);
    c[kResetMotion] = kInitialMotion;
    std::memcpy(&c[kP0], kP0Values, sizeof kP0Values);
    std::memcpy(&c[kSlopes], kRegionSlopes, sizeof kRegionSlopes);
    std::memcpy(&c[kIntercepts], kRegionIntercepts, sizeof kRegionIntercepts);
    c[kMeasurementNoise] = 0.1f;
    c[kBypassRate] = 5.23598f; // 300 degrees per second
    c[kCorrectionDecay] = 0.9840157f;
    c[kVarianceSmoothing] = kTremorDamping * t;
}

TremorCancel::TremorCancel() = default;

void TremorCancel::init(Fp32 period)
{
    period_ = period.value();
    gapLimit_ = truncateToInt32(std::floor(kGapSeconds / period_ + 0.5f));
    reset();
}

void TremorCancel::reset()
{
    motionVarianceX_ = kInitialMotionVariance;
    motionVarianceY_ = kInitialMotionVariance;
    resetState(stateX_);
    resetState(stateY_);
}

void TremorCancel::estVarB(const Constants& constants, const Fp32 in[2], bool, float out[2])
{
    const float smoothing = constants.c[kVarianceSmoothing];
    motionVarianceX_ = nextVariance(motionVarianceX_, in[0].value(), smoothing);
    motionVarianceY_ = nextVariance(motionVarianceY_, in[1].value(), smoothing);
    out[0] = motionVarianceX_;
    out[1] = motionVarianceY_;
}

void TremorCancel::process(const Fp32 in[2], std::uint32_t sampleStep, Fp32 out[2])
{
    constants_.update(Fp32(period_));
    // A gap of more than 50 ms, or the sample counter's restart value, leaves
    // nothing of the old motion to filter.
    if (static_cast<std::uint32_t>(gapLimit_) < sampleStep)
        init(Fp32(period_));
    float variances[2];
    estVarB(constants_, in, false, variances);
    AR2B(&stateX_, &out[0], in[0], variances[0], &constants_, &scratch_);
    AR2B(&stateY_, &out[1], in[1], variances[1], &constants_, &scratch_);
}

} // namespace vnx

extern "C" void AR2B(vnx::TremorCancel::State* state, vnx::Fp32* out, vnx::Fp32 measured, float q,
                     const vnx::TremorCancel::Constants* constants, vnx::TremorCancel::AR2BTempSpace* scratch)
{
    using namespace vnx;
    const float* c = constants->c;
    float* x = state->x;
    float* P = state->P;
    const float z = measured.value();

    // Rates this large are deliberate: pass them and restart from them.
    if (z <= -c[kBypassRate] || z >= c[kBypassRate]) {
        x[0] = z;
        *out = measured;
        std::memcpy(P, &c[kP0], sizeof state->P);
        return;
    }

    state->Q[0] = q;
    const float a1 = c[kA1] + x[3];
    const float a2 = c[kA2] + x[4];
    for (int k = 0; k < 4; ++k) {
        if (a2 > c[kSlopes + k] * a1 + c[kIntercepts + k]) {
            x[0] = c[kResetMotion];
            x[2] = 0.0f;
            x[3] = 0.0f;
            x[4] = 0.0f;
            std::memcpy(P, &c[kP0], sizeof state->P);
            break;
        }
    }

    const float decay = c[kCorrectionDecay];
    float* xp = scratch->predicted;
    xp[0] = x[0];
    xp[1] = a1 * x[1] + a2 * x[2];
    xp[2] = x[1];
    xp[3] = decay * x[3];
    xp[4] = decay * x[4];

    // Jacobian of the prediction, by rows.
    const float F[25] = {
        1.0f, 0.0f, 0.0f, 0.0f,  0.0f, //
        0.0f, a1,   a2,   x[1],  x[2], //
        0.0f, 1.0f, 0.0f, 0.0f,  0.0f, //
        0.0f, 0.0f, 0.0f, decay, 0.0f, //
        0.0f, 0.0f, 0.0f, 0.0f,  decay,
    };
    float* FP = scratch->FP;
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k)
                sum += F[i * 5 + k] * P[k * 5 + j];
            FP[i * 5 + j] = sum;
        }
    }
    // P := F P F^T + diag(Q): the predicted covariance, in place.
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k)
                sum += FP[i * 5 + k] * F[j * 5 + k];
            P[i * 5 + j] = sum;
        }
        P[i * 5 + i] += state->Q[i * 5 + i];
    }

    // The measurement is voluntary motion plus tremor: H = (1, 1, 0, 0, 0).
    float* h = scratch->covarianceColumn;
    for (int j = 0; j < 5; ++j)
        h[j] = P[0 * 5 + j] + P[1 * 5 + j];
    const float innovationVariance = h[1] + c[kMeasurementNoise] + h[0];
    float* gain = scratch->gain;
    for (int j = 0; j < 5; ++j)
        gain[j] = h[j] / innovationVariance;
    const float innovation = (z - xp[0]) - xp[1];
    for (int j = 0; j < 5; ++j)
        x[j] = xp[j] + gain[j] * innovation;
    *out = Fp32::raw(x[0]);

    for (int i = 0; i < 5; ++i) {
        const float rowSum = P[i * 5 + 0] + P[i * 5 + 1];
        for (int j = 0; j < 5; ++j)
            P[i * 5 + j] -= gain[j] * rowSum;
    }
}
