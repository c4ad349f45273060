#include "device/hidPacket.h"
#include "device/modeReport.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> packetBytes(const hidPacket& packet)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&packet);
    return {bytes, bytes + sizeof packet};
}

TEST(HidPacket, CarriesReportBytesZeroToTwoThenThreeToEighteenFromByteFour)
{
    for (const uint8_t kind :
         std::vector<uint8_t>{hidPacketKindMotion, hidPacketKindButton, hidPacketKindStatus, 0x42}) {
        std::vector<uint8_t> report(64);
        for (size_t i = 0; i < report.size(); ++i) {
            report[i] = static_cast<uint8_t>(0xA0 + i);
        }
        report[1] = kind;
        hidPacket packet;
        std::memset(&packet, 0xEE, sizeof packet);
        hidPacketFill(packet, report.data(), report.size());

        std::vector<uint8_t> expected(20);
        expected[0] = 0xA0;
        expected[1] = kind;
        expected[2] = 0xA2;
        std::copy(report.begin() + 3, report.begin() + 19, expected.begin() + 4);
        EXPECT_EQ(packetBytes(packet), expected) << "kind " << int(kind);
    }
}

TEST(HidPacket, BytesBeyondAShortReportAreZero)
{
    struct
    {
        size_t length;
        size_t firstZero; ///< first packet byte the report does not reach
    } cases[] = {{0, 0}, {1, 1}, {3, 3}, {10, 11}, {18, 19}, {19, 20}};
    const std::vector<uint8_t> report(64, 0xFF);
    for (const auto& c : cases) {
        hidPacket packet;
        std::memset(&packet, 0xEE, sizeof packet);
        hidPacketFill(packet, report.data(), c.length);
        const std::vector<uint8_t> bytes = packetBytes(packet);
        for (size_t i = 0; i < bytes.size(); ++i) {
            const uint8_t expected = (i < c.firstZero && i != 3) ? 0xFF : 0x00;
            EXPECT_EQ(bytes[i], expected) << "length " << c.length << ", packet byte " << i;
        }
    }
    hidPacket packet;
    hidPacketFill(packet, nullptr, 19);
    EXPECT_EQ(packetBytes(packet), std::vector<uint8_t>(20, 0));
}

TEST(ModeReport, IsTheFixedHeaderThenTheModeByteThenZeros)
{
    for (const bool buttonsOnly : {true, false}) {
        const modeReport report = modeReportFor(buttonsOnly);
        std::vector<uint8_t> expected = {0x55, 0xAA, 0x55, 0xAA, 0xB7, 0x01, 0x02, 0x11};
        expected.push_back(buttonsOnly ? 0x00 : 0x01);
        expected.resize(32, 0x00);
        EXPECT_EQ(std::vector<uint8_t>(report.bytes, report.bytes + 32), expected) << buttonsOnly;
    }
}

} // namespace
