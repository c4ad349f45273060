#pragma once

// The six-state Bayesian filter that fuses the classifier's components into
// one activity per classification frame. States: 0 in vehicle, 1 the
// wrist-only motion class, 2 walking, 3 running, 4 still, 5 unknown. Each
// frame predicts with a chance q of having switched to any other state
// (more likely after a tilt, decaying back to the base rate), then corrects
// with the measurement matrix row of what the components saw. Pure
// functions over a plain state; the classifier owns the state.

#include <cstdint>

namespace vnx::activity {

struct ActivityFilterState
{
    static constexpr int kStates = 6;
    static constexpr int kCodes = 9;
    static constexpr std::uint8_t kUnknownState = 5;

    std::int32_t selector = 1; ///< 1: measurementMatrix1_, else measurementMatrix2_
    float q = 0.06f;           ///< probability of a switch per second
    float p[kStates] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}; ///< state probabilities
    std::uint8_t confidences[kCodes] = {};                   ///< percent per activity code
    std::uint8_t mostLikely = kUnknownState;
};

/// Filter state 0-5 to its activity code.
inline constexpr std::uint8_t confArrIndexLookupTable_[ActivityFilterState::kStates] = {1, 2, 6, 7, 4, 0};

/// Probability of the measured row (first index) given the true state
/// (second index); every column sums to 1. The second matrix serves frames
/// where only the acceleration pattern hints at a vehicle: a vehicle then
/// mostly looks unknown (row 5), and the rare row 0 is strong evidence.
extern const float measurementMatrix1_[ActivityFilterState::kStates][ActivityFilterState::kStates];
extern const float measurementMatrix2_[ActivityFilterState::kStates][ActivityFilterState::kStates];

/// The components' verdicts of one frame.
struct FrameEvidence
{
    std::uint8_t ldaClass;           ///< c_L: 0 running, 1 walking, 2 not walking, 3 arm motion, 4 none
    std::uint8_t vibrationStatus;    ///< c_V: 0 vehicle vibration, 3 still, 4 undecided
    std::uint8_t accelerationStatus; ///< c_A: 0 vehicle acceleration, 4 none
    bool tilted;
    float stairProbability; ///< 0-1
};

/// The measurement row the frame's evidence stands for.
int getChosenCombinerIndex(const FrameEvidence& evidence);

/// Matrix 1 when the vibration detector decided (vehicle or still) or the
/// gait classifier saw steps; matrix 2 on vehicle acceleration alone;
/// otherwise as before.
void chooseMeasurementMatrix(ActivityFilterState& state, const FrameEvidence& evidence);

/// One prediction and correction over dtS seconds; nothing happens for a
/// frame that took no time.
void updateProbability(ActivityFilterState& state, float dtS, const FrameEvidence& evidence);

/// The confidences in percent from the probabilities, the tilt flag and
/// the stair probability; the six state percentages sum to 100.
void updateExternalProbability(ActivityFilterState& state, const FrameEvidence& evidence);

} // namespace vnx::activity
