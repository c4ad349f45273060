#include "cursorMover/CursorMover.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/NodeManager.h"
#include "common/valueEncoding.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "standardCursor/StandardCursorRecords.h"
#include "support/recordBytes.h"
#include "support/recordingCursorPlatform.h"

namespace {

using vnx::testsupport::filled;
using vnx::testsupport::RecordingCursorPlatform;
using vnx::testsupport::valueAt;
using Strings = std::vector<std::string>;

vnx_ExtendedCursor_Output_s extendedOutput(int32_t x, int32_t y, int32_t dx, int32_t dy, uint32_t state)
{
    vnx_ExtendedCursor_Output_s output;
    vnx_ExtendedCursor_initOutput(&output);
    output.x = x;
    output.y = y;
    output.dx = dx;
    output.dy = dy;
    output.pointerState = state;
    return output;
}

class CursorMoverTest : public ::testing::Test
{
  protected:
    CursorMoverTest() { vnx_ButtonMapper_initOutput(&buttons_); }

    RecordingCursorPlatform& platform() { return dynamic_cast<RecordingCursorPlatform&>(mover_.platform()); }

    void setMode(uint32_t mode)
    {
        vnx_CursorMover_Config_s config;
        vnx_CursorMover_initConfig(&config);
        config.mode = mode;
        ASSERT_EQ(mover_.setConfig(&config.config), 0);
        platform().calls.clear();
    }

    int process(std::vector<const vnx_StructOutput_s*> inputs, std::vector<const vnx_StructFormat_s*> formats = {})
    {
        formats.resize(inputs.size(), nullptr);
        return mover_.process(0, inputs.size(), inputs.data(), formats.data(), 0, 0, nullptr, nullptr);
    }

    CursorMover mover_{&RecordingCursorPlatform::make};
    vnx_ButtonMapper_Output_s buttons_;
};

TEST_F(CursorMoverTest, EachModeTurnsTheCursorOutputsIntoOnePlatformCall)
{
    const auto shown = extendedOutput(640, 400, 7, -3, 0);
    const auto hidden = extendedOutput(640, 400, 7, -3, 1);
    vnx_StandardCursor_Output_s counts;
    vnx_StandardCursor_initOutput(&counts);
    counts.dx = 5;
    counts.dy = -2;
    vnx_StandardCursor_Format_s countsFormat;
    vnx_StandardCursor_initFormat(&countsFormat);
    countsFormat.countCode = 0;

    struct Case
    {
        uint32_t mode;
        const vnx_StructOutput_s* cursor; // null: no cursor output
        Strings operations;
        int x, y;
    };
    const Case cases[] = {
        {0, &shown.output, {}, 0, 0},
        {0, &counts.output, {}, 0, 0},
        {0, nullptr, {}, 0, 0},
        {1, &hidden.output, {"hideCursor"}, 0, 0},
        {1, &shown.output, {"moveTo"}, 640, 400},
        {2, &hidden.output, {"moveDelta"}, 7, -3},
        {2, &shown.output, {"moveDelta"}, 7, -3},
        {3, &shown.output, {"moveTo"}, 640, 400},
        {3, &hidden.output, {"hideCursor"}, 0, 0},
        {1, &counts.output, {"moveDelta"}, 5, -2},
        {2, &counts.output, {"moveDelta"}, 5, -2},
        {3, &counts.output, {}, 0, 0},
        {1, nullptr, {"sendButtons"}, 0, 0},
        {2, nullptr, {"sendButtons"}, 0, 0},
        {3, nullptr, {"sendButtons"}, 0, 0},
    };
    for (const Case& c : cases) {
        setMode(c.mode);
        std::vector<const vnx_StructOutput_s*> inputs = {vnx_ButtonMapper_upCastOutput(&buttons_)};
        std::vector<const vnx_StructFormat_s*> formats = {nullptr};
        if (c.cursor != nullptr) {
            inputs.push_back(c.cursor);
            formats.push_back(c.cursor == &counts.output ? &countsFormat.format : nullptr);
        }
        ASSERT_EQ(process(inputs, formats), 0);
        EXPECT_EQ(platform().operations(), c.operations) << "mode " << c.mode;
        if (!c.operations.empty()) {
            EXPECT_EQ(platform().calls[0].x, c.x) << "mode " << c.mode;
            EXPECT_EQ(platform().calls[0].y, c.y) << "mode " << c.mode;
        }
    }
}

TEST_F(CursorMoverTest, TheExtendedCursorOutputWinsOverTheStandardOne)
{
    setMode(1);
    const auto cursor = extendedOutput(10, 20, 1, 1, 0);
    vnx_StandardCursor_Output_s counts;
    vnx_StandardCursor_initOutput(&counts);
    counts.dx = 99;
    ASSERT_EQ(process({&counts.output, &cursor.output}), 0);
    ASSERT_EQ(platform().operations(), Strings{"moveTo"});
    EXPECT_EQ(platform().calls[0].x, 10);
    EXPECT_EQ(platform().calls[0].y, 20);
}

TEST_F(CursorMoverTest, RelativeCountsAreReadInTheEncodingOfTheirFormat)
{
    setMode(2);
    vnx_StandardCursor_Output_s counts;
    vnx_StandardCursor_initOutput(&counts);
    vnx_StandardCursor_Format_s format;
    vnx_StandardCursor_initFormat(&format);

    // Four fractional bits: 2.5 counts round away from zero, -1.25 to -1.
    format.countCode = 4;
    counts.dx = 40;
    counts.dy = -20;
    ASSERT_EQ(process({&counts.output}, {&format.format}), 0);
    ASSERT_EQ(platform().operations(), Strings{"moveDelta"});
    EXPECT_EQ(platform().calls[0].x, 3);
    EXPECT_EQ(platform().calls[0].y, -1);

    // Float bits.
    platform().calls.clear();
    format.countCode = static_cast<uint8_t>(VNX_QPOINT_FLOAT);
    vnx_Number32_u word{};
    word.real = -12.0f;
    counts.dx = word.fixed;
    word.real = 3.0f;
    counts.dy = word.fixed;
    ASSERT_EQ(process({&counts.output}, {&format.format}), 0);
    EXPECT_EQ(platform().calls.at(0).x, -12);
    EXPECT_EQ(platform().calls.at(0).y, 3);

    // No value (code 129), or no Format at all: the move is (0, 0).
    const vnx_StructFormat_s* noFormat = nullptr;
    for (const vnx_StructFormat_s* f : {noFormat, static_cast<const vnx_StructFormat_s*>(&format.format)}) {
        platform().calls.clear();
        format.countCode = static_cast<uint8_t>(VNX_QPOINT_INVALID);
        counts.dx = 40;
        ASSERT_EQ(process({&counts.output}, {f}), 0);
        ASSERT_EQ(platform().operations(), Strings{"moveDelta"});
        EXPECT_EQ(platform().calls[0].x, 0);
        EXPECT_EQ(platform().calls[0].y, 0);
    }
}

TEST_F(CursorMoverTest, TheButtonRecordComesFromAWholeButtonMapperOutputOnly)
{
    setMode(1);
    const auto cursor = extendedOutput(1, 2, 0, 0, 0);
    buttons_.held = 3;
    buttons_.pressed = 1;
    buttons_.keys[0] = 0x24;
    buttons_.pressedKeys = 1;
    ASSERT_EQ(process({&cursor.output, vnx_ButtonMapper_upCastOutput(&buttons_)}), 0);
    ASSERT_EQ(platform().calls.size(), 1u);
    ASSERT_TRUE(platform().calls[0].withButtons);
    EXPECT_EQ(std::memcmp(&platform().calls[0].buttons, &buttons_, sizeof buttons_), 0);

    // A record of the ButtonMapper's type that is not a whole Output (here a
    // 16-byte one) is not read past its end: the platform gets no buttons.
    vnx_StructOutput_s shortRecord = {{16, 98, VNX_KIND_OUTPUT, 1, {}, 0}};
    vnx_ButtonMapper_Output_s none;
    vnx_ButtonMapper_initOutput(&none);
    const vnx_StructOutput_s* noRecord = nullptr;
    for (const vnx_StructOutput_s* record : {static_cast<const vnx_StructOutput_s*>(&shortRecord), noRecord}) {
        platform().calls.clear();
        std::vector<const vnx_StructOutput_s*> inputs = {&cursor.output};
        if (record != nullptr) {
            inputs.push_back(record);
        }
        ASSERT_EQ(process(inputs), 0);
        ASSERT_EQ(platform().calls.size(), 1u);
        const vnx_ButtonMapper_Output_s& got = platform().calls[0].buttons;
        EXPECT_EQ(got.held | got.pressed | got.released | got.wheel | got.pressedKeys | got.releasedKeys, 0u);
        EXPECT_EQ(std::memcmp(got.keys, none.keys, sizeof none.keys), 0);
    }
}

TEST_F(CursorMoverTest, SendButtonsCommandCopiesTheKeyListUpToItsEnd)
{
    vnx_CursorMover_Command_s command;
    vnx_CursorMover_initCommand(&command);
    command.code = 1;
    vnx_CursorMover_SendInput_s& input = command.parameter.sendInput;
    vnx_CursorMover_initSendInput(&input);
    input.held = 5;
    input.pressed = 4;
    input.released = 2;
    input.wheel = 0xFFFE;
    input.keys[0] = 0x31;
    input.keys[1] = 0x32;
    input.keys[3] = 0x77; // after the end of the list
    input.pressedKeys = 1;
    input.releasedKeys = 2;
    ASSERT_EQ(mover_.sendCommand(&command.command), 0);
    ASSERT_EQ(platform().operations(), Strings{"sendButtons"});
    const vnx_ButtonMapper_Output_s& sent = platform().calls[0].buttons;
    EXPECT_EQ(sent.output.header.type, 98);
    EXPECT_EQ(sent.held, 5);
    EXPECT_EQ(sent.pressed, 4);
    EXPECT_EQ(sent.released, 2);
    EXPECT_EQ(sent.wheel, 0xFFFE);
    EXPECT_EQ(sent.keys[0], 0x31);
    EXPECT_EQ(sent.keys[1], 0x32);
    EXPECT_EQ(sent.keys[2], 0);
    EXPECT_EQ(sent.keys[3], 0);
    EXPECT_EQ(sent.pressedKeys, 1u);
    EXPECT_EQ(sent.releasedKeys, 2u);

    // A list without a 0 entry ends after its 33rd entry.
    platform().calls.clear();
    for (size_t i = 0; i < 33; ++i) {
        input.keys[i] = static_cast<uint16_t>(100 + i);
    }
    ASSERT_EQ(mover_.sendCommand(&command.command), 0);
    EXPECT_EQ(platform().calls.at(0).buttons.keys[32], 132);

    // Unknown codes are taken and do nothing; other types are not for it.
    platform().calls.clear();
    command.code = 2;
    EXPECT_EQ(mover_.sendCommand(&command.command), 0);
    vnx_ExtendedCursor_Command_s other;
    vnx_ExtendedCursor_initCommand(&other);
    EXPECT_EQ(mover_.sendCommand(&other.command), -3);
    EXPECT_TRUE(platform().calls.empty());
}

TEST_F(CursorMoverTest, BoundsAndConfigsAreKeptAndHandedToThePlatform)
{
    vnx_CursorMover_Command_s command;
    vnx_CursorMover_initCommand(&command);
    command.parameter.bounds = {0, 0, 5120, 3200};
    ASSERT_EQ(mover_.sendCommand(&command.command), 0);
    EXPECT_EQ(platform().operations(), Strings{"setBounds"});
    EXPECT_EQ(platform().bounds().width, 5120);
    EXPECT_EQ(platform().bounds().height, 3200);

    // The held ButtonMapper map starts as a ButtonMapper's own.
    vnx_ButtonMapper_Config_s map = filled<vnx_ButtonMapper_Config_s>();
    vnx_ButtonMapper_initConfig(&map);
    vnx_ButtonMapper_Config_s fresh;
    vnx_ButtonMapper_initConfig(&fresh);
    std::memset(map.mouseButtonMap, 0, sizeof map.mouseButtonMap);
    ASSERT_EQ(mover_.getConfig(&map.config), 0);
    EXPECT_EQ(map.config.header.size, 128);
    EXPECT_EQ(std::memcmp(map.mouseButtonMap, fresh.mouseButtonMap, sizeof map - 32), 0);

    map.keyCodes[4] = 0x35;
    ASSERT_EQ(mover_.setConfig(&map.config), 0);
    EXPECT_EQ(platform().buttonMapperConfig().keyCodes[4], 0x35);
    vnx_ButtonMapper_Config_s back;
    vnx_ButtonMapper_initConfig(&back);
    ASSERT_EQ(mover_.getConfig(&back.config), 0);
    EXPECT_EQ(back.keyCodes[4], 0x35);

    vnx_CursorMover_Config_s config;
    vnx_CursorMover_initConfig(&config);
    config.mode = 2;
    config.platformWord = 77;
    config.config.header.instanceId = 9;
    ASSERT_EQ(mover_.setConfig(&config.config), 0);
    EXPECT_EQ(platform().config().platformWord, 77u);
    vnx_CursorMover_Config_s read;
    vnx_CursorMover_initConfig(&read);
    ASSERT_EQ(mover_.getConfig(&read.config), 0);
    EXPECT_EQ(std::memcmp(&read, &config, sizeof read), 0) << "header included";

    // Records of other types are not for it; a short one of its own is refused.
    vnx_StructConfig_s other = {};
    other.header = {32, 9, VNX_KIND_CONFIG, 1, {}, 0};
    EXPECT_EQ(mover_.setConfig(&other), -3);
    EXPECT_EQ(mover_.getConfig(&other), -3);
    other.header.type = 99;
    EXPECT_EQ(mover_.setConfig(&other), -2);
    EXPECT_EQ(mover_.getConfig(&other), -2);
    EXPECT_EQ(platform().config().platformWord, 77u);
}

TEST(CursorMoverRecords, DefaultsLayoutAndValidity)
{
    auto config = filled<vnx_CursorMover_Config_s>();
    ASSERT_EQ(vnx_CursorMover_initConfig(&config), 0);
    EXPECT_EQ(config.config.header.size, 56);
    EXPECT_EQ(config.config.header.type, 99);
    EXPECT_EQ(config.config.header.kind, VNX_KIND_CONFIG);
    EXPECT_EQ(config.config.header.version, 1);
    EXPECT_EQ(valueAt<int32_t>(&config, 16), 0);
    EXPECT_EQ(valueAt<int64_t>(&config, 24), -1);
    EXPECT_EQ(valueAt<uint32_t>(&config, 32), 0u);
    for (size_t offset = 36; offset < 44; ++offset) {
        EXPECT_EQ(valueAt<uint8_t>(&config, offset), 0) << offset;
    }
    EXPECT_EQ(valueAt<uint8_t>(&config, 44), 1);
    EXPECT_EQ(valueAt<uint8_t>(&config, 45), 1);
    EXPECT_EQ(valueAt<uint8_t>(&config, 46), 0);
    EXPECT_EQ(valueAt<uint32_t>(&config, 48), 0u);

    auto command = filled<vnx_CursorMover_Command_s>();
    ASSERT_EQ(vnx_CursorMover_initCommand(&command), 0);
    EXPECT_EQ(command.command.header.size, 120);
    EXPECT_EQ(command.command.header.kind, VNX_KIND_COMMAND);
    EXPECT_EQ(valueAt<int64_t>(&command, 24), -1);
    EXPECT_EQ(valueAt<uint32_t>(&command, 32), 0u);
    for (size_t offset = 36; offset < 52; offset += 4) {
        EXPECT_EQ(valueAt<int32_t>(&command, offset), -1) << offset;
    }

    auto input = filled<vnx_CursorMover_SendInput_s>();
    ASSERT_EQ(vnx_CursorMover_initSendInput(&input), 0);
    for (size_t offset = 0; offset < sizeof input; ++offset) {
        EXPECT_EQ(valueAt<uint8_t>(&input, offset), 0) << offset;
    }
    vnx_CursorMover_Bounds_s bounds{};
    ASSERT_EQ(vnx_CursorMover_initBounds(&bounds), 0);
    EXPECT_EQ(bounds.x & bounds.y & bounds.width & bounds.height, -1);
    EXPECT_EQ(vnx_CursorMover_initBounds(nullptr), -2);

    struct Case
    {
        uint8_t kind;
        uint16_t size;
    };
    for (const Case c : {Case{1, 56}, Case{2, 120}, Case{3, 32}, Case{4, 16}, Case{5, 16}}) {
        vnx_Struct_s header = {c.size, 99, c.kind, 1, {}, 0};
        EXPECT_TRUE(vnx_CursorMover_isStructValid(&header)) << int(c.kind);
        header.size = static_cast<uint16_t>(c.size + 4);
        EXPECT_FALSE(vnx_CursorMover_isStructValid(&header)) << int(c.kind);
    }
}

TEST(CursorMoverModule, SinkInterfacesNodesAndFactory)
{
    ASSERT_EQ(vnx_CursorMover_moduleFactoryRegister(), 0);
    vnx::ModuleInterface* made = vnx::ModuleFactory::createModule(nullptr, 99);
    ASSERT_NE(made, nullptr);
    auto* mover = dynamic_cast<CursorMover*>(made);
    ASSERT_NE(mover, nullptr);
    EXPECT_EQ(made->getType(), 99);

    vnx::NodeManager& nodes = vnx::NodeManager::getInstance();
    vnx::NodeInterface* platformNode = nodes.getNode(&mover->platform());
    ASSERT_NE(platformNode, nullptr);
    EXPECT_EQ(platformNode->getName("."), "CursorMover.Linux");
    EXPECT_NE(nodes.getNode("CursorMover.Linux.Impl"), nullptr);
    EXPECT_NE(nodes.getNode("CursorMover.Linux.dftLog"), nullptr);
    EXPECT_NE(nodes.getNode("CursorMover.Linux.Impl.dftLog"), nullptr);

    size_t count = 0;
    EXPECT_EQ(made->getInputInterfaceCount(), 1);
    EXPECT_EQ(made->getInputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, std::numeric_limits<size_t>::max());
    EXPECT_EQ(made->getInputInterface(1, 0, nullptr, count), -17);
    EXPECT_EQ(made->getOutputInterfaceCount(), 0);
    EXPECT_EQ(made->getOutputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, 0u);
    int offset = 0;
    EXPECT_EQ(made->init(nullptr, offset, nullptr, offset), 0);
    EXPECT_EQ(made->term(), 0);
    // The default platform makes no call that could fail.
    vnx_ExtendedCursor_Output_s cursor = extendedOutput(1, 1, 1, 1, 0);
    const vnx_StructOutput_s* inputs[] = {&cursor.output};
    EXPECT_EQ(made->process(0, 1, inputs, nullptr, 0, 0, nullptr, nullptr), 0);

    vnx::ModuleFactory::destroyModule(made);
    EXPECT_EQ(nodes.getNode("CursorMover.Linux"), nullptr);
    EXPECT_EQ(nodes.getNode("CursorMover.Linux.Impl"), nullptr);
    vnx_CursorMover_moduleFactoryUnregister();
}

TEST(CursorMoverModule, AnInstalledPlatformMakerServesModulesMadeByTypeId)
{
    ASSERT_EQ(vnx_CursorMover_moduleFactoryRegister(), 0);
    {
        vnx::testsupport::RecordingCursorPlatforms recording;
        vnx::ModuleInterface* made = vnx::ModuleFactory::createModule(nullptr, 99);
        ASSERT_NE(made, nullptr);
        ASSERT_NE(recording.newest(), nullptr);
        EXPECT_EQ(&recording.newest()->owner(), made);
        vnx::ModuleFactory::destroyModule(made);
        EXPECT_EQ(recording.newest(), nullptr);
    }
    CursorMover plain;
    EXPECT_EQ(dynamic_cast<RecordingCursorPlatform*>(&plain.platform()), nullptr);
    vnx_CursorMover_moduleFactoryUnregister();
}

} // namespace
