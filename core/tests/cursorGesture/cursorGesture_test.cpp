#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "../gesture/gestureDrawing.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "coreEntry/coreEntry.h"
#include "cursorFeed.h"
#include "gesture/CursorGesture.h"
#include "gesture/CursorGestureRecords.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleApi.h"
#include "support/recordBytes.h"
#include <cmath>

namespace {

using gesturetest::Path;
using gesturetest::perturbed;
using gesturetest::square;
using gesturetest::straight;
using vnx::testsupport::byteAt;
using vnx::testsupport::filled;

struct Reports
{
    std::vector<vnx_CursorGesture_Status_s> statuses;
    std::vector<vnx_ModuleHandle_s*> sources;
};

void onStatus(vnx_ModuleHandle_s* handle, const vnx_StructStatus_s* status, void* user)
{
    auto* reports = static_cast<Reports*>(user);
    const auto* own = vnx_CursorGesture_dynamicDownCastConstStatus(status);
    ASSERT_NE(own, nullptr);
    reports->statuses.push_back(*own);
    reports->sources.push_back(handle);
}

/// A CursorGesture made by type id and driven through the flat module API,
/// as a bundle drives it.
class CursorGestureModule : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(vnx_core_initialize(), 1);
        handle = vnx_ModuleFactory_createModule(VNX_TYPE_CURSOR_GESTURE);
        ASSERT_NE(handle, nullptr);
        ASSERT_EQ(vnx_Module_setModuleListener(handle, onStatus, &reports), VNX_STATUS_SUCCESS);
    }
    void TearDown() override
    {
        EXPECT_EQ(vnx_ModuleFactory_destroyModule(handle), VNX_STATUS_SUCCESS);
        vnx_core_finalize();
    }

    int command(uint32_t code, const char* name = "", const char* codeText = "")
    {
        vnx_CursorGesture_Command_s record;
        vnx_CursorGesture_initCommand(&record);
        record.code = code;
        // Up to the whole field: a name of 128 characters has no terminator.
        std::memcpy(record.definition.name, name, strnlen(name, sizeof(record.definition.name)));
        std::memcpy(record.definition.code, codeText, strnlen(codeText, sizeof(record.definition.code)));
        return vnx_Module_sendCommand(handle, &record.command);
    }

    /// One cursor sample on input interface `interface` (0 StandardCursor,
    /// 1 ExtendedCursor).
    vnx_CursorGesture_Output_s sample(int interface, int32_t dx, int32_t dy, uint32_t periodUs = 8000)
    {
        ++sampleNumber;
        cursorfeed::CursorRecords in = interface == 0 ? cursorfeed::standard(sampleNumber, dx, dy, periodUs)
                                                      : cursorfeed::extended(sampleNumber, dx, dy, periodUs);
        vnx_CursorGesture_Output_s out;
        vnx_CursorGesture_initOutput(&out);
        vnx_StructOutput_s* outputs[] = {&out.output};
        const int status =
            vnx_Module_process(handle, interface, 1, in.outputs(), in.formats(), 0, 1, outputs, nullptr);
        EXPECT_EQ(status, VNX_STATUS_SUCCESS);
        return out;
    }

    /// Commands 1 and 2 around `path`, then the sample that evaluates it.
    std::vector<vnx_CursorGesture_Output_s> drawGesture(const Path& path, int interface = 1)
    {
        std::vector<vnx_CursorGesture_Output_s> outs;
        EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_START_CAPTURE), VNX_STATUS_SUCCESS);
        outs.push_back(sample(interface, 0, 0));
        for (const gesturetest::Delta& delta : path) {
            outs.push_back(sample(interface, delta.dx, delta.dy));
        }
        EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_STOP_CAPTURE), VNX_STATUS_SUCCESS);
        outs.push_back(sample(interface, 0, 0));
        return outs;
    }

    vnx_ModuleHandle_s* handle = nullptr;
    Reports reports;
    uint32_t sampleNumber = 100;
};

std::string nameOf(const vnx_CursorGesture_Output_s& out)
{
    return std::string(out.name, strnlen(out.name, sizeof(out.name)));
}

TEST(CursorGestureRecords, OutputHeaderAndValidity)
{
    auto output = filled<vnx_CursorGesture_Output_s>();
    ASSERT_EQ(vnx_CursorGesture_initOutput(&output), 0);
    EXPECT_EQ(output.output.header.size, 200);
    EXPECT_EQ(output.output.header.type, VNX_TYPE_CURSOR_GESTURE);
    EXPECT_EQ(output.output.header.kind, VNX_KIND_OUTPUT);
    EXPECT_EQ(output.output.header.version, 1);
    for (std::size_t offset = 16; offset < sizeof(output); ++offset) {
        EXPECT_EQ(byteAt(output, offset), 0) << "byte " << offset;
    }

    vnx_CursorGesture_Config_s config;
    vnx_CursorGesture_initConfig(&config);
    vnx_CursorGesture_Command_s command;
    vnx_CursorGesture_initCommand(&command);
    vnx_CursorGesture_Status_s status;
    vnx_CursorGesture_initStatus(&status);
    vnx_CursorGesture_Format_s format;
    vnx_CursorGesture_initFormat(&format);
    const std::pair<const vnx_Struct_s*, uint16_t> records[] = {{&config.header, 32},
                                                                {&command.command.header, 232},
                                                                {&status.status.header, 112},
                                                                {&format.header, 16},
                                                                {&output.output.header, 200}};
    for (const auto& [header, size] : records) {
        EXPECT_EQ(header->size, size);
        EXPECT_EQ(vnx_CursorGesture_isStructValid(header), 1) << "kind " << int{header->kind};
        vnx_Struct_s changed = *header;
        changed.version = 2;
        EXPECT_EQ(vnx_CursorGesture_isStructValid(&changed), 0);
    }
    vnx_Struct_s sixthKind = output.output.header;
    sixthKind.kind = 6;
    EXPECT_EQ(vnx_CursorGesture_isStructValid(&sixthKind), 0);
    vnx_Struct_s otherType = output.output.header;
    otherType.type = VNX_TYPE_MULTISTROKE_GESTURE;
    EXPECT_EQ(vnx_CursorGesture_isStructValid(&otherType), 0);
    vnx_Struct_s shorter = output.output.header;
    shorter.size = 199;
    EXPECT_EQ(vnx_CursorGesture_isStructValid(&shorter), 0);

    auto definition = filled<vnx_CursorGesture_Definition_s>();
    EXPECT_EQ(vnx_CursorGesture_initDefinition(&definition), 0);
    auto data = filled<vnx_CursorGesture_LearningSuccessData_s>();
    EXPECT_EQ(vnx_CursorGesture_initLearningSuccessData(&data), 0);
    for (std::size_t offset = 0; offset < sizeof(data); ++offset) {
        EXPECT_EQ(byteAt(data, offset), 0) << "byte " << offset;
    }
    for (std::size_t offset = 0; offset < sizeof(definition); ++offset) {
        EXPECT_EQ(byteAt(definition, offset), 0) << "byte " << offset;
    }
}

TEST(CursorGestureFactory, RegistersWithTheRegistry)
{
    EXPECT_EQ(vnx_CursorGesture_moduleFactoryRegister(), VNX_STATUS_SUCCESS);
    vnx::ModuleInterface* module = vnx::ModuleFactory::createModule(VNX_TYPE_CURSOR_GESTURE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(dynamic_cast<CursorGesture*>(module), nullptr);
    EXPECT_EQ(vnx::ModuleFactory::destroyModule(module), VNX_STATUS_SUCCESS);
    EXPECT_EQ(vnx_CursorGesture_moduleFactoryUnregister(), 1);
    EXPECT_EQ(vnx::ModuleFactory::createModule(VNX_TYPE_CURSOR_GESTURE), nullptr);
}

TEST_F(CursorGestureModule, CommandAnswers)
{
    struct Case
    {
        uint32_t code;
        int status;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {6, -1}, {7, 0}, {8, -10}, {1000, -10}};
    for (const Case& c : cases) {
        EXPECT_EQ(command(c.code), c.status) << "code " << c.code;
    }
    EXPECT_EQ(vnx_Module_sendCommand(handle, nullptr), VNX_STATUS_INVALID_PARAMETER);

    vnx_CursorGesture_Config_s config = filled<vnx_CursorGesture_Config_s>();
    EXPECT_EQ(vnx_Module_getConfig(handle, &config), VNX_STATUS_FEATURE_NOT_IMPLEMENTED);
    EXPECT_EQ(byteAt(config, 0), vnx::testsupport::kFillByte) << "record untouched";
    EXPECT_EQ(vnx_Module_setConfig(handle, &config), VNX_STATUS_SUCCESS);
}

TEST_F(CursorGestureModule, DescribesItsInterfaces)
{
    EXPECT_EQ(vnx_Module_getType(handle), VNX_TYPE_CURSOR_GESTURE);
    EXPECT_EQ(vnx_Module_getInputInterfaceCount(handle), 2);
    EXPECT_EQ(vnx_Module_getOutputInterfaceCount(handle), 1);
    uint8_t type = 0;
    size_t count = 0;
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 1, &type, &count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_STANDARD_CURSOR);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 1, 1, &type, &count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_EXTENDED_CURSOR);
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 2, 1, &type, &count), VNX_STATUS_INVALID_INTERFACE);
    count = 0;
    EXPECT_EQ(vnx_Module_getInputInterface(handle, 0, 0, &type, &count), VNX_STATUS_SIZE_TOO_SMALL);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 0, 1, &type, &count), VNX_STATUS_SUCCESS);
    EXPECT_EQ(type, VNX_TYPE_CURSOR_GESTURE);
    EXPECT_EQ(vnx_Module_getOutputInterface(handle, 1, 1, &type, &count), VNX_STATUS_INVALID_INTERFACE);
}

TEST_F(CursorGestureModule, DefinitionsFixTheCodeLength)
{
    EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "four", "1 3 5 7"), VNX_STATUS_SUCCESS);
    EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "three", "1 3 5"), VNX_STATUS_INVALID_COMMAND);
    EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "again", "2 4 6 8"), VNX_STATUS_SUCCESS);
    EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_CLEAR_GESTURES), VNX_STATUS_SUCCESS);
    EXPECT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "three", "1 3 5"), VNX_STATUS_SUCCESS);
}

// Name and code text without terminators are read up to the end of their
// fields, not beyond.
TEST(CursorGestureDefinition, UnterminatedFieldsAreReadWithTheirBounds)
{
    CursorGesture module;
    vnx_CursorGesture_Command_s record;
    vnx_CursorGesture_initCommand(&record);
    record.code = VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE;
    std::memset(record.definition.name, 'N', sizeof(record.definition.name));
    for (std::size_t i = 0; i < sizeof(record.definition.code); ++i) {
        record.definition.code[i] = i % 2 == 0 ? '5' : ' ';
    }
    std::memset(record.padding, '7', sizeof(record.padding)); // would be read as more values
    ASSERT_EQ(module.sendCommand(&record.command), VNX_STATUS_SUCCESS);
    const Gesture& stored = module.processor().library().at(0);
    EXPECT_EQ(stored.getName(), std::string(128, 'N'));
    EXPECT_EQ(stored.getCode(), std::vector<float>(32, 5.0f));
    EXPECT_EQ(stored.getImageName(), "");
}

TEST_F(CursorGestureModule, LearningWithoutTrainingReportsFailure)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "line", "5 5 5 5 5 5 5 5"), 0);
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_START_LEARNING), 0);
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_STOP_LEARNING), 0);
    ASSERT_EQ(reports.statuses.size(), 1u);
    EXPECT_EQ(reports.statuses[0].statusType, VNX_CURSOR_GESTURE_LEARNING_FAILED);
    EXPECT_EQ(reports.statuses[0].learning.codeLength, 0);
    EXPECT_EQ(reports.sources[0], handle);
}

TEST_F(CursorGestureModule, OnlyTheSampleAfterTheStopCommandCarriesTheResult)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "right", "5 5 5 5 5 5 5 5"), 0);
    const auto outs = drawGesture(straight(10, 0, 20));
    for (std::size_t i = 0; i + 1 < outs.size(); ++i) {
        EXPECT_EQ(outs[i].result, 0) << "sample " << i;
        EXPECT_EQ(outs[i].sampleNumber, 101 + i);
    }
    EXPECT_EQ(outs.back().result, 1);
    EXPECT_EQ(nameOf(outs.back()), "right");
    EXPECT_EQ(sample(1, 0, 0).result, 0);
}

TEST_F(CursorGestureModule, BothCursorInterfacesGiveTheSameResult)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "box", "5 5 7 7 1 1 3 3"), 0);
    const Path path = perturbed(square(30, 10), 2, 11);
    const vnx_CursorGesture_Output_s standard = drawGesture(path, 0).back();
    const vnx_CursorGesture_Output_s extended = drawGesture(path, 1).back();
    EXPECT_EQ(nameOf(standard), "box");
    EXPECT_GT(standard.score, 60.0);
    // Everything from the flag on is the same; only the sample numbers differ.
    EXPECT_EQ(std::memcmp(&standard.result, &extended.result, sizeof(standard) - 20), 0);
}

TEST_F(CursorGestureModule, EmptyLibraryMatchesNothingAndLeavesTheStatisticsZero)
{
    const vnx_CursorGesture_Output_s out = drawGesture(square(30, 10)).back();
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(nameOf(out), "Not matched");
    EXPECT_EQ(out.score, 0.0);
    for (std::size_t offset = 160; offset < 196; ++offset) {
        EXPECT_EQ(byteAt(out, offset), 0) << "byte " << offset;
    }
}

TEST_F(CursorGestureModule, MatchReportsThePathStatistics)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "right", "5 5 5 5 5 5 5 5"), 0);
    const vnx_CursorGesture_Output_s out = drawGesture(straight(10, 2, 20)).back();
    EXPECT_EQ(nameOf(out), "right");
    EXPECT_FLOAT_EQ(out.durationS, 20 * 8000 / 1e6f);
    EXPECT_FLOAT_EQ(out.centreX, 105.0f);
    EXPECT_FLOAT_EQ(out.centreY, 21.0f);
    EXPECT_FLOAT_EQ(out.width, 190.0f);
    EXPECT_FLOAT_EQ(out.height, 38.0f);
    EXPECT_FLOAT_EQ(out.lastX, 200.0f);
    EXPECT_FLOAT_EQ(out.lastY, 40.0f);
    EXPECT_NEAR(out.pathLength, 19 * std::sqrt(104.0f), 1e-3f);
    EXPECT_EQ(out.captureState, 0u);
}

TEST_F(CursorGestureModule, LongNamesFillTheFieldWithoutTerminator)
{
    const std::string longName(127, 'g');
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, (longName + "h").c_str(), "5 5 5 5"), 0);
    const vnx_CursorGesture_Output_s out = drawGesture(straight(10, 0, 8)).back(); // five steps
    EXPECT_EQ(std::string(out.name, sizeof(out.name)), longName + "h");
    EXPECT_EQ(out.padding1[0], 0);
}

// Through the registry and the flat API, as a bundle calls it: a definition,
// then the shape drawn on the ExtendedCursor interface.
TEST_F(CursorGestureModule, DrawnDefinitionIsRecognised)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "line", "5 5 5 5 5 5 5 5"), 0);
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "box", "5 5 7 7 1 1 3 3"), 0);
    const vnx_CursorGesture_Output_s out = drawGesture(perturbed(square(40, 10), 2, 5), 1).back();
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(nameOf(out), "box");
    EXPECT_GT(out.score, 60.0);
}

TEST_F(CursorGestureModule, LearnedGestureIsReportedStoredAndRecognised)
{
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE, "line", "5 5 5 5 5 5 5 5"), 0);
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_START_LEARNING), 0);
    for (unsigned seed : {1u, 2u, 3u}) {
        for (const vnx_CursorGesture_Output_s& out : drawGesture(perturbed(square(40, 10), 2, seed))) {
            EXPECT_EQ(out.result, 0) << "no recognition while learning";
            EXPECT_EQ(out.sampleNumber, 0u);
        }
    }
    testing::internal::CaptureStdout();
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_STOP_LEARNING), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "New code User 1 is saved to library.\n");
    ASSERT_EQ(reports.statuses.size(), 1u);
    const vnx_CursorGesture_Status_s& status = reports.statuses[0];
    EXPECT_EQ(status.statusType, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
    EXPECT_EQ(status.learning.codeLength, 8);
    EXPECT_EQ(std::vector<uint8_t>(status.learning.digits, status.learning.digits + 8),
              (std::vector<uint8_t>{5, 5, 7, 7, 1, 1, 3, 3}));
    EXPECT_GT(status.learning.quality, 60.0f);

    const vnx_CursorGesture_Output_s out = drawGesture(perturbed(square(40, 10), 2, 2)).back();
    EXPECT_EQ(nameOf(out), "User 1");

    // Learned again: reported as a success, but the library keeps one copy.
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_START_LEARNING), 0);
    drawGesture(square(40, 10));
    testing::internal::CaptureStdout();
    ASSERT_EQ(command(VNX_CURSOR_GESTURE_COMMAND_STOP_LEARNING), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("User input matched to User 1 with", 0), 0u);
    ASSERT_EQ(reports.statuses.size(), 2u);
    EXPECT_EQ(reports.statuses[1].statusType, VNX_CURSOR_GESTURE_LEARNING_SUCCESS);
}

TEST_F(CursorGestureModule, ProcessRefusesMissingAndForeignRecords)
{
    cursorfeed::CursorRecords extended = cursorfeed::extended(1, 1, 1, 8000);
    cursorfeed::CursorRecords standard = cursorfeed::standard(1, 1, 1, 8000);
    vnx_CursorGesture_Output_s out;
    vnx_CursorGesture_initOutput(&out);
    vnx_StructOutput_s* outputs[] = {&out.output};
    struct Case
    {
        const char* what;
        int interface;
        size_t inputs;
        cursorfeed::CursorRecords* records;
        bool formats;
        size_t outputCount;
        int status;
    };
    const Case cases[] = {
        {"extended on 1", 1, 1, &extended, true, 1, VNX_STATUS_SUCCESS},
        {"standard on 0", 0, 1, &standard, true, 1, VNX_STATUS_SUCCESS},
        {"extended on 0", 0, 1, &extended, true, 1, VNX_STATUS_INVALID_PARAMETER},
        {"standard on 1", 1, 1, &standard, true, 1, VNX_STATUS_INVALID_PARAMETER},
        {"no input", 1, 0, &extended, true, 1, VNX_STATUS_INVALID_PARAMETER},
        {"no formats", 1, 1, &extended, false, 1, VNX_STATUS_INVALID_PARAMETER},
        {"no output", 1, 1, &extended, true, 0, VNX_STATUS_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vnx_Module_process(handle, c.interface, c.inputs, c.records->outputs(),
                                     c.formats ? c.records->formats() : nullptr, 0, c.outputCount, outputs,
                                     nullptr),
                  c.status)
            << c.what;
    }
    vnx_StructOutput_s* foreign = vnx_ModuleFactory_createOutput(VNX_TYPE_MULTISTROKE_GESTURE);
    vnx_StructOutput_s* foreignOutputs[] = {foreign};
    EXPECT_EQ(vnx_Module_process(handle, 1, 1, extended.outputs(), extended.formats(), 0, 1, foreignOutputs,
                                 nullptr),
              VNX_STATUS_INVALID_PARAMETER);
    vnx_ModuleFactory_destroyOutput(foreign);
}

} // namespace
