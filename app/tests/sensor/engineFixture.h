#pragma once

// Helpers of the motion-bridge tests: the real engine libraries, started
// once per process with the calibration files in a temporary folder (the
// engine keeps what it learned per device identity: tests whose results
// depend on a fresh calibration use device numbers of their own); per
// test a fresh ManualDomain carrying the bridge's domain listener, the
// bridge and presenter state reset, presenter events recorded, and the
// engine clock stepped one sample period per motion packet.

#include "device/hidCallback.h"
#include "device/hidPacket.h"
#include "device/presenterState.h"
#include "sensor/motionBridge.h"
#include "sensor/motionThread.h"
#include "simulation/PresenterScenario.h"
#include "simulation/presenterReports.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"
#include "extCommon/extModuleType.h"
#include "extEntry/extEntry.h"
#include "support/steppedClock.h"

inline hidPacket packetOf(const PresenterReport& report)
{
    hidPacket packet{};
    hidPacketFill(packet, report.data(), report.size());
    return packet;
}

/// Engine logs off, calibration files in a folder removed at exit.
inline void startEngineOnce()
{
    static const bool started = [] {
        setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
        static std::string folder = (std::filesystem::temp_directory_path() / "pelvaro-dcd-XXXXXX").string();
        if (mkdtemp(folder.data()) != nullptr) {
            setenv("VNX_DCD_PATH", folder.c_str(), 1);
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(folder, ignored);
            });
        }
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
        return true;
    }();
    (void)started;
}

inline void resetPresenterState()
{
    for (auto* word : {&buttonOnlyMode, &receiverOpen, &hotButtonState, &pointerButtonDown}) {
        word->store(0);
    }
    presenterPairState.store(0);
    presenterInfoWord.store(0);
}

class EngineBridgeTest : public ::testing::Test
{
  protected:
    static constexpr uint64_t kPeriodNs = 8'000'000;

    void SetUp() override
    {
        startEngineOnce();
        resetMotionBridge();
        resetPresenterState();
        domain = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
        ASSERT_NE(domain, nullptr);
        vnx_Domain_registerDomainListener(domain, onDomainStatus, onDeviceAdded, onDeviceRemoved, nullptr,
                                          nullptr, nullptr);
        setHidCallback([this](const PresenterEvent& event) { events.push_back(event); });
    }

    void TearDown() override
    {
        setHidCallback({});
        vnx_DomainFactory_destroyDomain(domain);
        resetMotionBridge();
        resetPresenterState();
    }

    /// The packet through the motion thread's step (dispatch, then the
    /// device when one is pending); the engine clock moves one period per
    /// motion packet.
    void serve(const hidPacket& packet)
    {
        if (packet.kind == hidPacketKindMotion) {
            clock.advanceNs(kPeriodNs);
        }
        hidPacket* copy = hidPacketAllocate();
        ASSERT_NE(copy, nullptr);
        *copy = packet;
        serveMotionPacket(domain, copy);
    }

    /// Every report of the scenario served in order.
    void serveAll(PresenterScenario& scenario)
    {
        scenario.rewind();
        while (auto timed = scenario.next()) {
            serve(packetOf(timed->report));
        }
    }

    vnx_DeviceHandle_s* device() const { return motionBridge().currentDevice; }

    vnx::testsupport::SteppedClock clock;
    vnx_DomainHandle_s* domain = nullptr;
    std::vector<PresenterEvent> events;
};
