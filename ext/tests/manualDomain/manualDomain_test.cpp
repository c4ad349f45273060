#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/Node.h"
#include "common/NodeManager.h"
#include "common/stringTable.h"
#include "coreEntry/coreEntry.h"
#include "deviceApi/deviceApi.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "extEntry/extEntry.h"
#include "support/fakeModuleManager.h"
#include "manualRecords/ManualDomainRecords.h"
#include "moduleFactory/moduleApi.h"
#include "support/ScdBuilder.h"

namespace {

using vnx::testsupport::FakeModuleManager;

vnx_ManualDevice_Config_s manualConfig(uint8_t firstId = 1)
{
    vnx_ManualDevice_Config_s config;
    vnx_ManualDevice_initConfig(&config);
    for (uint8_t i = 0; i < 8; ++i) {
        config.id[i] = static_cast<uint8_t>(firstId + i);
    }
    const scdGen4Float_s scd =
        vnx::testsupport::ScdBuilder().period(0.008).accelNoise(6, 6, 8).gyroNoise(2.5f, 2.5f, 3).build();
    std::memcpy(config.scd.bytes, &scd, sizeof scd);
    return config;
}

struct Events
{
    std::vector<std::string> log;
    std::vector<vnx_DeviceHandle_s*> removed;
    size_t lastOutputCount = 0;
    std::vector<const vnx_StructOutput_s*> lastOutputs;

    static void added(vnx_DeviceHandle_s*, void* user) { static_cast<Events*>(user)->log.push_back("added"); }
    static void removedCallback(vnx_DeviceHandle_s* device, void* user)
    {
        static_cast<Events*>(user)->log.push_back("removed");
        static_cast<Events*>(user)->removed.push_back(device);
    }
    static void fdAdded(int fd, short, void* user)
    {
        static_cast<Events*>(user)->log.push_back("fd added " + std::to_string(fd));
    }
    static void fdRemoved(int fd, void* user)
    {
        static_cast<Events*>(user)->log.push_back("fd removed " + std::to_string(fd));
    }
    static void output(vnx_DeviceHandle_s*, size_t n, const vnx_StructOutput_s** outputs,
                       const vnx_StructFormat_s**, int, void* user)
    {
        auto& events = *static_cast<Events*>(user);
        events.log.push_back("output");
        events.lastOutputCount = n;
        events.lastOutputs.assign(outputs, outputs + n);
    }
};

class ManualDomainTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        vnx_core_initialize();
        vnx_ext_initialize();
    }
    static void TearDownTestSuite()
    {
        vnx_ext_finalize();
        vnx_core_finalize();
    }

    void SetUp() override
    {
        domain_ = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
        ASSERT_NE(domain_, nullptr);
        vnx_Domain_registerDomainListener(domain_, nullptr, Events::added, Events::removedCallback,
                                          Events::fdAdded, Events::fdRemoved, &events_);
    }
    void TearDown() override { vnx_DomainFactory_destroyDomain(domain_); }

    vnx_DeviceHandle_s* createDevice(const vnx_ManualDevice_Config_s& config)
    {
        return vnx_Domain_createDevice(domain_, &config.config);
    }

    vnx_DomainHandle_s* domain_ = nullptr;
    Events events_;
};

TEST_F(ManualDomainTest, AManualDeviceIsNamedAfterItsIdAndPlacedUnderItsDomain)
{
    EXPECT_NE(vnx::NodeManager::getInstance().getNode("ManualDomain"), nullptr);
    vnx_DeviceHandle_s* device = createDevice(manualConfig());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(events_.log, std::vector<std::string>{"added"});
    EXPECT_EQ(vnx_Device_getType(device), VNX_TYPE_MANUAL_DEVICE);

    char name[40];
    ASSERT_EQ(vnx_Device_getName(device, sizeof name, name), 0);
    EXPECT_STREQ(name, "ManualDevice-01-02-03-04-05-06-07-08");
    char shortName[8];
    ASSERT_EQ(vnx_Device_getName(device, sizeof shortName, shortName), 0);
    EXPECT_STREQ(shortName, "ManualD");

    vnx_DomainGuid_s guid;
    ASSERT_EQ(vnx_Device_getGuid(device, &guid), 0);
    const uint8_t expected[16] = {0x75, 0x00, 0x74, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&guid, expected, sizeof expected), 0);

    // The SCD of the config reached the host.
    ASSERT_NE(FakeModuleManager::last, nullptr);
    EXPECT_EQ(FakeModuleManager::last->scdSize, 260);
    EXPECT_FALSE(FakeModuleManager::last->externalDcd);
    EXPECT_TRUE(FakeModuleManager::last->dcdSizes.empty());

    // Nodes: the device under its domain, named by type and counter, and its
    // host under it.
    auto* domainNode = static_cast<vnx::Node*>(vnx::NodeManager::getInstance().getNode("ManualDomain"));
    ASSERT_EQ(domainNode->getChildren().size(), 1u);
    const std::string deviceName = domainNode->getChildren()[0]->getLocalName();
    EXPECT_EQ(deviceName.rfind("ManualDevice", 0), 0u) << deviceName;
    EXPECT_NE(
        vnx::NodeManager::getInstance().getNode(("ManualDomain." + deviceName + ".ModuleManager").c_str()),
        nullptr);
    vnx_DeviceHandle_s* second = createDevice(manualConfig(9));
    ASSERT_NE(second, nullptr);
    const std::string secondName = domainNode->getChildren()[1]->getLocalName();
    EXPECT_EQ(std::stoul(secondName.substr(12)), std::stoul(deviceName.substr(12)) + 1);
}

TEST_F(ManualDomainTest, InputIsRefusedWhileClosedAndCarriesTheDevicesButtonActivity)
{
    vnx_DeviceHandle_s* device = createDevice(manualConfig());
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Events::output, &events_);
    vnx_DeviceSupport6AG_Output_s motion;
    vnx_DeviceSupport6AG_initOutput(&motion);
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    buttons.buttons = 0x1;
    vnx_ButtonActivity_Output_s secondButtons = buttons;
    const vnx_StructOutput_s* outputs[] = {vnx_DeviceSupport6AG_upCastOutput(&motion),
                                           vnx_ButtonActivity_upCastOutput(&buttons),
                                           vnx_ButtonActivity_upCastOutput(&secondButtons)};
    const vnx_StructFormat_s* formats[] = {nullptr, nullptr, nullptr};

    EXPECT_EQ(vnx_Device_sendInput(device, 2, outputs, formats), VNX_STATUS_DEVICE_CLOSED);
    EXPECT_TRUE(FakeModuleManager::last->stored.empty());
    ASSERT_EQ(vnx_Device_open(device), 0);
    ASSERT_EQ(vnx_Device_sendInput(device, 3, outputs, formats), 0);

    // The host saw the device's ButtonActivity result for the first record
    // (a press derived from the mask), the second one as the caller sent it.
    const FakeModuleManager& host = *FakeModuleManager::last;
    ASSERT_EQ(host.buttonsSeen.size(), 2u);
    EXPECT_EQ(host.buttonsSeen[0].activity, static_cast<uint32_t>(VNX_BUTTON_ACTIVITY_PRESS));
    EXPECT_EQ(host.buttonsSeen[0].buttons, 0x1u);
    EXPECT_EQ(host.buttonsSeen[1].activity, VNX_BUTTON_ACTIVITY_DERIVE);
    EXPECT_NE(host.stored[1], outputs[1]);
    EXPECT_EQ(host.stored[2], outputs[2]);
    // The caller's array holds its own pointers again.
    EXPECT_EQ(outputs[1], vnx_ButtonActivity_upCastOutput(&buttons));
    EXPECT_EQ(buttons.activity, VNX_BUTTON_ACTIVITY_DERIVE);

    // Without a button record the batch goes on as it is.
    ASSERT_EQ(vnx_Device_sendInput(device, 1, outputs, formats), 0);
    EXPECT_EQ(host.stored, std::vector<const vnx_StructOutput_s*>{outputs[0]});
}

TEST_F(ManualDomainTest, RemoveCommandDeletesTheDeviceAndEndsItsHandle)
{
    vnx_DeviceHandle_s* device = createDevice(manualConfig());
    vnx_Device_open(device);
    vnx_ManualDevice_Command_s remove;
    vnx_ManualDevice_initCommand(&remove);
    remove.code = VNX_MANUAL_DEVICE_COMMAND_REMOVE;
    events_.log.clear();
    EXPECT_EQ(vnx_Device_sendCommand(device, &remove.command), 0);
    EXPECT_EQ(events_.removed, std::vector<vnx_DeviceHandle_s*>{device});
    EXPECT_EQ(FakeModuleManager::last, nullptr) << "the device and its host are gone";
    EXPECT_EQ(vnx_Device_sendCommand(device, &remove.command), -2);
    EXPECT_EQ(vnx_Device_getType(device), 0);
    EXPECT_EQ(vnx_Device_getDomain(device), nullptr);

    // Unknown codes and short records are refused.
    vnx_DeviceHandle_s* other = createDevice(manualConfig(3));
    remove.code = 7;
    EXPECT_EQ(vnx_Device_sendCommand(other, &remove.command), -2);
    remove.code = VNX_MANUAL_DEVICE_COMMAND_NONE;
    EXPECT_EQ(vnx_Device_sendCommand(other, &remove.command), 0);
    remove.command.header.size = 36;
    EXPECT_EQ(vnx_Device_sendCommand(other, &remove.command), -2);
}

TEST_F(ManualDomainTest, DomainCommandsCreateDevicesAndWatchFileHandles)
{
    vnx_ManualDomain_Command_s command;
    vnx_ManualDomain_initCommand(&command);
    command.code = VNX_MANUAL_DOMAIN_COMMAND_CREATE_DEVICE;
    command.payload.deviceConfig = manualConfig();
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), 0);
    EXPECT_EQ(events_.log, std::vector<std::string>{"added"});

    vnx_ManualDomain_initCommand(&command);
    command.code = VNX_MANUAL_DOMAIN_COMMAND_ADD_FILE_HANDLE;
    command.payload.fileHandle.fd = 12;
    command.payload.fileHandle.events = 1;
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), 0);
    command.code = VNX_MANUAL_DOMAIN_COMMAND_REMOVE_FILE_HANDLE;
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), 0);
    EXPECT_EQ(events_.log, (std::vector<std::string>{"added", "fd added 12", "fd removed 12"}));

    command.code = 4;
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), -2);
    command.code = VNX_MANUAL_DOMAIN_COMMAND_NONE;
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), 0);
    vnx_Device_Command_s deviceCommand;
    vnx_Device_initCommand(&deviceCommand);
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &deviceCommand.command), -3);
    command.command.header.size = 100;
    EXPECT_EQ(vnx_Domain_sendCommand(domain_, &command.command), -2);
    vnx_StructConfig_s anything = {};
    EXPECT_EQ(vnx_Domain_setConfig(domain_, &anything), 0);
    EXPECT_EQ(vnx_Domain_getConfig(domain_, &anything), 0);
    EXPECT_EQ(vnx_Domain_getType(domain_), VNX_TYPE_MANUAL_DOMAIN);
}

TEST_F(ManualDomainTest, OnlyAManualDeviceConfigMakesADevice)
{
    vnx_Device_Config_s generic;
    vnx_Device_initConfig(&generic);
    EXPECT_EQ(vnx_Domain_createDevice(domain_, &generic.config), nullptr);
    vnx_ManualDevice_Config_s wrongVersion = manualConfig();
    wrongVersion.config.header.version = 2;
    EXPECT_EQ(createDevice(wrongVersion), nullptr);
    EXPECT_TRUE(events_.log.empty());
}

TEST_F(ManualDomainTest, AnExternalDcdGoesToTheHostAndItsRefusalRefusesTheDevice)
{
    vnx_ManualDevice_Config_s config = manualConfig();
    config.dcd.head.size = 184;
    vnx_DeviceHandle_s* device = createDevice(config);
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(FakeModuleManager::last->dcdSizes.empty()) << "not external: the DCD bytes are ignored";

    config.dcdIsExternal = 1;
    FakeModuleManager& host = *FakeModuleManager::last;
    EXPECT_EQ(vnx_Device_setConfig(device, &config.config), 0);
    EXPECT_TRUE(host.externalDcd);
    EXPECT_EQ(host.dcdSizes, std::vector<uint16_t>{184});
    host.dcdAnswer = -2;
    EXPECT_EQ(vnx_Device_setConfig(device, &config.config), -2);

    // Other configs go to the host; the device's own Config comes back whole.
    vnx_Device_Config_s deviceConfig;
    vnx_Device_initConfig(&deviceConfig);
    EXPECT_EQ(vnx_Device_setConfig(device, &deviceConfig.config), 0);
    EXPECT_EQ(host.configTypes.back(), VNX_TYPE_DEVICE);
    vnx_ManualDevice_Config_s back;
    vnx_ManualDevice_initConfig(&back);
    ASSERT_EQ(vnx_Device_getConfig(device, &back.config), 0);
    EXPECT_EQ(std::memcmp(&back, &config, sizeof back), 0);
}

TEST_F(ManualDomainTest, ClosingTheDeviceEndsItsHostOnlyWhenOpen)
{
    vnx_DeviceHandle_s* device = createDevice(manualConfig());
    FakeModuleManager& host = *FakeModuleManager::last;
    EXPECT_EQ(vnx_Device_close(device), 0);
    EXPECT_EQ(host.terms, 0);
    vnx_Device_open(device);
    EXPECT_EQ(vnx_Device_isOpen(device), 1);
    EXPECT_EQ(vnx_Device_close(device), 0);
    EXPECT_EQ(host.terms, 1);
    EXPECT_EQ(vnx_Device_isOpen(device), 0);
}

TEST_F(ManualDomainTest, ProcessingTheDomainReportsTheStoredBatch)
{
    vnx_DeviceHandle_s* device = createDevice(manualConfig());
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Events::output, &events_);
    vnx_Device_open(device);
    vnx_DeviceSupport6AG_Output_s motion;
    vnx_DeviceSupport6AG_initOutput(&motion);
    const vnx_StructOutput_s* outputs[] = {vnx_DeviceSupport6AG_upCastOutput(&motion)};
    const vnx_StructFormat_s* formats[] = {nullptr};
    vnx_Device_sendInput(device, 1, outputs, formats);
    events_.log.clear();
    EXPECT_EQ(vnx_Domain_process(domain_), 0);
    EXPECT_EQ(events_.log, std::vector<std::string>{"output"});
    EXPECT_EQ(events_.lastOutputCount, 1u);
}

TEST(ExtEntry, RegistersTheGenericAndManualDomainsAndTheSerializationModule)
{
    vnx_core_initialize();
    EXPECT_EQ(vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN), nullptr);
    EXPECT_EQ(vnx_ext_initialize(), 1);
    vnx_ModuleHandle_s* module = vnx_ModuleFactory_createModule(VNX_TYPE_SERIALIZATION_MODULE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(vnx_Module_getType(module), VNX_TYPE_SERIALIZATION_MODULE);
    vnx_ModuleFactory_destroyModule(module);
    for (uint8_t type : {VNX_TYPE_BUTTON_MAPPER, VNX_TYPE_MOTION_PIPE}) {
        module = vnx_ModuleFactory_createModule(type);
        ASSERT_NE(module, nullptr) << int(type);
        vnx_ModuleFactory_destroyModule(module);
    }
    EXPECT_STREQ(vnx_typeToString(VNX_TYPE_MANUAL_DEVICE), "ManualDevice");

    vnx_DomainHandle_s* generic = vnx_DomainFactory_createDomain(VNX_TYPE_DOMAIN);
    ASSERT_NE(generic, nullptr);
    vnx_StructConfig_s config = {};
    EXPECT_EQ(vnx_Domain_getConfig(generic, &config), -1);
    EXPECT_EQ(vnx_Domain_createDevice(generic, &config), nullptr);
    EXPECT_EQ(vnx_DomainFactory_destroyDomain(generic), 0);
    EXPECT_EQ(vnx_ext_platform_initialize(), 1);
    EXPECT_EQ(vnx_ext_platform_finalize(), 1);

    EXPECT_EQ(vnx_ext_finalize(), 1);
    EXPECT_EQ(vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN), nullptr);
    EXPECT_EQ(vnx_ModuleFactory_createModule(VNX_TYPE_SERIALIZATION_MODULE), nullptr);
    vnx_core_finalize();
}

} // namespace
