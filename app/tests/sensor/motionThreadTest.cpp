// The motion thread's start and the environment it leaves the engine. Each
// case runs in a process of its own: the engine starts once per process and
// the environment is the process's.

#include "device/presenterCodes.h"
#include "sensor/motionBridge.h"
#include "sensor/motionThread.h"
#include "simulation/presenterReports.h"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "deviceDomain/DeviceRecords.h"
#include "extCommon/extModuleType.h"

namespace {

class MotionThreadProcess : public ::testing::Test
{
  protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

// Exits 0 when the engine starts into a ManualDomain whose listener sets up
// the device an identity seen before the start asked for; else the failing
// step's number.
[[noreturn]] void startWithAnIdentityPending()
{
    setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
    unsetenv("VNX_DCD_PATH");
    const PresenterReport identity = statusReport(0x33, receiverStatusIdentity);
    hidPacket packet{};
    hidPacketFill(packet, identity.data(), identity.size());
    if (dispatchPacket(packet, nullptr, nullptr) != 0) {
        _exit(1);
    }
    vnx_DomainHandle_s* domain = startMotionEngine();
    if (domain == nullptr || vnx_Domain_getType(domain) != VNX_TYPE_MANUAL_DOMAIN) {
        _exit(2);
    }
    vnx_DeviceHandle_s* device = motionBridge().currentDevice;
    if (device == nullptr || motionBridge().deviceIdentityPending != 0) {
        _exit(3);
    }
    vnx_Device_Config_s config;
    vnx_Device_initConfig(&config);
    if (vnx_Device_getConfig(device, vnx_Device_upCastConfig(&config)) != 0 ||
        config.typeId != VNX_TYPE_EXTENDED_PIPE_BUNDLE || vnx_Device_isOpen(device) != 1) {
        _exit(4);
    }
    _exit(0);
}

TEST_F(MotionThreadProcess, EngineStartsIntoAManualDomainWithTheBridgeListening)
{
    EXPECT_EXIT(startWithAnIdentityPending(), ::testing::ExitedWithCode(0), "");
}

// Exits 0 when the environment holds what each folder should give.
[[noreturn]] void putFolders()
{
    unsetenv("VNX_DCD_PATH");
    putDcdPathIntoEnvironment();
    if (std::getenv("VNX_DCD_PATH") != nullptr) {
        _exit(1); // no folder set: the engine keeps its default
    }
    setDcdFolderPath("/home/presenter/Pelvaro/dcd");
    putDcdPathIntoEnvironment();
    const char* value = std::getenv("VNX_DCD_PATH");
    if (value == nullptr || std::strcmp(value, "/home/presenter/Pelvaro/dcd") != 0) {
        _exit(2);
    }
    const std::string longFolder = "/" + std::string(5000, 'd');
    setDcdFolderPath(longFolder);
    putDcdPathIntoEnvironment();
    value = std::getenv("VNX_DCD_PATH");
    // "VNX_DCD_PATH=" (13 bytes), the folder cut, and the terminator: 4096.
    if (value == nullptr || std::strlen(value) != 4096 - 13 - 1 ||
        std::strncmp(value, longFolder.c_str(), std::strlen(value)) != 0) {
        _exit(3);
    }
    _exit(0);
}

TEST_F(MotionThreadProcess, DcdFolderGoesIntoTheEnvironmentCutToFit)
{
    EXPECT_EXIT(putFolders(), ::testing::ExitedWithCode(0), "");
}

} // namespace
