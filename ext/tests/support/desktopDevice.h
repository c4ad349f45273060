#pragma once

// Test and benchmark helper: the desktop client's device, a ManualDevice in
// a ManualDomain hosting the ExtendedPipeBundle (type 102) with the
// client's cursor settings and display bounds, fed one presenter sample at a
// time through the flat API (vnx_Device_sendInput, then vnx_Domain_process).
// The three libraries must be started. Each sample's motion output is kept
// as counts and type ids only, so that watching it allocates nothing.

#include <array>
#include <cstdint>
#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "calibration/scdData.h"
#include "deviceApi/deviceApi.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "extCommon/extModuleType.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "gestureBundle/GestureBundleRecords.h"
#include "manualRecords/ManualDeviceRecords.h"

namespace vnx::testsupport {

class DesktopDevice
{
  public:
    static constexpr size_t kMaxOutputs = 16;

    /// What the device's last motion output held.
    struct LastOutput
    {
        int calls = 0;
        size_t count = 0;
        int result = 0;
        std::array<uint8_t, kMaxOutputs> types{};
        vnx_ExtendedCursor_Output_s cursor{};
    };

    explicit DesktopDevice(const scdGen4Float_s& scd)
    {
        domain_ = vnx_DomainFactory_createDomain(VNX_TYPE_MANUAL_DOMAIN);
        if (domain_ == nullptr) {
            return;
        }
        vnx_ManualDevice_Config_s config;
        std::memset(&config, 0, sizeof config);
        vnx_ManualDevice_initConfig(&config);
        for (uint8_t i = 0; i < 8; ++i) {
            config.id[i] = static_cast<uint8_t>(0x40 + i);
        }
        std::memcpy(config.scd.bytes, &scd, sizeof scd);
        device_ = vnx_Domain_createDevice(domain_, &config.config);
        vnx_ButtonActivity_initOutput(&buttons_);
    }
    ~DesktopDevice()
    {
        if (domain_ != nullptr) {
            vnx_DomainFactory_destroyDomain(domain_);
        }
    }
    DesktopDevice(const DesktopDevice&) = delete;
    DesktopDevice& operator=(const DesktopDevice&) = delete;

    vnx_DeviceHandle_s* device() const { return device_; }
    vnx_DomainHandle_s* domain() const { return domain_; }
    const LastOutput& last() const { return last_; }

    /// Opens the device, hosts the pipe bundle (input interface found per
    /// batch), runs the first sample (the host makes its module then) and
    /// gives the bundle the client's settings: ExtendedCursor curve 3,
    /// pointing mode 3, viewing angle 0.5395598 rad, bounds (0, 0, 5120,
    /// 3200). Without `timedDcdSave` the learned calibration is not saved
    /// every minute. The first failing step's answer, else 0.
    int start(const vnx_DeviceSupport6AG_Output_s& first, const vnx_DeviceSupport6AG_Format_s& format,
              bool timedDcdSave = true)
    {
        if (device_ == nullptr) {
            return -2;
        }
        vnx_Device_registerDeviceListener(device_, nullptr, nullptr, nullptr, &DesktopDevice::output, this);
        int result = vnx_Device_open(device_);
        if (result != 0) {
            return result;
        }
        vnx_Device_Config_s host;
        vnx_Device_initConfig(&host);
        host.typeId = VNX_TYPE_EXTENDED_PIPE_BUNDLE;
        host.inputId = -1;
        if (!timedDcdSave) {
            host.dcdSaveInterval = 0;
        }
        if ((result = vnx_Device_setConfig(device_, &host.config)) != 0) {
            return result;
        }
        if ((result = step(first, format)) != 0) {
            return result;
        }
        vnx_ExtendedCursor_Config_s cursor;
        vnx_ExtendedCursor_initConfig(&cursor);
        if ((result = vnx_Device_getConfig(device_, &cursor.config)) != 0) {
            return result;
        }
        cursor.curveSelector = 3;
        cursor.pointingMode = 3;
        cursor.viewingAngle = 0.5395598f;
        if ((result = vnx_Device_setConfig(device_, &cursor.config)) != 0) {
            return result;
        }
        return setBounds({0, 0, 5120, 3200}, {0, 0, 5120, 3200});
    }

    int setBounds(const vnx_ExtendedCursor_Bounds_s& osd, const vnx_ExtendedCursor_Bounds_s& limits)
    {
        vnx_ExtendedCursor_Command_s command;
        vnx_ExtendedCursor_initCommand(&command);
        command.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
        command.data.setBounds = {osd, limits};
        return vnx_Device_sendCommand(device_, &command.command);
    }

    /// A GestureBundle command adding a recogniser of `type`.
    int addGesture(uint8_t type)
    {
        vnx_GestureBundle_Command_s command;
        vnx_GestureBundle_initCommand(&command);
        command.code = VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE;
        command.argument.instanceId = 0;
        command.argument.type = type;
        return vnx_Device_sendCommand(device_, &command.command);
    }

    /// One sample with `buttons` down, handed over and processed as the
    /// desktop client does: the answer of vnx_Device_sendInput, else of
    /// vnx_Domain_process.
    int step(const vnx_DeviceSupport6AG_Output_s& sample, const vnx_DeviceSupport6AG_Format_s& format,
             uint32_t buttons = 0)
    {
        buttons_.buttons = buttons;
        const vnx_StructOutput_s* outputs[] = {&sample.output, &buttons_.output};
        const vnx_StructFormat_s* formats[] = {&format, nullptr};
        const int sent = vnx_Device_sendInput(device_, 2, outputs, formats);
        if (sent != 0) {
            return sent;
        }
        return vnx_Domain_process(domain_);
    }

  private:
    static void output(vnx_DeviceHandle_s*, size_t n, const vnx_StructOutput_s** outputs,
                       const vnx_StructFormat_s**, int result, void* user)
    {
        LastOutput& last = static_cast<DesktopDevice*>(user)->last_;
        ++last.calls;
        last.count = n;
        last.result = result;
        for (size_t i = 0; i < n && i < kMaxOutputs; ++i) {
            last.types[i] = outputs[i] != nullptr ? outputs[i]->header.type : 0;
            if (outputs[i] != nullptr &&
                vnx_ExtendedCursor_dynamicDownCastConstOutput(outputs[i]) != nullptr) {
                last.cursor = *reinterpret_cast<const vnx_ExtendedCursor_Output_s*>(outputs[i]);
            }
        }
    }

    vnx_DomainHandle_s* domain_ = nullptr;
    vnx_DeviceHandle_s* device_ = nullptr;
    vnx_ButtonActivity_Output_s buttons_;
    LastOutput last_;
};

} // namespace vnx::testsupport
