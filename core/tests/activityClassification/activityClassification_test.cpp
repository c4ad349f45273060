#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "activityRig.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "moduleFactory/ModuleFactory.h"

namespace {

using activitytest::ActivityRig;
using activitytest::Sample;

constexpr Sample kStill{};

uint32_t wordAt(const vnx_ActivityClassification_Status_s& status, size_t offset)
{
    uint32_t word;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(&status) + offset, sizeof(word));
    return word;
}

vnx_ActivityClassification_Config_s defaultConfig()
{
    vnx_ActivityClassification_Config_s config;
    std::memset(&config, 0, sizeof(config));
    vnx_ActivityClassification_initConfig(&config);
    return config;
}

TEST(ActivityClassificationStillness, StillDeviceIsReportedAfterAMinuteThenEvery31Samples)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);

    rig.feed(kStill, ActivityRig::kSamplesPerMinute - 1);
    EXPECT_FALSE(rig.still());
    EXPECT_TRUE(rig.log.statuses.empty());

    ASSERT_EQ(rig.feed(kStill), VNX_STATUS_SUCCESS);
    EXPECT_TRUE(rig.still());
    ASSERT_EQ(rig.log.statuses.size(), 1u);
    const auto& status = rig.log.statuses[0];
    EXPECT_EQ(wordAt(status, 32), 1u);
    EXPECT_EQ(wordAt(status, 36), 2u); // bit 1: still; bytes 37-39 zero
    EXPECT_EQ(status.status.header.size, 40);
    EXPECT_EQ(rig.log.lastSource, static_cast<vnx::ModuleConfigInterface*>(&rig.module));

    for (int report = 2; report <= 4; ++report) {
        rig.feed(kStill, ActivityRig::kReportGap - 1);
        EXPECT_EQ(rig.log.statuses.size(), size_t(report - 1));
        rig.feed(kStill);
        EXPECT_EQ(rig.log.statuses.size(), size_t(report));
    }
    EXPECT_EQ(rig.log.foreign, 0);
}

TEST(ActivityClassificationStillness, EachSampleCountsOnceRestartsOrIsSkipped)
{
    // What one sample in the middle of a still minute does to the count.
    enum Effect
    {
        kCounts,
        kSkipped,
        kRestarts
    };
    struct Case
    {
        std::string name;
        Sample sample;
        Effect effect;
    };
    const Case cases[] = {
        {"y above 0.1 rad/s", {0.11f, 0.0f}, kRestarts},
        {"y below -0.1 rad/s", {-0.11f, 0.0f}, kRestarts},
        {"z above 0.1 rad/s", {0.0f, 0.11f}, kRestarts},
        {"y and z just within", {0.099f, -0.099f}, kCounts},
        {"x is not watched", {.rateX = 5.0f}, kCounts},
        {"one lost sample before it", {0.0f, 0.0f, 2}, kCounts},
        {"two lost samples before it", {0.0f, 0.0f, 3}, kSkipped},
        {"a repeated sample number", {0.0f, 0.0f, 0}, kRestarts},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActivityRig rig;
        ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
        rig.feed(kStill, ActivityRig::kSamplesPerMinute - 100);
        rig.feed(c.sample);
        rig.feed(kStill, 99);
        EXPECT_EQ(rig.still(), c.effect == kCounts);
        EXPECT_EQ(rig.log.statuses.size(), c.effect == kCounts ? 1u : 0u);
        if (c.effect == kSkipped) {
            rig.feed(kStill);
            EXPECT_TRUE(rig.still());
        }
        if (c.effect == kRestarts) {
            // A full minute after the restart, without the interrupted run.
            rig.feed(kStill, ActivityRig::kSamplesPerMinute - 100);
            EXPECT_FALSE(rig.still());
            rig.feed(kStill);
            EXPECT_TRUE(rig.still());
            EXPECT_EQ(rig.log.statuses.size(), 1u);
        }
    }
}

TEST(ActivityClassificationStillness, MotionEndsTheReportsAndClearsTheOutputBit)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    rig.feed(kStill, ActivityRig::kSamplesPerMinute);
    ASSERT_EQ(rig.log.statuses.size(), 1u);
    rig.feed({0.5f, 0.0f});
    EXPECT_FALSE(rig.still());
    rig.feed(kStill, 200);
    EXPECT_FALSE(rig.still());
    EXPECT_EQ(rig.log.statuses.size(), 1u);
}

TEST(ActivityClassificationFlags, InterpretationFlagIsReportedAtOnceAndMuted)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    const Sample flagged{0.5f, 0.5f, 1, true};
    rig.feed(flagged);
    EXPECT_EQ(rig.output.flags, VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG);
    ASSERT_EQ(rig.log.statuses.size(), 1u);
    EXPECT_EQ(rig.log.statuses[0].statusType, 1u);
    EXPECT_EQ(rig.log.statuses[0].flags, 1u);

    rig.feed(flagged, ActivityRig::kReportGap - 1);
    EXPECT_EQ(rig.log.statuses.size(), 1u);
    rig.feed(flagged);
    EXPECT_EQ(rig.log.statuses.size(), 2u);
}

TEST(ActivityClassificationFlags, OutputKeepsTheUserBitsAndClearsTheLowBits)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    rig.output.flags = 0xFF;
    rig.feed(kStill);
    EXPECT_EQ(rig.output.flags, 0xC0);
}

TEST(ActivityClassificationConfig, DisabledReportsStillMarkTheOutput)
{
    ActivityRig rig;
    auto config = defaultConfig();
    config.statusEnable = 0;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.module.setConfig(&config.config), VNX_STATUS_SUCCESS);
    rig.feed({0.0f, 0.0f, 1, true}, ActivityRig::kSamplesPerMinute);
    EXPECT_TRUE(rig.still());
    EXPECT_NE(rig.output.flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG, 0);
    EXPECT_TRUE(rig.log.statuses.empty());
}

TEST(ActivityClassificationConfig, ConfigBeforeInitArmsTheDetectorAndIsThenForgotten)
{
    ActivityRig rig;
    auto config = defaultConfig();
    config.stillTimeS = 2;             // 250 samples
    config.motionThresholdBase = 0.2f; // motion above 1 rad/s
    ASSERT_EQ(rig.module.setConfig(&config.config), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);

    auto stored = defaultConfig();
    stored.motionThresholdBase = 9.0f;
    ASSERT_EQ(rig.module.getConfig(&stored.config), VNX_STATUS_SUCCESS);
    const auto defaults = defaultConfig();
    EXPECT_EQ(std::memcmp(&stored, &defaults, sizeof(stored)), 0);

    rig.feed({0.5f, -0.5f}, 249);
    EXPECT_FALSE(rig.still());
    rig.feed({0.5f, -0.5f});
    EXPECT_TRUE(rig.still());
}

TEST(ActivityClassificationConfig, NewStillTimeAfterInitRearmsTheDetector)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    rig.feed(kStill, 1000);
    auto config = defaultConfig();
    config.stillTimeS = 4; // 500 samples, counted afresh
    ASSERT_EQ(rig.module.setConfig(&config.config), VNX_STATUS_SUCCESS);
    rig.feed(kStill, 499);
    EXPECT_FALSE(rig.still());
    rig.feed(kStill);
    EXPECT_TRUE(rig.still());

    // The same still time again leaves the count alone.
    ASSERT_EQ(rig.module.setConfig(&config.config), VNX_STATUS_SUCCESS);
    rig.feed(kStill);
    EXPECT_TRUE(rig.still());
}

TEST(ActivityClassificationConfig, RecordsOfAnotherModuleAreNotForIt)
{
    ActivityClassification module;
    vnx_StructConfig_s foreign{};
    foreign.header = {48, VNX_TYPE_SENSOR_FUSION, VNX_KIND_CONFIG, 2, {}, 0};
    auto oldVersion = defaultConfig();
    oldVersion.config.header.version = 1;
    EXPECT_EQ(module.setConfig(&foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(&oldVersion.config), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.getConfig(&foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(module.setConfig(nullptr), VNX_STATUS_NOT_FOR_ME);

    struct Case
    {
        std::string name;
        uint8_t type;
        uint32_t code;
        int result;
    };
    const Case cases[] = {
        {"code 0", VNX_TYPE_ACTIVITY_CLASSIFICATION, 0, VNX_STATUS_SUCCESS},
        {"code 2", VNX_TYPE_ACTIVITY_CLASSIFICATION, 2, VNX_STATUS_SUCCESS},
        {"code 3", VNX_TYPE_ACTIVITY_CLASSIFICATION, 3, VNX_STATUS_INVALID_COMMAND},
        {"command of type 3", VNX_TYPE_SENSOR_FUSION, 0, VNX_STATUS_NOT_FOR_ME},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vnx_ActivityClassification_Command_s command;
        vnx_ActivityClassification_initCommand(&command);
        command.command.header.type = c.type;
        command.code = c.code;
        EXPECT_EQ(module.sendCommand(&command.command), c.result);
    }
}

TEST(ActivityClassificationInit, RefusesAnUnusableScd)
{
    ActivityRig rig;
    scdGen4Float_s scd = vnx::testsupport::ScdBuilder().period(0.008).build();
    scd.checkWord += 1;
    int scdOffset = 0;
    int dcdOffset = 0;
    EXPECT_EQ(rig.module.init(&scd.head, scdOffset, nullptr, dcdOffset), VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(rig.module.init(nullptr, scdOffset, nullptr, dcdOffset), VNX_STATUS_INVALID_SCD);
}

TEST(ActivityClassificationInit, SampleRateComesFromTheScd)
{
    // 100 Hz: a minute is 6000 samples.
    ActivityRig rig;
    const scdGen4Float_s scd = vnx::testsupport::ScdBuilder().period(0.01).build();
    int scdOffset = 0;
    int dcdOffset = 0;
    ASSERT_EQ(rig.module.init(&scd.head, scdOffset, nullptr, dcdOffset), VNX_STATUS_SUCCESS);
    rig.feed(kStill, 5999);
    EXPECT_FALSE(rig.still());
    rig.feed(kStill);
    EXPECT_TRUE(rig.still());
}

TEST(ActivityClassificationEncoding, RatesAreReadWithTheFormatsCodes)
{
    struct Case
    {
        std::string name;
        uint8_t accelerationCode;
        uint8_t rateCode;
        uint32_t rateWordY;
        bool moving;
    };
    auto floatBits = [](float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof(bits));
        return bits;
    };
    const Case cases[] = {
        {"floats", 127, 127, floatBits(0.2f), true},
        {"absent rates never move", 127, 129, floatBits(50.0f), false},
        {"fixed point, 16 fraction bits: 1.0", 16, 16, 0x00010000u, true},
        {"fixed point, 16 fraction bits: 1/256", 16, 16, 0x00000100u, false},
        {"fixed point, negative: -0.5", 16, 16, 0xFFFF8000u, true},
        {"float rates beside fixed acceleration", 16, 127, floatBits(0.2f), true},
        {"NaN beside fixed acceleration reads as unknown, so moving", 16, 127, 0x7FC00000u, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ActivityRig rig;
        ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
        rig.format.accValueFormat = c.accelerationCode;
        rig.format.rateValueFormat = c.rateCode;
        rig.feed(kStill, ActivityRig::kSamplesPerMinute - 1);
        // The rate word carries the value in the Format's encoding.
        float word;
        std::memcpy(&word, &c.rateWordY, sizeof(word));
        rig.feed({word, 0.0f});
        EXPECT_EQ(rig.still(), !c.moving);
    }
}

TEST(ActivityClassificationMute, PeriodZeroReportsEverySampleInsteadOfDividingByZero)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    rig.format.periodUs = 0;
    rig.feed(kStill, ActivityRig::kSamplesPerMinute + 4);
    EXPECT_EQ(rig.log.statuses.size(), 5u);
}

TEST(ActivityClassificationMute, WithoutAListenerNothingIsSentOrMuted)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    rig.module.setModuleListener(nullptr);
    rig.feed(kStill, ActivityRig::kSamplesPerMinute + 10);
    EXPECT_TRUE(rig.log.statuses.empty());
    // Reports start with the first sample that has a listener again.
    rig.module.setModuleListener(&rig.log);
    rig.feed(kStill);
    EXPECT_EQ(rig.log.statuses.size(), 1u);
}

TEST(ActivityClassificationProcess, RefusesMissingOrForeignRecordsAndWritesNothing)
{
    ActivityRig rig;
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    vnx_StructOutput_s fusionOutput{};
    fusionOutput.header = {96, VNX_TYPE_SENSOR_FUSION, VNX_KIND_OUTPUT, 1, {}, 0};
    vnx_StructFormat_s fusionFormat{};
    fusionFormat.header = {40, VNX_TYPE_SENSOR_FUSION, VNX_KIND_FORMAT, 1, {}, 0};
    vnx_ActivityClassification_Output_s shortOutput = rig.output;
    shortOutput.output.header.size = 16;
    rig.output.flags = 0xC3;
    rig.motion.flags = 1;

    struct Case
    {
        std::string name;
        size_t inputCount;
        const vnx_StructOutput_s* input;
        const vnx_StructFormat_s* format;
        size_t outputCount;
        vnx_StructOutput_s* output;
    };
    const Case cases[] = {
        {"no input counted", 0, &rig.motion.output, &rig.format.format, 1, &rig.output.output},
        {"no output counted", 1, &rig.motion.output, &rig.format.format, 0, &rig.output.output},
        {"null input", 1, nullptr, &rig.format.format, 1, &rig.output.output},
        {"null Format", 1, &rig.motion.output, nullptr, 1, &rig.output.output},
        {"null output", 1, &rig.motion.output, &rig.format.format, 1, nullptr},
        {"fused motion instead of interpreted", 1, &fusionOutput, &fusionFormat, 1, &rig.output.output},
        {"Format of another type", 1, &rig.motion.output, &fusionFormat, 1, &rig.output.output},
        {"output of another size", 1, &rig.motion.output, &rig.format.format, 1, &shortOutput.output},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx_StructOutput_s* inputs[] = {c.input};
        const vnx_StructFormat_s* formats[] = {c.format};
        vnx_StructOutput_s* outputs[] = {c.output};
        EXPECT_EQ(rig.module.process(0, c.inputCount, inputs, formats, 0, c.outputCount, outputs, nullptr),
                  VNX_STATUS_INVALID_PARAMETER);
        EXPECT_EQ(rig.output.flags, 0xC3);
    }
    EXPECT_EQ(rig.module.process(0, 1, nullptr, nullptr, 0, 1, nullptr, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_TRUE(rig.log.statuses.empty());
}

TEST(ActivityClassificationModule, DescribesItsInterfaces)
{
    const ActivityClassification module;
    EXPECT_EQ(module.getType(), VNX_TYPE_ACTIVITY_CLASSIFICATION);
    EXPECT_EQ(module.getInputInterfaceCount(), 1);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);
    uint8_t ids[2] = {0, 0};
    size_t count = 0;
    EXPECT_EQ(module.getInputInterface(0, 2, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(ids[0], VNX_TYPE_SENSOR_INTERPRETATION);
    EXPECT_EQ(module.getOutputInterface(0, 2, ids, count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(ids[0], VNX_TYPE_ACTIVITY_CLASSIFICATION);
    EXPECT_EQ(module.getOutputInterface(0, 0, ids, count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(module.getInputInterface(1, 2, ids, count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(module.getOutputInterface(-1, 2, ids, count), VNX_STATUS_INVALID_INTERFACE);
}

class ActivityClassificationFactory : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(vnx_ActivityClassification_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    }
    void TearDown() override
    {
        vnx_ActivityClassification_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }
};

TEST_F(ActivityClassificationFactory, CreatedModuleNamesItsDetector)
{
    auto& nodes = vnx::NodeManager::getInstance();
    int owner = 0;
    ASSERT_NE(nodes.addNode(nullptr, &owner, vnx::NodeInterface::NODE_DEVICE, "Dev"), nullptr);
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(&owner, VNX_TYPE_ACTIVITY_CLASSIFICATION);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<ActivityClassification*>(module), nullptr);
    EXPECT_NE(nodes.getNode("Dev.ActivityClassification.dftLog"), nullptr);
    EXPECT_NE(nodes.getNode("Dev.ActivityClassification.IsStable"), nullptr);
    EXPECT_NE(nodes.getNode("Dev.ActivityClassification.IsStable.dftLog"), nullptr);
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(nodes.getNode("Dev.ActivityClassification"), nullptr);
}

} // namespace
