#include <gtest/gtest.h>

#include <string>

#include "common/coreStrings.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/stringTable.h"

namespace {

// Leaves the registry as the core library's start leaves it and empties it
// again afterwards, so no test sees another's lookups.
class StringTableTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vnx_StringTable_initialize();
        vnx_core_registerStrings();
    }
    void TearDown() override { vnx_StringTable_finalize(); }
};

const char* statusA(int32_t code)
{
    return code == 1000 ? "A_1000" : nullptr;
}
const char* statusB(int32_t code)
{
    return code == 1001 ? "B_1001" : nullptr;
}
const char* statusC(int32_t code)
{
    return code == 1002 ? "C_1002" : nullptr;
}
const char* statusD(int32_t code)
{
    return code == 1003 ? "D_1003" : nullptr;
}
const char* statusShadow(int32_t code)
{
    return code == 0 ? "SHADOW_SUCCESS" : nullptr;
}
const char* typeExt(uint8_t id)
{
    return id == 96 ? "ExtModule" : nullptr;
}
const char* typeShadow(uint8_t id)
{
    return id == 5 ? "ShadowButtons" : nullptr;
}

TEST_F(StringTableTest, CoreStatusNames)
{
    const struct
    {
        int32_t code;
        const char* name;
    } cases[] = {
        {-25, "MODULE_ALREADY_EXISTS"},
        {-24, "ARRAY_SIZE_MISMATCH"},
        {-17, "INVALID_INTERFACE"},
        {-16, "SATURATION"},
        {-11, "SIZE_TOO_SMALL"},
        {-10, "INTERNAL_ERROR"},
        {-8, "MISMATCHED_CONFIG"},
        {-4, "INVALID_CONFIG"},
        {-3, "NOT_FOR_ME"},
        {-2, "INVALID_PARAMETER"},
        {-1, "FEATURE_NOT_IMPLEMENTED"},
        {0, "SUCCESS"},
        {1, "WARNING_DCD_SCD_MISMATCH"},
        {4, "WARNING_WAITING_FOR_FUSION"},
        {6, "NO_MORE_WORK_TO_BE_DONE"},
        {-7, "<Unknown Status Code (-7)>"},
        {-6, "<Unknown Status Code (-6)>"},
        {-5, "<Unknown Status Code (-5)>"},
        {-26, "<Unknown Status Code (-26)>"},
        {7, "<Unknown Status Code (7)>"},
        {-2147483647 - 1, "<Unknown Status Code (-2147483648)>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(vnx_statusToString(c.code)), c.name) << c.code;
    }
}

TEST_F(StringTableTest, CoreTypeNamesUseTheLowByteOnly)
{
    const struct
    {
        int id;
        const char* name;
    } cases[] = {
        {1, "DeviceSupport"},
        {5, "ButtonActivity"},
        {7, "TestModule"},
        {15, "SensorInterpretationSixteen"},
        {16, "SensorInterpretation9Axis"},
        {17, "SensorFusion9Axis"},
        {21, "SensorFusionPerDevice"},
        {22, "DeviceSupport6AG"},
        {24, "MultistrokeGesture"},
        {18, "<Unknown Type (18)>"},
        {0, "<Unknown Type (0)>"},
        {25, "<Unknown Type (25)>"},
        {261, "ButtonActivity"},
        {255, "<Unknown Type (255)>"},
        {-1, "<Unknown Type (255)>"},
        {256 + 18, "<Unknown Type (18)>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::string(vnx_typeToString(c.id)), c.name) << c.id;
    }
}

TEST_F(StringTableTest, CoreLookupsAnswerOnlyInsideTheirRange)
{
    EXPECT_EQ(vnx_core_statusToString(-26), nullptr);
    EXPECT_EQ(vnx_core_statusToString(-6), nullptr);
    EXPECT_EQ(vnx_core_statusToString(7), nullptr);
    EXPECT_EQ(vnx_core_typeToString(0), nullptr);
    EXPECT_EQ(vnx_core_typeToString(18), nullptr);
    EXPECT_EQ(vnx_core_typeToString(25), nullptr);
}

TEST_F(StringTableTest, FifthRegistrationIsRefusedAndEarlierLookupsStillAnswer)
{
    // The core lookup holds slot 0.
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusA), 0);
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusB), 0);
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusC), 0);
    EXPECT_EQ(vnx_StringTable_registerErrorLookup(statusD), VNX_STATUS_SIZE_TOO_SMALL);

    EXPECT_STREQ(vnx_statusToString(-3), "NOT_FOR_ME");
    EXPECT_STREQ(vnx_statusToString(1000), "A_1000");
    EXPECT_STREQ(vnx_statusToString(1001), "B_1001");
    EXPECT_STREQ(vnx_statusToString(1002), "C_1002");
    EXPECT_STREQ(vnx_statusToString(1003), "<Unknown Status Code (1003)>");
}

TEST_F(StringTableTest, FullTypeArrayRefusesTheFifthLookup)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(vnx_StringTable_registerTypeLookup(typeExt), 0);
    }
    EXPECT_EQ(vnx_StringTable_registerTypeLookup(typeShadow), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_STREQ(vnx_typeToString(96), "ExtModule");
    EXPECT_STREQ(vnx_typeToString(5), "ButtonActivity");
}

TEST_F(StringTableTest, NullLookupsAreRefused)
{
    EXPECT_EQ(vnx_StringTable_registerErrorLookup(nullptr), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(vnx_StringTable_registerTypeLookup(nullptr), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(vnx_StringTable_unregisterErrorLookup(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_StringTable_unregisterTypeLookup(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TEST_F(StringTableTest, UnregisteringAnUnknownLookupChangesNothing)
{
    EXPECT_EQ(vnx_StringTable_unregisterErrorLookup(statusA), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_StringTable_unregisterTypeLookup(typeExt), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_STREQ(vnx_statusToString(0), "SUCCESS");
    EXPECT_STREQ(vnx_typeToString(5), "ButtonActivity");
}

TEST_F(StringTableTest, EarlierRegistrationNamesSharedCodes)
{
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusShadow), 0);
    ASSERT_EQ(vnx_StringTable_registerTypeLookup(typeShadow), 0);
    EXPECT_STREQ(vnx_statusToString(0), "SUCCESS");
    EXPECT_STREQ(vnx_typeToString(5), "ButtonActivity");

    // With the core lookups gone, the later ones answer.
    vnx_core_unregisterStrings();
    EXPECT_STREQ(vnx_statusToString(0), "SHADOW_SUCCESS");
    EXPECT_STREQ(vnx_typeToString(5), "ShadowButtons");
}

TEST_F(StringTableTest, UnregisterEmptiesTheLowerOfTwoSlots)
{
    vnx_core_unregisterStrings();
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusA), 0); // slot 0
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusB), 0); // slot 1
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusA), 0); // slot 2
    EXPECT_EQ(vnx_StringTable_unregisterErrorLookup(statusA), 0);
    EXPECT_STREQ(vnx_statusToString(1000), "A_1000");

    // The freed slot 0 is the next one filled.
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusC), 0);
    ASSERT_EQ(vnx_StringTable_registerErrorLookup(statusD), 0);
    EXPECT_EQ(vnx_StringTable_registerErrorLookup(statusShadow), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_STREQ(vnx_statusToString(1002), "C_1002");
    EXPECT_STREQ(vnx_statusToString(1003), "D_1003");
}

TEST_F(StringTableTest, AfterCoreUnregistrationEverythingFallsBack)
{
    EXPECT_EQ(vnx_core_unregisterStrings(), 0);
    EXPECT_STREQ(vnx_statusToString(0), "<Unknown Status Code (0)>");
    EXPECT_STREQ(vnx_typeToString(5), "<Unknown Type (5)>");
    EXPECT_EQ(vnx_core_unregisterStrings(), VNX_STATUS_INVALID_PARAMETER);
}

TEST_F(StringTableTest, FinalizeClearsEverySlot)
{
    ASSERT_EQ(vnx_StringTable_registerTypeLookup(typeExt), 0);
    EXPECT_EQ(vnx_StringTable_finalize(), 0);
    EXPECT_STREQ(vnx_statusToString(-3), "<Unknown Status Code (-3)>");
    EXPECT_STREQ(vnx_typeToString(96), "<Unknown Type (96)>");
    // All four slots are free again.
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(vnx_StringTable_registerTypeLookup(typeExt), 0);
    }
}

} // namespace
