#include "sensorFusionMobile/mobilePeriods.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vnx::mobile {

namespace {

// Shortest period the decimated stages run at, us.
constexpr std::int32_t kDecimatedPeriodUs = 2500;
// Slowest accelerometer and magnetometer periods that still keep up with a
// running gyroscope, us.
constexpr std::int32_t kAccPeriodWithGyroUs = 4000;
constexpr std::int32_t kMagPeriodWithGyroUs = 20000;

constexpr std::uint32_t kSlotBits[VNX_MOBILE_VIRTUAL_SENSOR_COUNT] = {
    VNX_MOBILE_BIT_ACCELEROMETER,
    VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE,
    VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE,
    VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER,
    VNX_MOBILE_BIT_UNCALIBRATED_MAGNETOMETER,
    VNX_MOBILE_BIT_GRAVITY,
    VNX_MOBILE_BIT_LINEAR_ACCELERATION,
    VNX_MOBILE_BIT_ROTATION_VECTOR,
    VNX_MOBILE_BIT_GAME_ROTATION_VECTOR,
    VNX_MOBILE_BIT_GEOMAGNETIC_ROTATION_VECTOR,
    VNX_MOBILE_BIT_STABILITY,
};

// Minimum in which a period of 0 or below means "none": taken as unsigned
// after subtracting one, so 0 becomes the largest value and an all-off pair
// gives 0 again.
std::int32_t minEnabled(std::int32_t a, std::int32_t b)
{
    const std::uint32_t ua = static_cast<std::uint32_t>(a) - 1u;
    const std::uint32_t ub = static_cast<std::uint32_t>(b) - 1u;
    return static_cast<std::int32_t>((ua < ub ? ua : ub) + 1u);
}

} // namespace

std::uint32_t outputBitOfSlot(int slot)
{
    return slot >= 0 && slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT ? kSlotBits[slot] : 0u;
}

DerivedPeriods deriveInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& requested)
{
    const std::int32_t* p = requested.periodUs;
    std::int32_t acc = p[VNX_MOBILE_ACCELEROMETER];
    std::int32_t gyro =
        minEnabled(p[VNX_MOBILE_CALIBRATED_ROTATION_RATE], p[VNX_MOBILE_UNCALIBRATED_ROTATION_RATE]);
    std::int32_t mag =
        minEnabled(p[VNX_MOBILE_CALIBRATED_MAGNETOMETER], p[VNX_MOBILE_UNCALIBRATED_MAGNETOMETER]);
    const std::int32_t fusion =
        minEnabled(minEnabled(p[VNX_MOBILE_GRAVITY], p[VNX_MOBILE_LINEAR_ACCELERATION]),
                   minEnabled(p[VNX_MOBILE_ROTATION_VECTOR], p[VNX_MOBILE_GAME_ROTATION_VECTOR]));

    std::uint32_t enabled = 0;
    for (int slot = 0; slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT; ++slot) {
        if (p[slot] > 0)
            enabled |= kSlotBits[slot];
    }

    // Fusion and stability run on the gyroscope.
    if (fusion > 0)
        gyro = minEnabled(gyro, fusion);
    if (p[VNX_MOBILE_STABILITY] > 0)
        gyro = minEnabled(gyro, p[VNX_MOBILE_STABILITY]);
    // The gyro-stabilised filters need accelerometer and magnetometer at a
    // modest rate whenever the gyroscope runs.
    if (gyro > 0) {
        acc = minEnabled(acc, gyro > kAccPeriodWithGyroUs ? gyro : kAccPeriodWithGyroUs);
        mag = minEnabled(mag, gyro > kMagPeriodWithGyroUs ? gyro : kMagPeriodWithGyroUs);
    }
    // The geomagnetic rotation vector is solved at each magnetometer sample.
    const std::int32_t geomagnetic = p[VNX_MOBILE_GEOMAGNETIC_ROTATION_VECTOR];
    if (geomagnetic > 0) {
        mag = minEnabled(mag, geomagnetic);
        acc = minEnabled(acc, geomagnetic);
    }
    return {{acc, gyro, mag, fusion}, enabled};
}

std::uint8_t decimationFactor(std::int32_t gyroscopePeriodUs)
{
    if (gyroscopePeriodUs <= 0 || gyroscopePeriodUs >= kDecimatedPeriodUs)
        return 1;
    // Half away from zero; a factor beyond the counter's range is clamped.
    const float factor =
        std::round(static_cast<float>(kDecimatedPeriodUs) / static_cast<float>(gyroscopePeriodUs));
    return factor >= 255.0f ? 255 : static_cast<std::uint8_t>(factor);
}

vnx_Mobile_VirtualSensorPeriods_s effectiveOutputPeriods(const vnx_Mobile_PhysicalSensorPeriods_s& physical,
                                                         std::uint32_t enabledOutputs,
                                                         std::uint8_t decimation)
{
    // Formed in 64 bits and clamped: the caller's gyroscope period may be any
    // int32, and the engine's decimation factor belongs to another period.
    const std::int64_t wide = std::int64_t{decimation} * physical.gyroscopeUs;
    const std::int32_t decimated = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(wide, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
    const std::int32_t bySlot[VNX_MOBILE_VIRTUAL_SENSOR_COUNT] = {
        physical.accelerometerUs,
        physical.gyroscopeUs,
        physical.gyroscopeUs,
        physical.magnetometerUs,
        physical.magnetometerUs,
        decimated,
        decimated,
        physical.fusionUs,
        physical.fusionUs,
        physical.magnetometerUs,
        decimated,
    };
    vnx_Mobile_VirtualSensorPeriods_s out{};
    for (int slot = 0; slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT; ++slot) {
        out.periodUs[slot] = (enabledOutputs & kSlotBits[slot]) != 0 ? bySlot[slot] : 0;
    }
    return out;
}

} // namespace vnx::mobile
