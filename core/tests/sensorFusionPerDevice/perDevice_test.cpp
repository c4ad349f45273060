// The per-device fusion module on its own: records, life cycle without and
// with an engine, configuration of reorientation and periods, commands,
// the input interfaces and the DCD.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/properties.h"
#include "common/statusCode.h"
#include "sensorFusionPerDevice/SensorFusionPerDevice.h"
#include "support/allocationCounter.h"
#include "support/ScdBuilder.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::I;
using vnx::testsupport::ScdBuilder;

constexpr std::int16_t kOneG = 16384;
constexpr float kGravity = 9.80665f;

scdGen4Float_s testDevice()
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(4, 4, 4)
        .deviceKind(1)
        .build();
}

vnx_SensorInterpretation_Config_s periodConfig(std::uint32_t mode, std::uint32_t periodUs)
{
    vnx_SensorInterpretation_Config_s config;
    vnx_SensorInterpretation_initConfig(&config);
    config.periodSelector = mode;
    config.periodUs = periodUs;
    return config;
}

/// One module with the records of output interface 1.
class PerDeviceRig
{
  public:
    PerDeviceRig()
    {
        vnx_SensorFusion_initOutput(&motion);
        vnx_SensorFusion_initFormat(&motionFormat);
        vnx_SensorInterpretation_initOutput(&interpreted);
        vnx_SensorInterpretation_initFormat(&interpretedFormat);
    }

    int init(const scdGen4Float_s& scd)
    {
        scd_ = scd;
        int a = 0;
        int b = 0;
        return module.init(&scd_.head, a, nullptr, b);
    }

    int step6AG(std::int16_t accZ, const std::int16_t (&gyro)[3], std::int32_t sampleNumber)
    {
        vnx_DeviceSupport6AG_Output_s sample;
        std::memset(&sample, 0, sizeof sample);
        vnx_DeviceSupport6AG_initOutput(&sample);
        sample.sampleNumber = sampleNumber;
        sample.accelerometer[2] = accZ;
        std::memcpy(sample.gyroscope, gyro, sizeof gyro);
        const vnx_StructOutput_s* inputs[] = {&sample.output};
        const vnx_StructFormat_s* formats[] = {nullptr};
        return module.process(3, 1, inputs, formats, 1, 2, outputs(), outputFormats());
    }

    int stepSingle(std::uint8_t sensor, std::int16_t x, std::int16_t y, std::int16_t z,
                   std::uint32_t sampleNumber)
    {
        vnx_DeviceSupport_Output_s sample;
        vnx_DeviceSupport_initOutput(&sample);
        sample.sensor = sensor;
        sample.x = x;
        sample.y = y;
        sample.z = z;
        vnx_DeviceSupport_Format_s format;
        vnx_DeviceSupport_initFormat(&format);
        format.sampleNumber = sampleNumber;
        const vnx_StructOutput_s* inputs[] = {&sample.output};
        const vnx_StructFormat_s* formats[] = {&format.format};
        return module.process(2, 1, inputs, formats, 0, 1, outputs(), outputFormats());
    }

    vnx_StructOutput_s** outputs()
    {
        outputs_[0] = &motion.output;
        outputs_[1] = &interpreted.output;
        return outputs_;
    }
    vnx_StructFormat_s** outputFormats()
    {
        formats_[0] = &motionFormat.format;
        formats_[1] = &interpretedFormat.format;
        return formats_;
    }

    SensorFusionPerDevice module;
    vnx_SensorFusion_Output_s motion;
    vnx_SensorFusion_Format_s motionFormat;
    vnx_SensorInterpretation_Output_s interpreted;
    vnx_SensorInterpretation_Format_s interpretedFormat;

  private:
    scdGen4Float_s scd_{};
    vnx_StructOutput_s* outputs_[2] = {};
    vnx_StructFormat_s* formats_[2] = {};
};

constexpr std::int16_t kStill[3] = {0, 0, 0};

TEST(SensorFusionPerDeviceRecords, DefaultsSizesAndValidity)
{
    auto config = vnx::testsupport::filled<vnx_SensorFusionPerDevice_Config_s>();
    ASSERT_EQ(vnx_SensorFusionPerDevice_initConfig(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(config.config.header.size, 88);
    EXPECT_EQ(config.config.header.type, VNX_TYPE_SENSOR_FUSION_PER_DEVICE);
    EXPECT_EQ(config.config.header.instanceId, 0u);
    EXPECT_EQ(config.config.result, 0u);
    EXPECT_EQ(config.config.extra, -1);
    EXPECT_EQ(vnx_SensorFusion_isStructValid(&config.sensorFusion.config.header), 1);
    EXPECT_EQ(config.sensorFusion.reorientation[0], 16384);

    auto command = vnx::testsupport::filled<vnx_SensorFusionPerDevice_Command_s>();
    vnx_SensorFusionPerDevice_initCommand(&command);
    EXPECT_EQ(command.code, 0u);
    EXPECT_EQ(command.value, 0);
    EXPECT_EQ(vnx::testsupport::byteAt(command, 37), vnx::testsupport::kFillByte);

    const struct
    {
        uint8_t kind;
        uint16_t size;
    } kinds[] = {{1, 88}, {2, 40}, {3, 32}, {4, 16}, {5, 16}};
    for (const auto& k : kinds) {
        vnx_Struct_s header{};
        header.type = VNX_TYPE_SENSOR_FUSION_PER_DEVICE;
        header.kind = k.kind;
        header.version = 1;
        header.size = k.size;
        EXPECT_EQ(vnx_SensorFusionPerDevice_isStructValid(&header), 1) << int(k.kind);
        header.size = static_cast<uint16_t>(k.size + 4);
        EXPECT_EQ(vnx_SensorFusionPerDevice_isStructValid(&header), 0) << int(k.kind);
    }
}

TEST(SensorFusionPerDevice, WithoutEngineStoresConfigurationAndRefusesEngineWork)
{
    PerDeviceRig rig;
    SensorFusionPerDevice& module = rig.module;
    rig.motion.sampleNumber = 99;
    EXPECT_EQ(rig.step6AG(-kOneG, kStill, 1), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.motion.sampleNumber, 0u);

    vnx_SensorFusion_Config_s fusion;
    vnx_SensorFusion_initConfig(&fusion);
    fusion.reorientation[0] = 11585;
    fusion.reorientation[1] = 11585; // 90 degrees about x
    EXPECT_EQ(module.setConfig(&fusion.config), VNX_STATUS_SUCCESS);
    const vnx_SensorInterpretation_Config_s tenMs = periodConfig(1, 10000);
    EXPECT_EQ(module.setConfig(&tenMs.config), VNX_STATUS_SUCCESS);

    vnx_SensorFusion_Command_s tare;
    vnx_SensorFusion_initCommand(&tare);
    tare.code = VNX_SENSOR_FUSION_TARE_HEADING;
    EXPECT_EQ(module.sendCommand(&tare.command), VNX_STATUS_NOT_ACTIVE);
    vnx_SensorFusionPerDevice_Command_s dynamic;
    vnx_SensorFusionPerDevice_initCommand(&dynamic);
    dynamic.code = VNX_SENSOR_FUSION_PER_DEVICE_SET_DYNAMIC_CALIBRATION;
    EXPECT_EQ(module.sendCommand(&dynamic.command), VNX_STATUS_NOT_ACTIVE);
    dynamic.code = 11;
    EXPECT_EQ(module.sendCommand(&dynamic.command), VNX_STATUS_SUCCESS);

    dcdAlg49AxisFixed_s dcd{};
    int offset = 0;
    EXPECT_EQ(module.getDcd(&dcd.head, sizeof dcd, offset), VNX_STATUS_WARNING_INVALID_DCD);

    // At init the stored reorientation acts on the engine; the periods
    // start from the SCD.
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    ASSERT_NE(module.engine(), nullptr);
    vnx_Mobile_Quaternion_s q{};
    module.engine()->getReorientation(&q);
    EXPECT_NEAR(q.x, 0.70710678f, 1e-5f);
    EXPECT_NEAR(q.w, 0.70710678f, 1e-5f);
    EXPECT_EQ(module.effectivePeriodUs(), 8000u);
    EXPECT_EQ(module.sendCommand(&tare.command), VNX_STATUS_SUCCESS);
    dynamic.code = VNX_SENSOR_FUSION_PER_DEVICE_SET_DYNAMIC_CALIBRATION;
    dynamic.value = 0x3;
    EXPECT_EQ(module.sendCommand(&dynamic.command), VNX_STATUS_SUCCESS);
    std::uint8_t bits = 0;
    module.engine()->getDynamicCalibrationEnable(&bits);
    EXPECT_EQ(bits, 0x3);

    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.engine(), nullptr);
    EXPECT_EQ(rig.step6AG(-kOneG, kStill, 2), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(module.getDcd(&dcd.head, sizeof dcd, offset), VNX_STATUS_WARNING_INVALID_DCD);
}

TEST(SensorFusionPerDevice, RefusedScdLeavesNoEngine)
{
    PerDeviceRig rig;
    scdGen4Float_s broken = testDevice();
    broken.innards.accNoise[0] += 1.0f; // check word no longer matches
    EXPECT_EQ(rig.init(broken), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.module.engine(), nullptr);
    int a = 0;
    int b = 0;
    EXPECT_EQ(rig.module.init(nullptr, a, nullptr, b), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.step6AG(-kOneG, kStill, 1), VNX_STATUS_INVALID_SCD);
}

TEST(SensorFusionPerDevice, RefusedReinitLeavesTheRunningModuleAsItWas)
{
    // Two modules run the same device side by side; one is offered every
    // kind of refused SCD halfway. Afterwards both must still agree sample
    // for sample: same engine, same periods, same learned state.
    PerDeviceRig kept;
    PerDeviceRig twin;
    const vnx_SensorInterpretation_Config_s tenMs = periodConfig(1, 10000);
    for (PerDeviceRig* rig : {&kept, &twin}) {
        ASSERT_EQ(rig->init(testDevice()), VNX_STATUS_SUCCESS);
        ASSERT_EQ(rig->module.setConfig(&tenMs.config), VNX_STATUS_SUCCESS);
    }
    const std::int16_t turning[3] = {0, 0, 300};
    std::int32_t sample = 0;
    auto runBoth = [&](int count) {
        for (int k = 0; k < count; ++k, ++sample) {
            const std::int16_t(&rate)[3] = (sample / 100) % 2 == 0 ? kStill : turning;
            ASSERT_EQ(kept.step6AG(-kOneG, rate, sample), twin.step6AG(-kOneG, rate, sample));
            ASSERT_EQ(
                std::memcmp(kept.motion.quaternion, twin.motion.quaternion, sizeof kept.motion.quaternion), 0)
                << "sample " << sample;
            ASSERT_EQ(std::memcmp(kept.motion.angularVelocity, twin.motion.angularVelocity,
                                  sizeof kept.motion.angularVelocity),
                      0)
                << "sample " << sample;
        }
    };
    runBoth(300);

    const vnx::SensorFusionMobile* engine = kept.module.engine();
    ASSERT_NE(engine, nullptr);
    scdGen4Float_s size0 = testDevice();
    size0.head.size = 0;
    scdGen4Float_s unsealed = testDevice();
    unsealed.innards.rsNoise[0] += 1.0f;
    scdGen4Float_s version4 = testDevice();
    version4.head.version = 4;
    int a = 0;
    int b = 0;
    EXPECT_EQ(kept.module.init(nullptr, a, nullptr, b), VNX_STATUS_INVALID_SCD);
    for (const scdGen4Float_s& refused : {size0, unsealed, version4}) {
        EXPECT_EQ(kept.init(refused), VNX_STATUS_INVALID_SCD);
        EXPECT_EQ(kept.module.engine(), engine);
        EXPECT_EQ(kept.module.effectivePeriodUs(), 10000u);
    }
    {
        // No memory for the new engine: answered, and the running one stays.
        const vnx::test::FailingAllocations noMemory;
        const int answer = kept.init(testDevice());
        EXPECT_EQ(answer, VNX_STATUS_OUT_OF_MEMORY);
    }
    EXPECT_EQ(kept.module.engine(), engine);
    EXPECT_EQ(kept.module.effectivePeriodUs(), 10000u);
    runBoth(300);
    // The learned calibration is the twin's too.
    dcdAlg49AxisFixed_s dcds[2]{};
    int offset = 0;
    ASSERT_EQ(kept.module.getDcd(&dcds[0].head, sizeof dcds[0], offset), VNX_STATUS_SUCCESS);
    ASSERT_EQ(twin.module.getDcd(&dcds[1].head, sizeof dcds[1], offset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::memcmp(&dcds[0], &dcds[1], sizeof dcds[0]), 0);
}

TEST(SensorFusionPerDevice, PeriodModesSetTheSensorPeriods)
{
    PerDeviceRig rig;
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    struct Case
    {
        const char* name;
        std::uint32_t mode;
        std::uint32_t periodUs;
        int expected;
        std::uint32_t effectiveUs;
    };
    const Case cases[] = {
        {"given period", 1, 10000, VNX_STATUS_SUCCESS, 10000},
        {"another mode keeps it", 7, 3000, VNX_STATUS_SUCCESS, 10000},
        {"unsupported mode", 2, 5000, VNX_STATUS_UNSUPPORTED_CONFIG, 10000},
        {"given period 0", 1, 0, VNX_STATUS_INVALID_CONFIG, 10000},
        {"back to the SCD", 0, 0, VNX_STATUS_SUCCESS, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx_SensorInterpretation_Config_s config = periodConfig(c.mode, c.periodUs);
        EXPECT_EQ(rig.module.setConfig(&config.config), c.expected);
        EXPECT_EQ(rig.module.effectivePeriodUs(), c.effectiveUs);
        const vnx_Mobile_PhysicalSensorPeriods_s& p = rig.module.sensorPeriods();
        EXPECT_EQ(p.accelerometerUs, static_cast<std::int32_t>(c.effectiveUs));
        EXPECT_EQ(p.gyroscopeUs, static_cast<std::int32_t>(c.effectiveUs));
        EXPECT_EQ(p.fusionUs, static_cast<std::int32_t>(c.effectiveUs));
        // A refused record stays stored.
        vnx_SensorInterpretation_Config_s stored = periodConfig(0, 0);
        EXPECT_EQ(rig.module.getConfig(&stored.config), VNX_STATUS_SUCCESS);
        EXPECT_EQ(std::memcmp(&stored, &config, sizeof config), 0);
    }
    // A record addressed to another instance is not this module's.
    vnx_SensorInterpretation_Config_s elsewhere = periodConfig(1, 10000);
    elsewhere.config.header.instanceId = 12345;
    EXPECT_EQ(rig.module.setConfig(&elsewhere.config), VNX_STATUS_NOT_FOR_ME);
}

TEST(SensorFusionPerDevice, StillSampleFillsMotionAndInterpretedMotion)
{
    PerDeviceRig rig;
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    for (int k = 1; k <= 20; ++k) {
        ASSERT_EQ(rig.step6AG(-kOneG, kStill, k), VNX_STATUS_SUCCESS);
    }
    EXPECT_EQ(rig.motion.sampleNumber, 20u);
    EXPECT_NEAR(rig.motion.acceleration[2].real, -kGravity, 1e-3f);
    EXPECT_NEAR(rig.motion.quaternion[0].real, 1.0f, 1e-6f);
    EXPECT_EQ(rig.motionFormat.periodUs, 8000u);
    for (int8_t code :
         {rig.motionFormat.accelerationQ, rig.motionFormat.linearAccelerationQ,
          rig.motionFormat.angularVelocityQ, rig.motionFormat.magneticFieldQ, rig.motionFormat.quaternionQ}) {
        EXPECT_EQ(code, VNX_QPOINT_FLOAT);
    }
    EXPECT_EQ(rig.motionFormat.reservedGroupQ, VNX_QPOINT_INVALID);

    EXPECT_EQ(rig.interpreted.sampleNumber, 20u);
    EXPECT_EQ(rig.interpreted.sampleDelta, 1u);
    EXPECT_EQ(rig.interpreted.flags & 0x3, 0x2); // offset removed; the 6AG path carries no stationary flag
    EXPECT_NEAR(rig.interpreted.acceleration[2], 0.0f, 0.05f); // linear acceleration
    EXPECT_EQ(rig.interpretedFormat.periodUs, 8000u);
    EXPECT_EQ(rig.interpretedFormat.accAxes, 7);
    EXPECT_EQ(rig.interpretedFormat.rateAxes, 7);
}

TEST(SensorFusionPerDevice, SingleSamplesProduceOutputOnlyWithTheGyroscope)
{
    PerDeviceRig rig;
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    rig.motion.acceleration[0].real = 123.0f;
    EXPECT_EQ(rig.stepSingle(VNX_DEVICE_SUPPORT_MAGNETOMETER, 10, 20, 30, 1),
              VNX_STATUS_WARNING_WAITING_FOR_FUSION);
    EXPECT_EQ(rig.motion.sampleNumber, 1u);
    EXPECT_EQ(rig.motion.acceleration[0].real, 123.0f);
    EXPECT_EQ(rig.stepSingle(VNX_DEVICE_SUPPORT_ACCELEROMETER, 0, 0, -kOneG, 2),
              VNX_STATUS_WARNING_WAITING_FOR_FUSION);
    EXPECT_EQ(rig.stepSingle(VNX_DEVICE_SUPPORT_GYROSCOPE, 0, 0, 0, 2), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.motion.sampleNumber, 2u);
    EXPECT_NEAR(rig.motion.acceleration[2].real, -kGravity, 1e-3f);
}

TEST(SensorFusionPerDevice, ProcessRefusesMissingOrForeignRecordsAndWritesNothing)
{
    PerDeviceRig rig;
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    rig.motion.sampleNumber = 7;
    vnx_DeviceSupport_Output_s wrong;
    vnx_DeviceSupport_initOutput(&wrong);
    const vnx_StructOutput_s* inputs[] = {&wrong.output};
    const vnx_StructFormat_s* formats[] = {nullptr};
    EXPECT_EQ(rig.module.process(3, 1, inputs, formats, 1, 2, rig.outputs(), rig.outputFormats()),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig.module.process(3, 1, inputs, formats, 1, 1, rig.outputs(), rig.outputFormats()),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig.module.process(3, 1, nullptr, formats, 0, 1, rig.outputs(), rig.outputFormats()),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(rig.motion.sampleNumber, 7u);
    EXPECT_EQ(rig.module.process(9, 1, inputs, formats, 0, 1, rig.outputs(), rig.outputFormats()),
              VNX_STATUS_INVALID_INTERFACE);
}

TEST(SensorFusionPerDevice, InterfacesAndNodes)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    PerDeviceRig rig;
    const std::vector<std::vector<uint8_t>> inputs = {{16}, {1, 1, 1}, {1}, {22}, {23}};
    ASSERT_EQ(rig.module.getInputInterfaceCount(), 5);
    for (int id = 0; id < 5; ++id) {
        uint8_t types[4] = {};
        size_t count = 0;
        ASSERT_EQ(rig.module.getInputInterface(id, sizeof types, types, count), VNX_STATUS_SUCCESS);
        EXPECT_EQ(std::vector<uint8_t>(types, types + count), inputs[id]) << id;
    }
    uint8_t types[4] = {};
    size_t count = 0;
    EXPECT_EQ(rig.module.getInputInterface(5, sizeof types, types, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(rig.module.getInputInterface(1, 2, types, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 3u);
    ASSERT_EQ(rig.module.getOutputInterfaceCount(), 2);
    ASSERT_EQ(rig.module.getOutputInterface(1, sizeof types, types, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::vector<uint8_t>(types, types + count), (std::vector<uint8_t>{3, 2}));
    EXPECT_EQ(rig.module.getOutputInterface(2, sizeof types, types, count), VNX_STATUS_INVALID_INTERFACE);

    nodes.addNode(nullptr, &rig.module, vnx::NodeInterface::NODE_MODULE, "fusion");
    EXPECT_NE(nodes.getNode("fusion.StateManagementTemp"), nullptr);
    EXPECT_EQ(nodes.getNode("fusion.mobile"), nullptr);
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS); // again, without term
    EXPECT_NE(nodes.getNode("fusion.mobile"), nullptr);
    rig.module.term();
    EXPECT_EQ(nodes.getNode("fusion.mobile"), nullptr);
    nodes.removeNode(&rig.module);
}

TEST(SensorFusionPerDevice, DcdNeedsRoomForTheWholeBlock)
{
    PerDeviceRig rig;
    ASSERT_EQ(rig.init(testDevice()), VNX_STATUS_SUCCESS);
    dcdAlg49AxisFixed_s dcd{};
    int offset = 0;
    EXPECT_EQ(rig.module.getDcd(&dcd.head, 259, offset), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(dcd.head.size, 0);
    EXPECT_EQ(rig.module.getDcd(&dcd.head, sizeof dcd, offset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(dcd.head.size, 260);
    EXPECT_NE(dcdAlg49AxisFixedValidateAndCast(&dcd.head), nullptr);
}

TEST(SensorFusionPerDevice, LogPathNamesTheDirectoryAndTheModule)
{
    PerDeviceRig rig;
    const char* before = vnx_properties_get("LOGGING_DIR");
    const std::string saved = before != nullptr ? before : "";
    before = before != nullptr ? saved.c_str() : nullptr;
    vnx_properties_set("LOGGING_DIR", "/tmp/logs");
    char path[128];
    const int length = rig.module.getLogPath(path, sizeof path);
    const std::string text(path);
    EXPECT_EQ(length, static_cast<int>(text.size()));
    EXPECT_EQ(text.rfind("/tmp/logs/", 0), 0u);
    EXPECT_NE(text.find("-SensorFusion-0x"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), ".dsf");
    char shortPath[12];
    EXPECT_EQ(rig.module.getLogPath(shortPath, sizeof shortPath), length);
    EXPECT_EQ(std::string(shortPath), text.substr(0, sizeof shortPath - 1));
    if (before != nullptr) {
        vnx_properties_set("LOGGING_DIR", saved.c_str());
    } else {
        unsetenv("VNX_LOGGING_DIR");
    }
}

} // namespace
