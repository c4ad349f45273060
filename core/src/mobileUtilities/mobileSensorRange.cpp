#include "mobileUtilities/mobileSensorRange.h"

#include "calibration/FixedPointCal.h"
#include "calibration/scdAcceptance.h"
#include "moduleFactory/flatApiGuard.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

namespace {

constexpr float kMicroTeslaPerMagUnit = 100.0f;

float rangeOf(std::uint32_t sensor, const void* scd, std::size_t size)
{
    // Clients hand in plain bytes at any address; a buffer shorter than the
    // whole block is refused unread.
    FixedPointCal cal;
    if (cal.verifyAndInit(acceptScd(scd, scd != nullptr ? size : 0)) != 0)
        return 0.0f;
    const FixedPointCal::Output& out = cal.output();
    switch (sensor) {
    case VNX_MOBILE_BIT_ACCELEROMETER:
        return out.accFullScale;
    case VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER:
        return out.magFullScale * kMicroTeslaPerMagUnit;
    case VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE:
        return out.rsFullScale;
    default:
        return 0.0f;
    }
}

} // namespace

float getSensorRange(std::uint32_t sensor, const void* scd, std::size_t size)
{
    // The temporary calibration's logger allocates; running out of memory
    // reads as "no range" rather than leaving the library as an exception.
    return guardValue(0.0f, [&] { return rangeOf(sensor, scd, size); });
}

} // namespace vnx::mobile

extern "C" {

float vnx_Mobile_getAccRange(const void* scd, size_t size)
{
    return vnx::mobile::getSensorRange(VNX_MOBILE_BIT_ACCELEROMETER, scd, size);
}

float vnx_Mobile_getMagRange(const void* scd, size_t size)
{
    return vnx::mobile::getSensorRange(VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER, scd, size);
}

float vnx_Mobile_getGyroRange(const void* scd, size_t size)
{
    return vnx::mobile::getSensorRange(VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE, scd, size);
}

} // extern "C"
