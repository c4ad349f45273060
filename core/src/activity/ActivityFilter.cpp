#include "activity/ActivityFilter.h"

#include <cmath>

namespace vnx::activity {

namespace {

constexpr int kStates = ActivityFilterState::kStates;

/// Shorter frames carry no time to predict over (single-precision epsilon).
constexpr float kShortestFrameS = 1.1920929e-7f;
/// Whole seconds of prediction per frame.
constexpr int kMostSeconds = 60;
constexpr float kSwitchAfterTilt = 0.4f;
constexpr float kSwitchDecay = 0.95f;
constexpr float kBaseSwitch = 0.06f;

/// States in the order that takes the rounding error of the percentages.
constexpr int kRoundingOrder[kStates] = {5, 0, 1, 2, 3, 4};

std::uint8_t percent(float probability)
{
    // Half away from zero; probabilities lie in 0-1.
    return static_cast<std::uint8_t>(std::lround(probability * 100.0f));
}

} // namespace

// clang-format off
const float measurementMatrix1_[kStates][kStates] = {
    {0.65f, 0.05f, 0.02f, 0.02f, 0.02f, 0.05f},
    {0.02f, 0.7f,  0.02f, 0.02f, 0.02f, 0.08f},
    {0.02f, 0.04f, 0.75f, 0.09f, 0.02f, 0.1f},
    {0.02f, 0.04f, 0.1f,  0.8f,  0.02f, 0.0f},
    {0.04f, 0.02f, 0.02f, 0.02f, 0.85f, 0.02f},
    {0.25f, 0.15f, 0.09f, 0.05f, 0.07f, 0.75f},
};

const float measurementMatrix2_[kStates][kStates] = {
    {0.12f, 0.0052f, 0.0051f, 0.0051f, 0.0051f, 0.0052f},
    {0.0f,  0.733f,  0.0203f, 0.0203f, 0.0203f, 0.0838f},
    {0.02f, 0.0419f, 0.7614f, 0.0914f, 0.0203f, 0.1047f},
    {0.0f,  0.0419f, 0.1015f, 0.8122f, 0.0203f, 0.0f},
    {0.16f, 0.0209f, 0.0203f, 0.0203f, 0.8629f, 0.0209f},
    {0.7f,  0.1571f, 0.0914f, 0.0508f, 0.0711f, 0.7853f},
};
// clang-format on

int getChosenCombinerIndex(const FrameEvidence& e)
{
    if (e.vibrationStatus == 0 && e.ldaClass != 3)
        return 0;
    if (e.vibrationStatus == 3)
        return 4;
    if (e.ldaClass == 3)
        return 1;
    if (e.ldaClass == 1)
        return 2;
    if (e.ldaClass == 0)
        return 3;
    return e.accelerationStatus != 0 ? 5 : 0;
}

void chooseMeasurementMatrix(ActivityFilterState& state, const FrameEvidence& e)
{
    if (e.vibrationStatus == 0 || e.vibrationStatus == 3 || e.ldaClass <= 1)
        state.selector = 1;
    else if (e.accelerationStatus == 0)
        state.selector = 2;
}

void updateProbability(ActivityFilterState& state, float dtS, const FrameEvidence& e)
{
    if (!(dtS > kShortestFrameS))
        return;
    int seconds = static_cast<int>(std::floor(dtS));
    seconds = seconds < 1 ? 1 : (seconds > kMostSeconds ? kMostSeconds : seconds);

    state.q = e.tilted ? kSwitchAfterTilt : std::fmax(kBaseSwitch, kSwitchDecay * state.q);

    // Prediction: stay with (1 - q)^n, otherwise switch to any other state
    // alike. The power is taken in double: over many seconds it is small.
    const float stay = static_cast<float>(std::pow(1.0 - static_cast<double>(state.q), seconds));
    const float other = (1.0f - stay) / 5.0f;
    float predicted[kStates];
    for (int i = 0; i < kStates; ++i) {
        float others = 0.0f;
        for (int j = 0; j < kStates; ++j)
            if (j != i)
                others += state.p[j];
        predicted[i] = stay * state.p[i] + other * others;
    }

    // Correction with the measured row.
    const int row = getChosenCombinerIndex(e);
    const float(&m)[kStates][kStates] = state.selector == 1 ? measurementMatrix1_ : measurementMatrix2_;
    float sum = 0.0f;
    for (int j = 0; j < kStates; ++j) {
        predicted[j] *= m[row][j];
        sum += std::fabs(predicted[j]);
    }
    // Every predicted state keeps some probability, and no row is all zero,
    // so the sum is positive; should it underflow the frame changes nothing
    // rather than turn every probability into NaN.
    if (!(sum > 0.0f) || !std::isfinite(sum))
        return;
    for (int j = 0; j < kStates; ++j)
        state.p[j] = predicted[j] / sum;

    float best = 0.0f;
    for (int j = 0; j < kStates; ++j) {
        if (state.p[j] > best) {
            best = state.p[j];
            state.mostLikely = static_cast<std::uint8_t>(j);
        }
    }
}

void updateExternalProbability(ActivityFilterState& state, const FrameEvidence& e)
{
    std::uint8_t c[kStates];
    int total = 0;
    for (int k = 0; k < kStates; ++k) {
        c[k] = percent(state.p[k]);
        total += c[k];
    }
    // The percentages are bytes: their sum is taken as a byte too.
    const int error = (total % 256) - 100;
    if (error != 0) {
        for (int k : kRoundingOrder) {
            if (k != state.mostLikely && c[k] > error) {
                c[k] = static_cast<std::uint8_t>(c[k] - error);
                break;
            }
        }
    }
    std::uint8_t* out = state.confidences;
    out[1] = c[0];
    out[2] = c[1];
    out[6] = c[2];
    out[7] = c[3];
    out[4] = c[4];
    out[0] = c[5];
    out[3] = static_cast<std::uint8_t>(c[2] + c[3]);
    out[5] = e.tilted ? 100 : 0;
    out[8] = percent(e.stairProbability);
}

} // namespace vnx::activity
