#include "device/receiverIds.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

TEST(ReceiverIds, ConstantsAreUsableAsAFilter)
{
    // An id of 0 would match every HID device of the machine.
    EXPECT_NE(kReceiverVendorId, 0);
    EXPECT_NE(kReceiverProductId, 0);
    const ReceiverIds ids = receiverIdsFrom(nullptr);
    EXPECT_EQ(ids.vendorId, kReceiverVendorId);
    EXPECT_EQ(ids.productId, kReceiverProductId);
}

TEST(ReceiverIds, ParsesFourHexDigitsOnEachSideOfTheColon)
{
    struct
    {
        const char* text;
        bool valid;
        uint16_t vendor, product;
    } cases[] = {{"1234:abcd", true, 0x1234, 0xABCD},
                 {"FFFF:0001", true, 0xFFFF, 0x0001},
                 {"aBcD:12eF", true, 0xABCD, 0x12EF},
                 {"zz", false, 0, 0},
                 {"1234", false, 0, 0},
                 {"0000:abcd", false, 0, 0},
                 {"1234:0000", false, 0, 0},
                 {"123:abcd", false, 0, 0},
                 {"12345:abcd", false, 0, 0},
                 {"0x12:abcd", false, 0, 0},
                 {" 1234:abcd", false, 0, 0},
                 {"1234:abcd\n", false, 0, 0},
                 {"1234-abcd", false, 0, 0},
                 {"", false, 0, 0},
                 {":", false, 0, 0},
                 {"1234:ab:d", false, 0, 0}};
    for (const auto& c : cases) {
        const std::optional<ReceiverIds> ids = parseReceiverIds(c.text);
        ASSERT_EQ(ids.has_value(), c.valid) << '"' << c.text << '"';
        if (ids) {
            EXPECT_EQ(ids->vendorId, c.vendor) << c.text;
            EXPECT_EQ(ids->productId, c.product) << c.text;
        }
    }
}

TEST(ReceiverIds, ABadOverrideKeepsTheConstantsWithOneAlertLine)
{
    LogCapture log;
    const ReceiverIds ids = receiverIdsFrom("1234");
    EXPECT_EQ(ids.vendorId, kReceiverVendorId);
    EXPECT_EQ(ids.productId, kReceiverProductId);
    const auto entries = log.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].level, DXLogLevelAlert);
    EXPECT_NE(entries[0].text.find("PELVARO_RECEIVER=\"1234\""), std::string::npos) << entries[0].text;
}

TEST(ReceiverIds, TheGeneratedUdevRuleGivesTheUserExactlyTheReadersReceiver)
{
    std::ifstream file(PELVARO_UDEV_RULE_PATH);
    ASSERT_TRUE(file.is_open()) << PELVARO_UDEV_RULE_PATH;
    std::vector<std::string> rules;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#') {
            rules.push_back(line);
        }
    }
    ASSERT_EQ(rules.size(), 1u);
    char expected[160];
    std::snprintf(expected, sizeof expected,
                  "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%04x\", ATTRS{idProduct}==\"%04x\", TAG+=\"uaccess\"",
                  kReceiverVendorId, kReceiverProductId);
    EXPECT_EQ(rules[0], expected);
    EXPECT_NE(std::string(PELVARO_UDEV_RULE_PATH).find(kReceiverUdevRule), std::string::npos);
}

} // namespace
