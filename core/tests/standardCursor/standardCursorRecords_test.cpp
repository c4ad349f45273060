#include <gtest/gtest.h>

#include <cstring>

#include "standardCursor/StandardCursorRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::kFillByte;
using vnx::testsupport::valueAt;

TEST(StandardCursorRecords, SizesAndValidity)
{
    auto config = filled<vnx_StandardCursor_Config_s>();
    auto command = filled<vnx_StandardCursor_Command_s>();
    auto status = filled<vnx_StandardCursor_Status_s>();
    auto format = filled<vnx_StandardCursor_Format_s>();
    auto output = filled<vnx_StandardCursor_Output_s>();
    vnx_StandardCursor_initConfig(&config);
    vnx_StandardCursor_initCommand(&command);
    vnx_StandardCursor_initStatus(&status);
    vnx_StandardCursor_initFormat(&format);
    vnx_StandardCursor_initOutput(&output);
    const struct
    {
        vnx_Struct_s* header;
        uint16_t size;
    } records[] = {{&config.config.header, 96},
                   {&command.command.header, 40},
                   {&status.header, 32},
                   {&format.format.header, 32},
                   {&output.output.header, 40}};
    for (const auto& r : records) {
        EXPECT_EQ(r.header->size, r.size);
        EXPECT_EQ(r.header->type, 6);
        EXPECT_TRUE(vnx_StandardCursor_isStructValid(r.header));
        r.header->size = static_cast<uint16_t>(r.size + 8);
        EXPECT_FALSE(vnx_StandardCursor_isStructValid(r.header)) << r.size;
    }
}

TEST(StandardCursorRecords, ConfigDefaults)
{
    auto config = filled<vnx_StandardCursor_Config_s>();
    vnx_StandardCursor_initConfig(&config);
    EXPECT_EQ(valueAt<int16_t>(&config, 32), 16384);
    EXPECT_EQ(valueAt<int16_t>(&config, 34), 0);
    EXPECT_EQ(valueAt<int16_t>(&config, 38), 0);
    EXPECT_EQ(byteAt(config, 40), 1);
    EXPECT_EQ(byteAt(config, 41), 15);
    EXPECT_EQ(byteAt(config, 42), kFillByte);
    EXPECT_EQ(byteAt(config, 43), kFillByte);
    const uint32_t holds[] = {376000, 128000, 296000, 296000};
    const uint32_t radii[] = {35, 8, 45, 45};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(valueAt<uint32_t>(&config, 44 + 4 * k), holds[k]);
        EXPECT_EQ(valueAt<uint32_t>(&config, 60 + 4 * k), radii[k]);
    }
    EXPECT_EQ(valueAt<int32_t>(&config, 76), 65536);
    EXPECT_EQ(byteAt(config, 80), 0);
    EXPECT_EQ(valueAt<uint32_t>(&config, 84), 0xFFFFFF81u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 88), 127u);
    for (std::size_t i : {81u, 82u, 83u, 92u, 93u, 94u, 95u})
        EXPECT_EQ(byteAt(config, i), kFillByte) << i;
}

TEST(StandardCursorRecords, FormatAndOutputInitialisersLeaveTheirUnwrittenBytes)
{
    auto format = filled<vnx_StandardCursor_Format_s>();
    vnx_StandardCursor_initFormat(&format);
    for (std::size_t i = 8; i < 22; ++i)
        EXPECT_EQ(byteAt(format, i), 0) << i;
    for (std::size_t i = 24; i < 28; ++i)
        EXPECT_EQ(byteAt(format, i), 0) << i;
    for (std::size_t i : {22u, 23u, 28u, 31u})
        EXPECT_EQ(byteAt(format, i), kFillByte) << i;

    auto output = filled<vnx_StandardCursor_Output_s>();
    vnx_StandardCursor_initOutput(&output);
    for (std::size_t i = 8; i < 36; ++i)
        EXPECT_EQ(byteAt(output, i), 0) << i;
    for (std::size_t i = 36; i < 40; ++i)
        EXPECT_EQ(byteAt(output, i), kFillByte) << i;

    auto command = filled<vnx_StandardCursor_Command_s>();
    vnx_StandardCursor_initCommand(&command);
    EXPECT_EQ(command.code, 0u);
}

} // namespace
