#pragma once

#include <cstdint>

#include "cursorBlocks/OutputConditioningMin.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Maps the device's angular rate to a two-axis pointer rate. With roll
/// compensation the rate is turned by the device's roll so that a sweep moves
/// the pointer the same way however the hand holds the device; the
/// compensation pauses while the device points nearly straight up or down,
/// where roll is undefined.
class MapMin
{
    VNX_LOG_DEFAULT(MapMin);

  public:
    /// Flags of `process`.
    static constexpr std::uint16_t kEnable = 0x0001;
    static constexpr std::uint16_t kRollCompensation = 0x0800;
    static constexpr std::uint16_t kPitchScale = 0x4000;

    /// sin^2 of the pitch at which roll compensation stops (75 degrees) and
    /// resumes (36 degrees); in between the previous state holds.
    static constexpr float kVerticalEnter = 0.93301266f;
    static constexpr float kVerticalLeave = 0.3454915f;
    /// Rates are limited to +-10 rad/s before they are mapped.
    static constexpr float kRateLimit = 10.0f;

    struct Output
    {
        std::uint32_t word; ///< 0 after every call
        float rateA;        ///< horizontal pointer rate, rad/s
        float rateB;        ///< vertical pointer rate, rad/s
        float spreadB;
        float spreadA;
        std::uint8_t pointingState; ///< 1 roll compensation allowed, 0 near vertical
    };

    MapMin();
    ~MapMin();

    /// Pointing state := 1.
    void init();

    /// rate and spread are pairs (element 0 the device's y rate, element 1
    /// its z rate); q is the orientation (w, x, y, z). With kEnable clear only
    /// out.word is written. The second word is accepted and not read.
    void process(std::uint16_t flags, std::uint16_t unused, const Fp32 rate[2], const Fp32 spread[2],
                 const qdVectorFixed::quaternion<float>& q, Output& out);

    std::uint8_t pointingState() const { return pointingState_; }

  private:
    std::uint8_t pointingState_ = 1;
    OutputConditioningMin conditioning_; ///< node "OutputConditioning"; not used by the mapping
};

} // namespace vnx
