#pragma once

// The host of a device's module chain as the device sees it, and the device
// as its host sees it. Every device owns one host, made and destroyed through
// vnx::ModuleManagerFactory; the device hands it its configs and commands
// (all but its own), its SCD and DCD, every input batch and a regular tick,
// and the host reports back through the device's own listener operations,
// which the device fans out to its listeners. The order of the operations is
// part of the binary interface.

#include <stddef.h>
#include <stdint.h>

#include "calibration/dcdData.h"
#include "calibration/scdData.h"
#include "common/record.h"
#include "deviceDomain/DeviceInterface.h"
#include "moduleFactory/moduleConfigInterface.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {

class ModuleInterface;

/// The device as its host sees it: its operations (name, GUID, open and
/// close) and its own listener operations.
class ModuleManagerListenerInterface : public DeviceInterface, public DeviceListenerInterface
{
};

class ModuleManagerInterface : public ModuleConfigInterface, public ModuleListenerInterface
{
  public:
    /// The device the host reports to (not owned).
    virtual void setDevice(ModuleManagerListenerInterface* device) = 0;
    /// Keeps a copy of the device's SCD.
    virtual void setScd(const vnx_scdData_s* scd) = 0;
    /// Saves the learned DCD and ends the hosted module; the device's close.
    virtual int term() = 0;
    virtual int saveDcd() = 0;
    virtual int clearDcd() = 0;
    /// A DCD the client keeps itself (external mode).
    virtual int setDcd(const vnx_dcdData_s* dcd) = 0;
    virtual int setDcdIsExternal(bool external) = 0;
    /// One input batch (one sample's records).
    virtual int process(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats) = 0;
    /// Runs the hosted module on the buffered samples.
    virtual int process() = 0;
    /// The hosted module, or null.
    virtual ModuleInterface* getModule() = 0;
    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override = 0;
    /// Writes one output line to the output capture log.
    virtual void logMotionOutput(size_t n, const vnx_StructOutput_s** outputs,
                                 const vnx_StructFormat_s** formats, int result) = 0;
};

/// Makes and destroys module hosts.
class ModuleManagerFactory
{
  public:
    ModuleManagerFactory() = delete;
    static ModuleManagerInterface* create();
    /// Null: nothing. 0.
    static int destroy(ModuleManagerInterface* manager);
};

} // namespace vnx
