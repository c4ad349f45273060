#pragma once

// A module host on a stub device, with the three libraries started, the DCD
// files in a scratch directory and the capture logs off.

#include <cstring>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "buttonActivity/ButtonActivityRecords.h"
#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "extEntry/extEntry.h"
#include "moduleManager/ModuleManager.h"
#include "support/FakeModule.h"
#include "support/fifoDirectory.h"
#include "support/scopedEnv.h"
#include "support/stubDevice.h"

namespace vnx::testsupport {

/// Type id of the scripted stand-in modules; no library registers it.
constexpr uint8_t kFakeType = 90;

/// One presenter sample: a DeviceSupport6AG Output with its Format and the
/// buttons.
struct PresenterSample
{
    explicit PresenterSample(int32_t counter = 0)
    {
        vnx_DeviceSupport6AG_initOutput(&sensors);
        vnx_DeviceSupport6AG_initFormat(&format);
        vnx_ButtonActivity_initOutput(&buttons);
        sensors.sampleNumber = counter;
        sensors.accelerometer[2] = 4096;
    }
    PresenterSample(const PresenterSample&) = delete;
    PresenterSample& operator=(const PresenterSample&) = delete;

    vnx_DeviceSupport6AG_Output_s sensors;
    vnx_DeviceSupport6AG_Format_s format;
    vnx_ButtonActivity_Output_s buttons;
    const vnx_StructOutput_s* outputs[2] = {&sensors.output, &buttons.output};
    const vnx_StructFormat_s* formats[2] = {&format, nullptr};
};

class HostTest : public ::testing::Test
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

    void SetUp() override { host_ = makeHost(device_); }
    void TearDown() override { dropHost(host_); }

    /// A host of `device`, named under it in the node tree as a device names
    /// its host.
    static std::unique_ptr<ModuleManager> makeHost(StubDevice& device)
    {
        auto host = std::make_unique<ModuleManager>();
        host->setDevice(&device);
        NodeManager::getInstance().addNode(device.nodeObject(), host.get(), NodeInterface::NODE_SUBNODE,
                                           "ModuleManager");
        return host;
    }
    static void dropHost(std::unique_ptr<ModuleManager>& host)
    {
        if (host != nullptr) {
            NodeManager::getInstance().removeNode(host.get());
            host.reset();
        }
    }

    /// A Device config with the defaults and `typeId`.
    static vnx_Device_Config_s deviceConfig(uint8_t typeId)
    {
        vnx_Device_Config_s config;
        vnx_Device_initConfig(&config);
        config.typeId = typeId;
        return config;
    }

    /// A stand-in module type that lives until the host is gone.
    FakeModuleType& useFake(FakeModuleScript script) { return fake_.emplace(std::move(script)); }

    int host(uint8_t typeId) { return setDeviceConfig(deviceConfig(typeId)); }
    int setDeviceConfig(const vnx_Device_Config_s& config) { return host_->setConfig(&config.config); }

    int store(PresenterSample& sample) { return host_->process(2, sample.outputs, sample.formats); }

    FifoDirectory scratch_;
    ScopedEnv dcdPath_{"VNX_DCD_PATH", scratch_.path().c_str()};
    ScopedEnv noRawLog_{"VNX_LOG_RAWINPUT", nullptr};
    ScopedEnv noOutputLog_{"VNX_LOG_OUTPUT", nullptr};
    StubDevice device_;
    std::optional<FakeModuleType> fake_;
    std::unique_ptr<ModuleManager> host_;
};

} // namespace vnx::testsupport
