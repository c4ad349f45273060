#include "cursorBlocks/ButtonSuppression.h"

namespace vnx {

void ButtonSuppression::init(const Config& config)
{
    config_ = config;
    remaining_ = 0;
    closeWindow();
}

void ButtonSuppression::closeWindow()
{
    accumulatedX_ = 0;
    accumulatedY_ = 0;
    squaredRadius_ = 0;
}

void ButtonSuppression::process(std::uint32_t elapsed, std::uint32_t events, const std::int16_t motion[2],
                                bool& suppress)
{
    remaining_ = elapsed >= remaining_ ? 0 : static_cast<std::uint8_t>(remaining_ - elapsed);

    for (int k = 0; k < 4; ++k) {
        if (events & (1u << k)) {
            const ConfigPerEvent& event = config_.event[k];
            accumulatedX_ = 0;
            accumulatedY_ = 0;
            if (event.holdSamples > remaining_)
                remaining_ = event.holdSamples;
            const std::uint16_t radiusSquared = static_cast<std::uint16_t>(event.radius * event.radius);
            if (radiusSquared > squaredRadius_)
                squaredRadius_ = radiusSquared;
            break;
        }
    }

    suppress = false;
    if (remaining_ != 0) {
        accumulatedX_ = static_cast<std::int16_t>(accumulatedX_ + motion[0]);
        accumulatedY_ = static_cast<std::int16_t>(accumulatedY_ + motion[1]);
        // Squared distance in 32 bits: a 16-bit sum would wrap once the hand
        // has moved more than 256 counts and read as still.
        const std::int32_t x = accumulatedX_;
        const std::int32_t y = accumulatedY_;
        const std::uint32_t distanceSquared =
            static_cast<std::uint32_t>(x * x) + static_cast<std::uint32_t>(y * y);
        if (distanceSquared < squaredRadius_)
            suppress = true;
        else
            remaining_ = 0;
    }
    if (remaining_ == 0)
        closeWindow();

    if (events & kForceSuppression)
        suppress = true;
}

} // namespace vnx
