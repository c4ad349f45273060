#pragma once

// Shake detection on 10 ms block averages of the acceleration. Per axis, a
// change of the block average beyond the threshold is a movement: the first
// sets the axis's direction, a later one against the direction, at least the
// minimum half-period after the last counted reversal, is a reversal. The
// time since the last reversal runs signed with the direction; beyond the
// maximum half-period the axis starts over. The set number of reversals is a
// shake.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/shakeDetectorAccApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class ShakeDetectorAcc : public EventDetector
{
    VNX_LOG_DEFAULT(ShakeDetectorAcc);

  public:
    using Config = vnx_ShakeDetectorAccConfig_s;
    using Handle = vnx_ShakeDetectorAcc_Handle;
    static constexpr DetectorId kId = DetectorId::ShakeAcc;

    ShakeDetectorAcc() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, no movement.
    void init(const Config& config);

  protected:
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    struct Settings
    {
        std::int64_t minHalfPeriodUs = 0;
        std::int64_t maxHalfPeriodUs = 0;
        float thresholdMs2 = 0; ///< per 10 ms
        std::uint8_t reversals = 0;
        std::uint8_t axisMask = 0;
    };

    /// Block shape of the accepted period.
    struct Derived
    {
        std::int32_t blockSamples = 1; ///< D: samples averaged per block
        std::int64_t stepUs = 0;       ///< D times the period
        float blockThresholdMs2 = 0;   ///< the threshold scaled to one block
    };

    struct Axis
    {
        std::int8_t direction = 0;  ///< -1, 0 (no movement yet), +1
        std::uint8_t count = 0;     ///< counted reversals
        std::int64_t elapsedUs = 0; ///< signed with the direction
    };

    struct State
    {
        std::int32_t samplesInBlock = 0;
        float sums[3] = {0, 0, 0};
        float average[3] = {0, 0, 0};
        float previousAverage[3] = {0, 0, 0};
        Axis axes[3];
    };

    /// One block's change on axis k; true when it completed a shake.
    bool trackAxis(Axis& axis, float diff) const;

    Settings settings_;
    Derived derived_;
    State state_;
};

} // namespace vnx::activity
