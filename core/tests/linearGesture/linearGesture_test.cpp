#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <ostream>
#include <vector>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "gesture/LinearGesture.h"
#include "gesture/LinearGestureRecords.h"
#include "pointerBallistics/PointerBallisticsCurve.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::kFillByte;

constexpr float kPi = std::numbers::pi_v<float>;
constexpr uint32_t kPeriodUs = 10000;

/// A fusion sample as the SensorFusion module writes it, in float encoding.
struct FusionSample
{
    vnx_SensorFusion_Output_s output{};
    vnx_SensorFusion_Format_s format{};

    FusionSample()
    {
        vnx_SensorFusion_initOutput(&output);
        vnx_SensorFusion_initFormat(&format);
        format.periodUs = kPeriodUs;
        format.angularVelocityQ = VNX_QPOINT_FLOAT;
        format.quaternionQ = VNX_QPOINT_FLOAT;
        setQuaternion(1, 0, 0, 0);
    }
    FusionSample& setQuaternion(float w, float x, float y, float z)
    {
        output.quaternion[0].real = w;
        output.quaternion[1].real = x;
        output.quaternion[2].real = y;
        output.quaternion[3].real = z;
        return *this;
    }
    /// The device turned by `angle` about the unit axis (x, y, z).
    FusionSample& rotated(float angle, float x, float y, float z)
    {
        const float s = std::sin(angle / 2);
        return setQuaternion(std::cos(angle / 2), s * x, s * y, s * z);
    }
    FusionSample& setRate(float x, float y, float z)
    {
        output.angularVelocity[0].real = x;
        output.angularVelocity[1].real = y;
        output.angularVelocity[2].real = z;
        return *this;
    }
};

struct Config
{
    vnx_LinearGesture_Config_s record{};
    Config()
    {
        vnx_LinearGesture_initConfig(&record);
        record.axis[0] = 1.0f;
        record.sliderMin = 0.0f;
        record.sliderMax = 100.0f;
        record.rotationMin = -kPi / 2;
        record.rotationMax = kPi / 2;
    }
    Config& frame(uint32_t mode)
    {
        record.frameMode = mode;
        return *this;
    }
    Config& increments(uint32_t mode)
    {
        record.incrementMode = mode;
        return *this;
    }
    Config& axis(float x, float y, float z)
    {
        record.axis[0] = x;
        record.axis[1] = y;
        record.axis[2] = z;
        return *this;
    }
    Config& reference(float x, float y, float z)
    {
        record.reference[0] = x;
        record.reference[1] = y;
        record.reference[2] = z;
        return *this;
    }
    /// Slider and rotation over the same range, so the slider is the rotation.
    Config& identityMap(float low, float high)
    {
        record.sliderMin = record.rotationMin = low;
        record.sliderMax = record.rotationMax = high;
        return *this;
    }
};

int command(LinearGesture& module, uint32_t code)
{
    vnx_LinearGesture_Command_s record;
    vnx_LinearGesture_initCommand(&record);
    record.code = code;
    return module.sendCommand(&record.command);
}

struct Processed
{
    int status;
    vnx_LinearGesture_Output_s output;
};

Processed process(LinearGesture& module, const FusionSample& sample)
{
    Processed processed{};
    vnx_LinearGesture_initOutput(&processed.output);
    const vnx_StructOutput_s* inputs[] = {&sample.output.output};
    const vnx_StructFormat_s* formats[] = {&sample.format.format};
    vnx_StructOutput_s* outputs[] = {&processed.output.output};
    processed.status = module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr);
    return processed;
}

float slider(LinearGesture& module, const FusionSample& sample)
{
    const Processed processed = process(module, sample);
    EXPECT_EQ(processed.status, VNX_STATUS_SUCCESS);
    return processed.output.slider;
}

/// A module with `config`, activated.
void start(LinearGesture& module, const Config& config)
{
    ASSERT_EQ(module.setConfig(&config.record.config), VNX_STATUS_SUCCESS);
    ASSERT_EQ(command(module, VNX_LINEAR_GESTURE_COMMAND_ACTIVATE), VNX_STATUS_SUCCESS);
}

TEST(LinearGestureRecords, InitialisersWriteHeadersAndZeroTheFields)
{
    auto output = filled<vnx_LinearGesture_Output_s>();
    ASSERT_EQ(vnx_LinearGesture_initOutput(&output), 0);
    EXPECT_EQ(output.output.header.size, 32);
    EXPECT_EQ(output.output.header.type, VNX_TYPE_LINEAR_GESTURE);
    EXPECT_EQ(output.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(output.output.header.version, 1);
    EXPECT_EQ(output.output.header.instanceId, 0u);
    for (std::size_t offset = 16; offset < sizeof(output); ++offset) {
        EXPECT_EQ(byteAt(output, offset), 0) << "byte " << offset;
    }

    auto config = filled<vnx_LinearGesture_Config_s>();
    ASSERT_EQ(vnx_LinearGesture_initConfig(&config), 0);
    EXPECT_EQ(config.config.result, 0u);
    EXPECT_EQ(config.config.extra, -1);
    for (std::size_t offset = 32; offset < sizeof(config); ++offset) {
        EXPECT_EQ(byteAt(config, offset), 0) << "byte " << offset;
    }
    EXPECT_EQ(byteAt(config, 5), kFillByte) << "header padding is left alone";
}

TEST(LinearGestureRecords, ValidOnlyWithTypeKindVersionAndSize)
{
    vnx_LinearGesture_Config_s config;
    vnx_LinearGesture_initConfig(&config);
    vnx_LinearGesture_Command_s command;
    vnx_LinearGesture_initCommand(&command);
    vnx_LinearGesture_Status_s status;
    vnx_LinearGesture_initStatus(&status);
    vnx_LinearGesture_Format_s format;
    vnx_LinearGesture_initFormat(&format);
    vnx_LinearGesture_Output_s output;
    vnx_LinearGesture_initOutput(&output);
    const vnx_Struct_s* valid[] = {&config.config.header, &command.command.header, &status.header,
                                   &format.header, &output.output.header};
    for (const vnx_Struct_s* header : valid) {
        EXPECT_EQ(vnx_LinearGesture_isStructValid(header), 1) << "kind " << int{header->kind};
    }
    EXPECT_EQ(status.header.size, 32);
    EXPECT_EQ(format.header.size, 16);

    auto wrong = output;
    wrong.output.header.size = 31;
    EXPECT_EQ(vnx_LinearGesture_isStructValid(&wrong.output.header), 0);
    wrong = output;
    wrong.output.header.version = 2;
    EXPECT_EQ(vnx_LinearGesture_isStructValid(&wrong.output.header), 0);
    wrong = output;
    wrong.output.header.type = VNX_TYPE_CURSOR_GESTURE;
    EXPECT_EQ(vnx_LinearGesture_isStructValid(&wrong.output.header), 0);
    EXPECT_EQ(vnx_LinearGesture_isStructValid(nullptr), 0);
}

TEST(LinearGestureModule, AnswersRecordsOfOtherTypesAndUnknownCommands)
{
    LinearGesture module;
    vnx_SensorFusion_Command_s foreignCommand;
    vnx_SensorFusion_initCommand(&foreignCommand);
    EXPECT_EQ(module.sendCommand(&foreignCommand.command), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.sendCommand(nullptr), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(command(module, 3), VNX_STATUS_INVALID_COMMAND);
    EXPECT_EQ(command(module, 0), VNX_STATUS_SUCCESS);

    vnx_SensorFusion_Config_s foreignConfig;
    vnx_SensorFusion_initConfig(&foreignConfig);
    EXPECT_EQ(module.getConfig(&foreignConfig.config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(&foreignConfig.config), VNX_STATUS_NOT_FOR_ME);

    Config config;
    config.record.initialSlider = 42.0f;
    ASSERT_EQ(module.setConfig(&config.record.config), VNX_STATUS_SUCCESS);
    vnx_LinearGesture_Config_s copy;
    vnx_LinearGesture_initConfig(&copy);
    ASSERT_EQ(module.getConfig(&copy.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::memcmp(&copy, &config.record, sizeof(copy)), 0);
}

TEST(LinearGestureModule, DescribesItsInterfaces)
{
    LinearGesture module;
    EXPECT_EQ(module.getType(), VNX_TYPE_LINEAR_GESTURE);
    EXPECT_EQ(module.getInputInterfaceCount(), 1);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);
    uint8_t type = 0;
    size_t count = 0;
    EXPECT_EQ(module.getInputInterface(1, 1, &type, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getInputInterface(0, 0, &type, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(module.getInputInterface(0, 1, &type, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_SENSOR_FUSION);
    EXPECT_EQ(module.getOutputInterface(0, 1, &type, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_LINEAR_GESTURE);
    EXPECT_EQ(module.getOutputInterface(1, 1, &type, count), VNX_STATUS_INVALID_INTERFACE);
}

TEST(LinearGestureModule, ProcessRefusesMissingAndForeignRecords)
{
    LinearGesture module;
    FusionSample sample;
    vnx_LinearGesture_Output_s out;
    vnx_LinearGesture_initOutput(&out);
    const vnx_StructOutput_s* inputs[] = {&sample.output.output};
    const vnx_StructFormat_s* formats[] = {&sample.format.format};
    vnx_StructOutput_s* outputs[] = {&out.output};
    EXPECT_EQ(module.process(0, 0, inputs, formats, 0, 1, outputs, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(module.process(0, 1, inputs, nullptr, 0, 1, outputs, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(module.process(0, 1, inputs, formats, 0, 0, outputs, nullptr), VNX_STATUS_INVALID_PARAMETER);
    const vnx_StructOutput_s* swapped[] = {&out.output};
    EXPECT_EQ(module.process(0, 1, swapped, formats, 0, 1, outputs, nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr), VNX_STATUS_SUCCESS);
}

struct AbsoluteCase
{
    const char* what;
    float axis[3];     // configured axis
    float turnAxis[3]; // the device turns about this axis
    float turn;        // by this angle
    uint32_t noClamp;
    float slider;
};

void PrintTo(const AbsoluteCase& c, std::ostream* os)
{
    *os << c.what;
}

class UserFrameAbsolute : public ::testing::TestWithParam<AbsoluteCase>
{
};

// Slider 0 to 100 over -pi/2 to pi/2. The angle is taken from the conjugated
// orientation, so a turn by t reads as -t.
TEST_P(UserFrameAbsolute, MapsTheAngleOntoTheSlider)
{
    const AbsoluteCase& c = GetParam();
    LinearGesture module;
    Config config;
    config.axis(c.axis[0], c.axis[1], c.axis[2]);
    config.record.noClamp = c.noClamp;
    start(module, config);
    FusionSample sample;
    sample.rotated(c.turn, c.turnAxis[0], c.turnAxis[1], c.turnAxis[2]);
    EXPECT_NEAR(slider(module, sample), c.slider, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, UserFrameAbsolute,
    ::testing::Values(AbsoluteCase{"level", {1, 0, 0}, {1, 0, 0}, 0.0f, 0, 50.0f},
                      AbsoluteCase{"rolled by 1", {1, 0, 0}, {1, 0, 0}, 1.0f, 0, 50.0f - 100.0f / kPi},
                      AbsoluteCase{"beyond the top, clamped", {1, 0, 0}, {1, 0, 0}, -2.0f, 0, 100.0f},
                      AbsoluteCase{
                          "beyond the top, unclamped", {1, 0, 0}, {1, 0, 0}, -2.0f, 1, 50.0f + 200.0f / kPi},
                      AbsoluteCase{"beyond the bottom", {1, 0, 0}, {1, 0, 0}, 2.0f, 0, 0.0f},
                      AbsoluteCase{"pitched", {0, 1, 0}, {0, 1, 0}, -0.5f, 0, 50.0f + 50.0f / kPi},
                      AbsoluteCase{"yawed", {0, 0, 1}, {0, 0, 1}, 0.75f, 0, 50.0f - 75.0f / kPi},
                      AbsoluteCase{"roll ignored by the z axis", {0, 0, 1}, {1, 0, 0}, 1.0f, 0, 50.0f},
                      AbsoluteCase{"oblique axis gives 0", {0.6f, 0.8f, 0}, {1, 0, 0}, 1.0f, 0, 50.0f}));

TEST(BodyFrameAbsolute, MeasuresTheReferenceTurnedAboutTheAxis)
{
    LinearGesture module;
    Config config;
    config.frame(VNX_LINEAR_GESTURE_BODY_FRAME).axis(0, 0, 1).reference(1, 0, 0).identityMap(-3, 3);
    start(module, config);
    FusionSample sample;
    for (float turn : {0.5f, -1.0f, 2.5f, 0.0f}) {
        sample.rotated(turn, 0, 0, 1);
        EXPECT_NEAR(slider(module, sample), -turn, 1e-4f) << "turn " << turn;
    }
}

TEST(RelativeUserFrame, FirstSamplePrimesAndIncrementsWrapAtTheSeam)
{
    LinearGesture module;
    start(module, Config().increments(VNX_LINEAR_GESTURE_RELATIVE).identityMap(-10, 10));
    FusionSample sample;
    EXPECT_EQ(slider(module, sample.rotated(-3.1f, 1, 0, 0)), 0.0f) << "angle 3.1 only primes";
    EXPECT_NEAR(slider(module, sample.rotated(3.1f, 1, 0, 0)), 0.0831855f, 1e-5f) << "3.1 to -3.1";
    EXPECT_NEAR(slider(module, sample.rotated(-3.1f, 1, 0, 0)), 0.0f, 1e-5f) << "and back";
    EXPECT_NEAR(slider(module, sample.rotated(-2.6f, 1, 0, 0)), -0.5f, 1e-5f);
}

TEST(RelativeUserFrame, RotationStartsAtTheInitialValueOnlyUntilAnInactiveSample)
{
    Config config;
    config.increments(VNX_LINEAR_GESTURE_RELATIVE);
    config.record.initialSlider = 75.0f;
    FusionSample sample;

    LinearGesture activatedAtOnce;
    start(activatedAtOnce, config);
    EXPECT_FLOAT_EQ(activatedAtOnce.rotation(), kPi / 4);
    EXPECT_FLOAT_EQ(slider(activatedAtOnce, sample), 75.0f);

    LinearGesture idleFirst;
    ASSERT_EQ(idleFirst.setConfig(&config.record.config), VNX_STATUS_SUCCESS);
    EXPECT_FLOAT_EQ(idleFirst.rotation(), kPi / 4);
    EXPECT_EQ(slider(idleFirst, sample), 0.0f) << "inactive: the held value";
    EXPECT_FLOAT_EQ(idleFirst.rotation(), -kPi / 2) << "rotation follows the held value";
    command(idleFirst, VNX_LINEAR_GESTURE_COMMAND_ACTIVATE);
    EXPECT_EQ(slider(idleFirst, sample), 0.0f);
}

TEST(RelativeBodyFrame, IntegratesTheRateAboutTheAxis)
{
    LinearGesture module;
    start(module, Config()
                      .frame(VNX_LINEAR_GESTURE_BODY_FRAME)
                      .increments(VNX_LINEAR_GESTURE_RELATIVE)
                      .axis(0, 1, 0)
                      .identityMap(-10, 10));
    FusionSample sample;
    sample.setRate(5.0f, 2.0f, -7.0f); // only y counts
    float expected = 0.0f;
    for (int i = 0; i < 50; ++i) {
        expected += 2.0f * kPeriodUs * 1e-6f;
        EXPECT_NEAR(slider(module, sample), expected, 1e-5f);
    }
    EXPECT_NEAR(expected, 1.0f, 1e-5f);
}

TEST(RelativeBodyFrame, BallisticsCurveTwoScalesEveryIncrement)
{
    vnx::PointerBallisticsCurve curve;
    curve.setToCurve(vnx::PointerBallisticsCurve::Experimental);
    EXPECT_EQ(curve.getMinimumVelocity(), 0.0f);

    LinearGesture module;
    Config config;
    config.frame(VNX_LINEAR_GESTURE_BODY_FRAME).increments(VNX_LINEAR_GESTURE_BALLISTIC).axis(0, 0, 1);
    config.record.noClamp = 1;
    config.identityMap(-1000, 1000);
    start(module, config);

    FusionSample sample;
    float expected = 0.0f;
    float unscaled = 0.0f;
    for (float rate : {0.01f, 0.5f, -3.0f, 12.0f}) {
        sample.setRate(0, 0, rate);
        const float increment = rate * kPeriodUs * 1e-6f;
        unscaled += increment;
        const float gain = curve.evaluate(kPeriodUs * 1e-6f, std::fabs(increment));
        EXPECT_GT(gain, 0.0f) << "rate " << rate;
        expected += increment * gain;
        slider(module, sample);
        EXPECT_NEAR(module.rotation(), expected, 1e-5f * std::fabs(expected) + 1e-7f) << "rate " << rate;
    }
    EXPECT_GT(std::fabs(expected - unscaled), 1e-2f) << "the gains make a difference here";
}

TEST(Activity, DeactivatedModuleRepeatsTheLastValue)
{
    LinearGesture module;
    start(module, Config());
    FusionSample sample;
    sample.output.sampleNumber = 7;
    const float active = slider(module, sample.rotated(0.3f, 1, 0, 0));
    command(module, VNX_LINEAR_GESTURE_COMMAND_DEACTIVATE);
    for (float turn : {1.0f, -1.0f}) {
        sample.output.sampleNumber++;
        const Processed processed = process(module, sample.rotated(turn, 1, 0, 0));
        EXPECT_EQ(processed.status, VNX_STATUS_SUCCESS);
        EXPECT_EQ(processed.output.slider, active);
        EXPECT_EQ(processed.output.active, 0);
        EXPECT_EQ(processed.output.sampleNumber, sample.output.sampleNumber);
    }
}

TEST(Activity, RefusedFrameModeStillWritesSampleAndFlag)
{
    LinearGesture module;
    start(module, Config().frame(VNX_LINEAR_GESTURE_REFUSED_FRAME));
    FusionSample sample;
    sample.output.sampleNumber = 1234;
    Processed processed = process(module, sample);
    EXPECT_EQ(processed.status, VNX_STATUS_INVALID_CONFIG);
    EXPECT_EQ(processed.output.sampleNumber, 1234u);
    EXPECT_EQ(processed.output.active, 1);

    command(module, VNX_LINEAR_GESTURE_COMMAND_DEACTIVATE);
    processed = process(module, sample);
    EXPECT_EQ(processed.status, VNX_STATUS_SUCCESS) << "only an active module refuses";
}

TEST(Activity, IncrementModesAboveTwoHoldTheValue)
{
    LinearGesture module;
    start(module, Config());
    FusionSample sample;
    const float held = slider(module, sample.rotated(0.4f, 1, 0, 0));
    Config other;
    other.increments(3);
    module.setConfig(&other.record.config);
    EXPECT_EQ(slider(module, sample.rotated(-1.0f, 1, 0, 0)), held);
}

TEST(Robustness, AbsentQuaternionChangesNothingAndRelativeModeResumes)
{
    LinearGesture module;
    start(module, Config().increments(VNX_LINEAR_GESTURE_RELATIVE).identityMap(-10, 10));
    FusionSample sample;
    slider(module, sample.rotated(-0.1f, 1, 0, 0)); // primes with the angle 0.1
    EXPECT_NEAR(slider(module, sample.rotated(-0.2f, 1, 0, 0)), 0.1f, 1e-6f);

    FusionSample absent = sample;
    absent.format.quaternionQ = VNX_QPOINT_INVALID;
    absent.rotated(2.0f, 1, 0, 0);
    EXPECT_NEAR(slider(module, absent), 0.1f, 1e-6f);
    // Continues from the last valid angle 0.2.
    EXPECT_NEAR(slider(module, sample.rotated(-0.4f, 1, 0, 0)), 0.3f, 1e-6f);
}

TEST(Robustness, AbsentRateGivesNoIncrement)
{
    LinearGesture module;
    start(module, Config()
                      .frame(VNX_LINEAR_GESTURE_BODY_FRAME)
                      .increments(VNX_LINEAR_GESTURE_RELATIVE)
                      .identityMap(-10, 10));
    FusionSample sample;
    sample.setRate(3.0f, 0, 0);
    sample.format.angularVelocityQ = VNX_QPOINT_INVALID;
    sample.format.quaternionQ = VNX_QPOINT_INVALID;
    EXPECT_EQ(slider(module, sample), 0.0f);
    sample.format.angularVelocityQ = VNX_QPOINT_FLOAT;
    EXPECT_NEAR(slider(module, sample), 0.03f, 1e-6f);
}

// Around 90 degrees of pitch the asin argument 2(wb - ac) of a normalised
// quaternion rounds to just above 1 for some orientations.
TEST(Robustness, PitchSweepThroughTheVerticalStaysFinite)
{
    LinearGesture module;
    Config config;
    config.axis(0, 1, 0);
    start(module, config);
    FusionSample sample;
    for (int i = -2000; i <= 2000; ++i) {
        const float pitch = -kPi / 2 + static_cast<float>(i) * 1e-7f;
        const float tilt = static_cast<float>(i % 7) * 1e-4f;
        sample.setQuaternion(std::cos(pitch / 2), tilt, std::sin(pitch / 2), -tilt);
        const float value = slider(module, sample);
        ASSERT_TRUE(std::isfinite(value)) << "pitch " << pitch << " tilt " << tilt;
        EXPECT_GE(value, 99.0f);
    }
}

struct DegenerateCase
{
    const char* what;
    Config config;
};

void PrintTo(const DegenerateCase& c, std::ostream* os)
{
    *os << c.what;
}

class DegenerateConfig : public ::testing::TestWithParam<DegenerateCase>
{
};

TEST_P(DegenerateConfig, GivesFiniteValues)
{
    LinearGesture module;
    start(module, GetParam().config);
    EXPECT_TRUE(std::isfinite(module.rotation()));
    FusionSample sample;
    sample.setRate(1.0f, 1.0f, 1.0f);
    for (float turn : {0.0f, 0.3f, -2.0f, 3.0f}) {
        sample.rotated(turn, 0.6f, 0.0f, 0.8f);
        const float value = slider(module, sample);
        EXPECT_TRUE(std::isfinite(value)) << "turn " << turn;
        EXPECT_TRUE(std::isfinite(module.rotation())) << "turn " << turn;
    }
}

Config defaultConfig()
{
    Config config;
    vnx_LinearGesture_initConfig(&config.record);
    return config;
}

Config zeroFrame(uint32_t increments)
{
    Config config;
    config.frame(VNX_LINEAR_GESTURE_BODY_FRAME).increments(increments).axis(0, 0, 0).reference(0, 0, 0);
    return config;
}

Config parallelReference()
{
    Config config;
    config.frame(VNX_LINEAR_GESTURE_BODY_FRAME).axis(0, 0, 1).reference(0, 0, 2);
    return config;
}

Config emptyRanges(uint32_t increments)
{
    Config config;
    config.increments(increments).identityMap(1, 1);
    return config;
}

INSTANTIATE_TEST_SUITE_P(Configs, DegenerateConfig,
                         ::testing::Values(DegenerateCase{"default", defaultConfig()},
                                           DegenerateCase{"zero frame absolute", zeroFrame(0)},
                                           DegenerateCase{"zero frame relative", zeroFrame(1)},
                                           DegenerateCase{"reference along the axis", parallelReference()},
                                           DegenerateCase{"empty ranges absolute", emptyRanges(0)},
                                           DegenerateCase{"empty ranges relative", emptyRanges(1)}));

// Without an axis or reference there is no frame to measure in: the angle is 0.
TEST(Robustness, BodyFrameAngleWithoutFrameIsZero)
{
    LinearGesture module;
    start(module, zeroFrame(VNX_LINEAR_GESTURE_ABSOLUTE));
    FusionSample sample;
    for (float turn : {0.0f, 0.7f, -2.0f}) {
        EXPECT_EQ(slider(module, sample.rotated(turn, 0.6f, 0.0f, 0.8f)), 50.0f) << "turn " << turn;
    }
}

TEST(Robustness, ZeroWidthRangesMapToTheTargetMinimum)
{
    LinearGesture module;
    Config config = emptyRanges(VNX_LINEAR_GESTURE_ABSOLUTE);
    config.record.sliderMin = 4.0f;
    config.record.sliderMax = 9.0f;
    ASSERT_EQ(module.setConfig(&config.record.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.mapRotationToSlider(0.5f), 4.0f);
    EXPECT_EQ(module.mapSliderToRotation(6.0f), 1.0f) << "a wide slider onto an empty rotation range";
}

TEST(Lifecycle, InitResetsConfigAndActivityButKeepsTheRotation)
{
    LinearGesture module;
    Config config = Config().increments(VNX_LINEAR_GESTURE_RELATIVE);
    config.record.initialSlider = 80.0f;
    start(module, config);
    FusionSample sample;
    slider(module, sample);
    const float rotation = module.rotation();
    int offset = 0;
    ASSERT_EQ(module.init(nullptr, offset, nullptr, offset), VNX_STATUS_SUCCESS);
    EXPECT_FALSE(module.isActive());
    EXPECT_EQ(module.heldValue(), 0.0f);
    EXPECT_EQ(module.rotation(), rotation);
    vnx_LinearGesture_Config_s kept;
    vnx_LinearGesture_initConfig(&kept);
    kept.incrementMode = 9;
    ASSERT_EQ(module.getConfig(&kept.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(kept.incrementMode, 0u);
    EXPECT_EQ(kept.sliderMax, 0.0f);
}

} // namespace
