// The order of the codec's checks and what each leaves behind: null
// arguments, empty and short reports, unknown ids, versions, the source byte.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "linkCodec/zephraMessage.h"

namespace {

constexpr uint32_t kUnwrittenType = 0xDEADu;

zephra_message blankMessage()
{
    zephra_message m;
    std::memset(&m, 0xA5, sizeof m);
    m.messageType = kUnwrittenType;
    return m;
}

TEST(LinkCodecRules, NullMessageOrReportAnswersMinusTwo)
{
    const uint8_t report[22] = {36, 22};
    uint8_t buffer[96] = {};
    zephra_message m = blankMessage();
    EXPECT_EQ(zephra_decode_message(nullptr, 22, &m, 2), -2);
    EXPECT_EQ(zephra_decode_message(report, 22, nullptr, 2), -2);
    EXPECT_EQ(zephra_decodeSDA(nullptr, 22, &m, 2), -2);
    EXPECT_EQ(zephra_decodeSDA(report, 22, nullptr, 2), -2);
    EXPECT_EQ(m.messageType, kUnwrittenType);
    EXPECT_EQ(zephra_encode_message(nullptr, buffer, 96), -2);
    EXPECT_EQ(zephra_encodeFRSReadRequest(nullptr, buffer, 96), -2);

    m.messageType = zephra_typeFRSReadRequest;
    m.protocolVersion = 2;
    EXPECT_EQ(zephra_encode_message(&m, nullptr, 96), -2);
    EXPECT_EQ(m.source, 0);
}

TEST(LinkCodecRules, EmptyOrNegativeLengthAnswersMinusOneWhateverTheVersion)
{
    const uint8_t report[4] = {36, 0, 0, 0};
    for (int version : {0, 1, 2, 3, 255}) {
        for (int length : {0, -1, -96}) {
            zephra_message m = blankMessage();
            EXPECT_EQ(zephra_decode_message(report, length, &m, version), -1) << version << " " << length;
            EXPECT_EQ(m.messageType, kUnwrittenType);
        }
    }
}

TEST(LinkCodecRules, VersionIsTheLowByteOfTheArgument)
{
    std::vector<uint8_t> report(22, 0);
    report[0] = 36;
    zephra_message m = blankMessage();
    EXPECT_EQ(zephra_decode_message(report.data(), 22, &m, 3), -27);
    EXPECT_EQ(zephra_decode_message(report.data(), 22, &m, 0x103), -27);
    EXPECT_EQ(m.messageType, kUnwrittenType);
    EXPECT_EQ(zephra_decode_message(report.data(), 22, &m, 0x102), 0);
    EXPECT_EQ(m.messageType, zephra_typeSDA);
    EXPECT_EQ(m.protocolVersion, 2);

    // A per-type decoder stores the version it was given before refusing it.
    m = blankMessage();
    EXPECT_EQ(zephra_decodeSDA(report.data(), 22, &m, 0x203), -27);
    EXPECT_EQ(m.protocolVersion, 3);
}

TEST(LinkCodecRules, ShortReportIsRefusedBeforeItsSubIdIsRead)
{
    struct Case
    {
        int version;
        std::vector<uint8_t> report;
    };
    const Case cases[] = {
        {2, {5}}, {2, {5, 1, 2, 3}}, {2, {6, 0}}, {2, {8, 0, 0}}, {2, {41, 1, 2, 3}}, {1, {8}},
    };
    for (const Case& c : cases) {
        // Exactly sized, so a read of the sub-id past the end is caught.
        std::vector<uint8_t> report = c.report;
        zephra_message m = blankMessage();
        EXPECT_EQ(zephra_decode_message(report.data(), static_cast<int>(report.size()), &m, c.version), -24)
            << "report " << int(report[0]) << " of " << report.size() << " bytes";
        EXPECT_EQ(m.messageType, kUnwrittenType);
    }
}

TEST(LinkCodecRules, ReportFortyOneIsTypedByItsFifthByte)
{
    std::vector<uint8_t> report(20, 0);
    report[0] = 41;
    zephra_message m = blankMessage();
    report[4] = 2;
    EXPECT_EQ(zephra_decode_message(report.data(), 20, &m, 2), -26);
    EXPECT_EQ(m.messageType, kUnwrittenType);

    // Type 1 needs 15 bytes, type 0 needs 20; the type is written before the
    // length is checked.
    report[4] = 1;
    EXPECT_EQ(zephra_decode_message(report.data(), 15, &m, 2), 0);
    EXPECT_EQ(m.messageType, zephra_typeDceOutV4T1);
    report[4] = 0;
    m = blankMessage();
    EXPECT_EQ(zephra_decode_message(report.data(), 15, &m, 2), -24);
    EXPECT_EQ(m.messageType, zephra_typeDceOutV4T0);
    EXPECT_EQ(zephra_decode_message(report.data(), 20, &m, 2), 0);
}

TEST(LinkCodecRules, UnknownReportIdLeavesTheTypeUnwritten)
{
    struct Case
    {
        int version;
        uint8_t id;
        uint8_t sub;
    };
    const Case cases[] = {
        {2, 7, 9},  // the host's own report
        {2, 5, 99}, // unknown sub-id
        {2, 42, 0}, // past the motion reports
        {1, 8, 2},  // unknown sub-id
        {1, 36, 0}, // a motion id version 1 does not have
        {0, 1, 0},  // a boot command is never received
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> report(96, 0);
        report[0] = c.id;
        report[c.version == 2 ? 4 : 1] = c.sub;
        zephra_message m = blankMessage();
        EXPECT_EQ(zephra_decode_message(report.data(), 96, &m, c.version), -26) << int(c.id);
        EXPECT_EQ(m.messageType, kUnwrittenType);
    }
}

TEST(LinkCodecRules, SdaNeedsTwentyTwoBytesInVersionTwo)
{
    std::vector<uint8_t> report(22, 0);
    report[0] = 36;
    zephra_message m = blankMessage();
    EXPECT_EQ(zephra_decode_message(report.data(), 21, &m, 2), -24);
    EXPECT_EQ(zephra_decode_message(report.data(), 22, &m, 2), 0);
}

TEST(LinkCodecRules, DirectWriteAndPeriodResponsesKeepTheirHeaderBytes)
{
    struct Case
    {
        int (*decode)(const uint8_t*, int, zephra_message*, int);
        uint8_t reportId;
        uint8_t subId;
        bool copiesHeader;
    };
    const Case cases[] = {
        {&zephra_decodeFRSWriteResponse, 5, 6, false},
        {&zephra_decodeSensorPeriodResponse, 5, 23, false},
        {&zephra_decodeFRSReadResponse, 6, 8, true},
        {&zephra_decodeBatteryLevel, 5, 5, true},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> report(22, 0);
        report[0] = c.reportId;
        report[1] = 12;
        report[2] = 3;
        report[3] = 4;
        report[4] = c.subId;
        zephra_message m = blankMessage();
        ASSERT_EQ(c.decode(report.data(), 22, &m, 2), 0);
        if (c.copiesHeader) {
            EXPECT_EQ(m.length, 12);
            EXPECT_EQ(m.destination, 3);
            EXPECT_EQ(m.source, 4);
        } else {
            EXPECT_EQ(m.length, 0xA5);
            EXPECT_EQ(m.destination, 0xA5);
            EXPECT_EQ(m.source, 0xA5);
        }
        // The dispatcher copies them for every version-2 report.
        m = blankMessage();
        ASSERT_EQ(zephra_decode_message(report.data(), 22, &m, 2), 0);
        EXPECT_EQ(m.length, 12);
        EXPECT_EQ(m.destination, 3);
        EXPECT_EQ(m.source, 4);
    }
}

TEST(LinkCodecRules, HeaderBytesAreCopiedBeforeTheSubIdIsChecked)
{
    std::vector<uint8_t> report(22, 0);
    report[0] = 6;
    report[1] = 22;
    report[2] = 2;
    report[3] = 9;
    report[4] = 9; // a product identity, not a flash-record answer
    zephra_message m = blankMessage();
    EXPECT_EQ(zephra_decodeFRSReadResponse(report.data(), 22, &m, 2), -26);
    EXPECT_EQ(m.length, 22);
    EXPECT_EQ(m.destination, 2);
    EXPECT_EQ(m.source, 9);
}

TEST(LinkCodecRules, EncodingSetsTheSourceToZeroAlsoWhenItFails)
{
    struct Case
    {
        uint32_t type;
        uint8_t version;
        int capacity;
        int result;
    };
    const Case cases[] = {
        {zephra_typeFRSReadRequest, 2, 96, 12},   {zephra_typeFRSReadRequest, 2, 11, -24},
        {zephra_typeFRSReadRequest, 1, 96, -27},  {zephra_typeUSBBootData, 1, 96, -27},
        {zephra_typeAlwaysOnRequest, 2, 96, -27}, {zephra_typeUSBBootStatus, 0, 96, -1},
        {zephra_typeUserFrame, 2, 96, -1},        {76, 2, 96, -1},
        {zephra_typeTxDisableMessage, 1, 2, 2},   {zephra_typeTxDisableMessage, 7, 96, -27},
    };
    for (const Case& c : cases) {
        zephra_message m = blankMessage();
        m.messageType = c.type;
        m.protocolVersion = c.version;
        std::vector<uint8_t> buffer(static_cast<size_t>(c.capacity), 0);
        EXPECT_EQ(zephra_encode_message(&m, buffer.data(), c.capacity), c.result) << c.type;
        EXPECT_EQ(m.source, 0) << c.type;
    }
}

TEST(LinkCodecRules, VersionOneEncodersLeaveUnwrittenBytesAsTheCallerHadThem)
{
    zephra_message m = blankMessage();
    m.messageType = zephra_typeLinkQualityRequest;
    m.protocolVersion = 1;
    m.body.LinkQualityRequest.setting = 0x42;
    std::vector<uint8_t> buffer(8, 0xEE);
    ASSERT_EQ(zephra_encode_message(&m, buffer.data(), 8), 8);
    EXPECT_EQ(buffer, (std::vector<uint8_t>{7, 48, 0x42, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

} // namespace
