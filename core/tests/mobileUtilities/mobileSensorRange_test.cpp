#include "mobileUtilities/mobileSensorRange.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "sensorFusionMobile/mobileRecords.h"
#include "support/ScdBuilder.h"

namespace {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

// An SCD of a device with known full scales: +-2 g accelerometer, a
// 0.001 rad/s per count gyroscope and a magnetometer of 0.0015 units per count.
ScdBuilder deviceScd()
{
    return ScdBuilder()
        .period(0.01)
        .accelMatrix(19.6133f * I)
        .gyroMatrix(0.001f * I)
        .variant(24601)
        .magMatrix(0.0015f * I);
}

TEST(MobileSensorRange, RangesAreTheCalibratedFullScales)
{
    const ScdBuilder builder = deviceScd();
    const scdGen4Float_s scd = builder.build();
    const auto& cal = builder.calibration();
    EXPECT_FLOAT_EQ(vnx_Mobile_getAccRange(&scd, sizeof scd), 32767.0f / 32768.0f * 19.6133f);
    EXPECT_FLOAT_EQ(vnx_Mobile_getGyroRange(&scd, sizeof scd), 32.767f);
    // The magnetometer's internal unit is 100 uT.
    EXPECT_FLOAT_EQ(vnx_Mobile_getMagRange(&scd, sizeof scd), cal.magFullScale * 100.0f);
    EXPECT_FLOAT_EQ(vnx_Mobile_getMagRange(&scd, sizeof scd), 4096.0f * 0.0015f * 100.0f);
}

TEST(MobileSensorRange, SensorIsChosenByItsOutputBit)
{
    const ScdBuilder builder = deviceScd();
    const scdGen4Float_s scd = builder.build();
    const auto& cal = builder.calibration();
    const struct
    {
        std::uint32_t sensor;
        float expected;
    } cases[] = {
        {VNX_MOBILE_BIT_ACCELEROMETER, cal.accFullScale},
        {VNX_MOBILE_BIT_CALIBRATED_MAGNETOMETER, cal.magFullScale * 100.0f},
        {VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE, cal.rsFullScale},
        {0, 0.0f},
        {VNX_MOBILE_BIT_GRAVITY, 0.0f},
        {VNX_MOBILE_BIT_UNCALIBRATED_ROTATION_RATE, 0.0f},
        {VNX_MOBILE_BIT_ACCELEROMETER | VNX_MOBILE_BIT_CALIBRATED_ROTATION_RATE, 0.0f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(vnx::mobile::getSensorRange(c.sensor, &scd, sizeof scd), c.expected) << c.sensor;
}

TEST(MobileSensorRange, BadScdInputGivesZero)
{
    const scdGen4Float_s good = deviceScd().build();
    scdGen4Float_s unsealed = good;
    unsealed.innards.accMatrix[0] += 1.0f;
    scdGen4Float_s version4 = good;
    version4.head.version = 4;
    const struct
    {
        const char* name;
        const void* scd;
        std::size_t size;
    } cases[] = {
        {"null", nullptr, sizeof good},
        {"size below 4", &good, 3},
        // The head claims 260 bytes, the buffer is shorter: nothing past it is read.
        {"size below the block", &good, sizeof good - 1},
        {"size 4", &good, 4},
        {"check word wrong", &unsealed, sizeof unsealed},
        {"version 4", &version4, sizeof version4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vnx_Mobile_getAccRange(c.scd, c.size), 0.0f) << c.name;
        EXPECT_EQ(vnx_Mobile_getMagRange(c.scd, c.size), 0.0f) << c.name;
        EXPECT_EQ(vnx_Mobile_getGyroRange(c.scd, c.size), 0.0f) << c.name;
    }
}

TEST(MobileSensorRange, ScdBytesNeedNoAlignment)
{
    const scdGen4Float_s scd = deviceScd().build();
    std::vector<std::uint8_t> bytes(sizeof scd + 1);
    std::memcpy(bytes.data() + 1, &scd, sizeof scd);
    EXPECT_FLOAT_EQ(vnx_Mobile_getAccRange(bytes.data() + 1, sizeof scd),
                    vnx_Mobile_getAccRange(&scd, sizeof scd));
    EXPECT_GT(vnx_Mobile_getAccRange(bytes.data() + 1, sizeof scd), 0.0f);
}

} // namespace
