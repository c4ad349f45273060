#include "mobileUtilities/mobileSensorRange.h"

#include <cstring>

#include "calibration/FixedPointCal.h"
#include "calibration/scdData.h"
#include "moduleFactory/flatApiGuard.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::mobile {

namespace {

constexpr float kMicroTeslaPerMagUnit = 100.0f;

float rangeOf(std::uint32_t sensor, const void* scd, std::size_t size)
{
    // The whole block is read (its check word covers all 260 bytes), so a
    // shorter buffer is refused before its head is trusted.
    if (scd == nullptr || size < VNX_SCD_GEN4FLOAT_SIZE)
        return 0.0f;
    // Clients hand in plain bytes: copy them into an aligned block.
    scdGen4Float_s block;
    std::memcpy(&block, scd, sizeof block);

    FixedPointCal cal;
    if (cal.verifyAndInit(&block.head) != 0)
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
