#pragma once

// Face-down detection: the acceleration is low-passed (gravity), and the
// cosine of its angle to the device's -z axis is compared with two limits,
// half the hysteresis width inside and outside the face-down angle. Between
// them the previous state stays. Turning from not face down to face down is
// the event.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/flipDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class FlipDetector : public EventDetector
{
    VNX_LOG_DEFAULT(FlipDetector);

  public:
    using Config = vnx_FlipDetectorConfig_s;
    using Handle = vnx_FlipDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Flip;

    static constexpr std::uint32_t kTurnedFaceDown = 1;

    FlipDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, not face down.
    void init(const Config& config);

  protected:
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    struct Settings
    {
        float timeConstantS = 0;
        float cosEnter = 0; ///< face down above this cosine
        float cosLeave = 0; ///< not face down below this cosine
    };

    /// Low-pass factors of the accepted period: g = alpha g + oneMinusAlpha a.
    struct Derived
    {
        float alpha = 0;
        float oneMinusAlpha = 0;
    };

    struct State
    {
        bool reseed = true; ///< the next sample starts the filter
        float gravity[3] = {0, 0, 0};
        bool faceDown = false;
    };

    Settings settings_;
    Derived derived_;
    State state_;
};

} // namespace vnx::activity
