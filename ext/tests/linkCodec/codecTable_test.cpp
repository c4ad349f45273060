// Every message type against the protocol's table of report ids, sub-ids and
// lengths: the per-type functions and both dispatchers, in every version.
// Reports and buffers are heap vectors of exactly the size under test, so the
// sanitizer build catches any read or write past them.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "expectedForms.h"
#include "linkCodec/zephraMessage.h"

namespace {

using namespace linkCodecTest;

constexpr uint32_t kUnwrittenType = 0xDEADu;

zephra_message freshMessage(uint32_t type, uint8_t version)
{
    zephra_message m;
    std::memset(&m, 0, sizeof m);
    m.messageType = type;
    m.protocolVersion = version;
    m.destination = 0x5A;
    m.source = 0x77;
    return m;
}

/// A report of `length` bytes with the form's id and sub-id and a pattern
/// elsewhere (version-2 header bytes 1-3 included).
std::vector<uint8_t> reportFor(const ExpectedForm& form, int version, int length)
{
    std::vector<uint8_t> report(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        report[static_cast<size_t>(i)] = static_cast<uint8_t>(0x31 + 7 * i);
    }
    if (length > 0) {
        report[0] = static_cast<uint8_t>(form.reportId);
    }
    if (form.subId >= 0 && subIdByte(version) < length) {
        report[static_cast<size_t>(subIdByte(version))] = static_cast<uint8_t>(form.subId);
    }
    return report;
}

TEST(LinkCodecTable, EveryEncoderWritesExactlyItsLengthInEachVersionItHas)
{
    for (const ExpectedType& type : kExpectedTypes) {
        if (!type.out) {
            continue;
        }
        for (int version = 0; version < 3; ++version) {
            SCOPED_TRACE(testing::Message() << "type " << type.code << " version " << version);
            const ExpectedForm& form = type.forms[version];
            const Encoder encoders[] = {&zephra_encode_message, kPerTypeFunctions[type.code].encode};
            for (Encoder encode : encoders) {
                zephra_message m = freshMessage(type.code, static_cast<uint8_t>(version));
                if (!form.exists()) {
                    std::vector<uint8_t> buffer(ZEPHRA_MAX_REPORT_LENGTH, 0xEE);
                    EXPECT_EQ(encode(&m, buffer.data(), static_cast<int>(buffer.size())), -27);
                    EXPECT_EQ(m.source, 0);
                    EXPECT_EQ(buffer, std::vector<uint8_t>(ZEPHRA_MAX_REPORT_LENGTH, 0xEE));
                    continue;
                }
                std::vector<uint8_t> exact(static_cast<size_t>(form.length), 0xEE);
                ASSERT_EQ(encode(&m, exact.data(), form.length), form.length);
                EXPECT_EQ(m.source, 0);
                EXPECT_EQ(exact[0], form.reportId);
                if (version == 2) {
                    EXPECT_EQ(exact[1], form.length);
                    EXPECT_EQ(exact[2], 0x5A);
                    EXPECT_EQ(exact[3], 0);
                    EXPECT_EQ(exact[4], form.subId);
                } else if (form.subId >= 0) {
                    EXPECT_EQ(exact[1], form.subId);
                }

                m = freshMessage(type.code, static_cast<uint8_t>(version));
                std::vector<uint8_t> shortBuffer(static_cast<size_t>(form.length - 1), 0xEE);
                EXPECT_EQ(encode(&m, shortBuffer.data(), form.length - 1), -24);
                EXPECT_EQ(m.source, 0);
                EXPECT_EQ(shortBuffer, std::vector<uint8_t>(shortBuffer.size(), 0xEE));
            }
        }
    }
}

TEST(LinkCodecTable, EveryDecoderTakesItsMinimumLengthAndRefusesOneByteLess)
{
    for (const ExpectedType& type : kExpectedTypes) {
        if (type.out) {
            continue;
        }
        for (int version = 0; version < 3; ++version) {
            SCOPED_TRACE(testing::Message() << "type " << type.code << " version " << version);
            const ExpectedForm& form = type.forms[version];
            const Decoder decode = kPerTypeFunctions[type.code].decode;
            if (!form.exists()) {
                std::vector<uint8_t> report(ZEPHRA_MAX_REPORT_LENGTH, 0);
                zephra_message m = freshMessage(kUnwrittenType, 9);
                EXPECT_EQ(decode(report.data(), static_cast<int>(report.size()), &m, version), -27);
                EXPECT_EQ(m.protocolVersion, version);
                continue;
            }
            const std::vector<uint8_t> report = reportFor(form, version, form.length);

            zephra_message viaDispatcher = freshMessage(kUnwrittenType, 9);
            ASSERT_EQ(zephra_decode_message(report.data(), form.length, &viaDispatcher, version), 0);
            EXPECT_EQ(viaDispatcher.messageType, type.code);
            EXPECT_EQ(viaDispatcher.protocolVersion, version);
            if (version == 2) {
                EXPECT_EQ(viaDispatcher.length, report[1]);
                EXPECT_EQ(viaDispatcher.destination, report[2]);
                EXPECT_EQ(viaDispatcher.source, report[3]);
            }

            zephra_message direct = freshMessage(kUnwrittenType, 9);
            ASSERT_EQ(decode(report.data(), form.length, &direct, version), 0);
            EXPECT_EQ(direct.messageType, kUnwrittenType) << "a per-type decoder writes no type";
            EXPECT_EQ(direct.protocolVersion, version);

            const std::vector<uint8_t> shortReport = reportFor(form, version, form.length - 1);
            zephra_message tooShort = freshMessage(kUnwrittenType, 9);
            EXPECT_EQ(zephra_decode_message(shortReport.data(), form.length - 1, &tooShort, version), -24);
            EXPECT_EQ(tooShort.messageType, type.code) << "the type is chosen before the body is checked";
            tooShort = freshMessage(kUnwrittenType, 9);
            EXPECT_EQ(decode(shortReport.data(), form.length - 1, &tooShort, version), -24);
        }
    }
}

TEST(LinkCodecTable, PerTypeDecoderRefusesAnotherReportIdOrSubId)
{
    for (const ExpectedType& type : kExpectedTypes) {
        if (type.out) {
            continue;
        }
        for (int version = 0; version < 3; ++version) {
            const ExpectedForm& form = type.forms[version];
            if (!form.exists()) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "type " << type.code << " version " << version);
            const Decoder decode = kPerTypeFunctions[type.code].decode;
            std::vector<uint8_t> report = reportFor(form, version, ZEPHRA_MAX_REPORT_LENGTH);
            report[0] = static_cast<uint8_t>(form.reportId + 1);
            zephra_message m = freshMessage(kUnwrittenType, 9);
            EXPECT_EQ(decode(report.data(), ZEPHRA_MAX_REPORT_LENGTH, &m, version), -26);
            if (form.subId >= 0) {
                report = reportFor(form, version, ZEPHRA_MAX_REPORT_LENGTH);
                report[static_cast<size_t>(subIdByte(version))] = static_cast<uint8_t>(form.subId + 1);
                EXPECT_EQ(decode(report.data(), ZEPHRA_MAX_REPORT_LENGTH, &m, version), -26);
            }
        }
    }
}

// The device-to-host type a version gives a report id and sub-id, or -1.
int expectedTypeOf(int version, int reportId, int subId, bool* hasSubId)
{
    *hasSubId = false;
    for (const ExpectedType& type : kExpectedTypes) {
        const ExpectedForm& form = type.forms[version];
        if (type.out || !form.exists() || form.reportId != reportId) {
            continue;
        }
        if (form.subId < 0) {
            return static_cast<int>(type.code);
        }
        *hasSubId = true;
        if (form.subId == subId) {
            return static_cast<int>(type.code);
        }
    }
    return -1;
}

TEST(LinkCodecTable, DispatcherRoutesEveryReportIdAndSubIdAsTheTableSays)
{
    for (int version = 0; version < 3; ++version) {
        for (int reportId = 0; reportId < 256; ++reportId) {
            for (int subId = 0; subId < 256; ++subId) {
                bool hasSubId = false;
                const int expected = expectedTypeOf(version, reportId, subId, &hasSubId);
                std::vector<uint8_t> report(ZEPHRA_MAX_REPORT_LENGTH, 0);
                report[0] = static_cast<uint8_t>(reportId);
                report[static_cast<size_t>(subIdByte(version))] = static_cast<uint8_t>(subId);
                zephra_message m = freshMessage(kUnwrittenType, 9);
                const int result =
                    zephra_decode_message(report.data(), ZEPHRA_MAX_REPORT_LENGTH, &m, version);
                if (expected < 0) {
                    ASSERT_EQ(result, -26) << "version " << version << " report " << reportId << "/" << subId;
                    ASSERT_EQ(m.messageType, kUnwrittenType);
                } else {
                    ASSERT_EQ(result, 0) << "version " << version << " report " << reportId << "/" << subId;
                    ASSERT_EQ(m.messageType, static_cast<uint32_t>(expected));
                }
                if (!hasSubId && expected < 0 && subId > 0) {
                    break; // the sub-id byte plays no part for this report id
                }
            }
        }
    }
}

TEST(LinkCodecTable, EncodingATypeWithoutEncoderAnswersMinusOne)
{
    std::vector<uint32_t> codes = {85, 200, 0xFFFFFFFFu};
    for (const ExpectedType& type : kExpectedTypes) {
        if (!type.out) {
            codes.push_back(type.code);
        }
    }
    for (uint32_t code : codes) {
        for (uint8_t version = 0; version < 3; ++version) {
            zephra_message m = freshMessage(code, version);
            std::vector<uint8_t> buffer(ZEPHRA_MAX_REPORT_LENGTH, 0xEE);
            EXPECT_EQ(zephra_encode_message(&m, buffer.data(), ZEPHRA_MAX_REPORT_LENGTH), -1) << code;
            EXPECT_EQ(m.source, 0);
            EXPECT_EQ(buffer, std::vector<uint8_t>(ZEPHRA_MAX_REPORT_LENGTH, 0xEE));
        }
    }
}

} // namespace
