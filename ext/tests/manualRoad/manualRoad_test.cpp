// The desktop client's road through the three libraries, with the real
// module host: a manual device fed sample by sample through the flat API.

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bundleEntry/bundleEntry.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/Node.h"
#include "common/NodeManager.h"
#include "coreEntry/coreEntry.h"
#include "dcdStore/ZephraDcdManager.h"
#include "deviceApi/deviceApi.h"
#include "deviceDomain/DeviceRecords.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "extEntry/extEntry.h"
#include "manualRecords/ManualDeviceRecords.h"
#include "support/MotionTrace.h"
#include "support/fifoDirectory.h"
#include "support/fusionScenarios.h"
#include "support/scopedEnv.h"

namespace {

using vnx::testsupport::MotionSample;
using vnx::testsupport::MotionTrace;

struct Outputs
{
    int calls = 0;
    std::vector<uint8_t> types;
    std::vector<vnx_ButtonActivity_Output_s> buttons;
    std::vector<vnx_DeviceHandle_s*> removed;

    static void output(vnx_DeviceHandle_s*, size_t n, const vnx_StructOutput_s** outputs,
                       const vnx_StructFormat_s**, int, void* user)
    {
        auto& self = *static_cast<Outputs*>(user);
        ++self.calls;
        self.types.clear();
        for (size_t i = 0; i < n; ++i) {
            self.types.push_back(outputs[i]->header.type);
            if (outputs[i]->header.type == 5) {
                self.buttons.push_back(*reinterpret_cast<const vnx_ButtonActivity_Output_s*>(outputs[i]));
            }
        }
    }
    static void removedCallback(vnx_DeviceHandle_s* device, void* user)
    {
        static_cast<Outputs*>(user)->removed.push_back(device);
    }
};

class ManualRoadTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
    }
    static void TearDownTestSuite()
    {
        vnx_ext_finalize();
        vnx_bundle_finalize();
        vnx_core_finalize();
    }

    void SetUp() override
    {
        domain_ = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
        ASSERT_NE(domain_, nullptr);
        vnx_Domain_registerDomainListener(domain_, nullptr, nullptr, Outputs::removedCallback, nullptr,
                                          nullptr, &outputs_);
        vnx_ManualDevice_Config_s config;
        vnx_ManualDevice_initConfig(&config);
        for (uint8_t i = 0; i < 8; ++i) {
            config.id[i] = static_cast<uint8_t>(i + 1);
        }
        std::memcpy(config.scd.bytes, &scd_, sizeof scd_);
        device_ = vnx_Domain_createDevice(domain_, &config.config);
        ASSERT_NE(device_, nullptr);
        vnx_Device_registerDeviceListener(device_, nullptr, nullptr, nullptr, Outputs::output, &outputs_);
    }
    void TearDown() override { vnx_DomainFactory_destroyDomain(domain_); }

    int hostExtendedBundle()
    {
        vnx_Device_Config_s config;
        vnx_Device_initConfig(&config);
        config.typeId = 65; // ExtendedBundle
        return vnx_Device_setConfig(device_, &config.config);
    }

    // One sample of the trace with a button record whose activity the
    // device's own ButtonActivity module must derive from the mask.
    int send(const MotionSample& sample, uint32_t buttonMask)
    {
        vnx_ButtonActivity_Output_s buttons;
        vnx_ButtonActivity_initOutput(&buttons);
        buttons.buttons = buttonMask;
        const vnx_StructOutput_s* outputs[] = {vnx_DeviceSupport6AG_upCastConstOutput(&sample.output6AG),
                                               vnx_ButtonActivity_upCastOutput(&buttons)};
        const vnx_StructFormat_s* formats[] = {vnx_DeviceSupport6AG_upCastConstFormat(&sample.format6AG),
                                               nullptr};
        return vnx_Device_sendInput(device_, 2, outputs, formats);
    }

    vnx::testsupport::FifoDirectory scratch_;
    ScopedEnv dcdPath_{"VNX_DCD_PATH", scratch_.path().c_str()};
    ScopedEnv noRawLog_{"VNX_LOG_RAWINPUT", nullptr};
    ScopedEnv noOutputLog_{"VNX_LOG_OUTPUT", nullptr};
    const scdGen4Float_s scd_ = vnx::testsupport::realisticDevice().build();
    vnx_DomainHandle_s* domain_ = nullptr;
    vnx_DeviceHandle_s* device_ = nullptr;
    Outputs outputs_;
};

TEST_F(ManualRoadTest, EachSampleReachesTheClientAtTheFollowingDomainProcess)
{
    MotionTrace trace(scd_, vnx::testsupport::realisticNoise(7, {0.002, -0.001, 0.003}));
    trace.still(2.0);
    const MotionSample* sample = trace.next();
    EXPECT_EQ(send(*sample, 0), VNX_STATUS_DEVICE_CLOSED);
    ASSERT_EQ(vnx_Device_open(device_), 0);
    ASSERT_EQ(hostExtendedBundle(), 0);

    ASSERT_EQ(send(*sample, 0x1), 0);
    EXPECT_EQ(outputs_.calls, 0) << "stored, not yet run";
    ASSERT_EQ(vnx_Domain_process(domain_), 0);
    ASSERT_EQ(outputs_.calls, 1);
    EXPECT_EQ(outputs_.types, (std::vector<uint8_t>{4, 3, 9, 5, 13}));
    // The chain saw the device's button activity, not the caller's raw record.
    ASSERT_FALSE(outputs_.buttons.empty());
    EXPECT_NE(outputs_.buttons.back().activity, VNX_BUTTON_ACTIVITY_DERIVE);
    EXPECT_EQ(outputs_.buttons.back().activity & VNX_BUTTON_ACTIVITY_PRESS, VNX_BUTTON_ACTIVITY_PRESS);

    int samples = 1;
    for (sample = trace.next(); sample != nullptr; sample = trace.next()) {
        ASSERT_EQ(send(*sample, 0x1), 0);
        ASSERT_EQ(vnx_Domain_process(domain_), 0);
        ++samples;
    }
    EXPECT_EQ(outputs_.calls, samples);
    EXPECT_EQ(outputs_.types.size(), 5u);
}

TEST_F(ManualRoadTest, ClosingTheDeviceStoresItsCalibrationUnderItsGuid)
{
    MotionTrace trace(scd_, vnx::testsupport::realisticNoise(3, {0.004, 0.0, -0.002}));
    trace.still(3.0);
    ASSERT_EQ(vnx_Device_open(device_), 0);
    ASSERT_EQ(hostExtendedBundle(), 0);
    for (const MotionSample* sample = trace.next(); sample != nullptr; sample = trace.next()) {
        send(*sample, 0);
        vnx_Domain_process(domain_);
    }
    vnx_DomainGuid_s guid;
    ASSERT_EQ(vnx_Device_getGuid(device_, &guid), 0);
    char path[vnx::ZephraDcdManager::kPathSize];
    ASSERT_TRUE(vnx::ZephraDcdManager::createPath(guid, path));
    EXPECT_EQ(std::string(path), scratch_.path() + "/00740075-04030201-08070605-00000000-1.dcd");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(vnx_Device_close(device_), 0);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 260u);
}

TEST_F(ManualRoadTest, ARemovedDeviceLeavesNothingBehind)
{
    MotionTrace trace(scd_, vnx::testsupport::realisticNoise(5, {}));
    trace.still(0.5);
    ASSERT_EQ(vnx_Device_open(device_), 0);
    ASSERT_EQ(hostExtendedBundle(), 0);
    for (const MotionSample* sample = trace.next(); sample != nullptr; sample = trace.next()) {
        send(*sample, 0);
        vnx_Domain_process(domain_);
    }
    vnx_ManualDevice_Command_s remove;
    vnx_ManualDevice_initCommand(&remove);
    remove.code = VNX_MANUAL_DEVICE_COMMAND_REMOVE;
    EXPECT_EQ(vnx_Device_sendCommand(device_, &remove.command), 0);
    EXPECT_EQ(outputs_.removed, std::vector<vnx_DeviceHandle_s*>{device_});
    EXPECT_EQ(vnx_Device_sendCommand(device_, &remove.command), -2);
    EXPECT_EQ(vnx_Device_open(device_), -2);
    EXPECT_EQ(vnx_Device_getType(device_), 0);
    char name[40];
    EXPECT_EQ(vnx_Device_getName(device_, sizeof name, name), -2);
    const int before = outputs_.calls;
    EXPECT_EQ(vnx_Domain_process(domain_), 0);
    EXPECT_EQ(outputs_.calls, before);
    // The domain's node has no device left.
    auto* domainNode = static_cast<vnx::Node*>(vnx::NodeManager::getInstance().getNode("ManualDomain"));
    ASSERT_NE(domainNode, nullptr);
    EXPECT_TRUE(domainNode->getChildren().empty());
}

} // namespace
