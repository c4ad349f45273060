#pragma once

// Wrist step detector. Its second channel (1, "StepVel") is the rate of
// change of the acceleration norm, (|a| - |a|prev) / dt: a wrist swings
// too much for the phone's position channel, while the norm's rhythm stays.

#include "activity/StepDetectorInterface.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class StepDetectorWatch : public StepDetectorInterface
{
    VNX_LOG_DEFAULT(StepDetectorWatch);

  public:
    static constexpr int kVelocityChannel = 1;

    StepDetectorWatch();

  protected:
    void restartFilters(const float* a) override;
    float secondChannelSample(const float* a) override;
    float secondThreshold(const Settings& settings) const override { return settings.velocityThreshold; }

  private:
    float previousNorm_ = 0;
};

} // namespace vnx::activity
