// The SensorInterpretation module through the factory and its module
// interface: interfaces, init with SCD and DCD, DCD write-out, record checks
// of process and the interpreted sample.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "calibration/dcdData.h"
#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "sensorInterpretationModule/SensorInterpretation.h"
#include "sensorInterpretationRig.h"

namespace vnx::sitest {
namespace {

constexpr float kZro = 0.01f;           // rad/s, learned gyroscope offset of the stored state
constexpr std::int16_t kZroCounts = 20; // the same offset in raw counts
constexpr std::int16_t kRoomTemp = 400; // 25 degC

RawSample stillSample(std::uint32_t sampleNumber)
{
    RawSample s;
    s.sampleNumber = sampleNumber;
    s.acc = {0, 0, kOneG};
    s.gyro = {kZroCounts, kZroCounts, kZroCounts};
    s.temperature = kRoomTemp;
    return s;
}

using SensorInterpretationModule = CoreLibraryTest;

TEST_F(SensorInterpretationModule, FactoryMakesTypeTwoWithoutConfigurationOrCommands)
{
    SensorInterpretationRig rig;
    ModuleInterface& module = rig.module();
    EXPECT_EQ(module.getType(), VNX_TYPE_SENSOR_INTERPRETATION);
    EXPECT_STREQ(ModuleFactory::typeIdToString(VNX_TYPE_SENSOR_INTERPRETATION), "SensorInterpretation");
    vnx_SensorInterpretation_Config_s config;
    vnx_SensorInterpretation_initConfig(&config);
    vnx_SensorInterpretation_Command_s command;
    vnx_SensorInterpretation_initCommand(&command);
    EXPECT_EQ(module.getConfig(vnx_SensorInterpretation_upCastConfig(&config)), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(vnx_SensorInterpretation_upCastConfig(&config)), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.sendCommand(vnx_SensorInterpretation_upCastCommand(&command)), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setModuleListener(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);
}

TEST_F(SensorInterpretationModule, FactoryRecordsAreInitialisedAndForeignModulesAreRefused)
{
    vnx_StructOutput_s* output = ModuleFactory::createOutput(VNX_TYPE_SENSOR_INTERPRETATION);
    ASSERT_NE(output, nullptr);
    EXPECT_NE(vnx_SensorInterpretation_dynamicDownCastOutput(output), nullptr);
    EXPECT_EQ(ModuleFactory::destroyOutput(output), VNX_STATUS_SUCCESS);
    vnx_StructConfig_s* config = ModuleFactory::createConfig(VNX_TYPE_SENSOR_INTERPRETATION);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->header.size, 40);
    EXPECT_EQ(ModuleFactory::destroyConfig(config), VNX_STATUS_SUCCESS);

    SensorInterpretation notFromThePool;
    EXPECT_EQ(ModuleFactory::destroyModule(&notFromThePool), VNX_STATUS_INTERNAL_ERROR);
}

TEST_F(SensorInterpretationModule, MembersAreNamedUnderTheModuleNodeAndLeaveWithIt)
{
    ModuleInterface* module = ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_INTERPRETATION);
    ASSERT_NE(module, nullptr);
    NodeManager& nodes = NodeManager::getInstance();
    const char* members[] = {"StateManagement", "Interpret",    "BiasCorrectMin", "Cal",
                             "accCal",          "ZroFromStable"};
    for (const char* member : members) {
        const std::string name = std::string("SensorInterpretation.") + member;
        EXPECT_NE(nodes.getNode(name.c_str()), nullptr) << name;
    }
    EXPECT_NE(nodes.getNode("SensorInterpretation.BiasCorrectMin.Main"), nullptr);
    ASSERT_EQ(ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(nodes.getNode("SensorInterpretation.Cal"), nullptr);
}

struct InterfaceCase
{
    bool input;
    int index;
    size_t capacity;
    int result;
    size_t count; // expected count; 99 = left alone
    std::vector<uint8_t> types;
};

TEST_F(SensorInterpretationModule, InterfacesDescribeTheDeviceRecordsAndTheOutput)
{
    SensorInterpretationRig rig;
    EXPECT_EQ(rig.module().getInputInterfaceCount(), 4);
    EXPECT_EQ(rig.module().getOutputInterfaceCount(), 1);
    const InterfaceCase cases[] = {
        {true, 0, 4, VNX_STATUS_SUCCESS, 2, {1, 1}},
        {true, 1, 4, VNX_STATUS_SUCCESS, 3, {1, 1, 1}},
        {true, 2, 4, VNX_STATUS_SUCCESS, 1, {22}},
        {true, 3, 4, VNX_STATUS_SUCCESS, 1, {23}},
        {true, 1, 2, VNX_STATUS_SIZE_TOO_SMALL, 3, {}},
        {true, 4, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
        {true, -1, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
        {false, 0, 4, VNX_STATUS_SUCCESS, 1, {2}},
        {false, 0, 0, VNX_STATUS_SIZE_TOO_SMALL, 1, {}},
        {false, 1, 4, VNX_STATUS_INVALID_INTERFACE, 99, {}},
    };
    for (const InterfaceCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.input ? "input " : "output ") << c.index << " capacity " << c.capacity);
        uint8_t types[4] = {0, 0, 0, 0};
        size_t count = 99;
        const int result = c.input ? rig.module().getInputInterface(c.index, c.capacity, types, count)
                                   : rig.module().getOutputInterface(c.index, c.capacity, types, count);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(count, c.count);
        for (size_t i = 0; i < c.types.size(); ++i) {
            EXPECT_EQ(types[i], c.types[i]);
        }
    }
}

// Which DCD a module accepts at init, and what it restores from it.
struct DcdCase
{
    const char* name;
    enum Form
    {
        NONE,
        SHORT,
        FULL,
        FULL_CORRUPTED,
        FOREIGN_FORM
    } form;
    bool sameScd;
    int result;
    bool restoresZro;
    bool restoresAccOffset;
};

constexpr DcdCase kDcdCases[] = {
    {"no DCD", DcdCase::NONE, true, VNX_STATUS_WARNING_INVALID_DCD, false, false},
    {"260 bytes of this SCD", DcdCase::FULL, true, VNX_STATUS_SUCCESS, true, true},
    {"260 bytes of another SCD", DcdCase::FULL, false, VNX_STATUS_WARNING_DCD_SCD_MISMATCH, false, false},
    {"184 bytes of this SCD", DcdCase::SHORT, true, VNX_STATUS_SUCCESS, true, false},
    {"184 bytes of another SCD", DcdCase::SHORT, false, VNX_STATUS_WARNING_DCD_SCD_MISMATCH, false, false},
    {"260 bytes with a wrong CRC", DcdCase::FULL_CORRUPTED, true, VNX_STATUS_WARNING_INVALID_DCD, false,
     false},
    {"44-byte form", DcdCase::FOREIGN_FORM, true, VNX_STATUS_WARNING_INVALID_DCD, false, false},
};

TEST_F(SensorInterpretationModule, InitTakesOnlyADcdOfItsOwnScd)
{
    const scdGen4Float_s scd = deviceScd().build();
    const scdGen4Float_s otherScd = deviceScd().gyroOffset(1, 0, 0).build();
    const dcdAccOffsetCal_s accOffset{{0.25f, -0.125f, 0.5f}};
    const dcdAlg4MinFixedInnards_s learned = learnedInnards(kZro, 25.0f);

    for (const DcdCase& c : kDcdCases) {
        SCOPED_TRACE(c.name);
        const std::uint32_t crc = scdCrcOf(c.sameScd ? scd : otherScd);
        dcdAlg49AxisFixed_s full = sealedFullDcd(learned, accOffset, crc);
        const dcdAlg4MinFixed_s shortDcd = sealedShortDcd(learned, crc);
        dcdGen4Fixed_s foreign{};
        foreign.head = {VNX_DCD_GEN4FIXED_SIZE, VNX_DCD_GEN4FIXED_VERSION};
        const void* dcd = nullptr;
        switch (c.form) {
        case DcdCase::NONE:
            break;
        case DcdCase::SHORT:
            dcd = &shortDcd;
            break;
        case DcdCase::FULL:
            dcd = &full;
            break;
        case DcdCase::FULL_CORRUPTED:
            full.innards.zro[0] = 0.5f;
            dcd = &full;
            break;
        case DcdCase::FOREIGN_FORM:
            dcd = &foreign;
            break;
        }

        SensorInterpretationRig rig;
        EXPECT_EQ(rig.init(scd, dcd), c.result);
        // Read back at once: the learned state in use is what init restored.
        dcdAlg49AxisFixed_s out;
        ASSERT_EQ(rig.getDcd(out), VNX_STATUS_SUCCESS);
        EXPECT_FLOAT_EQ(out.innards.zro[2], c.restoresZro ? kZro : 0.0f);
        EXPECT_FLOAT_EQ(out.accOffsetCal.offset[2], c.restoresAccOffset ? 0.5f : 0.0f);

        // A first sample turning at 0.2 rad/s about z: a restored offset is
        // removed from it; the acceleration loses the restored offset.
        RawSample turning = stillSample(7);
        turning.gyro[2] = static_cast<std::int16_t>(kZroCounts + 400);
        ASSERT_EQ(rig.feed(turning), VNX_STATUS_SUCCESS);
        if (c.restoresZro) {
            EXPECT_NEAR(rig.output.angularVelocity[2], 0.2f, 1e-6f);
            EXPECT_NEAR(rig.output.angularVelocity[0], 0.0f, 1e-6f);
        }
        const float accZ = kAccScale * kOneG / 32768.0f;
        EXPECT_NEAR(rig.output.acceleration[2], accZ - (c.restoresAccOffset ? 0.5f : 0.0f), 1e-5f);
        EXPECT_NEAR(rig.output.acceleration[0], c.restoresAccOffset ? -0.25f : 0.0f, 1e-6f);
    }
}

TEST_F(SensorInterpretationModule, RefusedScdLeavesTheModuleUnusable)
{
    scdGen4Float_s broken = deviceScd().build();
    broken.checkWord += 1;
    SensorInterpretationRig rig;
    EXPECT_EQ(rig.init(broken), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.feed(stillSample(1)), VNX_STATUS_INVALID_SCD);
    dcdAlg49AxisFixed_s dcd;
    EXPECT_EQ(rig.getDcd(dcd), VNX_STATUS_INVALID_SCD);

    // A module that worked becomes unusable too.
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(rig.feed(stillSample(1)), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.init(broken), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.feed(stillSample(2)), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.getDcd(dcd), VNX_STATUS_INVALID_SCD);
}

TEST_F(SensorInterpretationModule, GetDcdWritesASealedVersion27BlockOfItsScd)
{
    const scdGen4Float_s scd = deviceScd().build();
    const dcdAlg49AxisFixed_s restored =
        sealedFullDcd(learnedInnards(kZro, 25.0f), dcdAccOffsetCal_s{{0.25f, -0.125f, 0.5f}}, scdCrcOf(scd));
    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(scd, &restored), VNX_STATUS_SUCCESS);

    // One spare byte around the block shows that nothing is written beyond it.
    unsigned char buffer[VNX_DCD_ALG49AXISFIXED_SIZE + 1];
    std::memset(buffer, 0xEE, sizeof buffer);
    auto* dcd = reinterpret_cast<vnx_dcdData_s*>(buffer);
    int offset = 0;
    ASSERT_EQ(rig.module().getDcd(dcd, VNX_DCD_ALG49AXISFIXED_SIZE, offset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(offset, VNX_DCD_ALG49AXISFIXED_SIZE);
    EXPECT_EQ(buffer[VNX_DCD_ALG49AXISFIXED_SIZE], 0xEE);
    const dcdAlg49AxisFixed_s* written = dcdAlg49AxisFixedValidateAndCast(dcd);
    ASSERT_NE(written, nullptr);
    dcdAlg49AxisFixed_s block;
    std::memcpy(&block, written, sizeof block);
    EXPECT_EQ(block.scdCrc, scdCrcOf(scd));
    EXPECT_EQ(block.innards.state, 28u);
    EXPECT_FLOAT_EQ(block.accOffsetCal.offset[0], 0.25f);
    const dcdMagAmpCal_s noMagnetometer{};
    EXPECT_EQ(std::memcmp(&block.magAmpCal, &noMagnetometer, sizeof noMagnetometer), 0);
    EXPECT_EQ(block.mobileWord, 0u);

    // The written block restores the same state in a fresh module.
    SensorInterpretationRig fresh;
    EXPECT_EQ(fresh.init(scd, &block), VNX_STATUS_SUCCESS);
}

TEST_F(SensorInterpretationModule, GetDcdRefusesAShortBufferAnOffsetAndNoBuffer)
{
    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    unsigned char buffer[300];
    std::memset(buffer, 0xEE, sizeof buffer);
    auto* dcd = reinterpret_cast<vnx_dcdData_s*>(buffer);
    struct Case
    {
        int capacity;
        int offset;
        int result;
    };
    const Case cases[] = {
        {259, 0, VNX_STATUS_SIZE_TOO_SMALL},     {300, 4, VNX_STATUS_INVALID_PARAMETER},
        {300, 41, VNX_STATUS_SIZE_TOO_SMALL},    {300, 0x7FFFFFFF, VNX_STATUS_SIZE_TOO_SMALL},
        {300, -4, VNX_STATUS_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "capacity " << c.capacity << " offset " << c.offset);
        int offset = c.offset;
        EXPECT_EQ(rig.module().getDcd(dcd, c.capacity, offset), c.result);
        EXPECT_EQ(offset, c.offset);
    }
    EXPECT_EQ(buffer[0], 0xEE);
    int offset = 0;
    EXPECT_EQ(rig.module().getDcd(nullptr, 300, offset), VNX_STATUS_INVALID_PARAMETER);
}

TEST_F(SensorInterpretationModule, SampleDeltaIsUnknownOnTheFirstSampleThenCountsPeriods)
{
    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(rig.feed(stillSample(10)), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.output.sampleNumber, 10u);
    EXPECT_EQ(rig.output.sampleDelta, 0xFFFFFFFFu);
    ASSERT_EQ(rig.feed(stillSample(13)), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.output.sampleNumber, 13u);
    EXPECT_EQ(rig.output.sampleDelta, 3u);

    // A new init starts the count afresh.
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(rig.feed(stillSample(14)), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.output.sampleDelta, 0xFFFFFFFFu);
}

TEST_F(SensorInterpretationModule, EveryInputInterfaceGivesTheSameInterpretedSample)
{
    const scdGen4Float_s scd = deviceScd().build();
    RawSample sample = stillSample(5);
    sample.acc = {1200, -800, 15000};
    sample.gyro = {300, -200, 100};
    std::vector<vnx_SensorInterpretation_Output_s> outputs;
    for (int index = 0; index < 4; ++index) {
        SensorInterpretationRig rig;
        ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
        ASSERT_EQ(rig.feedThrough(index, sample), VNX_STATUS_SUCCESS) << "interface " << index;
        outputs.push_back(rig.output);
    }
    EXPECT_NEAR(outputs[0].acceleration[0], kAccScale * 1200 / 32768.0f, 1e-5f);
    for (int index = 1; index < 4; ++index) {
        EXPECT_EQ(std::memcmp(&outputs[index], &outputs[0], sizeof outputs[0]), 0) << "interface " << index;
    }
}

TEST_F(SensorInterpretationModule, AccelerationBeyondTwoGIsLimited)
{
    // A 4 g accelerometer: 25 m/s^2 is within its range.
    const scdGen4Float_s scd = deviceScd().accelMatrix(2 * kAccScale * I).build();
    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    RawSample sample = stillSample(1);
    sample.acc = {20885, -20885, 8192}; // 25, -25 and 9.8 m/s^2
    ASSERT_EQ(rig.feed(sample), VNX_STATUS_SUCCESS);
    EXPECT_FLOAT_EQ(rig.output.acceleration[0], 19.6f);
    EXPECT_FLOAT_EQ(rig.output.acceleration[1], -19.6f);
    EXPECT_NEAR(rig.output.acceleration[2], 9.80665f, 1e-4f);
}

TEST_F(SensorInterpretationModule, GlitchSampleHasNoRotationBeforeTheOffsetIsRemoved)
{
    const scdGen4Float_s scd = deviceScd().build();
    const dcdAlg4MinFixed_s dcd = sealedShortDcd(learnedInnards(kZro, 25.0f), scdCrcOf(scd));
    for (int index : {0, 2, 3}) {
        SCOPED_TRACE(testing::Message() << "interface " << index);
        SensorInterpretationRig rig;
        ASSERT_EQ(rig.init(scd, &dcd), VNX_STATUS_SUCCESS);
        RawSample sample = stillSample(1);
        sample.gyro = {3000, -3000, 3000};
        sample.glitch = true;
        ASSERT_EQ(rig.feedThrough(index, sample), VNX_STATUS_SUCCESS);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(rig.output.angularVelocity[i], -kZro, 1e-7f);
        }
    }
}

TEST_F(SensorInterpretationModule, FormatCarriesPeriodAxesNoiseAndTheLargerVariance)
{
    const scdGen4Float_s scd = deviceScd().build();
    const FixedPointCal::Output cal = deviceScd().calibration();
    const float noiseVariance = cal.rsNoise[0].value() * cal.rsNoise[0].value();
    // The stored offset variance shows when it exceeds the sensor noise.
    for (float stored : {4.0f * noiseVariance, 0.01f * noiseVariance}) {
        SCOPED_TRACE(testing::Message() << "stored variance " << stored);
        dcdAlg4MinFixedInnards_s innards = learnedInnards(kZro, 25.0f);
        for (float& v : innards.zroVariance) {
            v = stored;
        }
        const dcdAlg4MinFixed_s dcd = sealedShortDcd(innards, scdCrcOf(scd));
        SensorInterpretationRig rig;
        ASSERT_EQ(rig.init(scd, &dcd), VNX_STATUS_SUCCESS);
        ASSERT_EQ(rig.feed(stillSample(1)), VNX_STATUS_SUCCESS);
        EXPECT_EQ(rig.format.periodUs, 8000u);
        EXPECT_EQ(rig.format.accValueFormat, 127);
        EXPECT_EQ(rig.format.rateValueFormat, 127);
        EXPECT_EQ(rig.format.accAxes, 7);
        EXPECT_EQ(rig.format.rateAxes, 7);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(rig.format.accNoise[i], cal.accNoise[i].value());
            EXPECT_FLOAT_EQ(rig.format.rateVariance[i], std::max(stored, noiseVariance));
        }
    }
}

TEST_F(SensorInterpretationModule, FlagBitsOtherThanTheModulesPassThrough)
{
    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    rig.output.flags = 0xF0;
    ASSERT_EQ(rig.feed(stillSample(1)), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.output.flags & 0xFC, 0xF0);
}

// process refuses records it cannot read or write and leaves the Output alone.
struct ProcessCase
{
    const char* name;
    int inputInterface;
    int outputInterface;
    int result;
    void (*spoil)(std::vector<const vnx_StructOutput_s*>& inputs,
                  std::vector<const vnx_StructFormat_s*>& formats, size_t& inputCount,
                  std::vector<vnx_StructOutput_s*>& outputs, std::vector<vnx_StructFormat_s*>& outputFormats,
                  size_t& outputCount);
};

using Inputs = std::vector<const vnx_StructOutput_s*>;
using Formats = std::vector<const vnx_StructFormat_s*>;
using Outputs = std::vector<vnx_StructOutput_s*>;
using OutputFormats = std::vector<vnx_StructFormat_s*>;

void keep(Inputs&, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) {}

TEST_F(SensorInterpretationModule, ProcessRefusesMissingOrForeignRecords)
{
    const RawSample s = stillSample(3);
    vnx_DeviceSupport_Format_s deviceFormat;
    vnx_DeviceSupport_initFormat(&deviceFormat);
    deviceFormat.sampleNumber = s.sampleNumber;
    vnx_DeviceSupport_Output_s acc;
    vnx_DeviceSupport_initOutput(&acc);
    acc.sensor = VNX_DEVICE_SUPPORT_ACCELEROMETER;
    acc.z = kOneG;
    vnx_DeviceSupport_Output_s gyro;
    vnx_DeviceSupport_initOutput(&gyro);
    gyro.sensor = VNX_DEVICE_SUPPORT_GYROSCOPE;
    vnx_DeviceSupport6AG_Output_s sixAxis;
    vnx_DeviceSupport6AG_initOutput(&sixAxis);
    vnx_DeviceSupport9AGM_Output_s nineAxis;
    vnx_DeviceSupport9AGM_initOutput(&nineAxis);
    static const vnx_StructOutput_s* sAcc;
    static const vnx_StructOutput_s* sGyro;
    static const vnx_StructOutput_s* sSixAxis;
    static const vnx_StructOutput_s* sNineAxis;
    static const vnx_StructFormat_s* sDeviceFormat;
    sAcc = vnx_DeviceSupport_upCastConstOutput(&acc);
    sGyro = vnx_DeviceSupport_upCastConstOutput(&gyro);
    sSixAxis = vnx_DeviceSupport6AG_upCastConstOutput(&sixAxis);
    sNineAxis = vnx_DeviceSupport9AGM_upCastConstOutput(&nineAxis);
    sDeviceFormat = vnx_DeviceSupport_upCastConstFormat(&deviceFormat);

    // Inputs start as interface 0 (accelerometer, gyroscope) unless a case says otherwise.
    const ProcessCase cases[] = {
        {"interface 4", 4, 0, VNX_STATUS_INVALID_INTERFACE, keep},
        {"interface -1", -1, 0, VNX_STATUS_INVALID_INTERFACE, keep},
        {"output interface 1", 0, 1, VNX_STATUS_INVALID_INTERFACE, keep},
        {"no input array", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in.clear(); }},
        {"count of one for two records", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs&, Formats&, size_t& n, Outputs&, OutputFormats&, size_t&) { n = 1; }},
        {"null input record", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in[1] = nullptr; }},
        {"no input Formats", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs&, Formats& f, size_t&, Outputs&, OutputFormats&, size_t&) { f.clear(); }},
        {"a 6AG record among the sensor records", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in[1] = sSixAxis; }},
        {"9AGM record on the 6AG interface", 2, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in[0] = sNineAxis; }},
        {"6AG record on the 9AGM interface", 3, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in[0] = sSixAxis; }},
        {"no output slot", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs&, Formats&, size_t&, Outputs&, OutputFormats&, size_t& n) { n = 0; }},
        {"no output Format", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs&, Formats&, size_t&, Outputs&, OutputFormats& f, size_t&) { f[0] = nullptr; }},
        {"an input record in the output slot", 0, 0, VNX_STATUS_INVALID_PARAMETER,
         [](Inputs&, Formats&, size_t&, Outputs& out, OutputFormats&, size_t&) {
             out[0] = const_cast<vnx_StructOutput_s*>(sSixAxis);
         }},
        {"no gyroscope", 0, 0, VNX_STATUS_INVALID_CONFIG,
         [](Inputs& in, Formats&, size_t&, Outputs&, OutputFormats&, size_t&) { in[1] = sAcc; }},
        {"no magnetometer on interface 1", 1, 0, VNX_STATUS_INVALID_CONFIG,
         [](Inputs& in, Formats& f, size_t& n, Outputs&, OutputFormats&, size_t&) {
             in.push_back(sAcc);
             f.push_back(sDeviceFormat);
             n = 3;
         }},
    };

    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(deviceScd().build()), VNX_STATUS_WARNING_INVALID_DCD);
    for (const ProcessCase& c : cases) {
        SCOPED_TRACE(c.name);
        Inputs inputs = {sAcc, sGyro};
        Formats formats = {sDeviceFormat, sDeviceFormat};
        size_t inputCount = 2;
        if (c.inputInterface == 2 || c.inputInterface == 3) {
            inputs = {c.inputInterface == 2 ? sSixAxis : sNineAxis};
            formats.clear();
            inputCount = 1;
        }
        vnx_SensorInterpretation_Output_s output;
        vnx_SensorInterpretation_initOutput(&output);
        output.sampleNumber = 0x5A5A5A5A;
        const vnx_SensorInterpretation_Output_s before = output;
        vnx_SensorInterpretation_Format_s format;
        vnx_SensorInterpretation_initFormat(&format);
        Outputs outputs = {vnx_SensorInterpretation_upCastOutput(&output)};
        OutputFormats outputFormats = {vnx_SensorInterpretation_upCastFormat(&format)};
        size_t outputCount = 1;
        c.spoil(inputs, formats, inputCount, outputs, outputFormats, outputCount);
        const int result =
            rig.module().process(c.inputInterface, inputCount, inputs.empty() ? nullptr : inputs.data(),
                                 formats.empty() ? nullptr : formats.data(), c.outputInterface, outputCount,
                                 outputs.data(), outputFormats.data());
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(std::memcmp(&output, &before, sizeof output), 0);
    }

    // The same records, unspoilt, are accepted.
    Inputs inputs = {sAcc, sGyro};
    Formats formats = {sDeviceFormat, sDeviceFormat};
    vnx_StructOutput_s* outputs[] = {vnx_SensorInterpretation_upCastOutput(&rig.output)};
    vnx_StructFormat_s* outputFormats[] = {vnx_SensorInterpretation_upCastFormat(&rig.format)};
    EXPECT_EQ(rig.module().process(0, 2, inputs.data(), formats.data(), 0, 1, outputs, outputFormats),
              VNX_STATUS_SUCCESS);
}

TEST_F(SensorInterpretationModule, ProcessBeforeInitIsRefused)
{
    SensorInterpretationRig rig;
    rig.output.sampleNumber = 77;
    EXPECT_EQ(rig.feed(stillSample(1)), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.output.sampleNumber, 77u);
    dcdAlg49AxisFixed_s dcd;
    EXPECT_EQ(rig.getDcd(dcd), VNX_STATUS_INVALID_SCD);
}

// Learned state is per module: a second device that starts and runs in
// between changes nothing in the first one's results.
TEST_F(SensorInterpretationModule, SecondDeviceLeavesARunningDeviceUnchanged)
{
    const scdGen4Float_s scd = deviceScd().build();
    const scdGen4Float_s otherScd = deviceScd().period(0.004).gyroNoise(40, 40, 40).build();
    SensorInterpretationRig alone;
    SensorInterpretationRig running;
    ASSERT_EQ(alone.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(running.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    for (std::uint32_t k = 0; k < 400; ++k) {
        RawSample sample = stillSample(k);
        sample.gyro[0] = static_cast<std::int16_t>(kZroCounts + static_cast<int>(k % 7) - 3);
        if (k == 150) {
            SensorInterpretationRig second;
            ASSERT_EQ(second.init(otherScd), VNX_STATUS_WARNING_INVALID_DCD);
            for (std::uint32_t j = 0; j < 50; ++j) {
                RawSample other = stillSample(1000 + j);
                other.gyro = {2000, -2000, 500};
                ASSERT_EQ(second.feed(other), VNX_STATUS_SUCCESS);
            }
        }
        ASSERT_EQ(alone.feed(sample), VNX_STATUS_SUCCESS);
        ASSERT_EQ(running.feed(sample), VNX_STATUS_SUCCESS);
        ASSERT_EQ(std::memcmp(&alone.output, &running.output, sizeof alone.output), 0) << "sample " << k;
        ASSERT_EQ(std::memcmp(&alone.format, &running.format, sizeof alone.format), 0) << "sample " << k;
    }
}

} // namespace
} // namespace vnx::sitest
