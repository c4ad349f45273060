#pragma once

#include <cstdint>

namespace vnx {

/// Freezes pointer motion for a short time after a button event while the
/// hand stays within a small radius, so that a click does not drag the
/// pointer. Each of four events (press, release, wheel up, wheel down) has its
/// own hold time and radius.
class ButtonSuppression
{
  public:
    struct ConfigPerEvent
    {
        std::uint8_t holdSamples; ///< samples the pointer may stay frozen
        std::uint8_t radius;      ///< counts of motion that end the freeze early
    };
    struct Config
    {
        ConfigPerEvent event[4]; ///< press, release, wheel up, wheel down
    };

    /// Event bit that suppresses motion in the call where it is set.
    static constexpr std::uint32_t kForceSuppression = 0x10;

    /// Stores the config and closes any open window.
    void init(const Config& config);

    /// Counts down `elapsed` samples, opens a window for the first of event
    /// bits 0-3 that is set, accumulates `motion` and sets `suppress` while
    /// the window is open and the accumulated motion is within the radius.
    void process(std::uint32_t elapsed, std::uint32_t events, const std::int16_t motion[2], bool& suppress);

    const Config& config() const { return config_; }
    std::uint8_t remaining() const { return remaining_; }

  private:
    void closeWindow();

    Config config_{};
    std::uint8_t remaining_ = 0;    ///< samples left in the open window
    std::int16_t accumulatedX_ = 0; ///< motion since the event, counts
    std::int16_t accumulatedY_ = 0;
    std::uint16_t squaredRadius_ = 0;
};

} // namespace vnx
