#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "common/NodeManager.h"
#include "common/properties.h"
#include "log/Logger.h"
#include "scopedEnv.h"

namespace {

TEST(Properties, BooleanReadsOnlyTheFourFalseWordsAsFalse)
{
    struct Case
    {
        const char* value;
        bool expected;
    };
    const Case cases[] = {
        {"False", false}, {"false", false}, {"FALSE", false}, {"0", false}, {"no", true},
        {"", true},       {"1", true},      {"fALSE", true},  {"00", true}, {"True", true},
    };
    for (const Case& c : cases) {
        ScopedEnv env("VNX_LOG_OUTPUT", c.value);
        EXPECT_EQ(vnx_properties_getAsBoolean("LOG_OUTPUT", !c.expected), c.expected)
            << '"' << c.value << '"';
    }
}

TEST(Properties, UnsetPropertiesGiveTheDefault)
{
    ScopedEnv env("VNX_LOG_OUTPUT", nullptr);
    EXPECT_TRUE(vnx_properties_getAsBoolean("LOG_OUTPUT", true));
    EXPECT_FALSE(vnx_properties_getAsBoolean("LOG_OUTPUT", false));
    EXPECT_EQ(vnx_properties_getAsInt("LOG_OUTPUT", 42), 42);
    EXPECT_STREQ(vnx_properties_getAsString("LOG_OUTPUT", "dflt"), "dflt");
    EXPECT_EQ(vnx_properties_get("LOG_OUTPUT"), nullptr);
}

TEST(Properties, EmptyValueCountsAsSet)
{
    ScopedEnv env("VNX_LOGGING_DIR", "");
    EXPECT_STREQ(vnx_properties_getAsString("LOGGING_DIR", "."), "");
    ASSERT_NE(vnx_properties_get("LOGGING_DIR"), nullptr);
}

TEST(Properties, IntegerIsTheLeadingDecimalNumber)
{
    struct Case
    {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"-7", -7},
        {" 5", 5},
        {"", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) {
        ScopedEnv env("VNX_DCD_PATH", c.value);
        EXPECT_EQ(vnx_properties_getAsInt("DCD_PATH", 3), c.expected) << '"' << c.value << '"';
    }
}

TEST(Properties, SetValueIsReadBackAndReplacedByALaterSet)
{
    ScopedEnv env("VNX_DCD_PATH", nullptr);
    ASSERT_TRUE(vnx_properties_set("DCD_PATH", "/home/user/Documents/dcd"));
    EXPECT_STREQ(vnx_properties_getAsString("DCD_PATH", "/tmp"), "/home/user/Documents/dcd");
    ASSERT_TRUE(vnx_properties_set("DCD_PATH", "/var/dcd"));
    EXPECT_STREQ(vnx_properties_getAsString("DCD_PATH", "/tmp"), "/var/dcd");
    EXPECT_STREQ(std::getenv("VNX_DCD_PATH"), "/var/dcd");
}

TEST(Properties, SetBuffersStayValidForTheEnvironment)
{
    ScopedEnv first("VNX_PROP_A", nullptr);
    ScopedEnv second("VNX_PROP_B", nullptr);
    ASSERT_TRUE(vnx_properties_set("PROP_A", "one"));
    // Many later sets must not move or free the buffer the environment holds.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(vnx_properties_set("PROP_B", std::to_string(i).c_str()));
    }
    EXPECT_STREQ(vnx_properties_get("PROP_A"), "one");
    EXPECT_STREQ(vnx_properties_get("PROP_B"), "199");
}

TEST(Properties, NamesUpToTheLimitWorkAndLongerOnesAreRefused)
{
    // 251 characters is the longest name: "VNX_" and the name fill 255.
    const std::string longest(251, 'N');
    const std::string over(252, 'N');
    const std::string far(300, 'N');
    ScopedEnv atLimit("VNX_" + longest, "at the limit");
    ScopedEnv overLimit("VNX_" + over, "one over");
    EXPECT_STREQ(vnx_properties_get(longest.c_str()), "at the limit");

    // One character more, or many: refused, and the name cut to the limit
    // is neither read nor written in its place.
    for (const std::string& name : {over, far}) {
        EXPECT_EQ(vnx_properties_get(name.c_str()), nullptr);
        EXPECT_STREQ(vnx_properties_getAsString(name.c_str(), "default"), "default");
        EXPECT_EQ(vnx_properties_getAsInt(name.c_str(), 17), 17);
        EXPECT_TRUE(vnx_properties_getAsBoolean(name.c_str(), true));
        EXPECT_FALSE(vnx_properties_set(name.c_str(), "0"));
    }
    EXPECT_STREQ(std::getenv(("VNX_" + longest).c_str()), "at the limit");
    EXPECT_STREQ(std::getenv(("VNX_" + over).c_str()), "one over");

    // A set needs room for "=" as well: 250 characters at most.
    ScopedEnv settable("VNX_" + longest.substr(0, 250), nullptr);
    EXPECT_FALSE(vnx_properties_set(longest.c_str(), "x"));
    EXPECT_TRUE(vnx_properties_set(longest.substr(0, 250).c_str(), "x"));
    EXPECT_STREQ(vnx_properties_get(longest.substr(0, 250).c_str()), "");
    EXPECT_STREQ(std::getenv(("VNX_" + longest).c_str()), "at the limit");
}

TEST(Properties, NameWithAnEqualsSignIsRefused)
{
    ScopedEnv target("VNX_LOG_OUTPUT", "kept");
    EXPECT_FALSE(vnx_properties_set("LOG_OUTPUT=1", "x"));
    EXPECT_FALSE(vnx_properties_set("=", "x"));
    EXPECT_STREQ(std::getenv("VNX_LOG_OUTPUT"), "kept");
}

/// Resident memory of this process in bytes.
long residentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return -1;
    }
    const int read = std::fscanf(statm, "%ld %ld", &pages, &resident);
    std::fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

TEST(Properties, SettingOneNameAMillionTimesTakesNoMoreMemory)
{
    ScopedEnv env("VNX_LOG_OUTPUT", nullptr);
    char value[32];
    // The name's buffer is made by the first set.
    ASSERT_TRUE(vnx_properties_set("LOG_OUTPUT", "start"));
    const long before = residentBytes();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000000; ++i) {
        std::snprintf(value, sizeof value, "%d", i);
        ASSERT_TRUE(vnx_properties_set("LOG_OUTPUT", value));
    }
    EXPECT_LT(residentBytes() - before, 1L << 20);
    EXPECT_STREQ(vnx_properties_get("LOG_OUTPUT"), "999999");
}

TEST(Properties, LongValuesAreCutTo255CharactersInAll)
{
    ScopedEnv env("VNX_DCD_PATH", nullptr);
    const std::string value(400, 'v');
    ASSERT_TRUE(vnx_properties_set("DCD_PATH", value.c_str()));
    EXPECT_EQ(std::strlen(vnx_properties_get("DCD_PATH")), 255u - std::strlen("VNX_DCD_PATH="));
}

TEST(Properties, NullArgumentsAreAnsweredWithoutALookup)
{
    EXPECT_EQ(vnx_properties_getAsString(nullptr, nullptr), nullptr);
    EXPECT_STREQ(vnx_properties_getAsString(nullptr, "d"), "d");
    EXPECT_EQ(vnx_properties_get(nullptr), nullptr);
    EXPECT_FALSE(vnx_properties_set(nullptr, "x"));
}

TEST(Properties, InitializePlacesThePropertiesLoggerUnderSysOnce)
{
    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    vnx_properties_initialize();
    vnx_properties_initialize();
    const vnx::NodeInterface* node = nodes.getNode("sys.Properties");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getNodeType(), vnx::NodeInterface::NODE_LOG);
    const auto* logger = static_cast<const vnx::log::Logger*>(**node);
    EXPECT_STREQ(logger->getBlockName(), "vnx_core_Properties");
    EXPECT_STREQ(logger->getLocalName(), "Properties");
    EXPECT_EQ(nodes.toString(),
              "ROOT tree\n    sys [subnode]\n        NodeManager [log]\n        Properties [log]\n");

    // After the tree is rebuilt the next start places it again.
    nodes.reset();
    EXPECT_EQ(nodes.getNode("sys.Properties"), nullptr);
    vnx_properties_initialize();
    EXPECT_NE(nodes.getNode("sys.Properties"), nullptr);
    nodes.reset();
}

} // namespace
