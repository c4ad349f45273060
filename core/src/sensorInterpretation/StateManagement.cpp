#include "sensorInterpretation/StateManagement.h"

namespace vnx {

void StateManagement::init()
{
    firstSample_ = true;
}

void StateManagement::calcDSample(std::uint32_t sampleNumber, std::uint32_t& delta)
{
    if (firstSample_) {
        firstSample_ = false;
        delta = kUnknownGap;
    } else {
        delta = sampleNumber - lastSampleNumber_;
    }
    lastSampleNumber_ = sampleNumber;
}

} // namespace vnx
