#pragma once

// Circle detection. Gravity is tracked by a fast low-pass; the device is
// still when the sample, its low-pass and gravity agree. From rest, a
// deviation of the acceleration from the rest reference beyond the start
// level begins a gesture. Its direction is followed in steps: each time it
// has turned by more than a twelfth of the total angle since the last step,
// the turn's axis is stored and its angle added. A turn about the opposite
// axis starts the count over. Nine or more steps, at most twelve, that sweep
// the total angle about axes close to their mean make a circle. A gesture is
// abandoned when the deviation fades or no step comes for 0.8 s.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/circleDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class CircleDetector : public EventDetector
{
    VNX_LOG_DEFAULT(CircleDetector);

  public:
    using Config = vnx_CircleDetectorConfig_s;
    using Handle = vnx_CircleDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Circle;

    static constexpr std::uint32_t kCircle = 1;
    /// Turn steps a circle may take.
    static constexpr int kMaxSteps = 12;
    static constexpr int kMinSteps = 9;

    CircleDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    /// All state fresh from `config`: disabled, no period, idle.
    void init(const Config& config);

  protected:
    void onDisabled() override;
    void onPeriodRejected() override;
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    enum class Phase : std::uint8_t
    {
        Idle,
        AtRest,
        Moving
    };

    struct Settings
    {
        float minDeviationMs2 = 0;
        float minAxisCos = 0;
        float totalAngleRad = 0;
        float stepCos = 0; ///< cos of a twelfth of the total angle
    };

    /// Coefficients of the accepted period.
    struct Derived
    {
        std::int32_t samplesPer100Ms = 10;
        float alpha = 0; ///< gravity low-pass: lp = alpha lp + oneMinusAlpha a
        float oneMinusAlpha = 0;
    };

    struct State
    {
        Phase phase = Phase::Idle;
        float lowPass[3] = {0, 0, 0};
        float reference[3] = {0, 0, 9.8f}; ///< gravity at rest
        std::int32_t samplesSinceStep = 0;
        float direction[3] = {0, 0, 0}; ///< unit deviation at the last step
        float sweptRad = 0;
        float axes[kMaxSteps][3] = {};
        int axisCount = 0;
        bool previousStill = false;
    };

    /// Back to idle with no gesture.
    void restart();
    /// One sample of a gesture in progress; true when it completed a circle.
    bool followGesture(const float* a, bool still);
    bool closesCircle() const;

    Settings settings_;
    Derived derived_;
    State state_;
};

} // namespace vnx::activity
