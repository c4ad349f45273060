#include <gtest/gtest.h>

#include "sensorFusionMobile/mobilePeriods.h"

namespace {

using vnx::mobile::decimationFactor;
using vnx::mobile::deriveInputPeriods;
using vnx::mobile::effectiveOutputPeriods;

struct DeriveCase
{
    const char* name;
    std::initializer_list<std::pair<int, std::int32_t>> requested; // slot, period
    vnx_Mobile_PhysicalSensorPeriods_s expected;                   // acc, gyro, mag, fusion
    std::uint32_t enabled;
};

vnx_Mobile_VirtualSensorPeriods_s periodsOf(std::initializer_list<std::pair<int, std::int32_t>> slots)
{
    vnx_Mobile_VirtualSensorPeriods_s v{};
    for (const auto& [slot, period] : slots)
        v.periodUs[slot] = period;
    return v;
}

TEST(MobilePeriods, DeriveSensorPeriodsFromRequestedOutputs)
{
    const DeriveCase cases[] = {
        {"all off", {}, {0, 0, 0, 0}, 0},
        {"rotation vector alone", {{VNX_MOBILE_ROTATION_VECTOR, 20000}}, {20000, 20000, 20000, 20000}, 0x20},
        {"calibrated rate alone", {{VNX_MOBILE_CALIBRATED_ROTATION_RATE, 2500}}, {4000, 2500, 20000, 0}, 0x4},
        {"slow rate keeps companions at its pace",
         {{VNX_MOBILE_UNCALIBRATED_ROTATION_RATE, 50000}},
         {50000, 50000, 50000, 0},
         0x200},
        {"fastest of both rates", {{1, 10000}, {2, 5000}}, {5000, 5000, 20000, 0}, 0x204},
        {"accelerometer alone", {{VNX_MOBILE_ACCELEROMETER, 10000}}, {10000, 0, 0, 0}, 0x1},
        {"magnetometer alone", {{VNX_MOBILE_UNCALIBRATED_MAGNETOMETER, 40000}}, {0, 0, 40000, 0}, 0x100},
        {"geomagnetic vector runs accelerometer and magnetometer",
         {{VNX_MOBILE_GEOMAGNETIC_ROTATION_VECTOR, 30000}},
         {30000, 0, 30000, 0},
         0x800},
        {"stability drives the gyroscope", {{VNX_MOBILE_STABILITY, 10000}}, {10000, 10000, 20000, 0}, 0x80},
        {"fusion tick is the fastest fused output",
         {{VNX_MOBILE_GRAVITY, 10000}, {VNX_MOBILE_GAME_ROTATION_VECTOR, 5000}},
         {5000, 5000, 20000, 5000},
         0x408},
        {"negative periods are off",
         {{VNX_MOBILE_ROTATION_VECTOR, -5}, {VNX_MOBILE_GRAVITY, 8000}},
         {8000, 8000, 20000, 8000},
         0x8},
    };
    for (const DeriveCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = deriveInputPeriods(periodsOf(c.requested));
        EXPECT_EQ(d.physical.accelerometerUs, c.expected.accelerometerUs);
        EXPECT_EQ(d.physical.gyroscopeUs, c.expected.gyroscopeUs);
        EXPECT_EQ(d.physical.magnetometerUs, c.expected.magnetometerUs);
        EXPECT_EQ(d.physical.fusionUs, c.expected.fusionUs);
        EXPECT_EQ(d.enabledOutputs, c.enabled);
    }
}

TEST(MobilePeriods, DecimationKeepsDecimatedStagesNearTwoAndAHalfMilliseconds)
{
    const std::pair<std::int32_t, int> cases[] = {{0, 1},    {-100, 1}, {833, 3},  {1000, 3},  {1250, 2},
                                                  {2000, 1}, {2499, 1}, {2500, 1}, {10000, 1}, {1, 255}};
    for (const auto& [period, factor] : cases) {
        SCOPED_TRACE(period);
        EXPECT_EQ(decimationFactor(period), factor);
    }
}

TEST(MobilePeriods, EffectiveOutputPeriodsFollowSensorsForEnabledOutputsOnly)
{
    const vnx_Mobile_PhysicalSensorPeriods_s physical{4000, 1250, 20000, 5000};
    const std::uint32_t all = 0xFBF; // every output bit
    const auto e = effectiveOutputPeriods(physical, all, 2);
    const std::int32_t expected[VNX_MOBILE_VIRTUAL_SENSOR_COUNT] = {4000, 1250, 1250, 20000, 20000, 2500,
                                                                    2500, 5000, 5000, 20000, 2500};
    for (int slot = 0; slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(e.periodUs[slot], expected[slot]);
    }
    const auto some =
        effectiveOutputPeriods(physical, VNX_MOBILE_BIT_GRAVITY | VNX_MOBILE_BIT_ACCELEROMETER, 2);
    for (int slot = 0; slot < VNX_MOBILE_VIRTUAL_SENSOR_COUNT; ++slot) {
        SCOPED_TRACE(slot);
        const std::int32_t want =
            slot == VNX_MOBILE_ACCELEROMETER ? 4000 : (slot == VNX_MOBILE_GRAVITY ? 2500 : 0);
        EXPECT_EQ(some.periodUs[slot], want);
    }
}

} // namespace

TEST(MobilePeriods, DecimatedPeriodsSaturateInsteadOfOverflowing)
{
    struct Case
    {
        std::int32_t gyroscopeUs;
        std::uint8_t decimation;
        std::int32_t expected;
    };
    const Case cases[] = {
        {INT32_MAX, 2, INT32_MAX},
        {INT32_MIN, 255, INT32_MIN},
        {20000000, 255, INT32_MAX},
        {-20000000, 255, INT32_MIN},
        {8421504, 255, 2147483520}, // the largest product that fits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gyroscopeUs);
        const vnx_Mobile_PhysicalSensorPeriods_s physical{4000, c.gyroscopeUs, 20000, 5000};
        const auto e = effectiveOutputPeriods(physical, VNX_MOBILE_BIT_GRAVITY, c.decimation);
        EXPECT_EQ(e.periodUs[VNX_MOBILE_GRAVITY], c.expected);
    }
}
