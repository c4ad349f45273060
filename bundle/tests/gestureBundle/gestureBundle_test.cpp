// The GestureBundle: recognisers added and removed by command, each fed the
// input its type reads, Configs and Commands routed by instance id, and the
// listener told of every addition and removal.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "bundleCommon/bundleModuleType.h"
#include "bundleTestSupport/bundleLibraries.h"
#include "common/moduleType.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "gesture/CursorGestureRecords.h"
#include "gesture/LinearGestureRecords.h"
#include "gesture/MultistrokeGestureRecords.h"
#include "gestureBundle/GestureBundle.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/FakeModule.h"
#include "support/logCapture.h"

namespace bundleTest {
namespace {

using vnx::GestureBundle;
using vnx::ModuleFactory;
using vnx::testsupport::FakeModuleScript;
using vnx::testsupport::FakeModuleType;
using vnx::testsupport::LogCapture;

class StatusLog : public vnx::ModuleListenerInterface
{
  public:
    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
    {
        const auto* own = vnx_GestureBundle_dynamicDownCastConstStatus(status);
        ASSERT_NE(own, nullptr);
        statuses.push_back(*own);
        sources.push_back(source);
    }
    std::vector<vnx_GestureBundle_Status_s> statuses;
    std::vector<const void*> sources;
};

/// Takes a core factory out of the registry while it lives. Declare it
/// before the stand-in and the rig, so that their modules are gone first.
class WithoutFactory
{
  public:
    WithoutFactory(int (*unregister)(), int (*reregister)()) : reregister_(reregister) { unregister(); }
    ~WithoutFactory() { reregister_(); }
    WithoutFactory(const WithoutFactory&) = delete;
    WithoutFactory& operator=(const WithoutFactory&) = delete;

  private:
    int (*reregister_)();
};

class GestureRig
{
  public:
    GestureRig()
    {
        module_ = ModuleFactory::createModule(nullptr, VNX_TYPE_GESTURE_BUNDLE);
        motion = freshRecord(vnx_SensorFusion_initOutput);
        motionFormat = freshRecord(vnx_SensorFusion_initFormat);
        cursor = freshRecord(vnx_ExtendedCursor_initOutput);
        cursorFormat = freshRecord(vnx_ExtendedCursor_initFormat);
    }
    ~GestureRig()
    {
        releaseOutputs();
        ModuleFactory::destroyModule(module_);
    }
    GestureRig(const GestureRig&) = delete;
    GestureRig& operator=(const GestureRig&) = delete;

    GestureBundle& bundle() { return *dynamic_cast<GestureBundle*>(module_); }
    vnx::ModuleInterface& module() { return *module_; }

    int command(uint32_t code, uint64_t argument = 0)
    {
        vnx_GestureBundle_Command_s command = freshRecord(vnx_GestureBundle_initCommand);
        command.code = code;
        command.argument.instanceId = argument;
        return module_->sendCommand(&command.command);
    }
    int add(uint8_t type) { return command(VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE, type); }
    int remove(uint64_t instanceId) { return command(VNX_GESTURE_BUNDLE_COMMAND_REMOVE_MODULE, instanceId); }
    uint64_t idAt(int index) { return GestureBundle::instanceIdOf(bundle().module(index)); }

    std::vector<uint8_t> types()
    {
        uint8_t ids[GestureBundle::kMaxModules] = {};
        size_t count = 0;
        EXPECT_EQ(module_->getOutputInterface(0, GestureBundle::kMaxModules, ids, count), 0);
        return std::vector<uint8_t>(ids, ids + count);
    }

    /// One output record per recogniser, made by its factory.
    void makeOutputs()
    {
        releaseOutputs();
        for (uint8_t type : types()) {
            outputs.push_back(ModuleFactory::createOutput(type));
            outputFormats.push_back(ModuleFactory::createFormat(type));
        }
    }
    void releaseOutputs()
    {
        for (vnx_StructOutput_s* output : outputs) {
            ModuleFactory::destroyOutput(output);
        }
        for (vnx_StructFormat_s* format : outputFormats) {
            ModuleFactory::destroyFormat(format);
        }
        outputs.clear();
        outputFormats.clear();
    }

    int process(int inputInterface = 1, size_t outputCount = SIZE_MAX)
    {
        const vnx_StructOutput_s* inputs[] = {&motion.output, &cursor.output};
        const vnx_StructFormat_s* formats[] = {&motionFormat.format, &cursorFormat.format};
        return module_->process(inputInterface, 2, inputs, formats, 0,
                                outputCount == SIZE_MAX ? outputs.size() : outputCount, outputs.data(),
                                outputFormats.data());
    }

    vnx_SensorFusion_Output_s motion;
    vnx_SensorFusion_Format_s motionFormat;
    vnx_ExtendedCursor_Output_s cursor;
    vnx_ExtendedCursor_Format_s cursorFormat;
    std::vector<vnx_StructOutput_s*> outputs;
    std::vector<vnx_StructFormat_s*> outputFormats;

  private:
    vnx::ModuleInterface* module_ = nullptr;
};

TEST(GestureBundle, HoldsFourRecognisersAndOneCursorGestureInItsLife)
{
    BundleLibraries libraries;
    GestureRig rig;
    LogCapture log(LogCapture::defaultLoggerOf(&rig.module()), vnx::log::NOTICE);
    ASSERT_TRUE(log.attached());

    for (uint8_t type : {10, 11, 24, 10}) {
        EXPECT_EQ(rig.add(type), 0) << int(type);
    }
    EXPECT_EQ(rig.types(), (std::vector<uint8_t>{10, 11, 24, 10}));
    EXPECT_EQ(rig.add(24), -21);
    EXPECT_TRUE(log.contains("Cannot add a new module: Reached the maximum number of modules."));
    EXPECT_EQ(rig.bundle().moduleCount(), 4);

    EXPECT_EQ(rig.remove(rig.idAt(3)), 0);
    EXPECT_EQ(rig.add(11), -25);
    EXPECT_TRUE(log.contains("CursorGesture module has already been added."));
    EXPECT_EQ(rig.remove(rig.idAt(1)), 0); // the CursorGesture
    EXPECT_EQ(rig.add(11), -25) << "never a second one, even after removal";
    EXPECT_EQ(rig.types(), (std::vector<uint8_t>{10, 24}));
}

TEST(GestureBundle, CommandCodesAndArguments)
{
    BundleLibraries libraries;
    GestureRig rig;
    EXPECT_EQ(rig.add(9), -2);
    EXPECT_EQ(rig.add(0), -2);
    EXPECT_EQ(rig.command(3), -9);
    EXPECT_EQ(rig.command(VNX_GESTURE_BUNDLE_COMMAND_NONE), 0);
    EXPECT_EQ(rig.remove(1234), -22) << "no module at all";
    ASSERT_EQ(rig.add(10), 0);
    EXPECT_EQ(rig.remove(rig.idAt(0) + 8), -22);
    EXPECT_EQ(rig.bundle().moduleCount(), 1);

    vnx_GestureBundle_Command_s shortCommand = freshRecord(vnx_GestureBundle_initCommand);
    shortCommand.command.header.size = 40;
    EXPECT_EQ(rig.module().sendCommand(&shortCommand.command), -2);
}

TEST(GestureBundle, RemovingTheFirstKeepsTheOthersInOrderEachOnItsInput)
{
    BundleLibraries libraries;
    GestureRig rig;
    for (uint8_t type : {24, 10, 11}) {
        ASSERT_EQ(rig.add(type), 0);
    }
    const uint64_t linear = rig.idAt(1);
    const uint64_t cursorGesture = rig.idAt(2);
    ASSERT_EQ(rig.remove(rig.idAt(0)), 0);
    EXPECT_EQ(rig.types(), (std::vector<uint8_t>{10, 11}));
    EXPECT_EQ(rig.idAt(0), linear);
    EXPECT_EQ(rig.idAt(1), cursorGesture);

    rig.makeOutputs();
    rig.motion.sampleNumber = 500;
    rig.cursor.sample = 700;
    rig.cursorFormat.periodUs = 8000;
    for (int interface : {0, 1}) {
        ASSERT_EQ(rig.process(interface), 0)
            << "the bundle's interface does not change what a recogniser reads";
        const auto* linearOut = vnx_LinearGesture_dynamicDownCastConstOutput(rig.outputs[0]);
        const auto* cursorOut = vnx_CursorGesture_dynamicDownCastConstOutput(rig.outputs[1]);
        ASSERT_NE(linearOut, nullptr);
        ASSERT_NE(cursorOut, nullptr);
        EXPECT_EQ(linearOut->sampleNumber, 500u);
        EXPECT_EQ(cursorOut->sampleNumber, 700u);
        EXPECT_EQ(rig.outputs[0]->header.instanceId, linear);
        EXPECT_EQ(rig.outputs[1]->header.instanceId, cursorGesture);
    }
}

TEST(GestureBundle, ProcessChecksInterfaceCountsAndOneSlotPerRecogniser)
{
    BundleLibraries libraries;
    GestureRig rig;
    EXPECT_EQ(rig.process(1, 0), 0) << "no recogniser: nothing to do";
    EXPECT_EQ(rig.process(1, 7), 0);
    EXPECT_EQ(rig.process(2, 0), -2);

    ASSERT_EQ(rig.add(10), 0);
    ASSERT_EQ(rig.add(24), 0);
    rig.makeOutputs();
    EXPECT_EQ(rig.process(1, 3), -24);
    EXPECT_EQ(rig.process(1, 1), -24);
    EXPECT_EQ(rig.process(-1), -2);
    const vnx_StructOutput_s* one[] = {&rig.motion.output};
    EXPECT_EQ(rig.module().process(1, 1, one, nullptr, 0, 2, rig.outputs.data(), rig.outputFormats.data()),
              -2);
    EXPECT_EQ(rig.module().process(1, 2, one, nullptr, 1, 2, rig.outputs.data(), rig.outputFormats.data()),
              -2);

    // A recogniser's error ends the sample and is logged.
    LogCapture log(LogCapture::defaultLoggerOf(&rig.module()));
    std::swap(rig.outputs[0], rig.outputs[1]); // slot 0 now of the wrong type
    EXPECT_EQ(rig.process(), -2);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].text.find("modules_[i]->process("), std::string::npos);
    EXPECT_NE(log.lines()[0].text.find("= -2:"), std::string::npos);
}

TEST(GestureBundle, OutputInterfaceListsTheRecognisersWithoutNeedingRoomForFour)
{
    BundleLibraries libraries;
    GestureRig rig;
    size_t count = 99;
    EXPECT_EQ(rig.module().getOutputInterface(0, 0, nullptr, count), 0);
    EXPECT_EQ(count, 0u);
    ASSERT_EQ(rig.add(11), 0);
    ASSERT_EQ(rig.add(24), 0);
    uint8_t ids[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(rig.module().getOutputInterface(0, 1, ids, count), -11);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(ids[0], 0xEE) << "nothing written";
    EXPECT_EQ(rig.module().getOutputInterface(0, 2, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 2), (std::vector<uint8_t>{11, 24}));
    EXPECT_EQ(rig.module().getOutputInterface(1, 4, ids, count), -17);

    EXPECT_EQ(rig.module().getInputInterface(5, 1, ids, count), -11) << "capacity before the id";
    EXPECT_EQ(rig.module().getInputInterface(2, 2, ids, count), -17);
    ASSERT_EQ(rig.module().getInputInterface(0, 2, ids, count), 0);
    EXPECT_EQ(std::vector<uint8_t>(ids, ids + 2), (std::vector<uint8_t>{3, 6}));
}

TEST(GestureBundle, ConfigsAndCommandsReachTheRecogniserTheyName)
{
    BundleLibraries libraries;
    GestureRig rig;
    EXPECT_EQ(rig.add(10), 0);
    EXPECT_EQ(rig.add(24), 0);

    vnx_LinearGesture_Config_s linear = freshRecord(vnx_LinearGesture_initConfig);
    linear.sliderMax = 42.0f;
    linear.config.header.instanceId = rig.idAt(0);
    EXPECT_EQ(rig.module().setConfig(&linear.config), 0);
    vnx_LinearGesture_Config_s readBack = freshRecord(vnx_LinearGesture_initConfig);
    readBack.config.header.instanceId = rig.idAt(0);
    EXPECT_EQ(rig.module().getConfig(&readBack.config), 0);
    EXPECT_FLOAT_EQ(readBack.sliderMax, 42.0f);

    // The named recogniser's own answer, even when it refuses the record.
    linear.config.header.instanceId = rig.idAt(1);
    EXPECT_EQ(rig.module().setConfig(&linear.config), -3);
    linear.config.header.instanceId = 0;
    EXPECT_EQ(rig.module().setConfig(&linear.config), -3) << "names no recogniser";

    vnx_LinearGesture_Command_s activate = freshRecord(vnx_LinearGesture_initCommand);
    activate.code = 1;
    activate.command.header.instanceId = rig.idAt(0);
    EXPECT_EQ(rig.module().sendCommand(&activate.command), 0);
    activate.command.header.instanceId = 5;
    EXPECT_EQ(rig.module().sendCommand(&activate.command), -3);

    vnx_GestureBundle_Config_s own = freshRecord(vnx_GestureBundle_initConfig);
    EXPECT_EQ(rig.module().setConfig(&own), 0);
    EXPECT_EQ(rig.module().getConfig(&own), 0);
}

TEST(GestureBundle, ListenerHearsOfEveryAdditionAndRemoval)
{
    BundleLibraries libraries;
    GestureRig rig;
    StatusLog listener;
    ASSERT_EQ(rig.add(24), 0); // before the listener: no Status
    ASSERT_EQ(rig.module().setModuleListener(&listener), 0);
    EXPECT_TRUE(listener.statuses.empty());

    ASSERT_EQ(rig.add(11), 0);
    ASSERT_EQ(listener.statuses.size(), 1u);
    const vnx_GestureBundle_Status_s added = listener.statuses[0];
    EXPECT_EQ(added.event, VNX_GESTURE_BUNDLE_EVENT_MODULE_ADDED);
    EXPECT_EQ(added.module.type, 11);
    EXPECT_EQ(added.module.instanceId, rig.idAt(1));
    EXPECT_EQ(added.status.header.instanceId, GestureBundle::instanceIdOf(&rig.module()));
    EXPECT_EQ(listener.sources[0], static_cast<const void*>(&rig.module()));

    const uint64_t removedId = rig.idAt(0);
    ASSERT_EQ(rig.remove(removedId), 0);
    ASSERT_EQ(listener.statuses.size(), 2u);
    EXPECT_EQ(listener.statuses[1].event, VNX_GESTURE_BUNDLE_EVENT_MODULE_REMOVED);
    EXPECT_EQ(listener.statuses[1].module.type, 24);
    EXPECT_EQ(listener.statuses[1].module.instanceId, removedId);

    EXPECT_EQ(rig.add(11), -25);
    EXPECT_EQ(listener.statuses.size(), 2u) << "a refused add reports nothing";
}

TEST(GestureBundle, RecogniserThatCannotBeMadeOrStartedIsNeitherCountedNorKept)
{
    BundleLibraries libraries;
    WithoutFactory noLinearGesture(vnx_LinearGesture_moduleFactoryUnregister,
                                   vnx_LinearGesture_moduleFactoryRegister);
    FakeModuleScript script;
    script.type = VNX_TYPE_LINEAR_GESTURE;
    script.answers["init"] = -4;
    FakeModuleType failing(script);
    GestureRig rig;
    StatusLog listener;
    ASSERT_EQ(rig.module().setModuleListener(&listener), 0);

    // No factory: the library that makes it is not started.
    vnx_CursorGesture_moduleFactoryUnregister();
    EXPECT_EQ(rig.add(11), -14);
    EXPECT_EQ(rig.bundle().moduleCount(), 0);
    vnx_CursorGesture_moduleFactoryRegister();
    EXPECT_EQ(rig.add(11), 0) << "a failed add sets no CursorGesture flag";

    // A recogniser whose init fails once the bundle is initialised.
    int scdOffset = 0;
    int dcdOffset = 0;
    ASSERT_EQ(rig.module().init(nullptr, scdOffset, nullptr, dcdOffset), 0);
    listener.statuses.clear();
    EXPECT_EQ(rig.add(10), -4);
    EXPECT_EQ(rig.bundle().moduleCount(), 1);
    EXPECT_EQ(failing.createdModules(), 1);
    EXPECT_EQ(failing.liveModules(), 0u) << "destroyed, not leaked";
    EXPECT_TRUE(listener.statuses.empty());

    // The same when the listener refuses it.
    failing.script().answers["init"] = 0;
    failing.script().answers["setModuleListener"] = 2;
    EXPECT_EQ(rig.add(10), 2);
    EXPECT_EQ(failing.liveModules(), 0u);
    EXPECT_EQ(rig.bundle().moduleCount(), 1);
}

TEST(GestureBundle, RecognisersAddedLaterGetTheCalibrationAsItsSizeSays)
{
    BundleLibraries libraries;
    WithoutFactory noLinearGesture(vnx_LinearGesture_moduleFactoryUnregister,
                                   vnx_LinearGesture_moduleFactoryRegister);
    FakeModuleScript script;
    script.type = VNX_TYPE_LINEAR_GESTURE;
    FakeModuleType fake(script);
    GestureRig rig;
    ASSERT_EQ(rig.add(10), 0);

    // Blocks shorter than the bundle keeps: only what their size says is read.
    constexpr uint16_t kScdSize = 100;
    constexpr uint16_t kDcdSize = 184;
    auto scd = std::make_unique<uint8_t[]>(kScdSize);
    auto dcd = std::make_unique<uint8_t[]>(kDcdSize);
    for (int i = 0; i < kScdSize; ++i) {
        scd[i] = static_cast<uint8_t>(i + 1);
    }
    for (int i = 0; i < kDcdSize; ++i) {
        dcd[i] = static_cast<uint8_t>(200 - i);
    }
    std::memcpy(scd.get(), &kScdSize, 2);
    std::memcpy(dcd.get(), &kDcdSize, 2);
    int scdOffset = 0;
    int dcdOffset = 0;
    ASSERT_EQ(rig.module().init(reinterpret_cast<const vnx_scdData_s*>(scd.get()), scdOffset,
                                reinterpret_cast<const vnx_dcdData_s*>(dcd.get()), dcdOffset),
              0);
    ASSERT_EQ(rig.add(10), 0);

    const auto inits = fake.calls("init");
    ASSERT_EQ(inits.size(), 2u) << "the first at the bundle's init, the second at the add";
    EXPECT_EQ(inits[1].scd, std::vector<uint8_t>(scd.get(), scd.get() + kScdSize));
    EXPECT_EQ(inits[1].dcd, std::vector<uint8_t>(dcd.get(), dcd.get() + kDcdSize));
}

} // namespace
} // namespace bundleTest
