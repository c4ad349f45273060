#include "deviceApi/deviceApi.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/stringTable.h"
#include "support/allocationCounter.h"
#include "support/testDomain.h"

namespace {

using vnx::testsupport::kTestDomainType;
using vnx::testsupport::TestDevice;
using vnx::testsupport::testDeviceConfig;
using vnx::testsupport::TestDomainFactory;

// Callbacks that write what they get into the Recorder passed as user data.
struct Recorder
{
    std::vector<std::string> log;
    std::string name = "r";
    std::vector<vnx_DeviceHandle_s*> devices;
    std::function<void(vnx_DeviceHandle_s*)> onDeviceAdded;
    std::function<void(vnx_DeviceHandle_s*)> onDeviceRemoved;
    std::function<void(vnx_DeviceHandle_s*)> onMotionOutput;

    static Recorder& of(void* user) { return *static_cast<Recorder*>(user); }
    static void domainStatus(vnx_DomainHandle_s*, const vnx_StructStatus_s* status, void* user)
    {
        const auto* domainStatus = reinterpret_cast<const vnx_Domain_Status_s*>(status);
        of(user).log.push_back(of(user).name + " status " + std::to_string(domainStatus->statusKind));
    }
    static void deviceAdded(vnx_DeviceHandle_s* device, void* user)
    {
        of(user).log.push_back(of(user).name + " added");
        of(user).devices.push_back(device);
        if (of(user).onDeviceAdded) {
            of(user).onDeviceAdded(device);
        }
    }
    static void deviceRemoved(vnx_DeviceHandle_s* device, void* user)
    {
        of(user).log.push_back(of(user).name + " removed");
        if (of(user).onDeviceRemoved) {
            of(user).onDeviceRemoved(device);
        }
    }
    static void fileHandleAdded(int fd, short events, void* user)
    {
        of(user).log.push_back(of(user).name + " fd added " + std::to_string(fd) + "/" +
                               std::to_string(events));
    }
    static void fileHandleRemoved(int fd, void* user)
    {
        of(user).log.push_back(of(user).name + " fd removed " + std::to_string(fd));
    }
    static void motionOutput(vnx_DeviceHandle_s* device, size_t n, const vnx_StructOutput_s**,
                             const vnx_StructFormat_s**, int value, void* user)
    {
        of(user).log.push_back(of(user).name + " output " + std::to_string(n) + " " + std::to_string(value));
        if (of(user).onMotionOutput) {
            of(user).onMotionOutput(device);
        }
    }
    static void deviceStatus(vnx_DeviceHandle_s*, const vnx_StructStatus_s* status, void* user)
    {
        of(user).log.push_back(of(user).name + " device status " + std::to_string(status->result));
    }
};

int registerAll(vnx_DomainHandle_s* domain, Recorder& recorder)
{
    return vnx_Domain_registerDomainListener(domain, Recorder::domainStatus, Recorder::deviceAdded,
                                             Recorder::deviceRemoved, Recorder::fileHandleAdded,
                                             Recorder::fileHandleRemoved, &recorder);
}

class DeviceApiTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vnx_StringTable_initialize();
        domain_ = vnx_DomainFactory_createDomain(kTestDomainType);
        ASSERT_NE(domain_, nullptr);
    }
    void TearDown() override { vnx_DomainFactory_destroyDomain(domain_); }

    vnx_DeviceHandle_s* createDevice()
    {
        const vnx_StructConfig_s config = testDeviceConfig();
        return vnx_Domain_createDevice(domain_, &config);
    }
    TestDomainFactory factory_;
    vnx_DomainHandle_s* domain_ = nullptr;
    Recorder recorder_;
};

TEST_F(DeviceApiTest, ADeviceIsCreatedThroughItsDomainAndAnnouncedOnce)
{
    ASSERT_EQ(registerAll(domain_, recorder_), 0);
    EXPECT_EQ(vnx_Domain_getType(domain_), kTestDomainType);
    vnx_DeviceHandle_s* device = createDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(recorder_.log, (std::vector<std::string>{"r added", "r status 1"}));
    EXPECT_EQ(recorder_.devices, std::vector<vnx_DeviceHandle_s*>{device});
    EXPECT_EQ(vnx_Device_getDomain(device), domain_);
    EXPECT_EQ(vnx_Device_getType(device), vnx::testsupport::kTestDeviceType);
    char name[40];
    EXPECT_EQ(vnx_Device_getName(device, sizeof name, name), 0);
    EXPECT_STREQ(name, "TestDevice-1");
    vnx_DomainGuid_s guid;
    EXPECT_EQ(vnx_Device_getGuid(device, &guid), 0);
    EXPECT_EQ(guid.id[0], 1);

    EXPECT_EQ(vnx_Device_isOpen(device), 0);
    EXPECT_EQ(vnx_Device_sendInput(device, 0, nullptr, nullptr), VNX_STATUS_DEVICE_CLOSED);
    EXPECT_EQ(vnx_Device_open(device), 0);
    EXPECT_EQ(vnx_Device_isOpen(device), 1);
    EXPECT_EQ(vnx_Device_sendInput(device, 0, nullptr, nullptr), 0);

    vnx_StructConfig_s other = testDeviceConfig();
    other.header.type = 5;
    EXPECT_EQ(vnx_Domain_createDevice(domain_, &other), nullptr);
    EXPECT_EQ(vnx_Domain_createDevice(domain_, nullptr), nullptr);
    EXPECT_EQ(recorder_.devices.size(), 1u);
}

TEST_F(DeviceApiTest, OutputsReachTheDeviceCallbacksWithTheHandle)
{
    vnx_DeviceHandle_s* device = createDevice();
    Recorder other;
    other.name = "o";
    ASSERT_EQ(vnx_Device_registerDeviceListener(device, Recorder::deviceStatus, nullptr, nullptr,
                                                Recorder::motionOutput, &recorder_),
              0);
    ASSERT_EQ(
        vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &other),
        0);
    vnx_DeviceHandle_s* seen = nullptr;
    recorder_.onMotionOutput = [&](vnx_DeviceHandle_s* handle) { seen = handle; };
    EXPECT_EQ(vnx_Domain_process(domain_), 0);
    EXPECT_EQ(recorder_.log, std::vector<std::string>{"r output 1 1"});
    EXPECT_EQ(other.log, std::vector<std::string>{"o output 1 1"});
    EXPECT_EQ(seen, device);

    vnx_StructStatus_s status = {};
    status.result = 42;
    factory_.last->lastDevice->reportStatus(&status);
    EXPECT_EQ(recorder_.log.back(), "r device status 42");

    // Unregistered: nothing more.
    EXPECT_EQ(vnx_Device_unregisterDeviceListener(device, Recorder::deviceStatus, nullptr, nullptr,
                                                  Recorder::motionOutput, &recorder_),
              0);
    recorder_.log.clear();
    vnx_Device_process(device);
    EXPECT_TRUE(recorder_.log.empty());
    EXPECT_EQ(other.log.size(), 2u);
}

TEST_F(DeviceApiTest, ARegisteredPairIsKeptOnceAndMovedToTheEnd)
{
    vnx_DeviceHandle_s* device = createDevice();
    Recorder second;
    second.name = "s";
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &recorder_);
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &second);
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &recorder_);
    // One log for both recorders, to see the order.
    std::vector<std::string> order;
    recorder_.onMotionOutput = [&](vnx_DeviceHandle_s*) { order.push_back("r"); };
    second.onMotionOutput = [&](vnx_DeviceHandle_s*) { order.push_back("s"); };
    vnx_Domain_process(domain_);
    EXPECT_EQ(order, (std::vector<std::string>{"s", "r"}));
}

TEST_F(DeviceApiTest, LateDomainCallbacksHearOfExistingDevicesTheOthersDoNot)
{
    ASSERT_EQ(registerAll(domain_, recorder_), 0);
    createDevice();
    createDevice();
    vnx::testsupport::TestCoordinator* coordinator = factory_.last;
    coordinator->addFileHandle(9, 1);
    recorder_.log.clear();

    Recorder late;
    late.name = "late";
    ASSERT_EQ(registerAll(domain_, late), 0);
    EXPECT_EQ(late.log, (std::vector<std::string>{"late added", "late added", "late fd added 9/1"}));
    EXPECT_TRUE(recorder_.log.empty()) << "callbacks registered earlier are not called again";
    EXPECT_EQ(late.devices, recorder_.devices);

    // Unregistering tells only the callbacks that leave.
    late.log.clear();
    ASSERT_EQ(vnx_Domain_unregisterDomainListener(domain_, Recorder::domainStatus, Recorder::deviceAdded,
                                                  Recorder::deviceRemoved, Recorder::fileHandleAdded,
                                                  Recorder::fileHandleRemoved, &late),
              0);
    EXPECT_EQ(late.log, (std::vector<std::string>{"late removed", "late removed", "late fd removed 9"}));
    EXPECT_TRUE(recorder_.log.empty());
    late.log.clear();
    createDevice();
    EXPECT_TRUE(late.log.empty());
}

TEST_F(DeviceApiTest, ADeviceRemovedByItsOwnCommandLeavesADeadHandle)
{
    ASSERT_EQ(registerAll(domain_, recorder_), 0);
    vnx_DeviceHandle_s* device = createDevice();
    vnx_DeviceHandle_s* removedHandle = nullptr;
    recorder_.onDeviceRemoved = [&](vnx_DeviceHandle_s* handle) { removedHandle = handle; };
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &recorder_);

    vnx_StructCommand_s remove = {};
    remove.header.size = sizeof remove;
    remove.header.type = vnx::testsupport::kTestDeviceType;
    remove.header.kind = VNX_KIND_COMMAND;
    EXPECT_EQ(vnx_Device_sendCommand(device, &remove), 0);
    EXPECT_EQ(removedHandle, device);
    EXPECT_EQ(factory_.liveDevices, 0);

    // Every call with the handle now answers as for a handle never made.
    vnx_StructConfig_s config = testDeviceConfig();
    char name[8];
    vnx_DomainGuid_s guid;
    const vnx_StructOutput_s* outputs[1] = {};
    EXPECT_EQ(vnx_Device_sendCommand(device, &remove), -2);
    EXPECT_EQ(vnx_Device_getConfig(device, &config), -2);
    EXPECT_EQ(vnx_Device_setConfig(device, &config), -2);
    EXPECT_EQ(vnx_Device_getType(device), 0);
    EXPECT_EQ(vnx_Device_getGuid(device, &guid), -2);
    EXPECT_EQ(vnx_Device_isOpen(device), -2);
    EXPECT_EQ(vnx_Device_open(device), -2);
    EXPECT_EQ(vnx_Device_close(device), -2);
    EXPECT_EQ(vnx_Device_process(device), -2);
    EXPECT_EQ(vnx_Device_getName(device, sizeof name, name), -2);
    EXPECT_EQ(vnx_Device_sendInput(device, 1, outputs, nullptr), -2);
    EXPECT_EQ(vnx_Device_getDomain(device), nullptr);
    EXPECT_EQ(vnx_Device_registerDeviceListener(device, Recorder::deviceStatus, nullptr, nullptr, nullptr,
                                                &recorder_),
              -2);
    EXPECT_EQ(vnx_Device_unregisterDeviceListener(device, Recorder::deviceStatus, nullptr, nullptr, nullptr,
                                                  &recorder_),
              -2);
    vnx_Domain_process(domain_);
}

TEST_F(DeviceApiTest, ADeviceRemovedFromItsOwnOutputCallbackGoesAfterTheCall)
{
    vnx_DeviceHandle_s* device = createDevice();
    vnx_StructCommand_s remove = {};
    remove.header.size = sizeof remove;
    remove.header.type = vnx::testsupport::kTestDeviceType;
    remove.header.kind = VNX_KIND_COMMAND;
    recorder_.onMotionOutput = [&](vnx_DeviceHandle_s* handle) { vnx_Device_sendCommand(handle, &remove); };
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &recorder_);
    EXPECT_EQ(vnx_Domain_process(domain_), 0);
    EXPECT_EQ(factory_.liveDevices, 0);
    EXPECT_EQ(vnx_Device_process(device), -2);
}

TEST_F(DeviceApiTest, CallbacksThatLeaveDuringAFanOutAreNotCalledAgain)
{
    vnx_DeviceHandle_s* device = createDevice();
    Recorder quitter;
    quitter.name = "q";
    Recorder stayer;
    stayer.name = "s";
    quitter.onMotionOutput = [&](vnx_DeviceHandle_s* handle) {
        vnx_Device_unregisterDeviceListener(handle, nullptr, nullptr, nullptr, Recorder::motionOutput,
                                            &quitter);
        vnx_Device_registerDeviceListener(handle, nullptr, nullptr, nullptr, Recorder::motionOutput,
                                          &recorder_);
    };
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &quitter);
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &stayer);
    vnx_Domain_process(domain_);
    vnx_Domain_process(domain_);
    EXPECT_EQ(quitter.log, std::vector<std::string>{"q output 1 1"});
    EXPECT_EQ(stayer.log.size(), 2u);
    EXPECT_EQ(recorder_.log.size(), 1u) << "added during the first fan-out, called from the second";
}

TEST_F(DeviceApiTest, TheOutputFanOutAllocatesNothing)
{
    vnx_DeviceHandle_s* device = createDevice();
    const vnx_MotionOutputCallback_f count = [](vnx_DeviceHandle_s*, size_t, const vnx_StructOutput_s**,
                                                const vnx_StructFormat_s**, int,
                                                void* user) { ++*static_cast<int*>(user); };
    int first = 0;
    int second = 0;
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, count, &first);
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, count, &second);
    vnx_Domain_process(domain_);
    EXPECT_EQ(vnx::test::allocationsDuring([&] {
                  for (int i = 0; i < 100; ++i) {
                      vnx_Domain_process(domain_);
                  }
              }),
              0);
    EXPECT_EQ(first, 101);
    EXPECT_EQ(second, 101);
}

TEST_F(DeviceApiTest, DestroyingTheDomainTellsRemovalsOnceAndEndsEveryHandle)
{
    ASSERT_EQ(registerAll(domain_, recorder_), 0);
    vnx_DeviceHandle_s* first = createDevice();
    createDevice();
    recorder_.log.clear();
    vnx_DomainHandle_s* domain = domain_;
    domain_ = nullptr;
    EXPECT_EQ(vnx_DomainFactory_destroyDomain(domain), 0);
    EXPECT_EQ(recorder_.log,
              (std::vector<std::string>{"r removed", "r status 2", "r removed", "r status 2"}));
    EXPECT_EQ(factory_.liveDomains, 0);
    EXPECT_EQ(factory_.liveDevices, 0);

    EXPECT_EQ(vnx_DomainFactory_destroyDomain(domain), -10);
    EXPECT_EQ(vnx_DomainFactory_destroyDomain(nullptr), 0);
    vnx_StructConfig_s config = testDeviceConfig();
    vnx_StructCommand_s command = {};
    EXPECT_EQ(vnx_Domain_process(domain), -2);
    EXPECT_EQ(vnx_Domain_getConfig(domain, &config), -2);
    EXPECT_EQ(vnx_Domain_setConfig(domain, &config), -2);
    EXPECT_EQ(vnx_Domain_sendCommand(domain, &command), -2);
    EXPECT_EQ(vnx_Domain_getType(domain), 0);
    EXPECT_EQ(vnx_Domain_createDevice(domain, &config), nullptr);
    EXPECT_EQ(registerAll(domain, recorder_), -2);
    EXPECT_EQ(
        vnx_Domain_unregisterDomainListener(domain, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
        -2);
    EXPECT_EQ(vnx_Device_process(first), -2);
    EXPECT_EQ(vnx_Domain_process(nullptr), -2);
    EXPECT_EQ(vnx_Device_process(nullptr), -2);
}

TEST_F(DeviceApiTest, DestroyingTheDomainFromItsOwnCallbackWaitsForTheCall)
{
    vnx_DeviceHandle_s* device = createDevice();
    int destroyed = -1;
    recorder_.onMotionOutput = [&](vnx_DeviceHandle_s*) {
        destroyed = vnx_DomainFactory_destroyDomain(domain_);
    };
    vnx_Device_registerDeviceListener(device, nullptr, nullptr, nullptr, Recorder::motionOutput, &recorder_);
    EXPECT_EQ(vnx_Device_process(device), 0);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(factory_.liveDomains, 0);
    EXPECT_EQ(factory_.liveDevices, 0);
    EXPECT_EQ(vnx_Domain_process(domain_), -2);
    domain_ = nullptr;
}

TEST(DeviceApiDomainFactory, AnUnregisteredTypeGivesNoDomain)
{
    EXPECT_EQ(vnx_DomainFactory_createDomain(kTestDomainType), nullptr);
}

} // namespace
