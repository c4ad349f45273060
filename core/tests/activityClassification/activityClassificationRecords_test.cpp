#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "activityClassification/ActivityClassificationRecords.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
constexpr uint8_t kFill = vnx::testsupport::kFillByte;

TEST(ActivityClassificationRecords, ConfigDefaultsToAMinuteAndBothReports)
{
    auto config = filled<vnx_ActivityClassification_Config_s>();
    ASSERT_EQ(vnx_ActivityClassification_initConfig(&config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(config.config.header.size, 48);
    EXPECT_EQ(config.config.header.type, VNX_TYPE_ACTIVITY_CLASSIFICATION);
    EXPECT_EQ(config.config.header.version, 2);
    EXPECT_EQ(config.config.extra, -1);
    EXPECT_EQ(config.stillTimeS, 60);
    EXPECT_EQ(config.motionThresholdBase, 0.02f);
    EXPECT_EQ(config.statusEnable, 3);
    for (size_t offset : {32u, 33u, 34u}) {
        EXPECT_EQ(byteAt(config, offset), 0) << "byte " << offset;
    }
    for (size_t offset : {35u, 38u, 39u, 45u, 46u, 47u}) {
        EXPECT_EQ(byteAt(config, offset), kFill) << "byte " << offset;
    }
}

TEST(ActivityClassificationRecords, StatusClearsTheWholeFlagWord)
{
    auto status = filled<vnx_ActivityClassification_Status_s>();
    ASSERT_EQ(vnx_ActivityClassification_initStatus(&status), VNX_STATUS_SUCCESS);
    EXPECT_EQ(status.status.header.size, 40);
    EXPECT_EQ(status.status.header.version, 1);
    for (size_t offset = 32; offset < 40; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << "byte " << offset;
    }
}

TEST(ActivityClassificationRecords, OutputKeepsTheUserBits)
{
    auto output = filled<vnx_ActivityClassification_Output_s>();
    ASSERT_EQ(vnx_ActivityClassification_initOutput(&output), VNX_STATUS_SUCCESS);
    EXPECT_EQ(output.output.header.size, 24);
    EXPECT_EQ(output.flags, kFill & 0xC0);
    EXPECT_EQ(output.padding[0], kFill);

    auto command = filled<vnx_ActivityClassification_Command_s>();
    ASSERT_EQ(vnx_ActivityClassification_initCommand(&command), VNX_STATUS_SUCCESS);
    EXPECT_EQ(command.code, 0u);
}

TEST(ActivityClassificationRecords, ValidityNeedsEachKindsVersionAndSize)
{
    struct Case
    {
        std::string name;
        vnx_Struct_s header;
        int valid;
    };
    const Case cases[] = {
        {"config", {48, 4, 1, 2, {}, 0}, 1},           {"config version 1", {48, 4, 1, 1, {}, 0}, 0},
        {"command", {40, 4, 2, 1, {}, 0}, 1},          {"status", {40, 4, 3, 1, {}, 0}, 1},
        {"status version 2", {40, 4, 3, 2, {}, 0}, 0}, {"format", {16, 4, 4, 1, {}, 0}, 1},
        {"output", {24, 4, 5, 1, {}, 0}, 1},           {"output of 16 bytes", {16, 4, 5, 1, {}, 0}, 0},
        {"another type", {24, 5, 5, 1, {}, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vnx_ActivityClassification_isStructValid(&c.header), c.valid);
    }
}

} // namespace
