// The reports the host's messages encode to, byte for byte: packed flags and
// bit fields, little-endian words, bytes written as zero, bytes left alone.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "linkCodec/zephraMessage.h"

namespace {

constexpr uint8_t kCallerByte = 0xEE;

struct EncodeCase
{
    std::string name;
    uint32_t type;
    uint8_t version;
    std::function<void(zephra_message&)> fill;
    std::vector<uint8_t> expected; ///< the whole report; the buffer starts as kCallerByte
};

zephra_message messageOf(uint32_t type, uint8_t version, uint8_t destination)
{
    zephra_message m;
    std::memset(&m, 0x5C, sizeof m); // bytes no body map reads must not show up
    m.messageType = type;
    m.protocolVersion = version;
    m.destination = destination;
    m.source = 0x33;
    return m;
}

// One message encoded in both versions, to show what each sends of it.
void fillParameterRequest(zephra_message& m)
{
    m.body.ParameterRequest.command = 0x44;
    m.body.ParameterRequest.subCommand = 0x45;
    const uint8_t value[4] = {0x46, 0x47, 0x48, 0x49};
    std::memcpy(m.body.ParameterRequest.value, value, 4);
}

void fillStatisticsRequest(zephra_message& m)
{
    m.body.StatisticsRequest.selector = 1;
    m.body.StatisticsRequest.statistic = 2;
}

std::vector<EncodeCase> encodeCases()
{
    const uint8_t E = kCallerByte;
    return {
        {"FRSReadRequest",
         zephra_typeFRSReadRequest,
         2,
         [](zephra_message& m) {
             m.destination = 2;
             m.body.FRSReadRequest.wordOffset = 0x1234;
             m.body.FRSReadRequest.recordType = 0xABCD;
             m.body.FRSReadRequest.wordCount = 0;
         },
         {0x07, 0x0C, 0x02, 0x00, 0x08, 0x00, 0x34, 0x12, 0xCD, 0xAB, 0x00, 0x00}},
        {"FRSWriteRequest",
         zephra_typeFRSWriteRequest,
         2,
         [](zephra_message& m) {
             m.destination = 1;
             m.body.FRSWriteRequest.recordLength = 0x0102;
             m.body.FRSWriteRequest.recordType = 0x7979;
         },
         {0x07, 0x0A, 0x01, 0x00, 0x06, 0x00, 0x02, 0x01, 0x79, 0x79}},
        {"FRSWriteData sends the word little-endian and not bytes 10-11",
         zephra_typeFRSWriteData,
         2,
         [](zephra_message& m) {
             m.destination = 4;
             m.body.FRSWriteData.wordOffset = 0x0010;
             m.body.FRSWriteData.reserved10[0] = 0x99;
             m.body.FRSWriteData.reserved10[1] = 0x98;
             m.body.FRSWriteData.data = 0xA1B2C3D4;
         },
         {0x07, 0x0C, 0x04, 0x00, 0x07, 0x00, 0x10, 0x00, 0xD4, 0xC3, 0xB2, 0xA1}},
        {"FRSHandheldWriteData v1",
         zephra_typeFRSHandheldWriteData,
         1,
         [](zephra_message& m) {
             m.body.FRSHandheldWriteData.wordOffset = 0x0203;
             m.body.FRSHandheldWriteData.data = 0x04050607;
         },
         {0x07, 63, 0x03, 0x02, 0x07, 0x06, 0x05, 0x04}},
        {"DataModeRequest v2 all flags",
         zephra_typeDataModeRequest,
         2,
         [](zephra_message& m) { std::memset(m.body.DataModeRequest.modeFlags, 1, 8); },
         {0x07, 0x06, 0x00, 0x00, 0x04, 0xFF}},
        {"DataModeRequest v1 all flags",
         zephra_typeDataModeRequest,
         1,
         [](zephra_message& m) { std::memset(m.body.DataModeRequest.modeFlags, 1, 8); },
         {0x07, 73, 0xBF}},
        {"DataModeRequest reads only bit 0 of each flag",
         zephra_typeDataModeRequest,
         2,
         [](zephra_message& m) {
             std::memset(m.body.DataModeRequest.modeFlags, 0xFE, 8);
             m.body.DataModeRequest.modeFlags[6] = 3;
         },
         {0x07, 0x06, 0x00, 0x00, 0x04, 0x80}},
        {"DataModeRequest flag 7 is wire bit 6",
         zephra_typeDataModeRequest,
         2,
         [](zephra_message& m) {
             std::memset(m.body.DataModeRequest.modeFlags, 0, 8);
             m.body.DataModeRequest.modeFlags[7] = 1;
             m.body.DataModeRequest.modeFlags[2] = 1;
         },
         {0x07, 0x06, 0x00, 0x00, 0x04, 0x44}},
        {"DataModeControlV2Request keeps three bits of the mode",
         zephra_typeDataModeControlV2Request,
         2,
         [](zephra_message& m) {
             zephra_DataModeControlV2Request& b = m.body.DataModeControlV2Request;
             b.enableFlag = 3;
             b.mode = 0xFFFFFFFD;
             b.modeFlag = 0xFE;
             b.settings[0] = 0x11;
             b.settings[1] = 0x22;
             const uint8_t channels[8] = {1, 0, 3, 2, 1, 0, 1, 0};
             std::memcpy(b.channelFlags, channels, 8);
         },
         {0x07, 0x09, 0x00, 0x00, 20, 0x0B, 0x11, 0x22, 0x55}},
        {"SensorDriverRequest in range",
         zephra_typeSensorDriverRequest,
         2,
         [](zephra_message& m) {
             for (uint32_t i = 0; i < 7; ++i) {
                 m.body.SensorDriverRequest.settings[2 * i] = i + 1;
                 m.body.SensorDriverRequest.settings[2 * i + 1] = 15 - i;
             }
         },
         {0x07, 0x0C, 0x00, 0x00, 72, 0xF1, 0xE2, 0xD3, 0xC4, 0xB5, 0xA6, 0x97}},
        {"SensorDriverRequest sends values above 15 unmasked",
         zephra_typeSensorDriverRequest,
         2,
         [](zephra_message& m) {
             std::memset(m.body.SensorDriverRequest.settings, 0, sizeof m.body.SensorDriverRequest.settings);
             m.body.SensorDriverRequest.settings[0] = 0x1F; // spills into the high nibble
             m.body.SensorDriverRequest.settings[3] = 0x1F; // loses its upper bit
             m.body.SensorDriverRequest.settings[4] = 0x21;
             m.body.SensorDriverRequest.settings[5] = 0x01;
         },
         {0x07, 0x0C, 0x00, 0x00, 72, 0x1F, 0xF0, 0x31, 0, 0, 0, 0}},
        {"SensorPeriodRequest writes report byte 7 as zero",
         zephra_typeSensorPeriodRequest,
         2,
         [](zephra_message& m) {
             m.body.SensorPeriodRequest.flagA = 1;
             m.body.SensorPeriodRequest.flagB = 1;
             m.body.SensorPeriodRequest.sensor = 9;
             m.body.SensorPeriodRequest.sensorPeriod = 0x01020304;
         },
         {0x07, 0x0C, 0x00, 0x00, 22, 0x03, 0x09, 0x00, 0x04, 0x03, 0x02, 0x01}},
        {"ReorientationRequest flags are wire bits 6 and 7",
         zephra_typeReorientationRequest,
         2,
         [](zephra_message& m) {
             m.body.ReorientationRequest.flagA = 1;
             m.body.ReorientationRequest.flagB = 0;
             const uint8_t payload[4] = {1, 2, 3, 4};
             std::memcpy(m.body.ReorientationRequest.payload, payload, 4);
         },
         {0x07, 0x0A, 0x00, 0x00, 21, 0x40, 1, 2, 3, 4}},
        {"FTAStatusRequest v1 flag 3 is wire bit 7",
         zephra_typeFTAStatusRequest,
         1,
         [](zephra_message& m) {
             const uint8_t flags[4] = {1, 0, 1, 1};
             std::memcpy(m.body.FTAStatusRequest.flags, flags, 4);
         },
         {0x07, 21, 0x85}},
        {"ParameterRequest v2 does not send byte 9",
         zephra_typeParameterRequest,
         2,
         fillParameterRequest,
         {0x07, 0x0A, 0x00, 0x00, 68, 0x44, 0x46, 0x47, 0x48, 0x49}},
        {"ParameterRequest v1 sends bytes 8-13",
         zephra_typeParameterRequest,
         1,
         fillParameterRequest,
         {0x07, 70, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49}},
        {"DfuCommand v2 zeroes report bytes 5-7",
         zephra_typeDfuCommand,
         2,
         [](zephra_message& m) {
             const uint8_t command[4] = {0xD0, 0xD1, 0xD2, 0xD3};
             std::memcpy(m.body.DfuCommand.command, command, 4);
         },
         {0x07, 0x0C, 0x00, 0x00, 71, 0, 0, 0, 0xD0, 0xD1, 0xD2, 0xD3}},
        {"StatisticsRequest v2 sends the statistic only",
         zephra_typeStatisticsRequest,
         2,
         fillStatisticsRequest,
         {0x07, 0x06, 0x00, 0x00, 69, 0x02}},
        {"StatisticsRequest v1",
         zephra_typeStatisticsRequest,
         1,
         fillStatisticsRequest,
         {0x07, 22, 0x01, 0x02}},
        {"FrequencyFixRequest v2 sends five settings",
         zephra_typeFrequencyFixRequest,
         2,
         [](zephra_message& m) {
             const uint8_t settings[6] = {1, 2, 3, 4, 5, 6};
             std::memcpy(m.body.FrequencyFixRequest.settings, settings, 6);
         },
         {0x07, 0x0A, 0x00, 0x00, 11, 1, 2, 3, 4, 5}},
        {"ProductIDRequest v2",
         zephra_typeProductIDRequest,
         2,
         [](zephra_message& m) { m.body.ProductIDRequest.selector = 0x21; },
         {0x07, 0x0B, 0x00, 0x00, 9, 0x21, E, E, E, E, E}},
        {"ProductIDRequest v1 has no payload",
         zephra_typeProductIDRequest,
         1,
         [](zephra_message&) {},
         {0x07, 32, E, E, E, E, E, E}},
        {"TxDisableMessage v1 is two bytes",
         zephra_typeTxDisableMessage,
         1,
         [](zephra_message&) {},
         {0x07, 80}},
        {"BatteryLevelRequest v1 is report 9",
         zephra_typeBatteryLevelRequest,
         1,
         [](zephra_message&) {},
         {0x09, E}},
        {"DataMotionControl v1 is report 34",
         zephra_typeDataMotionControl,
         1,
         [](zephra_message& m) {
             const uint8_t flags[5] = {1, 1, 0, 0, 1};
             std::memcpy(m.body.DataMotionControl.flags, flags, 5);
         },
         {34, 0x13}},
        {"USBBootCommand v0",
         zephra_typeUSBBootCommand,
         0,
         [](zephra_message& m) { m.body.USBBootCommand.command = 0x5E; },
         {0x01, 0x5E}},
        {"DongleResetToBoot v1",
         zephra_typeDongleResetToBoot,
         1,
         [](zephra_message& m) {
             const uint8_t payload[4] = {9, 8, 7, 6};
             std::memcpy(m.body.DongleResetToBoot.payload, payload, 4);
         },
         {0x07, 20, 9, 8, 7, 6}},
    };
}

TEST(LinkCodecBodies, HostMessagesEncodeByteForByte)
{
    for (const EncodeCase& c : encodeCases()) {
        SCOPED_TRACE(c.name);
        zephra_message m = messageOf(c.type, c.version, 0);
        c.fill(m);
        std::vector<uint8_t> buffer(c.expected.size(), kCallerByte);
        ASSERT_EQ(zephra_encode_message(&m, buffer.data(), static_cast<int>(buffer.size())),
                  static_cast<int>(c.expected.size()));
        EXPECT_EQ(buffer, c.expected);
    }
}

TEST(LinkCodecBodies, UsbBootDataIsSeventyBytesOfVersionZero)
{
    zephra_message m = messageOf(zephra_typeUSBBootData, 0, 0);
    for (int i = 0; i < 69; ++i) {
        m.body.USBBootData.data[i] = static_cast<uint8_t>(i + 1);
    }
    std::vector<uint8_t> buffer(70, kCallerByte);
    ASSERT_EQ(zephra_encodeUSBBootData(&m, buffer.data(), 70), 70);
    EXPECT_EQ(buffer[0], 2);
    for (int i = 1; i < 70; ++i) {
        EXPECT_EQ(buffer[static_cast<size_t>(i)], i);
    }
    EXPECT_EQ(zephra_encodeUSBBootData(&m, buffer.data(), 69), -24);
    m.protocolVersion = 1;
    EXPECT_EQ(zephra_encodeUSBBootData(&m, buffer.data(), 70), -27);
}

} // namespace
