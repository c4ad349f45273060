#pragma once

// The rig of the link-device tests: the libraries started, a TlinkDomain
// with one device, the device's transport end and a listener that records
// what the device reports, and the steps of a bring-up.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "coreEntry/coreEntry.h"
#include "deviceDomain/DeviceRecords.h"
#include "extEntry/extEntry.h"
#include "support/ScdBuilder.h"
#include "support/fakeModuleManager.h"
#include "support/linkDeviceListener.h"
#include "support/linkReports.h"
#include "support/steppedClock.h"
#include "tlinkDevice/TlinkCoordinator.h"
#include "tlinkDevice/TlinkDevice.h"

namespace tlinkTest {

using vnx::testsupport::command;
using vnx::testsupport::RecordingListener;
using vnx::testsupport::Report;
using vnx::testsupport::scdWords;
using vnx::testsupport::SeenStatus;
namespace reports = vnx::testsupport::linkReports;

constexpr uint32_t kPart = 0x00012345;
constexpr uint32_t kUnit = 0xCAFE0001;

class TlinkRig : public ::testing::Test
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
        vnx_TlinkDevice_Config_s config;
        vnx_TlinkDevice_initConfig(&config);
        device_ = static_cast<vnx::TlinkDevice*>(domain_.createDevice(&config));
        ASSERT_NE(device_, nullptr);
        host_ = vnx::testsupport::FakeModuleManager::last;
        device_->deviceIoRegisterReceiver(&receiver_);
        device_->registerDeviceListener(&listener_);
    }
    void TearDown() override { vnx::TlinkDevice::variantTwoPartNumbers().clear(); }

    int feed(const Report& report) { return device_->deviceIoSend(report.data(), report.size()); }
    void feedAll(const std::vector<Report>& all)
    {
        for (const Report& report : all) {
            feed(report);
        }
    }
    int send(const vnx_TlinkDevice_Command_s& made)
    {
        return device_->sendCommand(reinterpret_cast<const vnx_StructCommand_s*>(&made));
    }

    /// Open, Start, the identity and the SCD: the device is OPEN.
    void bringUp(uint32_t part = kPart, bool scdWithPeriod = true)
    {
        device_->open();
        ASSERT_EQ(send(command(vnx::TlinkDevice::COMMAND_START)), 0);
        feed(reports::productId(2, part, kUnit));
        feedAll(reports::frsRecord(scdWords(scdWithPeriod)));
        ASSERT_EQ(device_->getState(), vnx::TlinkDeviceFsm::OPEN);
    }
    /// Bring-up, then motion on: ASLEEP, nothing sent remembered.
    void bringUpStreaming(uint32_t part = kPart, bool scdWithPeriod = true)
    {
        bringUp(part, scdWithPeriod);
        ASSERT_EQ(send(command(vnx::TlinkDevice::COMMAND_SET_DATA_MODE, 1)), 0);
        ASSERT_EQ(device_->getState(), vnx::TlinkDeviceFsm::ASLEEP);
        receiver_.take();
        listener_.statuses.clear();
    }

    /// The DeviceSupport Format of the batch the host got last: its sample number.
    uint32_t hostSampleNumber() const
    {
        if (host_->storedFormats.empty()) {
            return 0xDEADu;
        }
        uint32_t number = 0;
        std::memcpy(&number, reinterpret_cast<const uint8_t*>(host_->storedFormats[0]) + 16, sizeof number);
        return number;
    }

    vnx::testsupport::SteppedClock clock_;
    // The transport end and the listener outlive the domain, whose devices
    // still send and report while it closes them.
    vnx::testsupport::RecordingReceiver receiver_;
    RecordingListener listener_;
    vnx::TlinkCoordinator domain_;
    vnx::TlinkDevice* device_ = nullptr;
    vnx::testsupport::FakeModuleManager* host_ = nullptr;
};

} // namespace tlinkTest
