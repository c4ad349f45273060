#pragma once

// The presenter `pelvaro --simulate` plays in place of a receiver: it pairs,
// reports its battery and firmware, rests while the engine settles, and then
// traces a slow figure of eight (wide across, half as high) lap after lap,
// with a hot-button click, a hot-button hold and a pointer-button hold in
// every lap.

#include "simulation/PresenterScenario.h"

#include <array>
#include <cstdint>

struct DemoScenario
{
    /// One lap of the figure, in seconds.
    static constexpr double kLapSeconds = 8.0;
    /// Half the figure's width, as a turn of the presenter in radians; the
    /// figure is half as high.
    static constexpr double kAmplitudeRad = 0.15;
    /// The rest before the first lap, while the engine learns the presenter.
    static constexpr double kSettleSeconds = 3.0;
    /// Laps of the program's demo: a little over ten minutes.
    static constexpr int kProgramLaps = 80;

    static constexpr uint8_t kDeviceNumber = 1;
    static constexpr uint8_t kBatteryLevel = 80;
    /// "1.0.3" and three zero bytes.
    static constexpr std::array<uint8_t, 8> kFirmware{'1', '.', '0', '.', '3', 0, 0, 0};

    /// The demo with `laps` laps (none: status reports and the rest only).
    static PresenterScenario make(int laps);
};
