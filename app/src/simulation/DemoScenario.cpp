#include "simulation/DemoScenario.h"

#include "device/presenterCodes.h"

#include <cmath>
#include <numbers>

namespace {

/// Each step of the figure turns at the rate of its middle: short enough
/// that the path stays smooth at the slow pace of a lap.
constexpr double kStepSeconds = 0.05;

/// The figure from `fromS` to `toS` of a lap. The pointer follows
/// x = A sin(wt) across and y = A/2 sin(2wt) up: the presenter turns about
/// its vertical axis at A w cos(wt) and about its sideways axis at
/// A w cos(2wt). The two rates never vanish together, so no step is still.
void figureOfEight(PresenterScenario& scenario, double fromS, double toS)
{
    constexpr double w = 2.0 * std::numbers::pi / DemoScenario::kLapSeconds;
    constexpr double a = DemoScenario::kAmplitudeRad;
    for (double t = fromS; t < toS - 1e-9; t += kStepSeconds) {
        const double step = std::min(kStepSeconds, toS - t);
        const double middle = t + step / 2.0;
        const double across = a * w * std::cos(w * middle);
        // Pointer up is a positive turn about the body's sideways (y) axis.
        const double up = a * w * std::cos(2.0 * w * middle);
        const vnx::testsupport::Vec3d axis{0.0, up, across};
        scenario.turn(axis, std::hypot(across, up), step);
    }
}

} // namespace

PresenterScenario DemoScenario::make(int laps)
{
    PresenterScenario scenario({.deviceNumber = kDeviceNumber,
                                .firstCounter = 0,
                                .motion = {.seed = 1,
                                           .gyroOffset = {0.004, -0.003, 0.002},
                                           .accNoise = 0.02,
                                           .gyroNoise = 0.002}});
    scenario.identity().paired().battery(kBatteryLevel).firmware(kFirmware).still(kSettleSeconds);
    const double quarter = kLapSeconds / 4.0;
    for (int lap = 0; lap < laps; ++lap) {
        // A click takes control (cursor mode) and the first half is plain
        // movement; the hot button is then held through the third quarter (a
        // drag, or the magnified capture) and the pointer button through the
        // last (the pointer overlay).
        scenario.button(presenterButtonHotClick);
        figureOfEight(scenario, 0.0, 2.0 * quarter);
        scenario.button(presenterButtonHotDown);
        figureOfEight(scenario, 2.0 * quarter, 3.0 * quarter);
        scenario.button(presenterButtonHotUp);
        scenario.button(presenterButtonPointerDown);
        figureOfEight(scenario, 3.0 * quarter, kLapSeconds);
        scenario.button(presenterButtonPointerUp);
    }
    return scenario;
}
