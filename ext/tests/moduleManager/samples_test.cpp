// The road of one sample through the host: stored by process(n, ...), run by
// the following process(), reported to the device.

#include <gtest/gtest.h>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "hostFixture.h"
#include "support/FakeModule.h"
#include "support/logCapture.h"

namespace vnx::testsupport {
namespace {

constexpr uint8_t k6AG = 22;
constexpr uint8_t kButtons = 5;

FakeModuleScript presenterModule()
{
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{k6AG, kButtons}};
    script.outputInterfaces = {{kButtons}};
    return script;
}

// The sample number a stored 6AG copy carried when the module ran it.
int32_t runSampleNumber(const FakeCall& call)
{
    return reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(call.inputs.at(0))->sampleNumber;
}

using SampleRoad = HostTest;

TEST_F(SampleRoad, AStoredSampleRunsAtTheNextTick)
{
    FakeModuleType& fake = useFake(presenterModule());
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(10);

    EXPECT_EQ(store(sample), 0);
    EXPECT_TRUE(device_.outputs.empty());
    EXPECT_TRUE(fake.calls("process").empty());
    EXPECT_EQ(device_.readyCalls, 1);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_READY).size(), 1u);

    EXPECT_EQ(host_->process(), 0);
    ASSERT_EQ(fake.calls("process").size(), 1u);
    EXPECT_EQ(fake.calls("process")[0].inputInterface, 0);
    EXPECT_EQ(fake.calls("process")[0].inputTypes, (std::vector<uint8_t>{k6AG, kButtons}));
    ASSERT_EQ(device_.outputs.size(), 1u);
    EXPECT_EQ(device_.outputs[0].types, std::vector<uint8_t>{kButtons});

    // Nothing new: the next tick runs nothing.
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(fake.calls("process").size(), 1u);
}

TEST_F(SampleRoad, WithoutBufferingEveryBatchRunsInsideItsCall)
{
    useFake(presenterModule());
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 0;
    ASSERT_EQ(setDeviceConfig(config), 0);
    for (int32_t counter = 1; counter <= 3; ++counter) {
        PresenterSample sample(counter);
        EXPECT_EQ(store(sample), 0);
        EXPECT_EQ(device_.outputs.size(), static_cast<size_t>(counter));
    }
}

TEST_F(SampleRoad, ARingOfOneKeepsTheNewestSampleAndReportsTheLostOne)
{
    FakeModuleType& fake = useFake(presenterModule());
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample first(10);
    PresenterSample second(11);
    ASSERT_EQ(store(first), 0);
    ASSERT_EQ(store(second), 0);
    EXPECT_EQ(host_->process(), 0);

    const std::vector<StubStatus> lost = device_.deviceStatuses(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].count, 1u);
    EXPECT_EQ(lost[0].instance, reinterpret_cast<uintptr_t>(static_cast<DeviceInterface*>(&device_)));
    ASSERT_EQ(fake.calls("process").size(), 1u);
    EXPECT_EQ(runSampleNumber(fake.calls("process")[0]), 11);
}

TEST_F(SampleRoad, ALargerRingRunsEverySampleOldestFirst)
{
    FakeModuleType& fake = useFake(presenterModule());
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 4;
    ASSERT_EQ(setDeviceConfig(config), 0);
    for (int32_t counter : {5, 6, 7, 8, 9, 10}) {
        PresenterSample sample(counter);
        ASSERT_EQ(store(sample), 0);
    }
    EXPECT_EQ(host_->process(), 0);
    ASSERT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN).size(), 1u);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN)[0].count, 2u);
    std::vector<int32_t> run;
    for (const FakeCall& call : fake.calls("process")) {
        run.push_back(runSampleNumber(call));
    }
    EXPECT_EQ(run, (std::vector<int32_t>{7, 8, 9, 10}));
}

TEST_F(SampleRoad, TheInputInterfaceIsTheFirstTheBatchFits)
{
    FakeModuleScript script = presenterModule();
    // Interface 0 wants more records than the batch has.
    script.inputInterfaces = {{k6AG, kButtons, kButtons}, {k6AG}, {k6AG, kButtons}};
    FakeModuleType& fake = useFake(script);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 0;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(fake.calls("process").size(), 1u);
    // Interface 1 names the batch's first record only: it fits, and the
    // module is handed that one record.
    EXPECT_EQ(fake.calls("process")[0].inputInterface, 1);
    EXPECT_EQ(fake.calls("process")[0].inputTypes, std::vector<uint8_t>{k6AG});
}

TEST_F(SampleRoad, ABatchNoInterfaceFitsIsRefusedWithTheReason)
{
    FakeModuleScript script = presenterModule();
    script.inputInterfaces = {{1, 1, kButtons}, {kButtons, k6AG}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    LogCapture log(LogCapture::defaultLoggerOf(host_.get()));
    ASSERT_TRUE(log.attached());
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    EXPECT_EQ(host_->process(), VNX_STATUS_PROCESS_ERROR);
    EXPECT_TRUE(fake.calls("process").empty());
    EXPECT_TRUE(log.contains("Could not match input interface for module. Ensure input structures match one of "
                             "FakeModule's input interfaces."))
        << ::testing::PrintToString(log.texts());
    // The ring is empty afterwards.
    EXPECT_EQ(host_->process(), 0);
}

TEST_F(SampleRoad, AGivenInputInterfaceIsUsedAsItIs)
{
    FakeModuleScript script = presenterModule();
    script.inputInterfaces = {{1}, {k6AG, kButtons}};
    FakeModuleType& fake = useFake(script);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.inputId = 1;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(host_->process(), 0);
    ASSERT_EQ(fake.calls("process").size(), 1u);
    EXPECT_EQ(fake.calls("process")[0].inputInterface, 1);
    EXPECT_EQ(fake.calls("process")[0].inputTypes.size(), 2u);
}

TEST_F(SampleRoad, WithoutAModuleTheOldestBatchPassesThroughUnchanged)
{
    vnx_Device_Config_s config = deviceConfig(0);
    config.maxBufferedSamplesToProcess = 3;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample first(1);
    PresenterSample second(2);
    ASSERT_EQ(store(first), 0);
    ASSERT_EQ(store(second), 0);
    EXPECT_EQ(host_->process(), 0);
    ASSERT_EQ(device_.outputs.size(), 1u);
    EXPECT_EQ(device_.outputs[0].types, (std::vector<uint8_t>{k6AG, kButtons}));
    EXPECT_EQ(device_.outputs[0].value, 0);
    EXPECT_EQ(reinterpret_cast<const vnx_DeviceSupport6AG_Output_s*>(device_.outputs[0].outputs[0])->sampleNumber, 1);
    // The rest of the ring was dropped.
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(device_.outputs.size(), 1u);
}

TEST_F(SampleRoad, AModuleThatRefusesItsListenerIsNeverRun)
{
    FakeModuleScript script = presenterModule();
    script.answers = {{"setModuleListener", -5}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample first(1);
    EXPECT_EQ(store(first), -5);
    const std::vector<StubStatus> failed = device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].result, -5);
    EXPECT_TRUE(fake.calls("init").empty());
    EXPECT_EQ(device_.readyCalls, 0);
    // The refused batch was not stored.
    EXPECT_EQ(host_->process(), 0);
    EXPECT_TRUE(device_.outputs.empty());

    // Later samples pass the module by, unchanged.
    PresenterSample second(2);
    EXPECT_EQ(store(second), 0);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_TRUE(fake.calls("process").empty());
    ASSERT_EQ(device_.outputs.size(), 1u);
    EXPECT_EQ(device_.outputs[0].types, (std::vector<uint8_t>{k6AG, kButtons}));
    EXPECT_EQ(fake.createdModules(), 1);
}

TEST_F(SampleRoad, AListenerWarningIsLoggedAndTheModuleStillStarts)
{
    FakeModuleScript script = presenterModule();
    script.answers = {{"setModuleListener", 4}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    EXPECT_EQ(store(sample), 0);
    EXPECT_EQ(fake.calls("init").size(), 1u);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(fake.calls("process").size(), 1u);
}

TEST_F(SampleRoad, FailedInitialisationsPassSamplesThroughUntilTheModuleIsMadeAgain)
{
    FakeModuleScript script = presenterModule();
    script.answers = {{"init", VNX_STATUS_INVALID_SCD}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    EXPECT_EQ(store(sample), VNX_STATUS_INVALID_SCD);
    ASSERT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED).size(), 1u);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_FAILED)[0].result, VNX_STATUS_INVALID_SCD);
    EXPECT_EQ(store(sample), 0);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_TRUE(fake.calls("process").empty());
    EXPECT_EQ(device_.outputs.size(), 1u);

    // Restarting the module (Device command 1) tries again.
    fake.script().answers.clear();
    vnx_Device_Command_s restart;
    vnx_Device_initCommand(&restart);
    restart.code = 1;
    ASSERT_EQ(host_->sendCommand(&restart.command), 0);
    EXPECT_EQ(store(sample), 0);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(fake.calls("process").size(), 1u);
    EXPECT_EQ(fake.createdModules(), 2);
}

TEST_F(SampleRoad, AnInitWarningDropsTheFirstBatchOnly)
{
    FakeModuleScript script = presenterModule();
    script.answers = {{"init", VNX_STATUS_WARNING_DCD_SCD_MISMATCH}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample first(1);
    PresenterSample second(2);
    EXPECT_EQ(store(first), VNX_STATUS_WARNING_DCD_SCD_MISMATCH);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_MODULE_READY).size(), 1u);
    EXPECT_EQ(store(second), 0);
    EXPECT_EQ(host_->process(), 0);
    ASSERT_EQ(fake.calls("process").size(), 1u);
    EXPECT_EQ(runSampleNumber(fake.calls("process")[0]), 2);
}

TEST_F(SampleRoad, ModuleErrorsAreReportedPerSampleAndTheDrainGoesOn)
{
    FakeModuleScript script = presenterModule();
    script.answers = {{"process", VNX_STATUS_WARNING_WAITING_FOR_FUSION}};
    FakeModuleType& fake = useFake(script);
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 3;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample first(1);
    PresenterSample second(2);
    ASSERT_EQ(store(first), 0);
    ASSERT_EQ(store(second), 0);
    // Warnings are reported, not answered.
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_PROCESS_FAILED).size(), 2u);
    ASSERT_EQ(device_.outputs.size(), 2u);
    EXPECT_EQ(device_.outputs[1].value, VNX_STATUS_WARNING_WAITING_FOR_FUSION);

    fake.script().answers = {{"process", VNX_STATUS_SATURATION}};
    ASSERT_EQ(store(first), 0);
    ASSERT_EQ(store(second), 0);
    EXPECT_EQ(host_->process(), VNX_STATUS_SATURATION);
    EXPECT_EQ(fake.calls("process").size(), 4u);
    EXPECT_EQ(device_.deviceStatuses(VNX_DEVICE_STATUS_PROCESS_FAILED).back().result, VNX_STATUS_SATURATION);
}

TEST_F(SampleRoad, AListenerMayEndTheModuleFromInsideAReport)
{
    useFake(presenterModule());
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.maxBufferedSamplesToProcess = 3;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample first(1);
    PresenterSample second(2);
    ASSERT_EQ(store(first), 0);
    ASSERT_EQ(store(second), 0);
    // The device closes while its first output is being reported.
    device_.onOutput = [&] { host_->term(); };
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(device_.outputs.size(), 1u);
    EXPECT_EQ(host_->getModule(), nullptr);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_EQ(device_.outputs.size(), 1u);
}

TEST_F(SampleRoad, ANewRingSizeTakesEffectWithANewModuleType)
{
    useFake(presenterModule());
    vnx_Device_Config_s config = deviceConfig(0);
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample first(1);
    ASSERT_EQ(store(first), 0);
    // Type and ring size change in one record: the one-sample ring goes.
    config.typeId = kFakeType;
    config.maxBufferedSamplesToProcess = 2;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample second(2);
    PresenterSample third(3);
    ASSERT_EQ(store(second), 0);
    ASSERT_EQ(store(third), 0);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_TRUE(device_.deviceStatuses(VNX_DEVICE_STATUS_SAMPLES_OVERWRITTEN).empty());
    EXPECT_EQ(device_.outputs.size(), 2u);
}

TEST_F(SampleRoad, InputsAreReportedWhenAskedFor)
{
    useFake(presenterModule());
    vnx_Device_Config_s config = deviceConfig(kFakeType);
    config.reportMotionInput = 1;
    config.reportMotionOutput = 0;
    ASSERT_EQ(setDeviceConfig(config), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    ASSERT_EQ(host_->process(), 0);
    ASSERT_EQ(device_.inputs.size(), 1u);
    // The caller's own records, not the stored copies.
    EXPECT_EQ(device_.inputs[0].outputs[0], sample.outputs[0]);
    EXPECT_TRUE(device_.outputs.empty());
}

TEST_F(SampleRoad, ABatchTheStoreCannotCopyIsRefused)
{
    FakeModuleType& fake = useFake(presenterModule());
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    const vnx_StructOutput_s* withHole[] = {sample.outputs[0], nullptr};
    EXPECT_EQ(host_->process(2, withHole, sample.formats), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(host_->process(), 0);
    EXPECT_TRUE(fake.calls("process").empty());
}

TEST_F(SampleRoad, WithoutADeviceTheDrainRefuses)
{
    ModuleManager lonely;
    EXPECT_EQ(lonely.process(), VNX_STATUS_DEVICE_INVALID_ID);
}

} // namespace
} // namespace vnx::testsupport
