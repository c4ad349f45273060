#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "nineAxisRig.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace nineAxisTest {
namespace {

constexpr float kG = 9.80665f;

float fieldUt(const vnx_SensorInterpretation9Axis_Output_s& output, int axis)
{
    return output.magneticField[axis].real;
}

TEST(SensorInterpretation9AxisProcess, StillDeviceOnATableLearnsTheGyroOffsetThroughInterfaceZero)
{
    NineAxisRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    rig.outputRecord().interpretation.flags = 0xFF;

    ASSERT_EQ(rig.step(kGravityUp, kGyroBias), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.motion().sampleDelta, 0xFFFFFFFFu);           // first sample: unknown gap
    EXPECT_NEAR(rig.motion().angularVelocity[1], -0.02f, 1e-6); // nothing learned yet

    ASSERT_EQ(rig.hold(kGravityUp, kGyroBias, 3 * kSamplesPerSecond), VNX_STATUS_SUCCESS);
    const vnx_SensorInterpretation_Output_s& motion = rig.motion();
    EXPECT_EQ(motion.sampleNumber, rig.inputFormat().sampleNumber);
    EXPECT_EQ(motion.sampleDelta, 1u);
    // No table or convergence detector runs here; other bits are the caller's.
    EXPECT_EQ(motion.flags, 0xFC);
    // Gravity, up to what the frame turned by the offset in the first second
    // still leaves in the slow filter.
    EXPECT_NEAR(motion.acceleration[0], 0.0f, 0.01f);
    EXPECT_NEAR(motion.acceleration[1], 0.0f, 0.01f);
    EXPECT_NEAR(motion.acceleration[2], kG, 0.001f);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(motion.angularVelocity[axis], 0.0f, 1e-5) << "axis " << axis;
        EXPECT_EQ(fieldUt(rig.output(), axis), 0.0f) << "axis " << axis;
    }

    const vnx_SensorInterpretation9Axis_Format_s& format = rig.outputFormat();
    EXPECT_EQ(format.interpretation.periodUs, kPeriodUs);
    EXPECT_EQ(format.interpretation.accValueFormat, 127);
    EXPECT_EQ(format.interpretation.rateValueFormat, 127);
    EXPECT_EQ(format.magValueFormat, 127);
    // Two counts of gyroscope noise, squared.
    EXPECT_NEAR(format.interpretation.rateVariance[0], 4e-6f, 1e-9);
    EXPECT_NEAR(format.interpretation.rateVariance[2], 4e-6f, 1e-9);
    // The spread of the filtered acceleration, the same on every axis.
    EXPECT_LT(format.interpretation.accNoise[0], 0.05f);
    EXPECT_EQ(format.interpretation.accNoise[0], format.interpretation.accNoise[2]);
}

TEST(SensorInterpretation9AxisProcess, MagnetometerThroughInterfaceOneGivesTheCalibratedFieldInMicrotesla)
{
    const scdGen4Float_s scd = testDevice().build();
    const double gauss[3] = {kField[0] * kMagGaussPerCount, kField[1] * kMagGaussPerCount,
                             kField[2] * kMagGaussPerCount};

    // Without a stored calibration the field passes unchanged.
    NineAxisRig raw;
    ASSERT_EQ(raw.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(raw.hold(kGravityUp, kGyroBias, 50, kField), VNX_STATUS_SUCCESS);
    // The field is filtered in a frame that turned a little before the
    // offset was learned: equal to a few hundredths of a microtesla.
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(fieldUt(raw.output(), axis), 100.0 * gauss[axis], 0.02) << "axis " << axis;
    }

    // With one: ((I + D) m - offset) * s.
    const dcdMagAmpCal_s mag = storedMagCalibration();
    const dcdAlg49AxisFixed_s dcd = nineAxisDcd(scdCrcOf(scd), storedGyroState(0, 0, 0), mag);
    NineAxisRig calibrated;
    ASSERT_EQ(calibrated.init(scd, &dcd.head), VNX_STATUS_SUCCESS);
    ASSERT_EQ(calibrated.hold(kGravityUp, kGyroBias, 50, kField), VNX_STATUS_SUCCESS);
    for (int axis = 0; axis < 3; ++axis) {
        const double expected = 100.0 * (1.1 * gauss[axis] - mag.offset[axis]) * mag.fieldStrength;
        EXPECT_NEAR(fieldUt(calibrated.output(), axis), expected, 0.02) << "axis " << axis;
    }
    EXPECT_EQ(calibrated.outputFormat().magValueFormat, 127);
}

TEST(SensorInterpretation9AxisProcess, RestartCommandDropsTheMagnetometerCalibration)
{
    const scdGen4Float_s scd = testDevice().build();
    const dcdAlg49AxisFixed_s dcd =
        nineAxisDcd(scdCrcOf(scd), storedGyroState(0, 0, 0), storedMagCalibration());
    NineAxisRig rig;
    NineAxisRig twin;
    ASSERT_EQ(rig.init(scd, &dcd.head), VNX_STATUS_SUCCESS);
    ASSERT_EQ(twin.init(scd, &dcd.head), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.step(kGravityUp, kGyroBias, kField), VNX_STATUS_SUCCESS);
    ASSERT_EQ(twin.step(kGravityUp, kGyroBias, kField), VNX_STATUS_SUCCESS);

    // Another fusion command changes nothing.
    vnx_SensorFusion_Command_s command{};
    vnx_SensorFusion_initCommand(&command);
    command.code = VNX_SENSOR_FUSION_TARE_HEADING;
    ASSERT_EQ(rig.module().sendCommand(&command.command), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.hold(kGravityUp, kGyroBias, 20, kField), VNX_STATUS_SUCCESS);
    ASSERT_EQ(twin.hold(kGravityUp, kGyroBias, 20, kField), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::memcmp(&rig.output(), &twin.output(), sizeof twin.output()), 0);

    command.code = VNX_SENSOR_FUSION_RESTART_MAG_CALIBRATION;
    ASSERT_EQ(rig.module().sendCommand(&command.command), VNX_STATUS_SUCCESS);
    // The field filter follows within its short group delay.
    ASSERT_EQ(rig.hold(kGravityUp, kGyroBias, 50, kField), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(fieldUt(rig.output(), 0), 100.0 * kField[0] * kMagGaussPerCount, 0.02);
    EXPECT_EQ(rig.readDcd().magAmpCal.fieldStrength, 1.0f);
    EXPECT_EQ(twin.readDcd().magAmpCal.fieldStrength, 0.8f);
}

// The records of one valid call, each of which a case may spoil.
struct Call
{
    int inputInterface = 0;
    size_t inputCount = 2;
    int outputInterface = 0;
    size_t outputCount = 1;
    vnx_DeviceSupport_Output_s acc = sensorRecord(VNX_DEVICE_SUPPORT_ACCELEROMETER, kGravityUp);
    vnx_DeviceSupport_Output_s gyro = sensorRecord(VNX_DEVICE_SUPPORT_GYROSCOPE, kGyroBias);
    vnx_DeviceSupport_Output_s mag = sensorRecord(VNX_DEVICE_SUPPORT_MAGNETOMETER, kField);
    vnx_DeviceSupport_Format_s format{};
    vnx_DeviceSupport6AG_Output_s sixAxis{};
    vnx_SensorInterpretation_Output_s sixAxisOutput{};
    const vnx_StructOutput_s* inputs[4] = {&acc.output, &gyro.output, &mag.output, nullptr};
    const vnx_StructFormat_s* formats[4] = {&format.format, &format.format, &format.format, nullptr};
    vnx_StructOutput_s* outputs[1] = {nullptr};
    vnx_StructFormat_s* outputFormats[1] = {nullptr};
    const vnx_StructOutput_s** inputArray = inputs;
    const vnx_StructFormat_s** formatArray = formats;
    vnx_StructOutput_s** outputArray = outputs;
    vnx_StructFormat_s** outputFormatArray = outputFormats;
    bool nullOutputFormat = false;

    Call()
    {
        vnx_DeviceSupport_initFormat(&format);
        format.sampleNumber = 7;
        vnx_DeviceSupport6AG_initOutput(&sixAxis);
        vnx_SensorInterpretation_initOutput(&sixAxisOutput);
    }
    Call(const Call&) = delete;

    int run(NineAxisRig& rig)
    {
        vnx_SensorInterpretation9Axis_Output_s& output = rig.outputRecord();
        if (outputs[0] == nullptr)
            outputs[0] = &output.output;
        if (outputFormats[0] == nullptr && !nullOutputFormat)
            outputFormats[0] = &rig.outputFormatRecord().format;
        return rig.module().process(inputInterface, inputCount, inputArray, formatArray, outputInterface,
                                    outputCount, outputArray, outputFormatArray);
    }
};

struct BadCall
{
    const char* name;
    std::function<void(Call&)> spoil;
    int result;
};

TEST(SensorInterpretation9AxisProcess, RefusesMissingOrForeignRecordsWithoutTouchingAnything)
{
    vnx_SensorInterpretation9Axis_Format_s foreignFormat{};
    vnx_SensorInterpretation9Axis_initFormat(&foreignFormat);
    const BadCall cases[] = {
        {"no input array", [](Call& c) { c.inputArray = nullptr; }, VNX_STATUS_INVALID_PARAMETER},
        {"one record on interface 0", [](Call& c) { c.inputCount = 1; }, VNX_STATUS_INVALID_PARAMETER},
        {"two records on interface 1", [](Call& c) { c.inputInterface = 1; }, VNX_STATUS_INVALID_PARAMETER},
        {"a null sensor record", [](Call& c) { c.inputs[1] = nullptr; }, VNX_STATUS_INVALID_PARAMETER},
        {"a DeviceSupport6AG record", [](Call& c) { c.inputs[0] = &c.sixAxis.output; },
         VNX_STATUS_INVALID_PARAMETER},
        {"a sensor record of another version", [](Call& c) { ++c.gyro.output.header.version; },
         VNX_STATUS_INVALID_PARAMETER},
        {"no format array", [](Call& c) { c.formatArray = nullptr; }, VNX_STATUS_INVALID_PARAMETER},
        {"a foreign first format", [&](Call& c) { c.formats[0] = &foreignFormat.format; },
         VNX_STATUS_INVALID_PARAMETER},
        {"no output slot", [](Call& c) { c.outputCount = 0; }, VNX_STATUS_INVALID_PARAMETER},
        {"no output array", [](Call& c) { c.outputArray = nullptr; }, VNX_STATUS_INVALID_PARAMETER},
        {"a 6-axis Output", [](Call& c) { c.outputs[0] = &c.sixAxisOutput.output; },
         VNX_STATUS_INVALID_PARAMETER},
        {"no output format array", [](Call& c) { c.outputFormatArray = nullptr; },
         VNX_STATUS_INVALID_PARAMETER},
        {"a null output format", [](Call& c) { c.nullOutputFormat = true; }, VNX_STATUS_INVALID_PARAMETER},
        {"input interface 2", [](Call& c) { c.inputInterface = 2; }, VNX_STATUS_INVALID_INTERFACE},
        {"input interface -1", [](Call& c) { c.inputInterface = -1; }, VNX_STATUS_INVALID_INTERFACE},
        {"output interface 1", [](Call& c) { c.outputInterface = 1; }, VNX_STATUS_INVALID_INTERFACE},
    };
    for (const BadCall& c : cases) {
        SCOPED_TRACE(c.name);
        NineAxisRig rig;
        ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
        const vnx_SensorInterpretation9Axis_Output_s before = rig.output();
        {
            Call call;
            c.spoil(call);
            EXPECT_EQ(call.run(rig), c.result);
        }
        EXPECT_EQ(std::memcmp(&before, &rig.output(), sizeof before), 0);
        // The sample counter did not move: the next good sample is still the first.
        ASSERT_EQ(rig.step(kGravityUp, kGyroBias), VNX_STATUS_SUCCESS);
        EXPECT_EQ(rig.motion().sampleDelta, 0xFFFFFFFFu);
    }
}

TEST(SensorInterpretation9AxisProcess, InterfaceOneReadsThreeRecordsWithoutTheFourth)
{
    NineAxisRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    Call call;
    call.inputInterface = 1;
    call.inputCount = 3;
    EXPECT_EQ(call.run(rig), VNX_STATUS_SUCCESS);
    EXPECT_EQ(rig.motion().sampleNumber, 7u);
    EXPECT_NEAR(fieldUt(rig.output(), 0), 100.0 * kField[0] * kMagGaussPerCount, 0.02);
}

TEST(SensorInterpretation9AxisProcess, SampleWithoutGyroscopeIsClearedAndCounted)
{
    NineAxisRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(rig.step(kGravityUp, kGyroBias, kField), VNX_STATUS_SUCCESS);
    rig.outputRecord().interpretation.flags = 0xFF;

    Call call;
    call.inputInterface = 1;
    call.inputCount = 3;
    call.inputs[1] = &call.mag.output; // accelerometer, magnetometer, magnetometer
    call.format.sampleNumber = rig.inputFormat().sampleNumber + 2;
    EXPECT_EQ(call.run(rig), VNX_STATUS_INVALID_CONFIG);

    const vnx_SensorInterpretation_Output_s& motion = rig.motion();
    EXPECT_EQ(motion.sampleDelta, 2u);
    EXPECT_EQ(motion.sampleNumber, 0u);
    EXPECT_EQ(motion.flags, 0xFE);
    EXPECT_EQ(motion.acceleration[2], 0.0f);
    EXPECT_EQ(fieldUt(rig.output(), 0), 0.0f);
}

TEST(SensorInterpretation9AxisProcess, LongGapMakesTheFiltersFollowTheRawVectorsAgain)
{
    // A sideways acceleration the gyroscope does not explain: the 2 s group
    // delay built up over a still period holds the filtered gravity back.
    const RawTriple sideways{0, 16384, 0};
    auto sidewaysAfter = [&](uint32_t gap) {
        NineAxisRig rig;
        rig.init(testDevice().build());
        rig.hold(kGravityUp, kGyroBias, 3 * kSamplesPerSecond);
        rig.step(kGravityUp, kGyroBias, std::nullopt, gap);
        rig.hold(sideways, kGyroBias, 5);
        return rig.motion().acceleration[1];
    };
    EXPECT_LT(sidewaysAfter(1), 0.1f * kG);
    // More than a second of lost samples starts the delays over.
    EXPECT_GT(sidewaysAfter(kSamplesPerSecond + 1), 0.5f * kG);
}

TEST(SensorInterpretation9AxisProcess, LongStillnessInHandGivesTheMeanRateAsOffset)
{
    // Noise far above the sensors' own keeps the device off the table and
    // its still windows unweighted; only the long-stillness rule can learn.
    NineAxisRig rig;
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_WARNING_INVALID_DCD);
    const int seconds = 25;
    double mean[3] = {0, 0, 0};
    const int tail = 100;
    for (int k = 0; k < seconds * kSamplesPerSecond; ++k) {
        const int16_t sign = (k % 2 == 0) ? 1 : -1;
        const RawTriple acc{static_cast<int16_t>(800 * sign), 0, 16384};
        const RawTriple gyro{static_cast<int16_t>(kGyroBias[0] + 50 * sign),
                             static_cast<int16_t>(kGyroBias[1] - 50 * sign),
                             static_cast<int16_t>(kGyroBias[2] + 50 * sign)};
        ASSERT_EQ(rig.step(acc, gyro), VNX_STATUS_SUCCESS);
        if (k >= seconds * kSamplesPerSecond - tail) {
            for (int axis = 0; axis < 3; ++axis)
                mean[axis] += rig.motion().angularVelocity[axis] / tail;
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(mean[axis], 0.0, 2e-3) << "axis " << axis;
    }
}

TEST(SensorInterpretation9AxisProcess, SecondDeviceLeavesARunningDeviceAlone)
{
    const scdGen4Float_s scdA = testDevice().build();
    const scdGen4Float_s scdB = testDevice().period(0.01).gyroNoise(5, 5, 5).build();
    auto sampleA = [](int k) {
        const int16_t wobble = static_cast<int16_t>((k * 37) % 21 - 10);
        return std::pair{
            RawTriple{wobble, static_cast<int16_t>(-wobble), 16384},
            RawTriple{static_cast<int16_t>(10 + wobble), -20, static_cast<int16_t>(30 + k % 50)}};
    };
    const int samples = 400;

    std::vector<vnx_SensorInterpretation9Axis_Output_s> alone;
    {
        NineAxisRig a;
        a.init(scdA);
        for (int k = 0; k < samples; ++k) {
            const auto [acc, gyro] = sampleA(k);
            ASSERT_EQ(a.step(acc, gyro, kField), VNX_STATUS_SUCCESS);
            alone.push_back(a.output());
        }
    }

    NineAxisRig a;
    NineAxisRig b;
    a.init(scdA);
    b.init(scdB);
    for (int k = 0; k < samples; ++k) {
        ASSERT_EQ(b.step(RawTriple{3000, 0, -16000}, RawTriple{-40, 5, 300}, RawTriple{-900, 400, 2000}),
                  VNX_STATUS_SUCCESS);
        const auto [acc, gyro] = sampleA(k);
        ASSERT_EQ(a.step(acc, gyro, kField), VNX_STATUS_SUCCESS);
        ASSERT_EQ(std::memcmp(&a.output(), &alone[k], sizeof alone[k]), 0) << "sample " << k;
    }
}

} // namespace
} // namespace nineAxisTest
