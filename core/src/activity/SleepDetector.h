#pragma once

// Sleep scoring from zero crossings. Each component of the acceleration is
// dead-banded (small values count as 0); a sample in which any component
// changes sign, or moves between 0 and non-0, is a crossing. Crossings are
// counted per epoch and summed per window; a window of 7 or more is active.
// A quiet window is scored against the six before it once six windows have
// been seen: a weighted sum of the seven window sums, scaled, below 1 means
// asleep.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/sleepDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class SleepDetector : public EventDetector
{
    // This detector has always logged under the sleep interpreter's name.
    VNX_LOG_DEFAULT_BLOCK("vnx_core_Interpret");

  public:
    using Config = vnx_SleepDetectorConfig_s;
    using Handle = vnx_SleepDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Sleep;

    /// Event codes.
    static constexpr std::uint32_t kActive = 0;
    static constexpr std::uint32_t kAwake = 1;
    static constexpr std::uint32_t kAsleep = 2;
    static constexpr std::uint32_t kAsleepLong = 3;
    static constexpr std::uint32_t kNoWindowEnd = 4;

    /// Windows kept for the score: the one just ended and six before it.
    static constexpr int kHistory = 7;

    SleepDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, nothing counted.
    void init(const Config& config);

  protected:
    std::uint32_t eventWordAtStart(std::uint32_t /*callerWord*/) const override { return kNoWindowEnd; }
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    struct Settings
    {
        float deadBandMs2 = 0; ///< m/s^2
        std::int32_t epochLengthS = 0;
        std::int32_t epochsPerWindow = 0;
        float scoreScale = 0;
    };

    struct State
    {
        std::int32_t samplesInEpoch = 0;
        std::int32_t crossingsInEpoch = 0;
        std::int32_t epochsInWindow = 0;
        std::int32_t windowSum = 0;
        std::int32_t history[kHistory] = {}; ///< window sums, newest first
        /// Windows seen, saturating at 6: from then on a quiet window is scored.
        std::int32_t historyFill = 0;
        float lastScore = 0;
        double wearS = 0; ///< time counted since initialize, less epochsPerWindow per non-asleep window
        double sinceNotAsleepS = 0;    ///< time since the last window that was not asleep
        float previous[3] = {0, 0, 0}; ///< dead-banded components of the previous sample
    };

    /// The code of a window that has just ended (its sum already in history[0]).
    std::uint32_t endWindow();
    bool crossed(const float* c) const;

    Settings settings_;
    double dtS_ = 0; ///< seconds per sample
    State state_;
};

} // namespace vnx::activity
