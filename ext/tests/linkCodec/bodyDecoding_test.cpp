// Where the wire bytes of device reports land in the decoded message: bit
// fields and flags, little-endian words, computed and unread fields, and the
// message bytes a body leaves alone.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "linkCodec/zephraMessage.h"

namespace {

constexpr uint8_t kUntouched = 0xA5;

zephra_message untouchedMessage()
{
    zephra_message m;
    std::memset(&m, kUntouched, sizeof m);
    return m;
}

/// A report of `length` bytes starting with `head`, the rest zero.
std::vector<uint8_t> report(std::initializer_list<int> head, size_t length)
{
    std::vector<uint8_t> bytes(length, 0);
    size_t i = 0;
    for (int b : head) {
        bytes.at(i++) = static_cast<uint8_t>(b);
    }
    return bytes;
}

void put16(std::vector<uint8_t>& r, size_t at, uint16_t v)
{
    r.at(at) = static_cast<uint8_t>(v);
    r.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& r, size_t at, uint32_t v)
{
    put16(r, at, static_cast<uint16_t>(v));
    put16(r, at + 2, static_cast<uint16_t>(v >> 16));
}

const uint8_t* bytesOf(const zephra_message& m)
{
    return reinterpret_cast<const uint8_t*>(&m);
}

struct DecodeCase
{
    std::string name;
    int version;
    std::vector<uint8_t> report;
    std::function<void(const zephra_message&)> check;
};

std::vector<DecodeCase> decodeCases()
{
    std::vector<DecodeCase> cases;

    {
        auto r = report({6, 22, 1, 4, 9, 0xC5, 0xB6, 0xA7}, 22);
        put32(r, 8, 0x12345678);
        put32(r, 12, 0x0A0B0C0D);
        put32(r, 16, 0xCAFEBABE);
        put16(r, 20, 0x2211);
        cases.push_back({"ProductIDResponse v2", 2, r, [](const zephra_message& m) {
                             const zephra_ProductIDResponse& b = m.body.ProductIDResponse;
                             EXPECT_EQ(b.partNumber, 0x12345678u);
                             EXPECT_EQ(b.identityWordA, 0x0A0B0C0Du);
                             EXPECT_EQ(b.identityWordB, 0xA5A5A5A5u) << "version 2 has no word B";
                             EXPECT_EQ(b.identityWord16, 0x2211);
                             EXPECT_EQ(b.identityByteA, 0xA7);
                             EXPECT_EQ(b.identityByteB, 0xB6);
                             EXPECT_EQ(b.unitId, 0xCAFEBABEu);
                             EXPECT_EQ(b.deviceClass, 5u) << "bits 0-5; bit 6 is not read";
                             EXPECT_EQ(b.classFlagA, 0);
                             EXPECT_EQ(b.classFlagB, 1);
                         }});
    }
    {
        auto r = report({8, 32}, 27);
        put32(r, 2, 0x11223344);
        put32(r, 6, 0x55667788);
        put32(r, 10, 0x99AABBCC);
        put16(r, 14, 0xDDEE);
        r[16] = 0x16;
        r[17] = 0x17;
        put32(r, 20, 0x01020304);
        r[24] = 0xC5;
        cases.push_back({"ProductIDResponse v1", 1, r, [](const zephra_message& m) {
                             const zephra_ProductIDResponse& b = m.body.ProductIDResponse;
                             EXPECT_EQ(b.partNumber, 0x11223344u);
                             EXPECT_EQ(b.identityWordA, 0x55667788u);
                             EXPECT_EQ(b.identityWordB, 0x99AABBCCu);
                             EXPECT_EQ(b.identityWord16, 0xDDEE);
                             EXPECT_EQ(b.identityByteA, 0x16);
                             EXPECT_EQ(b.identityByteB, 0x17);
                             EXPECT_EQ(b.unitId, 0x01020304u);
                             EXPECT_EQ(b.deviceClass, 0x45u) << "bits 0-6";
                             EXPECT_EQ(b.classFlagA, 1);
                             EXPECT_EQ(b.classFlagB, kUntouched);
                         }});
    }
    {
        auto r = report({8, 20, 0, 0, 22, 0x85, 0x61, 0x62}, 20);
        put32(r, 8, 0xAABBCCDD);
        put32(r, 12, 0x00C0FFEE);
        put16(r, 16, 0x1234);
        put16(r, 18, 0x5678);
        cases.push_back({"ProductIDResponseBLE", 2, r, [](const zephra_message& m) {
                             const zephra_ProductIDResponseBLE& b = m.body.ProductIDResponseBLE;
                             EXPECT_EQ(b.deviceClass, 5u);
                             EXPECT_EQ(b.classFlagA, 0);
                             EXPECT_EQ(b.classFlagB, 1);
                             EXPECT_EQ(b.identityByteA, 0x61);
                             EXPECT_EQ(b.identityByteB, 0x62);
                             EXPECT_EQ(b.partNumber, 0xAABBCCDDu);
                             EXPECT_EQ(b.unitId, 0x00C0FFEEu);
                             EXPECT_EQ(b.identityWord16, 0x1234);
                             EXPECT_EQ(b.trailingWord, 0x5678);
                         }});
    }
    {
        auto r = report({32, 0x81, 0xFF, 2, 0xFD, 0x34, 0x12, 0x77, 0x77}, 21);
        for (int i = 0; i < 6; ++i) {
            put16(r, 9 + 2 * static_cast<size_t>(i), static_cast<uint16_t>(-1000 * (i + 1)));
        }
        cases.push_back({"BodyFrame v1", 1, r, [](const zephra_message& m) {
                             const zephra_BodyFrame& b = m.body.BodyFrame;
                             const uint8_t buttons[8] = {1, 0, 0, 0, 0, 0, 0, 1};
                             EXPECT_EQ(0, std::memcmp(b.buttons, buttons, 8));
                             EXPECT_EQ(b.deltaX, -1);
                             EXPECT_EQ(b.deltaY, 2);
                             EXPECT_EQ(b.deltaWheel, -3);
                             EXPECT_EQ(b.sequenceNumber, 0x1234);
                             EXPECT_EQ(b.linearAcceleration[0], -1000);
                             EXPECT_EQ(b.linearAcceleration[2], -3000);
                             EXPECT_EQ(b.angularVelocity[0], -4000);
                             EXPECT_EQ(b.angularVelocity[2], -6000);
                         }});
    }
    {
        auto r = report({33, 22, 0, 0, 0x02, 1, 2, 3}, 22);
        put16(r, 8, 0xBEEF);
        put16(r, 10, 100);
        put16(r, 12, static_cast<uint16_t>(-200));
        put16(r, 14, 300);
        put16(r, 16, 8192);
        put16(r, 18, static_cast<uint16_t>(-8192));
        put16(r, 20, 8192);
        cases.push_back({"UserFrame v2", 2, r, [](const zephra_message& m) {
                             const zephra_UserFrame& b = m.body.UserFrame;
                             EXPECT_EQ(b.buttons[1], 1);
                             EXPECT_EQ(b.buttons[0], 0);
                             EXPECT_EQ(b.leadingWord, 0xBEEF);
                             EXPECT_EQ(b.motion[1], -200);
                             EXPECT_EQ(b.orientationX, 8192);
                             EXPECT_EQ(b.orientationY, -8192);
                             EXPECT_EQ(b.orientationZ, 8192);
                             EXPECT_EQ(b.orientationW, 8192) << "the root of 2^28 - 3 * 2^26";
                         }});
    }
    {
        auto r = report({33, 0, 4, 5, 6}, 23);
        put16(r, 5, 0x0102);
        put16(r, 15, 16000);
        put16(r, 17, -100 & 0xFFFF);
        put16(r, 21, 77);
        cases.push_back({"UserFrame v1", 1, r, [](const zephra_message& m) {
                             const zephra_UserFrame& b = m.body.UserFrame;
                             EXPECT_EQ(b.deltaWheel, 6);
                             EXPECT_EQ(b.leadingWord, 0x0102);
                             EXPECT_EQ(b.orientationW, 16000) << "read, not computed";
                             EXPECT_EQ(b.orientationX, -100);
                             EXPECT_EQ(b.orientationZ, 77);
                         }});
    }
    {
        auto r = report({36, 22, 0, 0}, 22);
        put16(r, 4, 0xFFFE);
        for (int i = 0; i < 7; ++i) {
            put16(r, 6 + 2 * static_cast<size_t>(i), static_cast<uint16_t>(i * 0x0101 + 1));
        }
        r[20] = 0x20;
        r[21] = 0x21;
        cases.push_back({"SDA v2", 2, r, [](const zephra_message& m) {
                             const zephra_SDA& b = m.body.SDA;
                             EXPECT_EQ(b.sampleCounterV2, 0xFFFE);
                             EXPECT_EQ(b.sensorWords[0], 1);
                             EXPECT_EQ(b.sensorWords[5], 5 * 0x0101 + 1);
                             EXPECT_EQ(b.sensorWord6, 6 * 0x0101 + 1);
                             EXPECT_EQ(b.statusBytes[0], 0x20);
                             EXPECT_EQ(b.statusBytes[1], 0x21);
                             EXPECT_EQ(bytesOf(m)[8], kUntouched);
                             for (int i = 26; i <= 33; ++i) {
                                 EXPECT_EQ(bytesOf(m)[i], kUntouched) << "message byte " << i;
                             }
                         }});
    }
    {
        auto r = report({8, 1, 0x10, 0x11, 0x12}, 27);
        put16(r, 5, 0x8000);
        put16(r, 17, 0x7FFF);
        r[19] = 0x19;
        r[20] = 0x1A;
        put32(r, 21, 0xFFFFFFF0);
        put16(r, 25, 0x2526);
        cases.push_back({"SDA v1", 1, r, [](const zephra_message& m) {
                             const zephra_SDA& b = m.body.SDA;
                             EXPECT_EQ(b.statusByte0, 0x10);
                             EXPECT_EQ(b.statusBytes[1], 0x12);
                             EXPECT_EQ(b.sensorWords[0], -32768);
                             EXPECT_EQ(b.sensorWord6, 32767);
                             EXPECT_EQ(b.extraBytes[1], 0x1A);
                             EXPECT_EQ(b.sampleCounterV1, 0xFFFFFFF0u);
                             EXPECT_EQ(b.trailingWordV1, 0x2526);
                             EXPECT_EQ(b.sampleCounterV2, 0xA5A5);
                         }});
    }
    {
        auto r = report({6, 22, 2, 0, 8, 0x30}, 22);
        put16(r, 6, 0x0102);
        put32(r, 8, 0x11111111);
        put32(r, 12, 0x22222222);
        put32(r, 16, 0x33333333);
        put16(r, 20, 0x4444);
        cases.push_back({"FRSReadResponse", 2, r, [](const zephra_message& m) {
                             const zephra_FRSReadResponse& b = m.body.FRSReadResponse;
                             EXPECT_EQ(b.status, 0u);
                             EXPECT_EQ(b.wordCount, 3u);
                             EXPECT_EQ(b.wordOffset, 0x0102);
                             EXPECT_EQ(b.data[0], 0x11111111u);
                             EXPECT_EQ(b.data[2], 0x33333333u);
                             EXPECT_EQ(b.trailingWord, 0x4444);
                         }});
    }
    {
        auto r = report({8, 20, 2, 0, 21, 0x27}, 20);
        put16(r, 6, 9);
        put32(r, 8, 0xA0A0A0A0);
        put32(r, 12, 0xB0B0B0B0);
        put16(r, 16, 0xC0C0);
        put16(r, 18, 0xD0D0);
        cases.push_back({"FRSReadResponseBLE", 2, r, [](const zephra_message& m) {
                             const zephra_FRSReadResponseBLE& b = m.body.FRSReadResponseBLE;
                             EXPECT_EQ(b.status, 7u);
                             EXPECT_EQ(b.wordCount, 2u);
                             EXPECT_EQ(b.wordOffset, 9);
                             EXPECT_EQ(b.data[1], 0xB0B0B0B0u);
                             EXPECT_EQ(b.trailingWords[0], 0xC0C0);
                             EXPECT_EQ(b.trailingWords[1], 0xD0D0);
                         }});
    }
    {
        auto r = report({8, 59}, 27);
        put16(r, 2, 40);
        for (int i = 0; i < 5; ++i) {
            put32(r, 4 + 4 * static_cast<size_t>(i), 0x01010101u * static_cast<uint32_t>(i + 1));
        }
        r[24] = 0x56;
        put16(r, 25, 0x7788);
        cases.push_back({"FRSDongleReadResponse v1", 1, r, [](const zephra_message& m) {
                             const zephra_FRSReadResponseV1& b = m.body.FRSDongleReadResponse;
                             EXPECT_EQ(b.wordOffset, 40);
                             EXPECT_EQ(b.data[0], 0x01010101u);
                             EXPECT_EQ(b.data[4], 0x05050505u);
                             EXPECT_EQ(b.status, 6u);
                             EXPECT_EQ(b.wordCount, 5u);
                             EXPECT_EQ(b.trailingWord, 0x7788);
                         }});
    }
    {
        auto r = report({5, 9, 0, 0, 20, 0xB5, 0x66, 0x77, 0x81}, 9);
        cases.push_back({"DataModeControlV2Response", 2, r, [](const zephra_message& m) {
                             const zephra_DataModeControlV2Response& b = m.body.DataModeControlV2Response;
                             EXPECT_EQ(b.enableFlag, 1);
                             EXPECT_EQ(b.mode, 2u);
                             EXPECT_EQ(b.modeFlag, 1);
                             EXPECT_EQ(b.upperBits, 5u);
                             EXPECT_EQ(b.settings[0], 0x66);
                             EXPECT_EQ(b.settings[1], 0x77);
                             const uint8_t channels[8] = {1, 0, 0, 0, 0, 0, 0, 1};
                             EXPECT_EQ(0, std::memcmp(b.channelFlags, channels, 8));
                         }});
    }
    {
        auto r = report({5, 12, 0, 0, 72}, 12);
        for (int i = 0; i < 7; ++i) {
            r[5 + static_cast<size_t>(i)] = static_cast<uint8_t>((i + 1) | ((15 - i) << 4));
        }
        cases.push_back({"SensorDriverResponse", 2, r, [](const zephra_message& m) {
                             for (uint32_t i = 0; i < 7; ++i) {
                                 EXPECT_EQ(m.body.SensorDriverResponse.settings[2 * i], i + 1);
                                 EXPECT_EQ(m.body.SensorDriverResponse.settings[2 * i + 1], 15 - i);
                             }
                         }});
    }
    {
        auto r = report({5, 12, 0, 0, 23, 0xEE, 0x03, 0xEE}, 12);
        put32(r, 8, 10000);
        cases.push_back({"SensorPeriodResponse", 2, r, [](const zephra_message& m) {
                             EXPECT_EQ(m.body.SensorPeriodResponse.sensor, 3);
                             EXPECT_EQ(m.body.SensorPeriodResponse.sensorPeriod, 10000u);
                             EXPECT_EQ(bytesOf(m)[9], kUntouched);
                         }});
    }
    {
        auto r = report({5, 15, 0, 0, 67, 0x41, 0x09}, 15);
        put32(r, 7, 0x01234567);
        put32(r, 11, 0x89ABCDEF);
        cases.push_back({"DFUStatusResponse v2", 2, r, [](const zephra_message& m) {
                             const zephra_DFUStatusResponse& b = m.body.DFUStatusResponse;
                             const uint8_t flags[7] = {1, 0, 0, 0, 0, 0, 1};
                             EXPECT_EQ(0, std::memcmp(b.flags, flags, 7));
                             EXPECT_EQ(b.state, 9);
                             EXPECT_EQ(b.words[0], 0x01234567u);
                             EXPECT_EQ(b.words[1], 0x89ABCDEFu);
                         }});
    }
    {
        auto r = report({8, 67, 0, 0, 0x7F, 0, 0, 0, 0x0C}, 20);
        put32(r, 12, 7);
        put32(r, 16, 8);
        cases.push_back({"DFUStatusResponse v1", 1, r, [](const zephra_message& m) {
                             const zephra_DFUStatusResponse& b = m.body.DFUStatusResponse;
                             const uint8_t flags[7] = {1, 1, 1, 1, 1, 1, 1};
                             EXPECT_EQ(0, std::memcmp(b.flags, flags, 7));
                             EXPECT_EQ(b.state, 0x0C);
                             EXPECT_EQ(b.words[0], 7u);
                             EXPECT_EQ(b.words[1], 8u);
                         }});
    }
    {
        auto r = report({38, 54, 3, 4, 2, 0x0F}, 54);
        put32(r, 6, 123456);
        for (size_t i = 10; i < 54; ++i) {
            r[i] = static_cast<uint8_t>(i);
        }
        cases.push_back({"KinemoraOutput", 2, r, [](const zephra_message& m) {
                             const zephra_KinemoraOutput& b = m.body.KinemoraOutput;
                             EXPECT_EQ(m.length, 54);
                             EXPECT_EQ(m.destination, 3);
                             EXPECT_EQ(m.source, 4);
                             EXPECT_EQ(b.formatSelect, 2) << "message byte 8 holds wire byte 4";
                             EXPECT_EQ(b.contentFlags[3], 1);
                             EXPECT_EQ(b.contentFlags[4], 0);
                             EXPECT_EQ(b.sampleCounter, 123456u);
                             EXPECT_EQ(b.payload[0], 10);
                             EXPECT_EQ(b.payload[43], 53);
                         }});
    }
    {
        auto r = report({41, 15, 0, 0, 1, 0x55}, 15);
        put16(r, 6, 1);
        put16(r, 10, 3);
        r[12] = 0x01;
        r[13] = 0x80;
        r[14] = 0xEE;
        cases.push_back({"DceOutV4T1", 2, r, [](const zephra_message& m) {
                             const zephra_DceOutV4T1& b = m.body.DceOutV4T1;
                             EXPECT_EQ(b.sampleCounter, 0x55);
                             EXPECT_EQ(b.sensorWords[0], 1);
                             EXPECT_EQ(b.sensorWords[2], 3);
                             EXPECT_EQ(b.flags[0], 1);
                             EXPECT_EQ(b.flags[1], 0);
                             EXPECT_EQ(b.flags[14], 0);
                             EXPECT_EQ(b.flags[15], 1);
                             EXPECT_EQ(b.trailingByte, 0xEE);
                         }});
    }
    {
        auto r = report({37, 25, 0, 0, 0x42}, 25);
        put16(r, 5, 0x1111);
        r[17] = 0x17;
        r[18] = 0x02;
        put16(r, 23, 0x2424);
        cases.push_back({"DceOutput v2", 2, r, [](const zephra_message& m) {
                             const zephra_DceOutput& b = m.body.DceOutput;
                             EXPECT_EQ(b.sampleCounter, 0x42);
                             EXPECT_EQ(b.sensorWords[0], 0x1111);
                             EXPECT_EQ(b.status, 0x17);
                             EXPECT_EQ(b.flags[0], 0);
                             EXPECT_EQ(b.flags[1], 1);
                             EXPECT_EQ(b.extraWords[2], 0x2424);
                         }});
    }
    {
        auto r = report({6, 22, 0, 0, 69, 0x33}, 22);
        for (size_t i = 6; i < 22; ++i) {
            r[i] = static_cast<uint8_t>(0x40 + i);
        }
        cases.push_back({"StatisticsResponse v2", 2, r, [](const zephra_message& m) {
                             const zephra_StatisticsResponse& b = m.body.StatisticsResponse;
                             EXPECT_EQ(b.selector, kUntouched);
                             EXPECT_EQ(b.statistic, 0x33);
                             EXPECT_EQ(b.payloadV2[0], 0x46);
                             EXPECT_EQ(b.payloadV2[15], 0x55);
                             EXPECT_EQ(b.payloadV1[0], kUntouched);
                         }});
    }
    {
        auto r = report({5, 12, 0, 0, 68, 0x0A, 0xEE, 0xEE}, 12);
        put16(r, 8, 0x0B0C);
        put16(r, 10, 0x0D0E);
        cases.push_back({"ParameterResponse v2", 2, r, [](const zephra_message& m) {
                             const zephra_ParameterResponse& b = m.body.ParameterResponse;
                             EXPECT_EQ(b.command, 0x0A);
                             EXPECT_EQ(b.subCommand, kUntouched);
                             EXPECT_EQ(b.values[0], 0x0B0C);
                             EXPECT_EQ(b.values[1], 0x0D0E);
                         }});
    }
    {
        auto r = report({3, 0x31, 0x32}, 12);
        put32(r, 3, 0x03040506);
        put32(r, 7, 0x0708090A);
        r[11] = 0x0B;
        cases.push_back({"USBBootStatus v0", 0, r, [](const zephra_message& m) {
                             const zephra_USBBootStatus& b = m.body.USBBootStatus;
                             EXPECT_EQ(b.statusBytes[0], 0x31);
                             EXPECT_EQ(b.statusBytes[1], 0x32);
                             EXPECT_EQ(b.words[0], 0x03040506u);
                             EXPECT_EQ(b.words[1], 0x0708090Au);
                             EXPECT_EQ(b.trailingByte, 0x0B);
                         }});
    }
    {
        auto r = report({10, 87, 0xEE, 0xEE}, 4);
        cases.push_back({"BatteryLevel v1", 1, r, [](const zephra_message& m) {
                             EXPECT_EQ(m.body.BatteryLevel.level, 87);
                             EXPECT_EQ(m.length, kUntouched) << "version 1 has no frame header";
                         }});
    }
    return cases;
}

TEST(LinkCodecBodies, DeviceReportsLandInTheirFields)
{
    for (const DecodeCase& c : decodeCases()) {
        SCOPED_TRACE(c.name);
        zephra_message m = untouchedMessage();
        ASSERT_EQ(zephra_decode_message(c.report.data(), static_cast<int>(c.report.size()), &m, c.version),
                  0);
        c.check(m);
    }
}

TEST(LinkCodecBodies, VersionOneFramesIgnoreWireBytesSevenAndEight)
{
    for (uint8_t id : {32, 33}) {
        std::vector<uint8_t> r(23);
        for (size_t i = 0; i < r.size(); ++i) {
            r[i] = static_cast<uint8_t>(3 * i + 1);
        }
        r[0] = id;
        zephra_message first = untouchedMessage();
        ASSERT_EQ(zephra_decode_message(r.data(), 23, &first, 1), 0);
        r[7] ^= 0xFF;
        r[8] ^= 0xFF;
        zephra_message second = untouchedMessage();
        ASSERT_EQ(zephra_decode_message(r.data(), 23, &second, 1), 0);
        EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first)) << "report " << int(id);
    }
}

TEST(LinkCodecBodies, UserFrameComputesTheQuaternionsW)
{
    struct Case
    {
        int16_t x, y, z;
        int16_t w;
    };
    const Case cases[] = {
        {0, 0, 0, 16384},
        {16384, 0, 0, 0},
        {0, 0, -16384, 0},
        {16384, 16384, 0, 0}, // no real root
        {-32768, -32768, -32768, 0},
        {1, 0, 0, 16383}, // truncated, not rounded
        {8192, -8192, 8192, 8192},
        {9459, 9459, 9459, 131}, // root 131.96
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> r(22, 0);
        r[0] = 33;
        put16(r, 16, static_cast<uint16_t>(c.x));
        put16(r, 18, static_cast<uint16_t>(c.y));
        put16(r, 20, static_cast<uint16_t>(c.z));
        zephra_message m = untouchedMessage();
        ASSERT_EQ(zephra_decodeUserFrame(r.data(), 22, &m, 2), 0);
        EXPECT_EQ(m.body.UserFrame.orientationW, c.w) << c.x << " " << c.y << " " << c.z;
    }
}

} // namespace
