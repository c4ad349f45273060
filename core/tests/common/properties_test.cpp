#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

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

TEST(Properties, LongNamesAreCutToA255CharacterVariableName)
{
    const std::string longName(300, 'N');
    const std::string variable = "VNX_" + longName.substr(0, 251);
    ASSERT_EQ(variable.size(), 255u);
    ScopedEnv env(variable, "cut");
    EXPECT_STREQ(vnx_properties_get(longName.c_str()), "cut");
}

TEST(Properties, SetRefusesANameThatLeavesNoRoomForTheValue)
{
    const std::string longName(300, 'M');
    const std::string variable = "VNX_" + longName.substr(0, 251);
    ScopedEnv env(variable, "kept");
    // The cut "VNX_MMM..." text has no "=": handing it to the environment
    // would remove the variable instead of setting it.
    EXPECT_FALSE(vnx_properties_set(longName.c_str(), "value"));
    EXPECT_STREQ(std::getenv(variable.c_str()), "kept");
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
