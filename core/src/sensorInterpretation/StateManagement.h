#pragma once

#include <cstdint>

#include "log/DefaultLogger.h"

namespace vnx {

/// Turns the sample number that arrives with each sensor sample into the
/// number of sample periods since the previous one, so that algorithms can
/// tell consecutive samples from gaps (lost reports, a device that slept).
/// The owning module calls it once per sample before anything else.
class StateManagement
{
    VNX_LOG_DEFAULT(StateManagement);

  public:
    /// Delta of the first sample after init, read by callers as an unknown gap.
    static constexpr std::uint32_t kUnknownGap = 0xFFFFFFFFu;

    StateManagement() = default;

    /// The next sample starts afresh.
    void init();
    /// Sample periods since the previous sample, wrapping in 32 bits (a step
    /// back reads as a huge gap); kUnknownGap for the first sample after init.
    void calcDSample(std::uint32_t sampleNumber, std::uint32_t& delta);

  private:
    std::uint32_t lastSampleNumber_ = 0;
    bool firstSample_ = true;
};

} // namespace vnx
