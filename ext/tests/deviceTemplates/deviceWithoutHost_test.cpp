#include <gtest/gtest.h>

#include "manualDomain/ManualCoordinator.h"
#include "manualRecords/ManualDeviceRecords.h"

namespace {

// A device whose module host could not be made (noModuleManager.cpp) answers
// -14 to everything that needs the host.
TEST(DeviceWithoutHost, AManualDeviceIsNotMadeWithoutItsHost)
{
    vnx::ManualCoordinator domain;
    vnx_ManualDevice_Config_s config;
    vnx_ManualDevice_initConfig(&config);
    EXPECT_EQ(domain.createDevice(&config.config), nullptr);
    EXPECT_EQ(domain.deviceCount(), 0u);

    vnx::ManualDevice device(&domain);
    vnx_Device_Config_s deviceConfig;
    vnx_Device_initConfig(&deviceConfig);
    EXPECT_EQ(device.setConfig(&deviceConfig.config), VNX_STATUS_NOT_ACTIVE);
    EXPECT_EQ(device.process(), VNX_STATUS_NOT_ACTIVE);
    device.open();
    EXPECT_EQ(device.sendInput(0, nullptr, nullptr), VNX_STATUS_NOT_ACTIVE);
}

} // namespace
