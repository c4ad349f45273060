#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "extendedCursor/ExtendedCursorRecords.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::kFillByte;
using vnx::testsupport::valueAt;

TEST(ExtendedCursorRecords, SizesKindsAndVersions)
{
    auto config = filled<vnx_ExtendedCursor_Config_s>();
    auto command = filled<vnx_ExtendedCursor_Command_s>();
    auto status = filled<vnx_ExtendedCursor_Status_s>();
    auto format = filled<vnx_ExtendedCursor_Format_s>();
    auto output = filled<vnx_ExtendedCursor_Output_s>();
    EXPECT_EQ(vnx_ExtendedCursor_initConfig(&config), 0);
    EXPECT_EQ(vnx_ExtendedCursor_initCommand(&command), 0);
    EXPECT_EQ(vnx_ExtendedCursor_initStatus(&status), 0);
    EXPECT_EQ(vnx_ExtendedCursor_initFormat(&format), 0);
    EXPECT_EQ(vnx_ExtendedCursor_initOutput(&output), 0);
    const struct
    {
        const vnx_Struct_s* header;
        uint16_t size;
        uint8_t kind;
    } records[] = {{&config.config.header, 168, 1},
                   {&command.command.header, 72, 2},
                   {&status.header, 32, 3},
                   {&format.format.header, 24, 4},
                   {&output.output.header, 48, 5}};
    for (const auto& r : records) {
        EXPECT_EQ(r.header->size, r.size);
        EXPECT_EQ(r.header->type, 9);
        EXPECT_EQ(r.header->kind, r.kind);
        EXPECT_EQ(r.header->version, 1);
        EXPECT_EQ(r.header->instanceId, 0);
        EXPECT_TRUE(vnx_ExtendedCursor_isStructValid(r.header)) << int(r.kind);
    }
}

TEST(ExtendedCursorRecords, ConfigDefaultsEmbedAStandardCursorConfig)
{
    auto config = filled<vnx_ExtendedCursor_Config_s>();
    vnx_ExtendedCursor_initConfig(&config);
    EXPECT_EQ(valueAt<int32_t>(&config, 16), 0);
    EXPECT_EQ(valueAt<int64_t>(&config, 24), -1);
    EXPECT_EQ(valueAt<uint32_t>(&config, 128), 1u);
    EXPECT_EQ(valueAt<float>(&config, 132), 0.5235988f);
    EXPECT_EQ(valueAt<uint32_t>(&config, 136), 1u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 140), 1u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 144), 2u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 148), 0u);
    EXPECT_EQ(valueAt<float>(&config, 152), 1.2f);
    EXPECT_EQ(valueAt<float>(&config, 156), 0.0349066f);
    EXPECT_EQ(valueAt<float>(&config, 160), 1e8f);
    for (std::size_t i = 164; i < 168; ++i)
        EXPECT_EQ(byteAt(config, i), kFillByte) << i;

    // Bytes 32-127 are a whole StandardCursor Config with its defaults.
    auto standard = filled<vnx_StandardCursor_Config_s>();
    vnx_StandardCursor_initConfig(&standard);
    EXPECT_EQ(std::memcmp(&config.standardCursor, &standard, sizeof standard), 0);
    EXPECT_EQ(byteAt(config, 32 + 0), 96); // its own size
    EXPECT_EQ(byteAt(config, 72), 1);      // roll compensation
    EXPECT_EQ(byteAt(config, 73), 15);     // option bits
    EXPECT_EQ(valueAt<uint32_t>(&config, 76), 376000u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 104), 45u);
    EXPECT_EQ(valueAt<int32_t>(&config, 108), 65536);
    EXPECT_EQ(byteAt(config, 112), 0);
    EXPECT_EQ(valueAt<uint32_t>(&config, 116), 0xFFFFFF81u);
    EXPECT_EQ(valueAt<uint32_t>(&config, 120), 127u);
}

TEST(ExtendedCursorRecords, InitialisersLeaveTheirUnwrittenBytes)
{
    auto command = filled<vnx_ExtendedCursor_Command_s>();
    vnx_ExtendedCursor_initCommand(&command);
    EXPECT_EQ(command.code, 0u);
    for (std::size_t i = 36; i < 44; ++i)
        EXPECT_EQ(byteAt(command, i), 0) << i;
    for (std::size_t i = 44; i < 72; ++i)
        EXPECT_EQ(byteAt(command, i), kFillByte) << i;

    auto output = filled<vnx_ExtendedCursor_Output_s>();
    vnx_ExtendedCursor_initOutput(&output);
    for (std::size_t i = 8; i < 44; ++i)
        EXPECT_EQ(byteAt(output, i), 0) << i;
    for (std::size_t i = 44; i < 48; ++i)
        EXPECT_EQ(byteAt(output, i), kFillByte) << i;

    auto format = filled<vnx_ExtendedCursor_Format_s>();
    vnx_ExtendedCursor_initFormat(&format);
    for (std::size_t i = 8; i < 20; ++i)
        EXPECT_EQ(byteAt(format, i), 0) << i;
    for (std::size_t i = 20; i < 24; ++i)
        EXPECT_EQ(byteAt(format, i), kFillByte) << i;
}

TEST(ExtendedCursorRecords, ValueRecordInitialisers)
{
    vnx_ExtendedCursor_Bounds_s bounds{9, 9, 9, 9};
    EXPECT_EQ(vnx_ExtendedCursor_initBounds(&bounds), 0);
    EXPECT_EQ(bounds.x, 0);
    EXPECT_EQ(bounds.y, 0);
    EXPECT_EQ(bounds.width, 1280);
    EXPECT_EQ(bounds.height, 720);
    vnx_ExtendedCursor_SetBoundsData_s data;
    std::memset(&data, 0x55, sizeof data);
    EXPECT_EQ(vnx_ExtendedCursor_initSetBoundsData(&data), 0);
    EXPECT_EQ(std::memcmp(&data.osdBounds, &bounds, sizeof bounds), 0);
    EXPECT_EQ(std::memcmp(&data.pointerLimits, &bounds, sizeof bounds), 0);
    vnx_ExtendedCursor_ForceLocationData_s location{5, 6};
    EXPECT_EQ(vnx_ExtendedCursor_initForceLocationData(&location), 0);
    EXPECT_EQ(location.x, 0);
    EXPECT_EQ(location.y, 0);
    EXPECT_EQ(vnx_ExtendedCursor_initBounds(nullptr), -2);
}

TEST(ExtendedCursorRecords, ValidityAndDynamicCastsCheckTheWholeHeader)
{
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    vnx_StructConfig_s* generic = vnx_ExtendedCursor_upCastConfig(&config);
    EXPECT_EQ(vnx_ExtendedCursor_dynamicDownCastConfig(generic), &config);

    struct Mutation
    {
        const char* what;
        void (*apply)(vnx_Struct_s&);
    };
    const Mutation mutations[] = {
        {"version 2", [](vnx_Struct_s& h) { h.version = 2; }},
        {"size 160", [](vnx_Struct_s& h) { h.size = 160; }},
        {"type 6", [](vnx_Struct_s& h) { h.type = 6; }},
        {"kind 6", [](vnx_Struct_s& h) { h.kind = 6; }},
        {"kind 2 with the Config size", [](vnx_Struct_s& h) { h.kind = 2; }},
    };
    for (const Mutation& m : mutations) {
        vnx_ExtendedCursor_Config_s copy = config;
        m.apply(copy.config.header);
        EXPECT_FALSE(vnx_ExtendedCursor_isStructValid(&copy.config.header)) << m.what;
        EXPECT_EQ(vnx_ExtendedCursor_dynamicDownCastConfig(&copy.config), nullptr) << m.what;
    }
    // Commands with any code are valid records.
    vnx_ExtendedCursor_Command_s command;
    vnx_ExtendedCursor_initCommand(&command);
    command.code = 13;
    EXPECT_TRUE(vnx_ExtendedCursor_isStructValid(&command.command.header));
}

} // namespace
