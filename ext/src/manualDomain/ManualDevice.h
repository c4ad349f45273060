#pragma once

// A device whose samples the client pushes itself (type 117). Its Config
// carries its 8-byte identity, its SCD and optionally a DCD the client keeps;
// each input batch runs the button record through the device's own
// ButtonActivity module before the host sees it, so the hosted chain gets
// button activity, not raw button masks.

#include <cstddef>
#include <cstdint>

#include "buttonActivity/ButtonActivityRecords.h"
#include "deviceTemplates/DeviceTemplate.h"
#include "extCommon/extModuleType.h"
#include "manualRecords/ManualDeviceRecords.h"

namespace vnx {

class ManualCoordinator;
class ModuleInterface;

class ManualDevice : public DeviceTemplate<ManualCoordinator, ManualDevice, VNX_TYPE_MANUAL_DEVICE>
{
  public:
    explicit ManualDevice(ManualCoordinator* coordinator);
    ~ManualDevice() override;

    /// The device's own Config (type 117) is copied whole; others go to the
    /// host.
    int getConfig(vnx_StructConfig_s* config) const override;
    /// The device's own Config: stored, its SCD handed to the host and, when
    /// the DCD is external, its DCD too (the host's answer). Others go to the
    /// host.
    int setConfig(const vnx_StructConfig_s* config) override;
    /// Own commands: 0 nothing, 1 the domain removes and deletes the device
    /// (nothing of it may be used afterwards), others -2. Others go to the
    /// host.
    int sendCommand(const vnx_StructCommand_s* command) override;
    /// 117, 116 and the 8 id bytes.
    int getGuid(vnx_DomainGuid_s* guid) const override;
    /// "ManualDevice-01-02-03-04-05-06-07-08" cut to `size` bytes.
    int getName(int size, char* buffer) const override;
    /// -968 while closed. The first ButtonActivity record is replaced, for the
    /// time of the call, by the device's own ButtonActivity module's result.
    int sendInput(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats) override;

  private:
    vnx_ManualDevice_Config_s config_;
    ModuleInterface* buttonActivity_ = nullptr;
    /// The button activity handed to the host in place of the client's.
    vnx_ButtonActivity_Output_s buttons_;
};

} // namespace vnx
