// The bundle library's entry: type names, factories by type id, version
// banner, and the record families of the three bundles.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bundleEntry/bundleEntry.h"
#include "bundleTestSupport/bundleLibraries.h"
#include "common/stringTable.h"
#include "extendedBundle/ExtendedBundleRecords.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "standardBundle/StandardBundleRecords.h"
#include "support/recordBytes.h"

namespace bundleTest {
namespace {

using vnx::ModuleFactory;
using vnx::testsupport::byteAt;
using vnx::testsupport::filled;
using vnx::testsupport::valueAt;

TEST(BundleTypeNames, NameTheBundleIdsAndNothingAround)
{
    struct Case
    {
        uint8_t id;
        const char* name;
    };
    const Case cases[] = {
        {63, nullptr},         {64, "StandardBundle"}, {65, "ExtendedBundle"}, {66, "ExtendedBundle9Axis"},
        {67, "GestureBundle"}, {68, "MobileBundle"},   {69, nullptr},          {0, nullptr},
        {255, nullptr}};
    for (const Case& c : cases) {
        const char* name = vnx_bundle_typeToString(c.id);
        if (c.name == nullptr) {
            EXPECT_EQ(name, nullptr) << int(c.id);
        } else {
            ASSERT_NE(name, nullptr) << int(c.id);
            EXPECT_STREQ(name, c.name);
        }
    }
}

TEST(BundleEntry, InitializeNamesTheIdsAndFinalizeRemovesTheNames)
{
    vnx_core_initialize();
    EXPECT_STREQ(vnx_typeToString(66), "<Unknown Type (66)>");
    EXPECT_EQ(vnx_bundle_initialize(), 1);
    EXPECT_STREQ(vnx_typeToString(66), "ExtendedBundle9Axis");
    EXPECT_STREQ(vnx_typeToString(3), "SensorFusion"); // the core names stay
    EXPECT_EQ(vnx_bundle_finalize(), 1);
    EXPECT_STREQ(vnx_typeToString(66), "<Unknown Type (66)>");
    vnx_core_finalize();
}

TEST(BundleEntry, FactoriesExistFromInitializeToFinalize)
{
    vnx_core_initialize();
    EXPECT_EQ(ModuleFactory::createModule(65), nullptr);
    vnx_bundle_initialize();
    for (uint8_t type : {64, 65, 67}) {
        vnx::ModuleInterface* module = ModuleFactory::createModule(nullptr, type);
        ASSERT_NE(module, nullptr) << int(type);
        EXPECT_EQ(module->getType(), type);
        EXPECT_EQ(ModuleFactory::destroyModule(module), 0);
    }
    // Named, but no module of these types exists.
    EXPECT_EQ(ModuleFactory::createModule(66), nullptr);
    EXPECT_EQ(ModuleFactory::createModule(68), nullptr);
    EXPECT_STREQ(ModuleFactory::typeIdToString(65), "ExtendedBundle");
    vnx_bundle_finalize();
    EXPECT_EQ(ModuleFactory::createModule(65), nullptr);
    vnx_core_finalize();
}

TEST(BundleEntry, VersionBannerNamesLibraryVersionAndBuild)
{
    const std::string banner = vnx_bundle_get_version();
    EXPECT_NE(banner.find("Kinemora-bundle"), std::string::npos) << banner;
    EXPECT_NE(banner.find("v3.1.4.0"), std::string::npos) << banner;
    EXPECT_NE(banner.find("s3104"), std::string::npos) << banner;
    EXPECT_EQ(vnx_bundle_get_version(), vnx_bundle_get_version());
}

TEST(BundleRecords, InitialisersWriteHeadersAndDefaults)
{
    auto extended = filled<vnx_ExtendedBundle_Config_s>();
    ASSERT_EQ(vnx_ExtendedBundle_initConfig(&extended), 0);
    EXPECT_EQ(valueAt<uint16_t>(&extended, 0), 104);
    EXPECT_EQ(byteAt(extended, 2), 65);
    EXPECT_EQ(byteAt(extended, 3), 1);
    EXPECT_EQ(byteAt(extended, 4), 1);
    EXPECT_EQ(valueAt<uint64_t>(&extended, 8), 0u);
    EXPECT_EQ(valueAt<uint32_t>(&extended, 16), 0u);
    EXPECT_EQ(valueAt<int64_t>(&extended, 24), -1);
    // The embedded detector Config with its own header; preset 3 at byte 64.
    EXPECT_EQ(valueAt<uint16_t>(&extended, 32), 72);
    EXPECT_EQ(byteAt(extended, 34), 14);
    EXPECT_EQ(valueAt<uint32_t>(&extended, 64), 3u);

    auto standard = filled<vnx_StandardBundle_Config_s>();
    ASSERT_EQ(vnx_StandardBundle_initConfig(&standard), 0);
    EXPECT_EQ(valueAt<uint16_t>(&standard, 0), 48);
    EXPECT_EQ(byteAt(standard, 2), 64);
    EXPECT_EQ(byteAt(standard, 32), 1);
    EXPECT_EQ(valueAt<int32_t>(&standard, 36), 65536);
    EXPECT_EQ(valueAt<int16_t>(&standard, 40), 16384);
    EXPECT_EQ(valueAt<int16_t>(&standard, 42), 0);
    EXPECT_EQ(valueAt<int16_t>(&standard, 44), 0);
    EXPECT_EQ(valueAt<int16_t>(&standard, 46), 0);

    auto command = filled<vnx_GestureBundle_Command_s>();
    ASSERT_EQ(vnx_GestureBundle_initCommand(&command), 0);
    EXPECT_EQ(valueAt<uint16_t>(&command, 0), 48);
    EXPECT_EQ(valueAt<uint32_t>(&command, 32), 0u);
    EXPECT_EQ(valueAt<uint64_t>(&command, 40), 0u);

    auto status = filled<vnx_GestureBundle_Status_s>();
    ASSERT_EQ(vnx_GestureBundle_initStatus(&status), 0);
    EXPECT_EQ(valueAt<uint16_t>(&status, 0), 56);
    for (size_t offset = 32; offset < 56; ++offset) {
        EXPECT_EQ(byteAt(status, offset), 0) << offset;
    }
    auto detail = filled<vnx_GestureBundle_StatusModuleDetail_s>();
    ASSERT_EQ(vnx_GestureBundle_initStatusModuleDetail(&detail), 0);
    EXPECT_EQ(detail.type, 0);
    EXPECT_EQ(detail.instanceId, 0u);
    EXPECT_EQ(vnx_GestureBundle_initStatusModuleDetail(nullptr), -2);
}

TEST(BundleRecords, ValidityChecksTypeKindVersionAndSize)
{
    struct Case
    {
        int (*isValid)(const vnx_Struct_s*);
        uint8_t type;
        uint16_t sizes[5]; // Config, Command, Status, Format, Output
    };
    const Case cases[] = {
        {vnx_StandardBundle_isStructValid, 64, {48, 40, 32, 16, 16}},
        {vnx_ExtendedBundle_isStructValid, 65, {104, 32, 32, 16, 16}},
        {vnx_GestureBundle_isStructValid, 67, {32, 48, 56, 16, 16}},
    };
    for (const Case& c : cases) {
        for (uint8_t kind = 1; kind <= 5; ++kind) {
            vnx_Struct_s header{};
            header.size = c.sizes[kind - 1];
            header.type = c.type;
            header.kind = kind;
            header.version = 1;
            EXPECT_TRUE(c.isValid(&header)) << int(c.type) << " kind " << int(kind);
            vnx_Struct_s wrong = header;
            wrong.size += 8;
            EXPECT_FALSE(c.isValid(&wrong));
            wrong = header;
            wrong.version = 2;
            EXPECT_FALSE(c.isValid(&wrong));
            wrong = header;
            wrong.type = static_cast<uint8_t>(c.type + 1);
            EXPECT_FALSE(c.isValid(&wrong));
        }
        vnx_Struct_s badKind{};
        badKind.size = 16;
        badKind.type = c.type;
        badKind.kind = 6;
        badKind.version = 1;
        EXPECT_FALSE(c.isValid(&badKind));
        EXPECT_FALSE(c.isValid(nullptr));
    }
}

TEST(BundleRecords, FactoryRecordsAreInitialisedAndFreedByTheFactory)
{
    BundleLibraries libraries;
    vnx_StructConfig_s* config = ModuleFactory::createConfig(65);
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(vnx_ExtendedBundle_isStructValid(&config->header), 1);
    EXPECT_EQ(valueAt<uint32_t>(config, 64), 3u);
    EXPECT_EQ(ModuleFactory::destroyConfig(config), 0);
    vnx_StructStatus_s* status = ModuleFactory::createStatus(67);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->header.size, 56);
    EXPECT_EQ(ModuleFactory::destroyStatus(status), 0);
}

} // namespace
} // namespace bundleTest
