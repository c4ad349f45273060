#include <gtest/gtest.h>

#include <cstring>

#include "shakeDetector/ShakeDetectorRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::kFillByte;

TEST(ShakeDetectorRecords, SizesAndValidity)
{
    auto config = filled<vnx_ShakeDetector_Config_s>();
    auto command = filled<vnx_ShakeDetector_Command_s>();
    auto status = filled<vnx_ShakeDetector_Status_s>();
    auto format = filled<vnx_ShakeDetector_Format_s>();
    auto output = filled<vnx_ShakeDetector_Output_s>();
    vnx_ShakeDetector_initConfig(&config);
    vnx_ShakeDetector_initCommand(&command);
    vnx_ShakeDetector_initStatus(&status);
    vnx_ShakeDetector_initFormat(&format);
    vnx_ShakeDetector_initOutput(&output);
    const struct
    {
        vnx_Struct_s* header;
        uint16_t size;
    } records[] = {{&config.config.header, 72},
                   {&command.header, 32},
                   {&status.header, 32},
                   {&format.header, 16},
                   {&output.output.header, 32}};
    for (const auto& r : records) {
        EXPECT_EQ(r.header->size, r.size);
        EXPECT_EQ(r.header->type, 14);
        EXPECT_TRUE(vnx_ShakeDetector_isStructValid(r.header));
        r.header->version = 2;
        EXPECT_FALSE(vnx_ShakeDetector_isStructValid(r.header)) << r.size;
    }
}

TEST(ShakeDetectorRecords, Defaults)
{
    auto config = filled<vnx_ShakeDetector_Config_s>();
    vnx_ShakeDetector_initConfig(&config);
    EXPECT_EQ(config.mode, 3u);
    EXPECT_EQ(config.rateThreshold, 0.0f);
    EXPECT_EQ(config.reversalFrequency, 0.0f);
    EXPECT_EQ(config.reversalCount, 0);
    EXPECT_EQ(config.singleAxis, 0);
    EXPECT_EQ(config.xRatio, 0.0f);
    EXPECT_EQ(config.yRatio, 0.0f);
    EXPECT_EQ(config.restValue, 1.0f);
    EXPECT_EQ(config.shakeValue, 0.11f);
    for (std::size_t i : {49u, 50u, 51u, 68u, 71u})
        EXPECT_EQ(byteAt(config, i), kFillByte) << i;

    auto output = filled<vnx_ShakeDetector_Output_s>();
    vnx_ShakeDetector_initOutput(&output);
    EXPECT_EQ(byteAt(output, 16), 0);
    for (std::size_t i = 20; i < 28; ++i)
        EXPECT_EQ(byteAt(output, i), 0) << i;
    for (std::size_t i : {17u, 18u, 19u, 28u, 31u})
        EXPECT_EQ(byteAt(output, i), kFillByte) << i;
}

} // namespace
