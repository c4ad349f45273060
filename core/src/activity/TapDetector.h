#pragma once

// Tap detection on the change of each acceleration axis between two
// samples. A knock is a change of at least the threshold; the axis is then
// tracked for the peak time (largest change kept) and must stay calm for the
// settle time (every change below half the threshold), after which it has
// tapped. When several axes finish together, the one with the largest knock
// among those within a few ms of the end of their settle time is reported.
// A second tap on the same axis, no sooner than the shortest gap and within
// the double-tap window after the first, is a double tap.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/tapDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class TapDetector : public EventDetector
{
    VNX_LOG_DEFAULT(TapDetector);

  public:
    using Config = vnx_TapDetectorConfig_s;
    using Handle = vnx_TapDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Tap;

    /// Event bits of axis k: tapped at kTapBit << 2k, positive knock at kPositiveBit << 2k.
    static constexpr std::uint32_t kTapBit = 0x1;
    static constexpr std::uint32_t kPositiveBit = 0x2;
    static constexpr std::uint32_t kDoubleTapBit = 0x40;
    /// The caller's bit that every call keeps.
    static constexpr std::uint32_t kCallerBit = 0x80;

    TapDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, no knock.
    void init(const Config& config);

  protected:
    std::uint32_t eventWordAtStart(std::uint32_t callerWord) const override
    {
        return callerWord & kCallerBit;
    }
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    enum class AxisState : std::uint8_t
    {
        Idle,
        Peak,
        Settle
    };

    struct Settings
    {
        float thresholdMs2 = 0; ///< m/s^2
        std::int32_t peakTimeUs = 0;
        std::int32_t settleTimeUs = 0;
        std::int32_t doubleTapWindowUs = 0;
        std::int32_t doubleTapMinGapUs = 0;
        bool doubleTapEnabled = false;
    };

    /// Sample counts of the accepted period.
    struct Derived
    {
        std::int32_t peakSamples = 0;
        std::int32_t settleSamples = 0;
        std::int32_t windowSamples = 0;
        /// A second tap counts only while the first's countdown is at most this.
        std::int32_t latestRemaining = 0;
        /// Samples in 6 ms: how close to the end of its settle time another
        /// axis must be to compete for the reported axis.
        std::int32_t slackSamples = 0;
    };

    struct Axis
    {
        AxisState state = AxisState::Idle;
        std::int8_t sign = 0;
        std::int32_t peakCountdown = 0;
        std::int32_t settleCountdown = 0;
        float largestMs2 = 0;
    };

    struct State
    {
        Axis axes[3];
        float previousMs2[3] = {0, 0, 0};
        bool pending = false; ///< a first tap waits for its second
        std::int32_t pendingCountdown = 0;
        int pendingAxis = 0;
    };

    /// Advances every axis by the change d; true when one has tapped.
    bool trackAxes(const float* d);
    /// The axis to report among those that are finishing.
    int chooseAxis() const;
    /// Sets bit 6 of `event` when this tap completes a double tap.
    void trackDoubleTap(bool tapped, int axis, std::uint32_t& event);

    Settings settings_;
    Derived derived_;
    State state_;
};

} // namespace vnx::activity
