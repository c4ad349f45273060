// Configs and commands through the host: the Device config and commands it
// handles itself, the others it hands to the module, and the status record
// that answers a request which asks for one.

#include <gtest/gtest.h>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "extendedBundle/ExtendedBundleRecords.h"
#include "hostFixture.h"
#include "support/FakeModule.h"
#include "support/fusionScenarios.h"

namespace vnx::testsupport {
namespace {

constexpr uint8_t kExtendedBundle = 65;

class HostConfigs : public HostTest
{
  protected:
    /// The host runs an ExtendedBundle on a realistic presenter's SCD.
    void startBundle()
    {
        host_->setScd(&scd_.head);
        ASSERT_EQ(host(kExtendedBundle), 0);
        PresenterSample sample(1);
        ASSERT_EQ(store(sample), 0);
        ASSERT_NE(host_->getModule(), nullptr);
    }

    const scdGen4Float_s scd_ = realisticDevice().build();
};

TEST_F(HostConfigs, TheDeviceConfigIsKeptAndAnsweredBack)
{
    vnx_Device_Config_s config = deviceConfig(kExtendedBundle);
    config.dcdSaveInterval = 15;
    config.maxBufferedSamplesToProcess = 4;
    ASSERT_EQ(setDeviceConfig(config), 0);
    vnx_Device_Config_s read;
    vnx_Device_initConfig(&read);
    ASSERT_EQ(host_->getConfig(&read.config), 0);
    EXPECT_EQ(read.typeId, kExtendedBundle);
    EXPECT_EQ(read.dcdSaveInterval, 15);
    EXPECT_EQ(read.maxBufferedSamplesToProcess, 4u);
}

TEST_F(HostConfigs, ACounterWidthOtherThanEightOrThirtyTwoIsRefused)
{
    for (uint8_t width : {0, 1, 16, 31, 64}) {
        vnx_Device_Config_s config = deviceConfig(0);
        config.sampleBaseWidth = width;
        EXPECT_EQ(setDeviceConfig(config), VNX_STATUS_INVALID_CONFIG) << int(width);
    }
    vnx_Device_Config_s read;
    vnx_Device_initConfig(&read);
    ASSERT_EQ(host_->getConfig(&read.config), 0);
    EXPECT_EQ(read.sampleBaseWidth, 8);
}

TEST_F(HostConfigs, ModuleConfigsNeedAModule)
{
    vnx_ExtendedBundle_Config_s config;
    vnx_ExtendedBundle_initConfig(&config);
    EXPECT_EQ(host_->setConfig(&config.config), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(host_->getConfig(&config.config), VNX_STATUS_NOT_ACTIVE);
    vnx_ExtendedBundle_Command_s command;
    vnx_ExtendedBundle_initCommand(&command);
    EXPECT_EQ(host_->sendCommand(&command), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(host_->setConfig(nullptr), VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(host_->sendCommand(nullptr), VNX_STATUS_INVALID_PARAMETER);
}

TEST_F(HostConfigs, ARequestedResultComesAsOneStatusOfTheRecordsType)
{
    startBundle();
    vnx_ExtendedBundle_Config_s config;
    vnx_ExtendedBundle_initConfig(&config);
    ASSERT_EQ(host_->getConfig(&config.config), 0);
    config.config.result = 1;
    config.config.extra = 0x5eed;
    config.config.header.instanceId = 77;
    device_.statuses.clear();

    EXPECT_EQ(host_->setConfig(&config.config), VNX_STATUS_ASYNC_PENDING);
    ASSERT_EQ(device_.statuses.size(), 1u);
    EXPECT_EQ(device_.statuses[0].type, kExtendedBundle);
    EXPECT_EQ(device_.statuses[0].result, 0);
    EXPECT_EQ(device_.statuses[0].tag, 0x5eed);
    EXPECT_EQ(device_.statuses[0].instance, 77u);

    // Without the request flag the answer comes back plainly.
    config.config.result = 0;
    EXPECT_EQ(host_->setConfig(&config.config), 0);
    EXPECT_EQ(device_.statuses.size(), 1u);
}

TEST_F(HostConfigs, AFailedRequestCarriesItsErrorInTheStatus)
{
    startBundle();
    // A command of a type none of the bundle's modules takes.
    vnx_ButtonActivity_Command_s command;
    vnx_ButtonActivity_initCommand(&command);
    vnx_StructCommand_s* request = &command;
    request->result = 2;
    request->extra = 9;
    const int plain = [&] {
        vnx_ButtonActivity_Command_s once = command;
        once.result = 0;
        return host_->sendCommand(&once);
    }();
    ASSERT_LT(plain, 0);
    device_.statuses.clear();
    EXPECT_EQ(host_->sendCommand(request), VNX_STATUS_ASYNC_PENDING);
    ASSERT_EQ(device_.statuses.size(), 1u);
    EXPECT_EQ(device_.statuses[0].type, VNX_TYPE_BUTTON_ACTIVITY);
    EXPECT_EQ(device_.statuses[0].result, plain);
    EXPECT_EQ(device_.statuses[0].tag, 9);
}

TEST_F(HostConfigs, ARecordWithoutAStatusTypeCannotBeAnsweredAsynchronously)
{
    // The stand-in's factory makes no records at all.
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{22, 5}};
    script.outputInterfaces = {{5}};
    useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    PresenterSample sample(1);
    ASSERT_EQ(store(sample), 0);
    vnx_StructConfig_s config = {{sizeof(vnx_StructConfig_s), kFakeType, VNX_KIND_CONFIG, 1, {}, 0}, 1, {}, 3};
    EXPECT_EQ(host_->setConfig(&config), VNX_STATUS_OUT_OF_MEMORY);
}

struct CommandCase
{
    uint32_t code;
    int answer;
    bool moduleLeft;
    int opens;
    int closes;
};

TEST_F(HostConfigs, DeviceCommands)
{
    const CommandCase cases[] = {
        {0, 0, true, 0, 0},
        {1, 0, false, 0, 0},
        {2, 0, false, 0, 0},
        {3, 0, true, 1, 0},
        {4, 0, true, 0, 1},
        {5, VNX_STATUS_INVALID_PARAMETER, true, 0, 0},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.code);
        startBundle();
        const int opens = device_.opens;
        const int closes = device_.closes;
        vnx_Device_Command_s command;
        vnx_Device_initCommand(&command);
        command.code = c.code;
        EXPECT_EQ(host_->sendCommand(&command.command), c.answer);
        EXPECT_EQ(host_->getModule() != nullptr, c.moduleLeft);
        EXPECT_EQ(device_.opens - opens, c.opens);
        EXPECT_EQ(device_.closes - closes, c.closes);
    }
}

TEST_F(HostConfigs, ANewModuleTypeReplacesTheModuleAtTheNextSample)
{
    startBundle();
    ModuleInterface* before = host_->getModule();
    FakeModuleScript script;
    script.type = kFakeType;
    script.inputInterfaces = {{22, 5}};
    script.outputInterfaces = {{5}};
    FakeModuleType& fake = useFake(script);
    ASSERT_EQ(host(kFakeType), 0);
    EXPECT_EQ(host_->getModule(), nullptr);
    (void)before;
    PresenterSample sample(2);
    ASSERT_EQ(store(sample), 0);
    ASSERT_NE(host_->getModule(), nullptr);
    EXPECT_EQ(host_->getModule()->getType(), kFakeType);
    EXPECT_EQ(fake.calls("init").size(), 1u);
}

TEST_F(HostConfigs, OnlyTheDevicesOwnListenerIsTaken)
{
    EXPECT_EQ(host_->setModuleListener(nullptr), 0);
    EXPECT_EQ(host_->setModuleListener(static_cast<DeviceListenerInterface*>(&device_)), 0);
    StubDevice other(2, "OtherStub");
    EXPECT_EQ(host_->setModuleListener(static_cast<DeviceListenerInterface*>(&other)),
              VNX_STATUS_INVALID_PARAMETER);
    EXPECT_EQ(host_->getType(), 255);
}

} // namespace
} // namespace vnx::testsupport
