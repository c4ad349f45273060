#include "activity/StepDetector.h"

#include <cmath>

namespace vnx::activity {

StepDetector::StepDetector() : StepDetectorInterface(DetectorId::Step, kPositionChannel, "StepPos") {}

float StepDetector::highPass(HighPass& filter, float x) const
{
    filter.output = axisAlpha_ * filter.output + (x - filter.previousInput) * axisGain_;
    filter.previousInput = x;
    return filter.output;
}

void StepDetector::restartFilters(const float* a)
{
    // The high-pass outputs start at 0 with the sample as the previous
    // input: seeding them with the sample would feed gravity into the double
    // integration as motion and leave the position channel deaf for seconds.
    for (int k = 0; k < 3; ++k) {
        acceleration_[k].previousInput = a[k];
        acceleration_[k].output = 0;
        velocity_[k] = HighPass{};
        position_[k] = HighPass{};
        integratedVelocity_[k] = 0;
        integratedPosition_[k] = 0;
    }
}

float StepDetector::secondChannelSample(const float* a)
{
    float speed = 0;
    for (int k = 0; k < 3; ++k) {
        const float h = highPass(acceleration_[k], a[k]);
        // The high-passed velocity is the previous sample's.
        integratedPosition_[k] += velocity_[k].output * dtS_ + h * dtS_ * dtS_ * 0.5f;
        const float previousPosition = position_[k].output;
        speed += std::fabs(highPass(position_[k], integratedPosition_[k]) - previousPosition);
        integratedVelocity_[k] += h * dtS_;
        highPass(velocity_[k], integratedVelocity_[k]);
    }
    return speed * rateHz_;
}

} // namespace vnx::activity
