#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "calibration/dcdData.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "nineAxisRig.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace nineAxisTest {
namespace {

struct InterfaceQuery
{
    const char* name;
    bool input;
    int index;
    size_t capacity;
    int result;
    size_t count;               ///< written also when the capacity is short
    std::vector<uint8_t> types; ///< written only on success
};

TEST(SensorInterpretation9AxisInterfaces, DescribeEachInterfaceAndRefuseOthers)
{
    SensorInterpretation9Axis module;
    EXPECT_EQ(module.getInputInterfaceCount(), 2);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);
    EXPECT_EQ(module.getType(), VNX_TYPE_SENSOR_INTERPRETATION_9AXIS);

    const InterfaceQuery cases[] = {
        {"accelerometer and gyroscope", true, 0, 4, 0, 2, {1, 1}},
        {"with magnetometer and the motion output", true, 1, 4, 0, 4, {1, 1, 1, 3}},
        {"own Output", false, 0, 1, 0, 1, {16}},
        {"input 0 into one slot", true, 0, 1, VNX_STATUS_SIZE_TOO_SMALL, 2, {}},
        {"input 1 into three slots", true, 1, 3, VNX_STATUS_SIZE_TOO_SMALL, 4, {}},
        {"output into no slot", false, 0, 0, VNX_STATUS_SIZE_TOO_SMALL, 1, {}},
        {"input 2", true, 2, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
        {"input -1", true, -1, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
        {"output 1", false, 1, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
    };
    for (const InterfaceQuery& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t types[4] = {0, 0, 0, 0};
        size_t count = 99;
        const int result = c.input ? module.getInputInterface(c.index, c.capacity, types, count)
                                   : module.getOutputInterface(c.index, c.capacity, types, count);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(count, c.count);
        for (size_t i = 0; i < c.types.size(); ++i) {
            EXPECT_EQ(types[i], c.types[i]) << "type " << i;
        }
    }
}

TEST(SensorInterpretation9AxisConfiguration, HasNoConfiguration)
{
    SensorInterpretation9Axis module;
    vnx_SensorInterpretation9Axis_Config_s config;
    std::memset(&config, 0, sizeof config);
    vnx_SensorInterpretation9Axis_initConfig(&config);
    EXPECT_EQ(module.getConfig(&config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(&config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setModuleListener(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);
}

vnx_SensorFusion_Command_s fusionCommand(uint32_t code)
{
    vnx_SensorFusion_Command_s command;
    std::memset(&command, 0, sizeof command);
    vnx_SensorFusion_initCommand(&command);
    command.code = code;
    return command;
}

TEST(SensorInterpretation9AxisCommands, AnswersOwnAndFusionCommandsOnly)
{
    SensorInterpretation9Axis module;
    vnx_SensorInterpretation9Axis_Command_s own;
    std::memset(&own, 0, sizeof own);
    vnx_SensorInterpretation9Axis_initCommand(&own);
    EXPECT_EQ(module.sendCommand(&own), VNX_STATUS_SUCCESS);

    for (uint32_t code : {0u, 4u, 6u, 77u}) {
        const vnx_SensorFusion_Command_s command = fusionCommand(code);
        EXPECT_EQ(module.sendCommand(&command.command), VNX_STATUS_SUCCESS) << "code " << code;
    }

    // A type-3 record too short to hold a code is not read past its end.
    vnx_StructCommand_s truncated;
    std::memset(&truncated, 0, sizeof truncated);
    truncated.header = {32, VNX_TYPE_SENSOR_FUSION, VNX_KIND_COMMAND, 1, {0, 0, 0}, 0};
    EXPECT_EQ(module.sendCommand(&truncated), VNX_STATUS_INVALID_PARAMETER);

    vnx_StructCommand_s other;
    std::memset(&other, 0, sizeof other);
    other.header = {32, VNX_TYPE_BUTTON_ACTIVITY, VNX_KIND_COMMAND, 1, {0, 0, 0}, 0};
    EXPECT_EQ(module.sendCommand(&other), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.sendCommand(nullptr), VNX_STATUS_INVALID_PARAMETER);

    const std::pair<uint32_t, int> codes[] = {
        {4, 0}, {5, 0}, {9, 0}, {6, VNX_STATUS_NOT_FOR_ME}, {0, VNX_STATUS_NOT_FOR_ME}};
    for (const auto& [code, result] : codes) {
        EXPECT_EQ(module.executeSensorFusionCommand(code), result) << "code " << code;
    }
}

TEST(SensorInterpretation9AxisInit, RefusedScdLeavesTheModuleUnusable)
{
    NineAxisRig rig;
    scdGen4Float_s scd = testDevice().build();
    scd.checkWord += 1;
    EXPECT_EQ(rig.init(scd), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.step(kGravityUp, kGyroBias), VNX_STATUS_INVALID_SCD);
    rig.readDcd();
    EXPECT_EQ(rig.lastDcdResult(), VNX_STATUS_INVALID_SCD);

    // A good SCD makes it usable; a refused one afterwards makes it unusable again.
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    EXPECT_EQ(rig.step(kGravityUp, kGyroBias), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.init(scd), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.step(kGravityUp, kGyroBias), VNX_STATUS_INVALID_SCD);
}

TEST(SensorInterpretation9AxisInit, UsesOnlyLearnedStateOfTheSameScd)
{
    const scdGen4Float_s scd = testDevice().build();
    const uint32_t crc = scdCrcOf(scd);
    const dcdAlg4MinFixedInnards_s gyro = storedGyroState(0.01f, -0.02f, 0.03f);
    const dcdMagAmpCal_s mag = storedMagCalibration();

    dcdAlg49AxisFixed_s corrupt = nineAxisDcd(crc, gyro, mag);
    corrupt.crc ^= 1;
    dcdAlg4MinFixed_s wrongVersion = gyroOnlyDcd(crc, gyro);
    wrongVersion.head.version = 12;

    struct Case
    {
        const char* name;
        const vnx_dcdData_s* dcd;
        int status;
        bool restoresGyro;
        bool restoresMag;
    };
    const dcdAlg49AxisFixed_s nineAxisSame = nineAxisDcd(crc, gyro, mag);
    const dcdAlg49AxisFixed_s nineAxisOther = nineAxisDcd(crc + 1, gyro, mag);
    const dcdAlg4MinFixed_s gyroSame = gyroOnlyDcd(crc, gyro);
    const dcdAlg4MinFixed_s gyroOther = gyroOnlyDcd(crc + 1, gyro);
    const Case cases[] = {
        {"260 bytes of this SCD", &nineAxisSame.head, VNX_STATUS_SUCCESS, true, true},
        {"260 bytes of another SCD", &nineAxisOther.head, VNX_STATUS_WARNING_DCD_SCD_MISMATCH, false, false},
        {"184 bytes of this SCD", &gyroSame.head, VNX_STATUS_SUCCESS, true, false},
        {"184 bytes of another SCD", &gyroOther.head, VNX_STATUS_WARNING_DCD_SCD_MISMATCH, false, false},
        {"260 bytes with a broken CRC", &corrupt.head, VNX_STATUS_WARNING_INVALID_DCD, false, false},
        {"184 bytes of another version", &wrongVersion.head, VNX_STATUS_WARNING_INVALID_DCD, false, false},
        {"none", nullptr, VNX_STATUS_WARNING_INVALID_DCD, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NineAxisRig rig;
        EXPECT_EQ(rig.init(scd, c.dcd), c.status);
        const dcdAlg49AxisFixed_s& out = rig.readDcd();
        ASSERT_EQ(rig.lastDcdResult(), VNX_STATUS_SUCCESS);
        EXPECT_EQ(out.innards.zro[2], c.restoresGyro ? 0.03f : 0.0f);
        EXPECT_EQ(out.magAmpCal.fieldStrength, c.restoresMag ? 0.8f : 1.0f);
        EXPECT_EQ(out.magAmpCal.iPlusD[0], c.restoresMag ? 1.1f : 1.0f);
    }
}

TEST(SensorInterpretation9AxisDcd, RefusesMisplacedOrShortBlocks)
{
    NineAxisRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    uint8_t buffer[300];
    struct Case
    {
        const char* name;
        vnx_dcdData_s* dcd;
        int capacity;
        int offset;
        int result;
    };
    auto* block = reinterpret_cast<vnx_dcdData_s*>(buffer);
    const Case cases[] = {
        {"one byte short", block, 259, 0, VNX_STATUS_SIZE_TOO_SMALL},
        {"offset into the buffer", block, 300, 4, VNX_STATUS_INVALID_PARAMETER},
        {"offset past the room", block, 300, 41, VNX_STATUS_SIZE_TOO_SMALL},
        {"offset near the int limit", block, 300, 0x7FFFFFF0, VNX_STATUS_SIZE_TOO_SMALL},
        {"no block", nullptr, 300, 0, VNX_STATUS_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(buffer, 0xAB, sizeof buffer);
        int offset = c.offset;
        EXPECT_EQ(rig.module().getDcd(c.dcd, c.capacity, offset), c.result);
        EXPECT_EQ(offset, c.offset);
        EXPECT_EQ(buffer[0], 0xAB);
    }
}

TEST(SensorInterpretation9AxisDcd, RoundTripKeepsTheOffsetAndTheMagnetometerCalibration)
{
    const scdGen4Float_s scd = testDevice().build();
    const dcdAlg49AxisFixed_s stored =
        nineAxisDcd(scdCrcOf(scd), storedGyroState(0.01f, -0.02f, 0.03f), storedMagCalibration());
    NineAxisRig rig;
    ASSERT_EQ(rig.init(scd, &stored.head), VNX_STATUS_SUCCESS);

    // Written into an unaligned place of a larger buffer.
    alignas(8) uint8_t buffer[264];
    std::memset(buffer, 0xAB, sizeof buffer);
    int offset = 0;
    ASSERT_EQ(rig.module().getDcd(reinterpret_cast<vnx_dcdData_s*>(buffer + 2), 262, offset),
              VNX_STATUS_SUCCESS);
    EXPECT_EQ(offset, 260);
    EXPECT_EQ(buffer[262], 0xAB);
    dcdAlg49AxisFixed_s written;
    std::memcpy(&written, buffer + 2, sizeof written);

    ASSERT_NE(dcdAlg49AxisFixedValidateAndCast(&written.head), nullptr);
    EXPECT_EQ(written.head.size, 260);
    EXPECT_EQ(written.head.version, 27);
    EXPECT_EQ(written.scdCrc, scdCrcOf(scd));
    EXPECT_EQ(std::memcmp(written.innards.zro, stored.innards.zro, sizeof stored.innards.zro), 0);
    EXPECT_EQ(written.innards.state, 1u);
    EXPECT_EQ(std::memcmp(&written.magAmpCal, &stored.magAmpCal, sizeof stored.magAmpCal), 0);
    // Nothing of this module lives in the accelerometer and mobile parts.
    EXPECT_EQ(written.accOffsetCal.offset[0], 0.0f);
    EXPECT_EQ(written.mobileWord, 0u);

    // The block brings the same state into a new module.
    NineAxisRig again;
    ASSERT_EQ(again.init(scd, &written.head), VNX_STATUS_SUCCESS);
    const dcdAlg49AxisFixed_s& reread = again.readDcd();
    EXPECT_EQ(std::memcmp(&reread, &written, sizeof written), 0);
}

TEST(SensorInterpretation9AxisDcd, LearnedOffsetCarriesIntoTheNextRun)
{
    const scdGen4Float_s scd = testDevice().build();
    NineAxisRig first;
    ASSERT_EQ(first.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(first.hold(kGravityUp, kGyroBias, 3 * kSamplesPerSecond), VNX_STATUS_SUCCESS);
    const dcdAlg49AxisFixed_s learned = first.readDcd();
    ASSERT_EQ(first.lastDcdResult(), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(learned.innards.zro[0], 0.01f, 1e-5);
    EXPECT_NEAR(learned.innards.zro[1], -0.02f, 1e-5);
    EXPECT_NEAR(learned.innards.zro[2], 0.03f, 1e-5);

    // The first sample of the next run is already corrected.
    NineAxisRig next;
    ASSERT_EQ(next.init(scd, &learned.head), VNX_STATUS_SUCCESS);
    ASSERT_EQ(next.step(kGravityUp, kGyroBias), VNX_STATUS_SUCCESS);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(next.motion().angularVelocity[axis], 0.0f, 1e-5) << "axis " << axis;
    }
}

} // namespace
} // namespace nineAxisTest
