#pragma once

// Tilt detection on window averages of the acceleration. One second into a
// window, a detector without a reference takes the average so far as its
// reference direction. At the end of every window the window's average
// direction is compared with the reference; a turn beyond the set angle is a
// tilt, and the new direction becomes the reference. The activity
// classifier embeds this class and reads it through generateOutput.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/tiltDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class TiltDetector : public EventDetector
{
    VNX_LOG_DEFAULT(TiltDetector);

  public:
    using Config = vnx_TiltDetectorConfig_s;
    using Handle = vnx_TiltDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Tilt;

    static constexpr std::uint32_t kTilted = 1;

    TiltDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, no reference.
    void init(const Config& config);

    /// Clears the window (also when disabled), then negotiates as every
    /// member does; a refused period also clears the reference.
    int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods);

    /// A tilt detected since the last call (false when disabled); clears it.
    bool generateOutput();
    /// Bounds a requested input period by the longest this detector accepts.
    static void applyCutoffPeriod(int& periodUs);

  protected:
    void onDisabled() override;
    void onPeriodRejected() override;
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    struct Settings
    {
        float windowS = 0;
        float cosThreshold = 0;
    };

    /// Sample counts of the accepted period.
    struct Derived
    {
        std::int32_t samplesPerSecond = 0; ///< N1: when the reference may be set
        std::int32_t samplesPerWindow = 0; ///< Nw
    };

    struct State
    {
        std::int32_t count = 0;
        float sums[3] = {0, 0, 0};
        float reference[3] = {0, 0, 0}; ///< unit vector; all zero until set
        bool pending = false;           ///< a tilt not yet taken by generateOutput
    };

    void clearWindow();
    bool hasReference() const;

    Settings settings_;
    Derived derived_;
    State state_;
};

} // namespace vnx::activity
