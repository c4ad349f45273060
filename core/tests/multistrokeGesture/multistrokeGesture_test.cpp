#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../cursorGesture/cursorFeed.h"
#include "../gesture/gestureDrawing.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "gesture/MultistrokeGesture.h"
#include "gesture/MultistrokeGestureRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/ModuleHandle.h"
#include "moduleFactory/moduleApi.h"
#include "support/recordBytes.h"

namespace {

using gesturetest::Path;
using gesturetest::straight;
using vnx::testsupport::byteAt;
using vnx::testsupport::filled;

/// A MultistrokeGesture made by type id and fed ExtendedCursor samples through
/// the flat module API; the pointer position follows the deltas.
class Multistroke : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(vnx_core_initialize(), 1);
        handle = vnx_ModuleFactory_createModule(VNX_TYPE_MULTISTROKE_GESTURE);
        ASSERT_NE(handle, nullptr);
        module = dynamic_cast<MultistrokeGesture*>(vnx::liveModuleHandle(handle)->module);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override
    {
        EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
        vnx_core_finalize();
    }

    int command(uint32_t code, const char* name = "", const char* codeText = "")
    {
        vnx_MultistrokeGesture_Command_s record;
        vnx_MultistrokeGesture_initCommand(&record);
        record.code = code;
        // Up to the whole field: a name of 128 characters has no terminator.
        std::memcpy(record.definition.name, name, strnlen(name, sizeof(record.definition.name)));
        std::memcpy(record.definition.code, codeText, strnlen(codeText, sizeof(record.definition.code)));
        return vnx_Module_sendCommand(handle, &record.command);
    }

    void define(const char* name, const char* codeText)
    {
        ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_ADD_SYMBOL, name, codeText), VNX_STATUS_SUCCESS);
    }

    vnx_MultistrokeGesture_Output_s sample(int32_t dx, int32_t dy)
    {
        x += dx;
        y += dy;
        cursorfeed::CursorRecords in = cursorfeed::extended(++sampleNumber, dx, dy, 8000, x, y);
        vnx_MultistrokeGesture_Output_s out;
        vnx_MultistrokeGesture_initOutput(&out);
        vnx_StructOutput_s* outputs[] = {&out.output};
        EXPECT_EQ(vnx_Module_process(handle, 0, 1, in.outputs(), in.formats(), 0, 1, outputs, nullptr),
                  VNX_STATUS_SUCCESS);
        return out;
    }

    /// Moves the pointer without a stroke open.
    void moveTo(int32_t toX, int32_t toY) { sample(toX - x, toY - y); }

    /// Commands 1 and 2 around `path`.
    void stroke(const Path& path)
    {
        ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE), VNX_STATUS_SUCCESS);
        for (const gesturetest::Delta& delta : path) {
            sample(delta.dx, delta.dy);
        }
        ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_END_STROKE), VNX_STATUS_SUCCESS);
    }

    /// Requests recognition and returns the names of the next sample.
    std::vector<std::string> recognise(uint32_t* count = nullptr)
    {
        EXPECT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_RECOGNISE), VNX_STATUS_SUCCESS);
        const vnx_MultistrokeGesture_Output_s out = sample(0, 0);
        EXPECT_EQ(out.result, 1);
        if (count != nullptr) {
            *count = out.count;
        }
        std::vector<std::string> names;
        for (uint32_t i = 0; i < out.count && i < VNX_MULTISTROKE_GESTURE_MAX_SYMBOLS; ++i) {
            names.emplace_back(out.names[i], strnlen(out.names[i], sizeof(out.names[i])));
        }
        return names;
    }

    void setGroupingDistance(double distance)
    {
        vnx_MultistrokeGesture_Config_s config;
        vnx_MultistrokeGesture_initConfig(&config);
        config.groupingDistance = distance;
        ASSERT_EQ(vnx_Module_setConfig(handle, &config.config), VNX_STATUS_SUCCESS);
    }

    /// Right, left and right-then-back symbols; a stroke of 21 samples of 10
    /// units matches the first two alone at 100, the pair of such strokes
    /// matches the third below that.
    void defineLines()
    {
        define("right", "5 5 5 5 5 5 5 5");
        define("left", "1 1 1 1 1 1 1 1");
        define("there and back", "5 5 5 5 1 1 1 1");
    }

    vnx_ModuleHandle_s* handle = nullptr;
    MultistrokeGesture* module = nullptr;
    uint32_t sampleNumber = 0;
    int32_t x = 0;
    int32_t y = 0;
};

TEST(MultistrokeGestureRecords, OutputHeaderAndDefaults)
{
    auto output = filled<vnx_MultistrokeGesture_Output_s>();
    ASSERT_EQ(vnx_MultistrokeGesture_initOutput(&output), 0);
    EXPECT_EQ(output.output.header.size, 1304);
    EXPECT_EQ(output.output.header.type, VNX_TYPE_MULTISTROKE_GESTURE);
    EXPECT_EQ(output.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(output.output.header.version, 1);
    for (std::size_t offset = 16; offset < sizeof(output); ++offset) {
        ASSERT_EQ(byteAt(output, offset), 0) << "byte " << offset;
    }
    auto config = filled<vnx_MultistrokeGesture_Config_s>();
    ASSERT_EQ(vnx_MultistrokeGesture_initConfig(&config), 0);
    EXPECT_EQ(config.groupingDistance, 0.0);
    EXPECT_EQ(vnx_MultistrokeGesture_isStructValid(&config.config.header), 1);
    auto definition = filled<vnx_MultistrokeGesture_Definition_s>();
    ASSERT_EQ(vnx_MultistrokeGesture_initDefinition(&definition), 0);
    EXPECT_EQ(byteAt(definition, 191), 0);

    vnx_MultistrokeGesture_Command_s command;
    vnx_MultistrokeGesture_initCommand(&command);
    EXPECT_EQ(command.command.header.size, 1064);
    vnx_MultistrokeGesture_Status_s status;
    vnx_MultistrokeGesture_initStatus(&status);
    EXPECT_EQ(status.header.size, 32);
    EXPECT_EQ(vnx_MultistrokeGesture_isStructValid(&status.header), 1);
    status.header.size = 40;
    EXPECT_EQ(vnx_MultistrokeGesture_isStructValid(&status.header), 0);
}

TEST_F(Multistroke, CommandAnswers)
{
    struct Case
    {
        uint32_t code;
        int status;
    };
    const Case cases[] = {{0, -10}, {7, -10}, {4, -1}, {5, 0}, {2, 0}, {6, 0}, {99, -10}};
    for (const Case& c : cases) {
        EXPECT_EQ(command(c.code), c.status) << "code " << c.code;
    }
    EXPECT_EQ(vnx_Module_sendCommand(handle, nullptr), VNX_STATUS_INVALID_PARAMETER);
    define("four", "1 3 5 7");
    EXPECT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_ADD_SYMBOL, "five", "1 3 5 7 1"),
              VNX_STATUS_INVALID_COMMAND);
}

TEST_F(Multistroke, DescribesItsInterfaces)
{
    EXPECT_EQ(vnx_Module_getType(handle), VNX_TYPE_MULTISTROKE_GESTURE);
    uint8_t type = 0;
    size_t count = 0;
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 1, &type, &count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_EXTENDED_CURSOR);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 1, 1, &type, &count), VNX_STATUS_INVALID_INTERFACE);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 0, &type, &count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 1, &type, &count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_MULTISTROKE_GESTURE);
}

TEST_F(Multistroke, ConfigKeepsTheGroupingDistance)
{
    EXPECT_EQ(module->groupingDistance(), 25.0);
    vnx_MultistrokeGesture_Config_s kept = filled<vnx_MultistrokeGesture_Config_s>();
    kept.config.header.size = 40;
    kept.config.header.type = VNX_TYPE_MULTISTROKE_GESTURE;
    kept.config.header.kind = VNX_KIND_CONFIG;
    kept.config.header.version = 1;
    ASSERT_EQ(vnx_Module_getConfig(handle, &kept.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(kept.groupingDistance, 0.0) << "a fresh Config before any setConfig";

    vnx_StructConfig_s* foreign = vnx_ModuleFactory_createConfig(VNX_TYPE_CURSOR_GESTURE);
    EXPECT_EQ(vnx_Module_getConfig(handle, foreign), VNX_STATUS_NOT_FOR_ME);
    EXPECT_EQ(vnx_Module_setConfig(handle, foreign), VNX_STATUS_NOT_FOR_ME);
    vnx_ModuleFactory_destroyConfig(foreign);

    setGroupingDistance(42.5);
    EXPECT_EQ(module->groupingDistance(), 42.5);
    ASSERT_EQ(vnx_Module_getConfig(handle, &kept.config), VNX_STATUS_SUCCESS);
    EXPECT_EQ(kept.groupingDistance, 42.5);

    int offset = 0;
    ASSERT_EQ(vnx_Module_init(handle, nullptr, &offset, nullptr, &offset), VNX_STATUS_SUCCESS);
    EXPECT_EQ(module->groupingDistance(), 25.0);
}

TEST_F(Multistroke, RecognitionWithoutStrokesReportsNoSymbol)
{
    uint32_t count = 99;
    EXPECT_TRUE(recognise(&count).empty());
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sample(0, 0).result, 0) << "once only";
}

TEST_F(Multistroke, StrokeThatMatchesNothingIsAQuestionMark)
{
    defineLines();
    stroke(straight(0, 10, 20));
    uint32_t count = 0;
    EXPECT_EQ(recognise(&count), std::vector<std::string>{"?"});
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(module->strokes().empty());
}

TEST_F(Multistroke, OverlappingPairWinsOverABetterSingleStroke)
{
    defineLines();
    stroke(straight(10, 0, 21));
    stroke(straight(-10, 0, 21)); // back over the same ground: distance 0
    const double single = module->match(0, 1).score;
    const double pair = module->match(0, 2).score;
    ASSERT_GT(single, pair);
    ASSERT_GE(pair, 60.0);
    EXPECT_EQ(recognise(), std::vector<std::string>{"there and back"});
}

TEST_F(Multistroke, SeparatePairLosesToABetterSingleStroke)
{
    defineLines();
    stroke(straight(10, 0, 21));
    moveTo(x, y + 15); // 15 units below the first box: close, but apart
    stroke(straight(-10, 0, 21));
    ASSERT_GT(module->match(0, 1).score, module->match(0, 2).score);
    EXPECT_EQ(recognise(), (std::vector<std::string>{"right", "left"}));
}

TEST_F(Multistroke, GroupingDistanceOfAFreshConfigNeverPairs)
{
    defineLines();
    setGroupingDistance(0.0);
    stroke(straight(10, 0, 21));
    stroke(straight(-10, 0, 21));
    ASSERT_GE(module->match(0, 2).score, 60.0) << "the pair would match";
    EXPECT_EQ(recognise(), (std::vector<std::string>{"right", "left"}));
}

TEST_F(Multistroke, TwelveSymbolsAreCountedAndTenCarried)
{
    defineLines();
    for (int i = 0; i < 12; ++i) {
        moveTo(0, 1000 * i); // far from each other
        stroke(straight(i % 2 == 0 ? 10 : -10, 0, 20));
    }
    uint32_t count = 0;
    const std::vector<std::string> names = recognise(&count);
    EXPECT_EQ(count, 12u);
    ASSERT_EQ(names.size(), 10u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], i % 2 == 0 ? "right" : "left") << "symbol " << i;
    }
}

TEST_F(Multistroke, BeginTwiceOpensOneStroke)
{
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE), 0);
    sample(10, 0);
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE), 0);
    sample(10, 0);
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_END_STROKE), 0);
    ASSERT_EQ(module->strokes().size(), 1u);
    EXPECT_EQ(module->strokes()[0].points.size(), 2u);
    EXPECT_EQ(module->strokes()[0].minX, 10);
    EXPECT_EQ(module->strokes()[0].maxX, 20);
}

TEST_F(Multistroke, RecognitionWhileAStrokeIsOpenIsRefused)
{
    defineLines();
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_RECOGNISE), 0);
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_BEGIN_STROKE), 0);
    EXPECT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_RECOGNISE), VNX_STATUS_INVALID_COMMAND);
    for (const gesturetest::Delta& delta : straight(10, 0, 20)) {
        EXPECT_EQ(sample(delta.dx, delta.dy).result, 0);
    }
    ASSERT_EQ(command(VNX_MULTISTROKE_GESTURE_COMMAND_END_STROKE), 0);
    EXPECT_EQ(sample(0, 0).result, 0) << "the earlier request was cleared";
    EXPECT_EQ(module->strokes().size(), 1u);
}

TEST_F(Multistroke, EmptyStrokeBesideADrawnOneIsAQuestionMark)
{
    defineLines();
    stroke(straight(10, 0, 20));
    stroke({});
    uint32_t count = 0;
    EXPECT_EQ(recognise(&count), (std::vector<std::string>{"right", "?"}));
    EXPECT_EQ(count, 2u);
}

TEST_F(Multistroke, ProcessRefusesMissingAndForeignRecords)
{
    cursorfeed::CursorRecords in = cursorfeed::extended(1, 1, 1, 8000, 1, 1);
    cursorfeed::CursorRecords standard = cursorfeed::standard(1, 1, 1, 8000);
    vnx_MultistrokeGesture_Output_s out;
    vnx_MultistrokeGesture_initOutput(&out);
    vnx_StructOutput_s* outputs[] = {&out.output};
    EXPECT_EQ(vnx_Module_process(handle, 0, 0, in.outputs(), in.formats(), 0, 1, outputs, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_process(handle, 0, 1, in.outputs(), nullptr, 0, 1, outputs, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(
        vnx_Module_process(handle, 0, 1, standard.outputs(), standard.formats(), 0, 1, outputs, nullptr),
        VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_process(handle, 0, 1, in.outputs(), in.formats(), 0, 0, outputs, nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(vnx_Module_process(handle, 0, 1, in.outputs(), in.formats(), 0, 1, outputs, nullptr),
              VNX_STATUS_SUCCESS);
}

} // namespace
