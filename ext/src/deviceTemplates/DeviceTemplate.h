#pragma once

// What every device does alike: its node in the node tree (named after its
// type and a per-type counter), its module host, its open flag and the
// fan-out of its events to its device listeners. Records of the device's own
// type are its own; every other Config or Command goes to its host.
// `Coordinator` is the domain class, `DeviceT` the concrete device class,
// `Type` the device type id.
//
// A device may be removed from inside one of its own calls (a listener sends
// the remove command while the host reports an output): `release()` then
// defers the deletion until the outermost running call of the device has
// returned, so the host is never destroyed under its own feet.

#include <cstdint>
#include <cstdio>

#include "common/NodeManager.h"
#include "common/record.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "deviceDomain/DeviceRecords.h"
#include "deviceDomain/DomainInterface.h"
#include "deviceDomain/ModuleManagerInterface.h"
#include "deviceTemplates/FanOutList.h"

namespace vnx {

template <class Coordinator, class DeviceT, uint8_t Type>
class DeviceTemplate : public ModuleManagerListenerInterface
{
  public:
    /// `config` is the concrete device's own config record.
    DeviceTemplate(Coordinator* coordinator, vnx_StructConfig_s* config)
        : coordinator_(coordinator), config_(config)
    {
        char name[256];
        std::snprintf(name, sizeof name, "%s%u", vnx_typeToString(Type), counter_++);
        NodeManager& nodes = NodeManager::getInstance();
        nodes.addNode(nodeObject(coordinator), nodeObject(this), NodeInterface::NODE_DEVICE, name);
        host_ = ModuleManagerFactory::create();
        if (host_ != nullptr) {
            host_->setDevice(this);
            nodes.addNode(nodeObject(this), static_cast<const void*>(host_), NodeInterface::NODE_SUBNODE,
                          "ModuleManager");
        }
    }

    ~DeviceTemplate() override
    {
        NodeManager& nodes = NodeManager::getInstance();
        if (host_ != nullptr) {
            nodes.removeNode(static_cast<const void*>(host_));
            ModuleManagerFactory::destroy(host_);
        }
        nodes.removeNode(nodeObject(this));
    }

    DeviceTemplate(const DeviceTemplate&) = delete;
    DeviceTemplate& operator=(const DeviceTemplate&) = delete;

    int setModuleListener(ModuleListenerInterface*) override { return VNX_STATUS_SUCCESS; }

    int getConfig(vnx_StructConfig_s* config) const override
    {
        if (isOwn(config, VNX_KIND_CONFIG)) {
            if (config_ == nullptr) {
                return VNX_STATUS_SUCCESS;
            }
            return vnx_Struct_copy(&config_->header, &config->header) != 0 ? VNX_STATUS_SUCCESS
                                                                           : VNX_STATUS_INVALID_PARAMETER;
        }
        return onHost([&](ModuleManagerInterface& host) { return host.getConfig(config); });
    }

    int setConfig(const vnx_StructConfig_s* config) override
    {
        if (isOwn(config, VNX_KIND_CONFIG)) {
            if (config_ == nullptr) {
                return VNX_STATUS_SUCCESS;
            }
            return vnx_Struct_copy(&config->header, &config_->header) != 0 ? VNX_STATUS_SUCCESS
                                                                           : VNX_STATUS_INVALID_PARAMETER;
        }
        return onHost([&](ModuleManagerInterface& host) { return host.setConfig(config); });
    }

    int sendCommand(const vnx_StructCommand_s* command) override
    {
        if (isOwn(command, VNX_KIND_COMMAND)) {
            return VNX_STATUS_SUCCESS;
        }
        return onHost([&](ModuleManagerInterface& host) { return host.sendCommand(command); });
    }

    uint8_t getType() const override { return Type; }
    DomainInterface* getDomain() const override { return coordinator_; }

    /// Each listener once; -2 for null.
    int registerDeviceListener(DeviceListenerInterface* listener) override
    {
        if (listener == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        listeners_.insert(listener);
        return VNX_STATUS_SUCCESS;
    }

    int unregisterDeviceListener(DeviceListenerInterface* listener) override
    {
        listeners_.erase(listener);
        return VNX_STATUS_SUCCESS;
    }

    bool isOpen() const override { return open_; }

    int open() override
    {
        open_ = true;
        return VNX_STATUS_SUCCESS;
    }

    /// Ends the host's module and saves its DCD, when open.
    int close() override
    {
        if (!open_) {
            return VNX_STATUS_SUCCESS;
        }
        open_ = false;
        return onHost([&](ModuleManagerInterface& host) { return host.term(); });
    }

    /// The host's tick without new input.
    int process() override
    {
        return onHost([&](ModuleManagerInterface& host) { return host.process(); });
    }

    /// Devices that take input override it.
    int sendInput(size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**) override
    {
        return VNX_STATUS_INVALID_INTERFACE;
    }

    void moduleReady(DeviceInterface* device) override
    {
        listeners_.forEach([&](DeviceListenerInterface* listener) { listener->moduleReady(device); });
    }

    void motionInput(DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                     const vnx_StructFormat_s** formats) override
    {
        listeners_.forEach(
            [&](DeviceListenerInterface* listener) { listener->motionInput(this, n, outputs, formats); });
    }

    void motionOutput(DeviceInterface*, size_t n, const vnx_StructOutput_s** outputs,
                      const vnx_StructFormat_s** formats, int value) override
    {
        listeners_.forEach([&](DeviceListenerInterface* listener) {
            listener->motionOutput(this, n, outputs, formats, value);
        });
    }

    void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
    {
        listeners_.forEach(
            [&](DeviceListenerInterface* listener) { listener->statusCallback(source, status); });
    }

    /// Tells every listener the device's new sampling period (Device status
    /// kind 4).
    virtual void updateSamplingPeriod(float period)
    {
        vnx_Device_Status_s status;
        vnx_Device_initStatus(&status);
        status.statusKind = VNX_DEVICE_STATUS_PERIOD_CHANGED;
        status.payload.count = 0;
        status.payload.period = period;
        statusCallback(this, reinterpret_cast<const vnx_StructStatus_s*>(&status));
    }

    /// Deletes the device now, or when its outermost running call returns.
    void release()
    {
        if (calls_ > 0) {
            releasePending_ = true;
        } else {
            delete this;
        }
    }

  protected:
    Coordinator* coordinator() const { return coordinator_; }

    /// Runs `call` on the host as a call of the device; -14 (NOT_ACTIVE)
    /// when the device has no host.
    template <class Call> int onHost(Call&& call) const
    {
        if (host_ == nullptr) {
            return VNX_STATUS_NOT_ACTIVE;
        }
        return guarded([&] { return call(*host_); });
    }

    /// Runs `call` as a call of the device (see `release`); its result.
    template <class Call> int guarded(Call&& call) const
    {
        auto* self = const_cast<DeviceTemplate*>(this);
        ++self->calls_;
        const int result = call();
        if (--self->calls_ == 0 && self->releasePending_) {
            delete self;
        }
        return result;
    }

    /// Whether `record` is of the device's own type and of `kind`.
    template <class Record> static bool isOwn(const Record* record, uint8_t kind)
    {
        return record != nullptr && record->header.type == Type && record->header.kind == kind;
    }

  private:
    // The node of a domain or device stands for its configuration interface.
    static const void* nodeObject(DomainInterface* domain)
    {
        return static_cast<const void*>(static_cast<ModuleConfigInterface*>(domain));
    }
    static const void* nodeObject(DeviceInterface* device)
    {
        return static_cast<const void*>(static_cast<ModuleConfigInterface*>(device));
    }

    ModuleManagerInterface* host_ = nullptr;
    Coordinator* coordinator_;
    vnx_StructConfig_s* config_;
    bool open_ = false;
    FanOutList<DeviceListenerInterface*, true> listeners_;
    int calls_ = 0;
    bool releasePending_ = false;
    static inline uint32_t counter_ = 0;
};

} // namespace vnx
