#pragma once

// Stairs from barometric pressure: a straight line is fitted through each
// window of 40 pressure samples (at least 33 ms apart); a slope steeper than
// the threshold while the user is on foot is evidence of stairs. A
// two-state Bayesian filter turns the evidence of each window into the
// probability of being on stairs: it predicts with a 1 % chance of switching
// state, and corrects with a 90 % / 3 % likelihood of steep windows on and
// off stairs. The probability persists across windows, period changes and
// re-enabling; only a new detector starts at 0.

#include <cstddef>
#include <cstdint>

#include "activity/activityClassifierRecords.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class StairDetector
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_STAIRDETECTOR");

  public:
    static constexpr int kWindowSamples = 40;

    struct Output_s
    {
        std::uint32_t samples;  ///< samples in the current window
        float slope;            ///< slope of the last closed window, pressure units per sample
        std::uint32_t evidence; ///< 1 when the last closed window was evidence of stairs
        float probability;      ///< on-stairs probability; 0 while disabled
    };

    StairDetector() = default;
    StairDetector(const StairDetector&) = delete;
    StairDetector& operator=(const StairDetector&) = delete;

    /// -4 for a null record. The probability is kept.
    int init(const vnx_ActivityClassifier_Stair_Config_s* config);
    void enable(bool on) { enabled_ = on; }
    static void applyInputPeriod(bool maximum, bool phoneLda, std::int32_t& accelerometerPeriodUs,
                                 std::int32_t& pressurePeriodUs);
    /// A new pressure period restarts the window.
    void changePeriod(std::int32_t pressurePeriodUs);
    /// pressure: 20 fractional bits; activity: the classifier's last LDA activity.
    void process(std::int32_t pressureQ20, std::uint32_t timestampUs, std::uint8_t activity);
    void generateOutput(Output_s* out) const;

    float probability() const { return probability_; }
    int sampleCount() const { return count_; }
    float slopeThreshold() const { return slopeThreshold_; }

  private:
    void clearWindow();
    void closeWindow(std::uint8_t activity);

    float previousCallS_ = 0;
    bool enabled_ = false;
    float slopeThreshold_ = 0;
    float reserved_[4] = {};
    float windowStartS_ = 0;
    float sumN_ = 0, sumI_ = 0, sumI2_ = 0, sumP_ = 0, sumIP_ = 0;
    float buffer_[kWindowSamples] = {};
    int count_ = 0;
    float probability_ = 0;
    float lastSlope_ = 0;
    bool lastEvidence_ = false;
};

static_assert(sizeof(StairDetector::Output_s) == 16);
static_assert(offsetof(StairDetector::Output_s, probability) == 12);

} // namespace vnx::activity
