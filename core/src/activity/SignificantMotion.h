#pragma once

// Significant motion: after a 0.5 s warm-up the detector is armed and keeps
// the step total of that moment; from then on, enough new steps or an
// accumulated high-passed acceleration norm above the motion level is
// significant motion. The accumulator is the high-passed norm plus a tiny
// share (2^-12) of its previous value, so it follows a sustained rise of
// the norm and forgets a single spike within a sample.

#include <cstdint>

#include "activity/EventDetector.h"
#include "activity/significantMotionApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class SignificantMotion : public EventDetector
{
    VNX_LOG_DEFAULT(SignificantMotion);

  public:
    using Config = vnx_SignificantMotionConfig_s;
    using Handle = vnx_SignificantMotion_Handle;
    static constexpr DetectorId kId = DetectorId::SignificantMotion;
    static constexpr std::uint32_t kEvent = 1;

    enum class State : std::uint8_t
    {
        Disabled = 0,
        WarmingUp = 1,
        Armed = 2
    };

    SignificantMotion() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    void init(const Config& config);

    /// One record with the step detector's output for it.
    int process(const vnx_Mobile_Output_s& in, const vnx_StepDetector_Output_s& steps,
                vnx_Detector_Output_s& out, std::uint8_t& flag);

    State state() const { return state_; }
    float filterAlpha() const { return alpha_; }
    float filterGain() const { return gain_; }

  protected:
    void onEnabled(bool wasEnabled) override;
    void onDisabled() override { state_ = State::Disabled; }
    void onPeriodRejected() override { state_ = State::Disabled; }
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    float motionLevel_ = 0;
    std::uint8_t stepsSetting_ = 0;
    State state_ = State::Disabled;
    float dtS_ = 0;
    float alpha_ = 0;
    float gain_ = 0;
    float warmUpS_ = 0;
    float previousNorm_ = 0;
    float highPass_ = 0;
    float accumulator_ = 0;
    std::uint32_t armedStepTotal_ = 0;
    /// The step total of the record being processed.
    std::uint32_t stepTotal_ = 0;
};

} // namespace vnx::activity
