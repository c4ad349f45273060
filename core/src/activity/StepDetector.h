#pragma once

// Phone step detector. Its second channel (2, "StepPos") follows the motion
// of the device itself: each axis of the acceleration is high-passed,
// integrated twice into a position and high-passed again (every stage with
// the time constant 4 tau), and the channel's input is the summed absolute
// speed of that position, |dx| + |dy| + |dz| per second.

#include "activity/StepDetectorInterface.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class StepDetector : public StepDetectorInterface
{
    VNX_LOG_DEFAULT(StepDetector);

  public:
    static constexpr int kPositionChannel = 2;

    StepDetector();

  protected:
    void restartFilters(const float* a) override;
    float secondChannelSample(const float* a) override;
    float secondThreshold(const Settings& settings) const override { return settings.positionThreshold; }

  private:
    /// First-order high-pass with the detector's axis factor and gain.
    struct HighPass
    {
        float output = 0;
        float previousInput = 0;
    };
    float highPass(HighPass& filter, float x) const;

    HighPass acceleration_[3];
    HighPass velocity_[3];
    HighPass position_[3];
    float integratedVelocity_[3] = {};
    float integratedPosition_[3] = {};
};

} // namespace vnx::activity
