#pragma once

// Active rotation-sensor channels of one bias estimator. A device with three
// gyroscope axes uses x, y and z; a device whose x axis carries no usable
// rotation uses y and z only. Channel c then reads axis c + 1. The count is
// kept per estimator object, so two devices with different sensors can run
// side by side.

#include <cstdint>

namespace vnx {

inline constexpr std::uint8_t kRsChannelsDefault = 3;

/// 2 or 3: anything below 3 means the two-channel (y, z) layout.
constexpr std::uint8_t clampRsChannels(unsigned count)
{
    return count >= 3 ? 3 : 2;
}

/// Sensor axis (0 x, 1 y, 2 z) that channel c reads.
constexpr int rsAxisOfChannel(int channel, int channelCount)
{
    return channel + 3 - channelCount;
}

} // namespace vnx
