#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "coreEntry/coreEntry.h"
#include "deviceSupport/DeviceSupport.h"
#include "extCommon/extStatusCode.h"
#include "sdaCodec/ZephraSdaCodec.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "support/steppedClock.h"

namespace {

using vnx::testsupport::SteppedClock;

constexpr uint64_t kMs = 1'000'000ull;

zephra_message messageOf(uint32_t type)
{
    zephra_message message;
    std::memset(&message, 0, sizeof message);
    message.messageType = type;
    message.protocolVersion = 2;
    return message;
}

zephra_message sda(uint16_t counter, uint8_t buttons = 0, int8_t wheel = 0)
{
    zephra_message message = messageOf(zephra_typeSDA);
    message.body.SDA.sampleCounterV2 = counter;
    message.body.SDA.statusBytes[0] = buttons;
    message.body.SDA.statusBytes[1] = static_cast<uint8_t>(wheel);
    return message;
}

zephra_message dceOutput(uint8_t counter, uint8_t status)
{
    zephra_message message = messageOf(zephra_typeDceOutput);
    message.body.DceOutput.sampleCounter = counter;
    message.body.DceOutput.status = status;
    return message;
}

// What the store holds after a decode.
struct Stored
{
    unsigned long n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;

    template <class T> const T& output(unsigned long i) const
    {
        return *reinterpret_cast<const T*>(outputs[i]);
    }
    template <class T> const T& format(unsigned long i) const
    {
        return *reinterpret_cast<const T*>(formats[i]);
    }
    std::vector<uint8_t> types() const
    {
        std::vector<uint8_t> found;
        for (unsigned long i = 0; i < n; ++i) {
            found.push_back(outputs[i]->header.type);
        }
        return found;
    }
};

class SdaCodecTest : public ::testing::Test
{
  protected:
    // The store makes its records through the record factories.
    static void SetUpTestSuite() { vnx_core_initialize(); }
    static void TearDownTestSuite() { vnx_core_finalize(); }

    int decode(const zephra_message& message, int mode = 2)
    {
        vnx::InputStore* store = nullptr;
        const int result = codec_.decode(message, mode, store);
        EXPECT_NE(store, nullptr);
        store_ = store;
        return result;
    }
    Stored stored()
    {
        Stored s;
        store_->peek(s.n, s.outputs, s.formats);
        return s;
    }
    uint32_t sampleNumber()
    {
        Stored s = stored();
        return s.n > 0 ? s.format<vnx_DeviceSupport_Format_s>(0).sampleNumber : 0xDEADu;
    }

    SteppedClock clock_;
    ZephraSdaCodec codec_;
    vnx::InputStore* store_ = nullptr;
};

float fixedValue(const vnx_Number32_u& word, int8_t q)
{
    float value = 0;
    vnx_getFloat32(word, q, &value);
    return value;
}

float fixedValue(const float& field, int8_t q)
{
    vnx_Number32_u word;
    std::memcpy(&word, &field, sizeof word);
    return fixedValue(word, q);
}

TEST_F(SdaCodecTest, SixteenBitCountersWidenByCounterAndByTime)
{
    struct Step
    {
        const char* name;
        int counterStep; // added to the previous counter, modulo 2^16
        uint64_t elapsedMs;
        uint32_t advance;
    };
    const Step steps[] = {
        {"next sample on time", 1, 8, 1},
        {"next sample with no time passed", 1, 0, 1},
        {"same counter one turn later", 0, 65536 * 8, 65536},
        {"half a turn forward", 32768, 32768 * 8, 32768},
        {"more than half a turn forward counts a turn more", 32769, (32769 + 65536) * 8ull, 32769 + 65536},
        {"a step back is a wrap", -10, 65526 * 8, 65526},
        {"the time wins over a counter far off", 1, 3000, 375},
        {"a counter within half a second of the time stands", 350, 3000, 350},
    };
    codec_.setSamplingPeriod(8000);
    uint16_t counter = 0xFFF0;
    ASSERT_EQ(decode(sda(counter)), 0);
    uint32_t previous = sampleNumber();
    EXPECT_EQ(previous, 0xFFF0u) << "the first counter is taken as it is";
    for (const Step& step : steps) {
        counter = static_cast<uint16_t>(counter + step.counterStep);
        clock_.advanceMs(step.elapsedMs);
        ASSERT_EQ(decode(sda(counter)), 0) << step.name;
        EXPECT_EQ(sampleNumber() - previous, step.advance) << step.name;
        EXPECT_EQ(codec_.getSampleBase(), sampleNumber()) << step.name;
        previous = sampleNumber();
    }
}

TEST_F(SdaCodecTest, WithoutPeriodCountersAreTakenAsTheyAre)
{
    ASSERT_EQ(decode(sda(100)), 0);
    clock_.advanceMs(3000);
    ASSERT_EQ(decode(sda(7)), 0);
    EXPECT_EQ(sampleNumber(), 7u);
}

TEST_F(SdaCodecTest, SdaGivesTwoTriplesAndButtonActivity)
{
    zephra_message report = sda(5, 0x01, 0);
    for (int i = 0; i < 6; ++i) {
        report.body.SDA.sensorWords[i] = static_cast<int16_t>(-100 * (i + 1));
    }
    report.body.SDA.sensorWord6 = 1234;
    ASSERT_EQ(decode(report), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 5}));
    const auto& first = s.output<vnx_DeviceSupport_Output_s>(0);
    const auto& second = s.output<vnx_DeviceSupport_Output_s>(1);
    EXPECT_EQ(first.sensor, 1);
    EXPECT_EQ(first.x, -100);
    EXPECT_EQ(first.z, -300);
    EXPECT_EQ(second.sensor, 2);
    EXPECT_EQ(second.y, -500);
    const auto& format = s.format<vnx_DeviceSupport_Format_s>(0);
    EXPECT_EQ(format.sampleNumber, 5u);
    EXPECT_EQ(format.temperature, 1234);
    EXPECT_EQ(std::memcmp(s.formats[0], s.formats[1], sizeof format), 0) << "both triples carry one Format";

    struct ButtonStep
    {
        uint8_t mask;
        int8_t wheel;
        uint32_t activity;
    };
    // The first report pressed button 1 (mask 1).
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(2).activity, 1u);
    const ButtonStep steps[] = {
        {0x01, 0, 0}, {0x03, 0, 1}, {0x02, 0, 2}, {0x04, 0, 3}, {0x04, 2, 4}, {0x00, -1, 2 + 8},
    };
    uint16_t counter = 6;
    for (const ButtonStep& step : steps) {
        ASSERT_EQ(decode(sda(counter++, step.mask, step.wheel)), 0);
        const auto& buttons = stored().output<vnx_ButtonActivity_Output_s>(2);
        EXPECT_EQ(buttons.activity, step.activity) << "mask " << int(step.mask);
        EXPECT_EQ(buttons.buttons, step.mask);
        EXPECT_EQ(buttons.wheel, step.wheel);
    }
}

TEST_F(SdaCodecTest, SdaCounterFollowsTheProtocolMode)
{
    zephra_message report = sda(5);
    report.body.SDA.sampleCounterV1 = 0xABCDEF01;
    ASSERT_EQ(decode(report, 1), 0);
    EXPECT_EQ(sampleNumber(), 0xABCDEF01u);
    ASSERT_EQ(decode(sda(9), 2), 0);
    EXPECT_EQ(decode(sda(10), 3), VNX_STATUS_INVALID_VERSION);
    EXPECT_EQ(sampleNumber(), 9u) << "a refused report leaves the store";
}

TEST_F(SdaCodecTest, DceOutputValueArrivesANibbleAtATime)
{
    codec_.setSamplingPeriod(8000);
    // The value 0xBEEF, low nibble first, on counters ending 0..3; the high
    // nibble of the status byte is the button mask.
    EXPECT_EQ(decode(dceOutput(0x3E, 0x0)), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    EXPECT_EQ(decode(dceOutput(0x3F, 0x0)), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    EXPECT_EQ(decode(dceOutput(0x40, 0x0F)), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    EXPECT_EQ(decode(dceOutput(0x41, 0x0E)), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    EXPECT_EQ(stored().n, 0u) << "nothing stored before the first value";
    EXPECT_EQ(decode(dceOutput(0x42, 0x0E)), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    zephra_message last = dceOutput(0x43, 0x2B);
    last.body.DceOutput.flags[1] = 1;
    last.body.DceOutput.sensorWords[0] = 11;
    last.body.DceOutput.extraWords[2] = 0xFFFE;
    ASSERT_EQ(decode(last), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 1, 5}));
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(0).x, 11);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).sensor, 3);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).z, -2);
    const auto& format = s.format<vnx_DeviceSupport_Format_s>(0);
    EXPECT_EQ(static_cast<uint16_t>(format.temperature), 0xBEEF);
    EXPECT_EQ(format.flags, 2u);
    const auto& buttons = s.output<vnx_ButtonActivity_Output_s>(3);
    EXPECT_EQ(buttons.activity, 2u) << "the flag bits, not derived";
    EXPECT_EQ(buttons.buttons, 2u);

    // Once a value is known every report is stored with it, while the next
    // value is collected; a gap drops the collected part.
    ASSERT_EQ(decode(dceOutput(0x44, 0x1)), 0);
    ASSERT_EQ(decode(dceOutput(0x45, 0x2)), 0);
    clock_.advanceMs(8);
    ASSERT_EQ(decode(dceOutput(0x47, 0x4)), 0);
    ASSERT_EQ(decode(dceOutput(0x48, 0x5)), 0);
    ASSERT_EQ(decode(dceOutput(0x49, 0x6)), 0);
    ASSERT_EQ(decode(dceOutput(0x4A, 0x7)), 0);
    ASSERT_EQ(decode(dceOutput(0x4B, 0x8)), 0);
    EXPECT_EQ(static_cast<uint16_t>(stored().format<vnx_DeviceSupport_Format_s>(0).temperature), 0x8765);
    EXPECT_EQ(stored().format<vnx_DeviceSupport_Format_s>(0).sampleNumber, 0x4Bu);
}

TEST_F(SdaCodecTest, DceOutV4HalvesPairOnTheirCounter)
{
    zephra_message second = messageOf(zephra_typeDceOutV4T1);
    second.body.DceOutV4T1.sampleCounter = 9;
    second.body.DceOutV4T1.sensorWords[0] = 70;
    second.body.DceOutV4T1.flags[1] = 1;  // flag bit 1
    second.body.DceOutV4T1.flags[9] = 1;  // button bit 1
    second.body.DceOutV4T1.flags[12] = 1; // beyond the button bits: not read
    second.body.DceOutV4T1.trailingByte = 0xFF;
    zephra_message first = messageOf(zephra_typeDceOutV4T0);
    first.body.DceOutV4T0.sampleCounter = 9;
    for (int i = 0; i < 7; ++i) {
        first.body.DceOutV4T0.sensorWords[i] = static_cast<int16_t>(10 * (i + 1));
    }

    EXPECT_EQ(decode(second), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    ASSERT_EQ(decode(first), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 1, 5}));
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(0).x, 10);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(1).z, 60);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).x, 70);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).temperature, 70);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).flags, 2u);
    const auto& buttons = s.output<vnx_ButtonActivity_Output_s>(3);
    EXPECT_EQ(buttons.activity, 2u);
    EXPECT_EQ(buttons.buttons, 2u);
    EXPECT_EQ(buttons.wheel, -1);
    EXPECT_EQ(codec_.getSampleBase(), 9u);

    first.body.DceOutV4T0.sampleCounter = 10;
    EXPECT_EQ(decode(first), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    first.body.DceOutV4T0.sampleCounter = 11;
    EXPECT_EQ(decode(first), VNX_STATUS_WARNING_DECODE_INCOMPLETE);
    EXPECT_EQ(stored().output<vnx_DeviceSupport_Output_s>(2).x, 70) << "the store keeps the last sample";
}

TEST_F(SdaCodecTest, WiderDceReportsMapTheirFields)
{
    zephra_message v2 = messageOf(zephra_typeDceOutV2);
    v2.body.DceOutV2.sampleCounter = 0x12345678;
    for (int i = 0; i < 10; ++i) {
        v2.body.DceOutV2.sensorWords[i] = static_cast<int16_t>(i + 1);
    }
    v2.body.DceOutV2.status = 0x21;
    v2.body.DceOutV2.flags[7] = 1;
    v2.body.DceOutV2.trailingByte = 3;
    ASSERT_EQ(decode(v2), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 1, 5}));
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).x, 7);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).z, 9);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).sampleNumber, 0x12345678u);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).temperature, 10);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).flags, 0x21u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(3).activity, 0x21u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(3).buttons, 0x80u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(3).wheel, 3);

    zephra_message v3 = messageOf(zephra_typeDceOutV3);
    v3.body.DceOutV3.sampleCounter = 0x77;
    v3.body.DceOutV3.flags[0] = 1; // button bit 0
    v3.body.DceOutV3.flags[2] = 1; // button bit 2
    v3.body.DceOutV3.flags[5] = 1; // flag bit 1
    for (int i = 0; i < 7; ++i) {
        v3.body.DceOutV3.sensorWords[i] = static_cast<int16_t>(-(i + 1));
    }
    ASSERT_EQ(decode(v3), 0);
    s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 5}));
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).sampleNumber, 0x77u)
        << "the counter byte alone: the button flags beside it stay out of the sample number";
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(1).z, -6);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).temperature, -7);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).flags, 2u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(2).activity, 2u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(2).buttons, 5u);

    zephra_message super = messageOf(zephra_typeSuperSDA);
    super.body.SuperSDA.sequenceNumber = 300;
    for (int i = 0; i < 11; ++i) {
        super.body.SuperSDA.sensorWords[i] = static_cast<int16_t>(100 + i);
    }
    super.body.SuperSDA.buttons[3] = 1;
    super.body.SuperSDA.deltaWheel = -2;
    ASSERT_EQ(decode(super), 0);
    s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{1, 1, 1, 5}));
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(1).x, 103);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).x, 108) << "word 8 (message byte 38)";
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).z, 110);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).temperature, 106);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).sampleNumber, 300u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(3).buttons, 8u);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(3).activity, 1u + 8u);
}

TEST_F(SdaCodecTest, BodyFrameGivesInterpretedMotion)
{
    zephra_message frame = messageOf(zephra_typeBodyFrame);
    frame.body.BodyFrame.sequenceNumber = 42;
    frame.body.BodyFrame.linearAcceleration[0] = 9810;
    frame.body.BodyFrame.linearAcceleration[2] = -500;
    frame.body.BodyFrame.angularVelocity[0] = 100;
    frame.body.BodyFrame.angularVelocity[1] = 100;
    frame.body.BodyFrame.angularVelocity[2] = 200;
    frame.body.BodyFrame.buttons[0] = 1;
    ASSERT_EQ(decode(frame), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{2, 5}));
    const auto& output = s.output<vnx_SensorInterpretation_Output_s>(0);
    const auto& format = s.format<vnx_SensorInterpretation_Format_s>(0);
    EXPECT_EQ(output.sampleNumber, 42u);
    EXPECT_EQ(format.accValueFormat, 26);
    EXPECT_EQ(format.rateValueFormat, 26);
    EXPECT_NEAR(fixedValue(output.acceleration[0], 26), 9.81f, 1e-5f);
    EXPECT_NEAR(fixedValue(output.acceleration[2], 26), -0.5f, 1e-5f);
    EXPECT_NEAR(fixedValue(output.angularVelocity[2], 26), 0.2f, 1e-5f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(format.accNoise[i], 0.01f);
        EXPECT_EQ(format.rateVariance[i], 0.01f);
    }
    EXPECT_EQ(output.sampleDelta, 0u) << "left as initialised";
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(1).buttons, 1u);

    struct RateCase
    {
        int16_t y, z;
        int8_t deltaX;
        bool zeroed;
    };
    // 57 601 = 240^2 + 1: from there on a still pointer means no rotation.
    const RateCase cases[] = {
        {240, 0, 0, false}, {240, 1, 0, true}, {0, -241, 0, true}, {170, 170, 0, true}, {300, 0, 1, false},
    };
    for (const RateCase& c : cases) {
        frame.body.BodyFrame.angularVelocity[1] = c.y;
        frame.body.BodyFrame.angularVelocity[2] = c.z;
        frame.body.BodyFrame.deltaX = c.deltaX;
        ASSERT_EQ(decode(frame), 0);
        const auto& rates = stored().output<vnx_SensorInterpretation_Output_s>(0).angularVelocity;
        EXPECT_EQ(fixedValue(rates[0], 26) == 0.0f, c.zeroed) << c.y << ", " << c.z;
    }
}

TEST_F(SdaCodecTest, BodyUserFrameGivesFusedMotionWithTheQuaternionWFirst)
{
    zephra_message frame = messageOf(zephra_typeBodyUserFrame);
    frame.body.BodyUserFrame.sequenceNumber = 7;
    frame.body.BodyUserFrame.linearAcceleration[1] = 512;
    frame.body.BodyUserFrame.angularVelocity[0] = -1024;
    frame.body.BodyUserFrame.thirdTriple[2] = 250;
    frame.body.BodyUserFrame.orientation[0] = 8192;  // x
    frame.body.BodyUserFrame.orientation[3] = 16384; // w
    ASSERT_EQ(decode(frame), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{3, 5}));
    const auto& output = s.output<vnx_SensorFusion_Output_s>(0);
    const auto& format = s.format<vnx_SensorFusion_Format_s>(0);
    EXPECT_EQ(format.accelerationQ, 26);
    EXPECT_EQ(format.angularVelocityQ, 26);
    EXPECT_EQ(format.magneticFieldQ, 14);
    EXPECT_EQ(format.quaternionQ, 30);
    EXPECT_EQ(format.linearAccelerationQ, VNX_QPOINT_INVALID);
    EXPECT_EQ(format.reservedGroupQ, VNX_QPOINT_INVALID);
    EXPECT_FLOAT_EQ(fixedValue(output.acceleration[1], 26), 2.0f);
    EXPECT_FLOAT_EQ(fixedValue(output.angularVelocity[0], 26), -1.0f);
    EXPECT_FLOAT_EQ(fixedValue(output.magneticField[2], 14), 2.5f);
    EXPECT_FLOAT_EQ(fixedValue(output.quaternion[0], 30), 1.0f);
    EXPECT_FLOAT_EQ(fixedValue(output.quaternion[1], 30), 0.5f);
    EXPECT_EQ(output.sampleNumber, 7u);
}

TEST_F(SdaCodecTest, KinemoraOutputFormatsZeroAndTwo)
{
    zephra_message report = messageOf(zephra_typeKinemoraOutput);
    report.body.KinemoraOutput.formatSelect = 1;
    EXPECT_EQ(decode(report), VNX_STATUS_INVALID_MESSAGE);

    // Format 0: the skipped block, the angular velocity and the quaternion.
    report.body.KinemoraOutput.formatSelect = 0;
    report.body.KinemoraOutput.sampleCounter = 500;
    report.body.KinemoraOutput.contentFlags[0] = 1;
    report.body.KinemoraOutput.contentFlags[3] = 1;
    report.body.KinemoraOutput.contentFlags[6] = 1;
    const int16_t words[] = {99, 99, 99, 3, -4, 5, 16384, 0, 0, -16384};
    std::memcpy(report.body.KinemoraOutput.payload, words, sizeof words);
    ASSERT_EQ(decode(report), 0);
    Stored s = stored();
    ASSERT_EQ(s.types(), (std::vector<uint8_t>{3, 5}));
    const auto& output = s.output<vnx_SensorFusion_Output_s>(0);
    const auto& format = s.format<vnx_SensorFusion_Format_s>(0);
    EXPECT_EQ(output.sampleNumber, 500u);
    EXPECT_EQ(format.angularVelocityQ, 26);
    EXPECT_EQ(output.angularVelocity[1].fixed, -4);
    EXPECT_EQ(format.quaternionQ, 14);
    EXPECT_EQ(output.quaternion[0].fixed, 16384);
    EXPECT_EQ(output.quaternion[3].fixed, -16384);
    EXPECT_EQ(format.accelerationQ, VNX_QPOINT_INVALID);
    EXPECT_EQ(format.magneticFieldQ, VNX_QPOINT_INVALID);
    EXPECT_EQ(s.output<vnx_ButtonActivity_Output_s>(1).activity, VNX_BUTTON_ACTIVITY_DERIVE);

    // Format 2: a first id above 6 ends the list at once.
    report = messageOf(zephra_typeKinemoraOutput);
    report.body.KinemoraOutput.formatSelect = 2;
    report.body.KinemoraOutput.payload[0] = 7;
    ASSERT_EQ(decode(report), 0);
    s = stored();
    ASSERT_EQ(s.n, 11u);
    for (unsigned long i = 0; i < s.n; ++i) {
        EXPECT_EQ(s.outputs[i]->header.type, 1);
        EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(i).sensor, 0);
        EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(i).x, 0);
    }
}

TEST_F(SdaCodecTest, KinemoraFormatTwoStopsAtAnEntryThatDoesNotFit)
{
    zephra_message report = messageOf(zephra_typeKinemoraOutput);
    report.body.KinemoraOutput.formatSelect = 2;
    report.body.KinemoraOutput.sampleCounter = 10;
    uint8_t* payload = report.body.KinemoraOutput.payload;
    // Ten single-value entries of id 6 fill 40 bytes; then an id 0 entry of
    // 8 bytes would run past the 44 payload bytes.
    for (int e = 0; e < 10; ++e) {
        payload[4 * e] = 6;
        payload[4 * e + 1] = static_cast<uint8_t>(e);
        payload[4 * e + 2] = static_cast<uint8_t>(e + 1);
    }
    payload[40] = 0;
    payload[41] = 1;
    payload[42] = 0x55;
    ASSERT_EQ(decode(report), 0);
    Stored s = stored();
    ASSERT_EQ(s.n, 11u);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(9).sensor, 4);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(9).x, 10);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(10).sensor, 0)
        << "the entry that does not fit is not read";
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(10).x, 0);

    // Mixed ids: a triple of id 1 and a single value of id 4, each with its
    // own widened counter.
    std::memset(payload, 0, 44);
    const uint8_t entries[] = {1, 200, 1, 0, 2, 0, 3, 0, 4, 201, 0xFF, 0xFF, 9};
    std::memcpy(payload, entries, sizeof entries);
    report.body.KinemoraOutput.sampleCounter = 11;
    ASSERT_EQ(decode(report), 0);
    s = stored();
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(0).sensor, 2);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(0).z, 3);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(0).sampleNumber, 200u);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(1).sensor, 0);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(1).x, -1);
    EXPECT_EQ(s.format<vnx_DeviceSupport_Format_s>(1).sampleNumber, 201u);
    EXPECT_EQ(s.output<vnx_DeviceSupport_Output_s>(2).sensor, 0) << "id 9 ends the list";
}

TEST_F(SdaCodecTest, UserFrameEmptiesTheStoreAndOtherTypesAreRefused)
{
    ASSERT_EQ(decode(sda(1)), 0);
    ASSERT_EQ(decode(messageOf(zephra_typeUserFrame)), 0);
    EXPECT_EQ(stored().n, 0u);
    EXPECT_EQ(decode(messageOf(zephra_typeProductIDResponse)), VNX_STATUS_INVALID_PARAMETER);
}

} // namespace
