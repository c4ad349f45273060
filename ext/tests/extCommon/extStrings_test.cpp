#include <gtest/gtest.h>

#include <string>

#include "common/coreStrings.h"
#include "common/stringTable.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "extCommon/extStrings.h"
#include "extCommon/extVersion.h"

namespace {

TEST(ExtStatusNames, EveryCodeHasItsName)
{
    const struct
    {
        int code;
        const char* name;
    } cases[] = {
        {-1040, "MODULE_ALLOCATION_ERROR"},
        {-1030, "INVALID_MESSAGE"},
        {-1015, "IO_INVALID_HANDLE"},
        {-1014, "IO_DENIED"},
        {-1013, "IO_CLOSED"},
        {-1012, "IO_NO_DATA"},
        {-1011, "IO_ERROR"},
        {-1010, "IO_NOT_READY"},
        {-971, "DEVICE_BUSY"},
        {-970, "DEVICE_NOT_FOUND"},
        {-969, "DEVICE_TIMEOUT"},
        {-968, "DEVICE_CLOSED"},
        {-967, "DEVICE_NOT_READY"},
        {-966, "DEVICE_REMOVED"},
        {-963, "DEVICE_FAILED_TO_CLOSE"},
        {-962, "DEVICE_FAILED_TO_OPEN"},
        {-961, "DEVICE_ALREADY_OPEN"},
        {-960, "DEVICE_INVALID_ID"},
        {960, "WARNING_SKIP_HANDLING"},
        {980, "WARNING_DECODE_INCOMPLETE"},
        {981, "WARNING_DECODE_INACTIVE"},
        {1010, "WARNING_IO_UNRECOGNIZED_MSG"},
    };
    for (const auto& c : cases) {
        const char* name = vnx_ext_statusToString(c.code);
        ASSERT_NE(name, nullptr) << c.code;
        EXPECT_STREQ(name, c.name) << c.code;
    }
}

TEST(ExtStatusNames, CodesOutsideTheTableHaveNone)
{
    for (int code :
         {-965, -964, 0, -1, -2, -25, 6, -1041, -1039, -1016, -972, -959, 959, 961, 979, 982, 1009, 1011}) {
        EXPECT_EQ(vnx_ext_statusToString(code), nullptr) << code;
    }
}

TEST(ExtTypeNames, EveryIdHasItsName)
{
    const struct
    {
        int id;
        const char* name;
    } cases[] = {
        {96, "Logger"},
        {97, "Vnxd"},
        {98, "ButtonMapper"},
        {99, "CursorMover"},
        {100, "MotionPipe"},
        {101, "MotionFloatPipe"},
        {102, "ExtendedPipeBundle"},
        {103, "DeviceForwarding"},
        {104, "SerializationModule"},
        {105, "StandardMoverBundle"},
        {106, "TwoWaySplitter"},
        {112, "Domain"},
        {113, "Device"},
        {114, "QdHid1Domain"},
        {115, "QdHid1Device"},
        {116, "ManualDomain"},
        {117, "ManualDevice"},
        {118, "XmlFileDomain"},
        {119, "XmlFileDevice"},
        {120, "TlinkDomain"},
        {121, "TlinkDevice"},
        {122, "TlinkPipeDomain"},
        {123, "TlinkPipeDevice"},
        {124, "TlinkHid1Domain"},
        {125, "TlinkHid1Device"},
    };
    for (const auto& c : cases) {
        const char* name = vnx_ext_typeToString(c.id);
        ASSERT_NE(name, nullptr) << c.id;
        EXPECT_STREQ(name, c.name) << c.id;
    }
}

TEST(ExtTypeNames, IdsOutsideTheTableHaveNone)
{
    for (int id : {107, 108, 109, 110, 111, 95, 126, 0, 5, -96, 96 + 256, 255}) {
        EXPECT_EQ(vnx_ext_typeToString(id), nullptr) << id;
    }
}

// Registered beside the core's names, as the libraries' start leaves them.
class ExtStringRegistration : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vnx_StringTable_initialize();
        vnx_core_registerStrings();
    }
    void TearDown() override { vnx_StringTable_finalize(); }
};

TEST_F(ExtStringRegistration, NamesReachTheStringTableOnlyWhileRegistered)
{
    EXPECT_STREQ(vnx_statusToString(-1010), "<Unknown Status Code (-1010)>");
    EXPECT_STREQ(vnx_typeToString(113), "<Unknown Type (113)>");

    EXPECT_EQ(vnx_ext_registerStrings(), 0);
    EXPECT_STREQ(vnx_statusToString(-1010), "IO_NOT_READY");
    EXPECT_STREQ(vnx_statusToString(981), "WARNING_DECODE_INACTIVE");
    EXPECT_STREQ(vnx_typeToString(113), "Device");
    EXPECT_STREQ(vnx_typeToString(122), "TlinkPipeDomain");
    // The core's names still answer for the core's codes and ids.
    EXPECT_STREQ(vnx_statusToString(-2), "INVALID_PARAMETER");
    EXPECT_STREQ(vnx_typeToString(5), "ButtonActivity");
    EXPECT_STREQ(vnx_statusToString(-965), "<Unknown Status Code (-965)>");
    EXPECT_STREQ(vnx_typeToString(108), "<Unknown Type (108)>");

    EXPECT_EQ(vnx_ext_unregisterStrings(), 0);
    EXPECT_STREQ(vnx_statusToString(-1010), "<Unknown Status Code (-1010)>");
    EXPECT_STREQ(vnx_typeToString(113), "<Unknown Type (113)>");
    EXPECT_STREQ(vnx_statusToString(-2), "INVALID_PARAMETER");
    // A second removal finds nothing to remove.
    EXPECT_EQ(vnx_ext_unregisterStrings(), -2);
}

TEST(ExtVersion, BannerNamesTheLibraryAndItsVersion)
{
    const std::string banner = vnx_ext_get_version();
    EXPECT_NE(banner.find("ext"), std::string::npos) << banner;
    EXPECT_NE(banner.find("3.1.4.0"), std::string::npos) << banner;
    EXPECT_EQ(banner, vnx_ext_get_version());
}

} // namespace
