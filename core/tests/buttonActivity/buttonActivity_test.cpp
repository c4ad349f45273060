#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "buttonActivity/ButtonActivity.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/ModuleFactory.h"

namespace {

vnx_ButtonActivity_Output_s buttonRecord(uint32_t buttons, int32_t wheel,
                                         uint32_t activity = VNX_BUTTON_ACTIVITY_DERIVE)
{
    vnx_ButtonActivity_Output_s record;
    std::memset(&record, 0, sizeof(record));
    vnx_ButtonActivity_initOutput(&record);
    record.buttons = buttons;
    record.wheel = wheel;
    record.activity = activity;
    return record;
}

// Runs the module in place, as the device layer does.
int runInPlace(ButtonActivity& module, vnx_ButtonActivity_Output_s& record)
{
    const vnx_StructOutput_s* inputs[] = {&record.output};
    vnx_StructOutput_s* outputs[] = {&record.output};
    return module.process(0, 1, inputs, nullptr, 0, 1, outputs, nullptr);
}

TEST(ButtonActivityRecords, OutputAsksForDerivationByDefault)
{
    vnx_ButtonActivity_Output_s record;
    std::memset(&record, 0xEE, sizeof(record));
    vnx_ButtonActivity_initOutput(&record);
    EXPECT_EQ(record.output.header.size, 32);
    EXPECT_EQ(record.output.header.type, VNX_TYPE_BUTTON_ACTIVITY);
    EXPECT_EQ(record.output.header.version, 1);
    EXPECT_EQ(record.activity, VNX_BUTTON_ACTIVITY_DERIVE);
    EXPECT_EQ(record.buttons, 0u);
    EXPECT_EQ(record.wheel, 0);
    for (uint8_t byte : record.padding) {
        EXPECT_EQ(byte, 0xEE);
    }
}

struct Derivation
{
    std::string name;
    uint32_t previous;
    uint32_t buttons;
    int32_t wheel;
    uint32_t activity;
};

TEST(ButtonActivityModule, DerivesFlagsFromThePreviousMask)
{
    const Derivation cases[] = {
        {"first press", 0x0, 0x1, 0, 1},
        {"one pressed, one released", 0x1, 0x2, 0, 3},
        {"held buttons, wheel down", 0x3, 0x3, -2, 8},
        {"nothing", 0x0, 0x0, 0, 0},
        {"release and wheel up", 0x5, 0x1, 1, 6},
        {"press, release and wheel up", 0x1, 0x6, 7, 7},
        {"high bit pressed", 0x0, 0x80000000u, 0, 1},
    };
    for (const Derivation& c : cases) {
        SCOPED_TRACE(c.name);
        ButtonActivity module;
        auto previous = buttonRecord(c.previous, 0);
        ASSERT_EQ(runInPlace(module, previous), VNX_STATUS_SUCCESS);

        auto record = buttonRecord(c.buttons, c.wheel);
        ASSERT_EQ(runInPlace(module, record), VNX_STATUS_SUCCESS);
        EXPECT_EQ(record.activity, c.activity);
        EXPECT_EQ(record.buttons, c.buttons);
        EXPECT_EQ(record.wheel, c.wheel);
    }
}

TEST(ButtonActivityModule, GivenFlagsPassUnchangedButUpdateThePreviousMask)
{
    ButtonActivity module;
    auto given = buttonRecord(0x4, -3, 5);
    const auto before = given;
    ASSERT_EQ(runInPlace(module, given), VNX_STATUS_SUCCESS);
    EXPECT_EQ(std::memcmp(&given, &before, sizeof(given)), 0);

    // The next derivation compares against the given record's buttons.
    auto next = buttonRecord(0x4, 0);
    ASSERT_EQ(runInPlace(module, next), VNX_STATUS_SUCCESS);
    EXPECT_EQ(next.activity, 0u);
}

TEST(ButtonActivityModule, CopiesASeparateInputWholeBeforeDeriving)
{
    ButtonActivity module;
    auto input = buttonRecord(0x2, 4);
    input.output.header.instanceId = 99;
    auto output = buttonRecord(0, 0);
    const vnx_StructOutput_s* inputs[] = {&input.output};
    vnx_StructOutput_s* outputs[] = {&output.output};
    ASSERT_EQ(module.process(0, 1, inputs, nullptr, 0, 1, outputs, nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(output.output.header.instanceId, 99u);
    EXPECT_EQ(output.buttons, 0x2u);
    EXPECT_EQ(output.wheel, 4);
    EXPECT_EQ(output.activity, 5u);
    EXPECT_EQ(input.activity, VNX_BUTTON_ACTIVITY_DERIVE);
}

TEST(ButtonActivityModule, InitForgetsThePreviousMask)
{
    ButtonActivity module;
    auto held = buttonRecord(0x1, 0);
    runInPlace(module, held);
    int scdOffset = 3;
    int dcdOffset = 4;
    EXPECT_EQ(module.init(nullptr, scdOffset, nullptr, dcdOffset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(scdOffset, 3);
    EXPECT_EQ(dcdOffset, 4);

    auto again = buttonRecord(0x1, 0);
    runInPlace(module, again);
    EXPECT_EQ(again.activity, 1u);
}

TEST(ButtonActivityModule, RefusesMissingOrForeignRecords)
{
    ButtonActivity module;
    auto good = buttonRecord(0x1, 0);
    auto otherVersion = buttonRecord(0x1, 0);
    otherVersion.output.header.version = 2;
    vnx_StructOutput_s foreign{};
    foreign.header = {16, VNX_TYPE_DEVICE_SUPPORT_6AG, VNX_KIND_OUTPUT, 1, {}, 0};

    struct Case
    {
        std::string name;
        size_t inputCount;
        const vnx_StructOutput_s* input;
        size_t outputCount;
        vnx_StructOutput_s* output;
    };
    const Case cases[] = {
        {"no input counted", 0, &good.output, 1, &good.output},
        {"no output counted", 1, &good.output, 0, &good.output},
        {"null input", 1, nullptr, 1, &good.output},
        {"null output", 1, &good.output, 1, nullptr},
        {"input of another type", 1, &foreign, 1, &good.output},
        {"output of another version", 1, &good.output, 1, &otherVersion.output},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const vnx_StructOutput_s* inputs[] = {c.input};
        vnx_StructOutput_s* outputs[] = {c.output};
        EXPECT_EQ(module.process(0, c.inputCount, inputs, nullptr, 0, c.outputCount, outputs, nullptr),
                  VNX_STATUS_INVALID_PARAMETER);
    }
    EXPECT_EQ(module.process(0, 1, nullptr, nullptr, 0, 1, nullptr, nullptr), VNX_STATUS_INVALID_PARAMETER);
    // Nothing was derived or remembered.
    EXPECT_EQ(good.activity, VNX_BUTTON_ACTIVITY_DERIVE);
    runInPlace(module, good);
    EXPECT_EQ(good.activity, 1u);
}

TEST(ButtonActivityModule, DescribesOneButtonRecordEachWay)
{
    const ButtonActivity module;
    EXPECT_EQ(module.getType(), VNX_TYPE_BUTTON_ACTIVITY);
    EXPECT_EQ(module.getInputInterfaceCount(), 1);
    EXPECT_EQ(module.getOutputInterfaceCount(), 1);
    for (auto describe : {&ButtonActivity::getInputInterface, &ButtonActivity::getOutputInterface}) {
        uint8_t ids[2] = {0, 0};
        size_t count = 42;
        EXPECT_EQ((module.*describe)(1, 2, ids, count), VNX_STATUS_INVALID_INTERFACE);
        EXPECT_EQ(count, 42u);
        EXPECT_EQ((module.*describe)(0, 0, ids, count), VNX_STATUS_SIZE_TOO_SMALL);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ((module.*describe)(0, 2, ids, count), VNX_STATUS_SUCCESS);
        EXPECT_EQ(ids[0], VNX_TYPE_BUTTON_ACTIVITY);
        EXPECT_EQ(ids[1], 0);
    }
}

TEST(ButtonActivityModule, ConfigurationOfAnyKindIsAcceptedAndIgnored)
{
    ButtonActivity module;
    auto held = buttonRecord(0x1, 0);
    runInPlace(module, held);

    vnx_StructConfig_s foreignConfig{};
    foreignConfig.header = {32, VNX_TYPE_TEST_MODULE, VNX_KIND_CONFIG, 1, {}, 0};
    vnx_StructCommand_s foreignCommand{};
    foreignCommand.header = {32, VNX_TYPE_TEST_MODULE, VNX_KIND_COMMAND, 1, {}, 0};
    EXPECT_EQ(module.setConfig(&foreignConfig), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.sendCommand(&foreignCommand), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.setModuleListener(nullptr), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module.term(), VNX_STATUS_SUCCESS);

    auto still = buttonRecord(0x1, 0);
    runInPlace(module, still);
    EXPECT_EQ(still.activity, 0u);
}

class ButtonActivityFactory : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(vnx_ButtonActivity_moduleFactoryRegister(), VNX_STATUS_SUCCESS); }
    void TearDown() override
    {
        vnx_ButtonActivity_moduleFactoryUnregister();
        vnx::NodeManager::getInstance().reset();
    }
};

TEST_F(ButtonActivityFactory, CreatesFreshModulesInItsPool)
{
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(VNX_TYPE_BUTTON_ACTIVITY);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<ButtonActivity*>(module), nullptr);
    EXPECT_STREQ(vnx::ModuleFactory::typeIdToString(VNX_TYPE_BUTTON_ACTIVITY), "ButtonActivity");
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);

    // A ButtonActivity the pool did not make is not freed through it.
    ButtonActivity stranger;
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(&stranger), VNX_STATUS_INTERNAL_ERROR);
}

TEST_F(ButtonActivityFactory, CreatedOutputAsksForDerivation)
{
    vnx_StructOutput_s* record = vnx::ModuleFactory::createOutput(VNX_TYPE_BUTTON_ACTIVITY);
    ASSERT_NE(record, nullptr);
    const auto* output = vnx_ButtonActivity_dynamicDownCastConstOutput(record);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(output->activity, VNX_BUTTON_ACTIVITY_DERIVE);
    for (uint8_t byte : output->padding) {
        EXPECT_EQ(byte, 0);
    }
    EXPECT_EQ(vnx::ModuleFactory::destroyOutput(record), VNX_STATUS_SUCCESS);
}

} // namespace
