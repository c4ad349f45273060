#include "deviceForwarding/DeviceForwarding.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceForwarding, ThePlaceholdersDoNothingAndSaySo)
{
    vnx::DeviceForwardingClient client;
    vnx_StructConfig_s config = {};
    vnx_StructCommand_s command = {};
    vnx_DomainGuid_s guid = {};
    char name[8] = "kept";
    EXPECT_EQ(client.getType(), 255);
    EXPECT_EQ(client.getDomain(), nullptr);
    EXPECT_FALSE(client.isOpen());
    const int answers[] = {client.setModuleListener(nullptr),
                           client.getConfig(&config),
                           client.setConfig(&config),
                           client.sendCommand(&command),
                           client.registerDeviceListener(nullptr),
                           client.unregisterDeviceListener(nullptr),
                           client.getGuid(&guid),
                           client.open(),
                           client.close(),
                           client.process(),
                           client.getName(sizeof name, name),
                           client.sendInput(0, nullptr, nullptr),
                           client.open(VNX_DEVICE_FORWARDING_PERMISSION_CREATE, name)};
    for (int answer : answers) {
        EXPECT_EQ(answer, -1);
    }
    EXPECT_STREQ(name, "kept");

    vnx::DeviceForwardingServer server;
    server.setDevice(&client);
    server.motionOutput(&client, 0, nullptr, nullptr, 0);
    EXPECT_EQ(server.open(VNX_DEVICE_FORWARDING_PERMISSION_NONE, name), -1);
    EXPECT_EQ(server.close(), -1);
}

} // namespace
