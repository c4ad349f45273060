#include "buttonMapper/ButtonMapper.h"

#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "buttonActivity/ButtonActivityRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "support/recordBytes.h"

namespace {

using vnx::testsupport::filled;
using vnx::testsupport::valueAt;

class ButtonMapperTest : public ::testing::Test
{
  protected:
    ButtonMapperTest() { vnx_ButtonMapper_initOutput(&output_); }

    // One sample with `buttons` down and `wheel`; the mapper's answer.
    int sample(uint32_t buttons, int32_t wheel = 0)
    {
        vnx_ButtonActivity_Output_s activity;
        vnx_ButtonActivity_initOutput(&activity);
        activity.buttons = buttons;
        activity.wheel = wheel;
        vnx_StructOutput_s other = {{16, 3, VNX_KIND_OUTPUT, 1, {}, 0}};
        const vnx_StructOutput_s* inputs[] = {&other, vnx_ButtonActivity_upCastOutput(&activity)};
        vnx_StructOutput_s* outputs[] = {vnx_ButtonMapper_upCastOutput(&output_)};
        return mapper_.process(0, 2, inputs, nullptr, 0, 1, outputs, nullptr);
    }

    ButtonMapper mapper_;
    vnx_ButtonMapper_Output_s output_;
};

TEST_F(ButtonMapperTest, DefaultMapGivesHeldPressedAndReleasedMouseButtons)
{
    struct Step
    {
        uint32_t buttons;
        uint8_t held, pressed, released;
    };
    const Step steps[] = {
        {0x3, 3, 3, 0},      // buttons 0 and 1 go down together
        {0x3, 3, 0, 0},      // both still down
        {0x1, 1, 0, 2},      // button 1 up
        {0x200, 0, 0, 1},    // button 9 (no mouse button) down, 0 up
        {0x80, 128, 128, 0}, // button 7 is the last mapped one
        {0, 0, 0, 128},
    };
    for (const Step& step : steps) {
        ASSERT_EQ(sample(step.buttons), 0);
        EXPECT_EQ(output_.held, step.held) << step.buttons;
        EXPECT_EQ(output_.pressed, step.pressed) << step.buttons;
        EXPECT_EQ(output_.released, step.released) << step.buttons;
        EXPECT_EQ(output_.pressedKeys | output_.releasedKeys, 0u) << "no key codes by default";
    }
}

TEST_F(ButtonMapperTest, KeyCodesOfChangedButtonsAreListedInButtonOrder)
{
    vnx_ButtonMapper_Config_s config;
    vnx_ButtonMapper_initConfig(&config);
    config.keyCodes[3] = 0x24;
    config.keyCodes[5] = 0x31;
    config.keyCodes[9] = 0x7B;
    ASSERT_EQ(mapper_.setConfig(&config.config), 0);
    ASSERT_EQ(sample(1u << 5), 0);
    EXPECT_EQ(output_.keys[0], 0x31);
    EXPECT_EQ(output_.pressedKeys, 1u);

    // Button 3 down and 5 up in one sample.
    output_.keys[2] = 0x5555;
    ASSERT_EQ(sample(1u << 3), 0);
    EXPECT_EQ(output_.keys[0], 0x24);
    EXPECT_EQ(output_.keys[1], 0x31);
    EXPECT_EQ(output_.pressedKeys, 0x1u);
    EXPECT_EQ(output_.releasedKeys, 0x2u);
    EXPECT_EQ(output_.keys[2], 0x5555) << "entries past the list keep what they held";

    // Button 9: no mouse button, but its key.
    ASSERT_EQ(sample((1u << 3) | (1u << 9)), 0);
    EXPECT_EQ(output_.held, 8);
    EXPECT_EQ(output_.pressed, 0);
    EXPECT_EQ(output_.keys[0], 0x7B);
    EXPECT_EQ(output_.pressedKeys, 1u);
}

TEST_F(ButtonMapperTest, ButtonsSharingAMouseButtonAndTheWheel)
{
    vnx_ButtonMapper_Config_s config;
    vnx_ButtonMapper_initConfig(&config);
    config.mouseButtonMap[2] = 1;
    mapper_.setConfig(&config.config);
    sample(0x5);
    ASSERT_EQ(sample(0x4, -1), 0);
    EXPECT_EQ(output_.held, 1);
    EXPECT_EQ(output_.released, 1);
    EXPECT_EQ(output_.wheel, 0xFFFF);

    // A button held across init counts as newly pressed.
    int offset = 0;
    ASSERT_EQ(mapper_.init(nullptr, offset, nullptr, offset), 0);
    sample(0x4);
    EXPECT_EQ(output_.pressed, 1);
}

TEST_F(ButtonMapperTest, AWrongSlotIsRefusedAndNoButtonRecordChangesNothing)
{
    sample(0x1);
    const vnx_ButtonMapper_Output_s before = output_;
    vnx_ButtonActivity_Output_s activity;
    vnx_ButtonActivity_initOutput(&activity);
    activity.buttons = 0x2;
    const vnx_StructOutput_s* inputs[] = {vnx_ButtonActivity_upCastOutput(&activity)};
    vnx_StructOutput_s* outputs[] = {vnx_ButtonMapper_upCastOutput(&output_), nullptr};
    vnx_ButtonActivity_Output_s wrongType;
    vnx_ButtonActivity_initOutput(&wrongType);
    vnx_StructOutput_s* wrongSlot[] = {vnx_ButtonActivity_upCastOutput(&wrongType)};
    EXPECT_EQ(mapper_.process(0, 1, inputs, nullptr, 1, 1, outputs, nullptr), -2);
    EXPECT_EQ(mapper_.process(0, 1, inputs, nullptr, 0, 2, outputs, nullptr), -2);
    EXPECT_EQ(mapper_.process(0, 1, inputs, nullptr, 0, 1, wrongSlot, nullptr), -2);
    EXPECT_EQ(mapper_.process(0, 0, inputs, nullptr, 0, 1, outputs, nullptr), 0);
    EXPECT_EQ(std::memcmp(&before, &output_, sizeof before), 0);
    // The previous mask is unchanged too: button 0 still counts as held.
    ASSERT_EQ(mapper_.process(0, 1, inputs, nullptr, 0, 1, outputs, nullptr), 0);
    EXPECT_EQ(output_.pressed, 2);
    EXPECT_EQ(output_.released, 1);
}

TEST(ButtonMapperRecords, DefaultsInterfacesAndRouting)
{
    auto config = filled<vnx_ButtonMapper_Config_s>();
    ASSERT_EQ(vnx_ButtonMapper_initConfig(&config), 0);
    EXPECT_EQ(config.config.header.size, 128);
    EXPECT_EQ(config.config.header.type, 98);
    EXPECT_EQ(valueAt<int64_t>(&config, 24), -1);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(config.mouseButtonMap[i], i < 8 ? 1 << i : 0) << i;
        EXPECT_EQ(config.keyCodes[i], 0) << i;
    }
    auto output = filled<vnx_ButtonMapper_Output_s>();
    ASSERT_EQ(vnx_ButtonMapper_initOutput(&output), 0);
    EXPECT_EQ(output.output.header.size, 96);
    EXPECT_EQ(output.held | output.pressed | output.released, 0);
    EXPECT_EQ(output.wheel, 0);
    for (uint16_t key : output.keys) {
        EXPECT_EQ(key, 0);
    }
    EXPECT_EQ(output.pressedKeys | output.releasedKeys, 0u);
    config.config.header.size = 127;
    EXPECT_FALSE(vnx_ButtonMapper_isStructValid(&config.config.header));

    ButtonMapper mapper;
    size_t count = 0;
    EXPECT_EQ(mapper.getInputInterfaceCount(), 1);
    EXPECT_EQ(mapper.getInputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, std::numeric_limits<size_t>::max());
    EXPECT_EQ(mapper.getInputInterface(1, 0, nullptr, count), -17);
    EXPECT_EQ(mapper.getOutputInterfaceCount(), 0);
    EXPECT_EQ(mapper.getOutputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(mapper.getType(), 98);
    vnx_StructConfig_s other = {};
    other.header.type = 9;
    other.header.kind = VNX_KIND_CONFIG;
    EXPECT_EQ(mapper.setConfig(&other), -3);
    EXPECT_EQ(mapper.getConfig(&other), -3);
    vnx_StructCommand_s command = {};
    EXPECT_EQ(mapper.sendCommand(&command), -3);

    vnx_ButtonMapper_Config_s changed;
    vnx_ButtonMapper_initConfig(&changed);
    changed.keyCodes[31] = 7;
    ASSERT_EQ(mapper.setConfig(&changed.config), 0);
    vnx_ButtonMapper_Config_s back;
    vnx_ButtonMapper_initConfig(&back);
    ASSERT_EQ(mapper.getConfig(&back.config), 0);
    EXPECT_EQ(back.keyCodes[31], 7);

    ASSERT_EQ(vnx_ButtonMapper_moduleFactoryRegister(), 0);
    vnx::ModuleInterface* made = vnx::ModuleFactory::createModule(98);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getType(), 98);
    vnx::ModuleFactory::destroyModule(made);
    vnx_ButtonMapper_moduleFactoryUnregister();
}

} // namespace
