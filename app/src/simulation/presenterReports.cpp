#include "simulation/presenterReports.h"

#include <algorithm>

namespace {

constexpr uint8_t kMotionKind = 1;
constexpr uint8_t kButtonKind = 3;
constexpr uint8_t kStatusKind = 8;

PresenterReport header(uint8_t kind, uint8_t deviceNumber)
{
    PresenterReport report{};
    report[0] = kPresenterReportId;
    report[1] = kind;
    report[2] = deviceNumber;
    return report;
}

void putWord(PresenterReport& report, size_t at, uint16_t value)
{
    report[at] = static_cast<uint8_t>(value & 0xFF);
    report[at + 1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

PresenterReport motionReport(uint8_t deviceNumber, uint16_t counter, const vnx_DeviceSupport6AG_Output_s& sample)
{
    PresenterReport report = header(kMotionKind, deviceNumber);
    putWord(report, 3, counter);
    putWord(report, 5, static_cast<uint16_t>(sample.temperature));
    for (size_t axis = 0; axis < 3; ++axis) {
        putWord(report, 7 + 2 * axis, static_cast<uint16_t>(sample.gyroscope[axis]));
        putWord(report, 13 + 2 * axis, static_cast<uint16_t>(sample.accelerometer[axis]));
    }
    return report;
}

PresenterReport buttonReport(uint8_t deviceNumber, uint8_t code)
{
    PresenterReport report = header(kButtonKind, deviceNumber);
    report[3] = code;
    return report;
}

PresenterReport statusReport(uint8_t deviceNumber, uint8_t code, std::span<const uint8_t> data)
{
    PresenterReport report = header(kStatusKind, deviceNumber);
    report[3] = code;
    std::copy_n(data.begin(), std::min<size_t>(data.size(), 16), report.begin() + 5);
    return report;
}
