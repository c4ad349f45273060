#include "activity/StepDetectorWatch.h"

#include <cmath>

namespace vnx::activity {

StepDetectorWatch::StepDetectorWatch()
    : StepDetectorInterface(DetectorId::StepWatch, kVelocityChannel, "StepVel")
{
}

void StepDetectorWatch::restartFilters(const float* a)
{
    previousNorm_ = accelerationNorm(a);
}

float StepDetectorWatch::secondChannelSample(const float* a)
{
    const float norm = accelerationNorm(a);
    const float rate = (norm - previousNorm_) * rateHz_;
    previousNorm_ = norm;
    return rate;
}

} // namespace vnx::activity
