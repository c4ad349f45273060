#pragma once

// What every domain does alike: it keeps its listeners, its devices (oldest
// first) and the file handles it wants watched, tells listeners of every
// change with a Domain Status, drives its devices' timers from `process` and
// deletes its devices when it closes. `Coordinator` is the concrete domain
// class, `DeviceT` its device class (a DeviceInterface with `release()`:
// delete now, or once the device's running call has returned), `Type` the
// domain type id.
//
// Listener calls may register or unregister listeners and remove devices,
// the calling one included: every walk skips what was removed during it.

#include <cstdint>
#include <vector>

#include "common/statusCode.h"
#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/DomainInterface.h"
#include "deviceDomain/DomainRecords.h"
#include "deviceDomain/FileHandleListenerInterface.h"
#include "deviceTemplates/FanOutList.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

template <class Coordinator, class DeviceT, uint8_t Type>
class CoordinatorTemplate : public DomainInterface, public FileHandleListenerInterface
{
  public:
    CoordinatorTemplate() = default;
    CoordinatorTemplate(const CoordinatorTemplate&) = delete;
    CoordinatorTemplate& operator=(const CoordinatorTemplate&) = delete;
    ~CoordinatorTemplate() override { closeDevices(); }

    uint8_t getType() const override { return Type; }
    /// Domains report through their domain listeners only.
    int setModuleListener(ModuleListenerInterface*) override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }

    /// Adds the listener (once), then replays the domain's devices and file
    /// handles to it alone. -2 for null.
    int registerDomainListener(DomainListenerInterface* listener) override
    {
        if (listener == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        listeners_.insert(listener);
        // The replay stops when the listener leaves during it.
        devices_.forEach([&](DeviceT* device) {
            if (listeners_.contains(listener)) {
                listener->deviceAdded(device);
                tellIfListening(*listener, deviceStatus(VNX_DOMAIN_STATUS_DEVICE_ADDED, device));
            }
        });
        fileHandles_.forEach([&](const FileHandle& handle) {
            if (listeners_.contains(listener)) {
                listener->fileHandleAdded(this, handle.fd, static_cast<short>(handle.events));
                tellIfListening(*listener, fileHandleStatus(VNX_DOMAIN_STATUS_FILE_HANDLE_ADDED, handle.fd));
            }
        });
        return VNX_STATUS_SUCCESS;
    }

    /// Tells the listener alone that every device and file handle goes
    /// away, then removes it. -2 for null.
    int unregisterDomainListener(DomainListenerInterface* listener) override
    {
        if (listener == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        devices_.forEach([&](DeviceT* device) {
            listener->deviceRemoved(device);
            tell(*listener, deviceStatus(VNX_DOMAIN_STATUS_DEVICE_REMOVED, device));
        });
        fileHandles_.forEach([&](const FileHandle& handle) {
            listener->fileHandleRemoved(this, handle.fd);
            tell(*listener, fileHandleStatus(VNX_DOMAIN_STATUS_FILE_HANDLE_REMOVED, handle.fd));
        });
        listeners_.erase(listener);
        return VNX_STATUS_SUCCESS;
    }

    /// Runs every device's `process`, oldest first; the devices that answer
    /// DEVICE_REMOVED are removed after the walk, the last one first.
    int process() override
    {
        // The list of this pass borrows the member's storage, so that a pass
        // allocates nothing once it has grown, and a nested pass (client code
        // run by a removal) gets storage of its own.
        std::vector<DeviceT*> noted;
        noted.swap(removals_);
        noted.clear();
        devices_.forEach([&](DeviceT* device) {
            if (device->process() == VNX_STATUS_DEVICE_REMOVED) {
                noted.push_back(device);
            }
        });
        for (auto it = noted.rbegin(); it != noted.rend(); ++it) {
            self().deviceRemove(*it);
        }
        noted.clear();
        removals_.swap(noted);
        return VNX_STATUS_SUCCESS;
    }

    /// Closes and deletes every device, telling listeners `deviceRemoved`
    /// (no status).
    void closeDomain() override { closeDevices(); }

    /// Appends the device and tells every listener.
    virtual int deviceAdd(DeviceT* device)
    {
        devices_.add(device);
        listeners_.forEach([&](DomainListenerInterface* listener) {
            listener->deviceAdded(device);
            tellIfListening(*listener, deviceStatus(VNX_DOMAIN_STATUS_DEVICE_ADDED, device));
        });
        return VNX_STATUS_SUCCESS;
    }

    /// Closes the device, unlinks it and tells every listener; the device
    /// stays alive. -970 when the domain does not list it.
    virtual int deviceRemove(DeviceT* device)
    {
        if (device == nullptr || !devices_.contains(device)) {
            return VNX_STATUS_DEVICE_NOT_FOUND;
        }
        device->close();
        devices_.erase(device);
        listeners_.forEach([&](DomainListenerInterface* listener) {
            listener->deviceRemoved(device);
            tellIfListening(*listener, deviceStatus(VNX_DOMAIN_STATUS_DEVICE_REMOVED, device));
        });
        return VNX_STATUS_SUCCESS;
    }

    /// Watches `fd` (listed again when it is listed already) and tells every
    /// listener.
    bool addFileHandle(int fd, uint16_t events) override
    {
        fileHandles_.add(FileHandle{fd, events});
        listeners_.forEach([&](DomainListenerInterface* listener) {
            listener->fileHandleAdded(this, fd, static_cast<short>(events));
            tellIfListening(*listener, fileHandleStatus(VNX_DOMAIN_STATUS_FILE_HANDLE_ADDED, fd));
        });
        return true;
    }

    /// Forgets the first entry of `fd`, if any, and tells every listener in
    /// either case.
    bool removeFileHandle(int fd) override
    {
        fileHandles_.eraseFirstIf([&](const FileHandle& handle) { return handle.fd == fd; });
        listeners_.forEach([&](DomainListenerInterface* listener) {
            listener->fileHandleRemoved(this, fd);
            tellIfListening(*listener, fileHandleStatus(VNX_DOMAIN_STATUS_FILE_HANDLE_REMOVED, fd));
        });
        return true;
    }

    /// Passes a status on to every listener, with the domain as its source.
    virtual void statusCallback(ModuleConfigInterface*, const vnx_StructStatus_s* status)
    {
        listeners_.forEach(
            [&](DomainListenerInterface* listener) { listener->statusCallback(this, status); });
    }

    /// How many devices the domain lists.
    size_t deviceCount() const { return devices_.size(); }
    /// Whether the domain lists `device`.
    bool listsDevice(const DeviceT* device) const { return devices_.contains(const_cast<DeviceT*>(device)); }

  protected:
    Coordinator& self() { return static_cast<Coordinator&>(*this); }

    /// Gives a newly made device its Config: a refusal deletes the device
    /// and is the answer; otherwise the device is listed (0). `*device`, when
    /// given, gets the device, or null when it failed or a listener removed
    /// it again.
    int adoptDevice(DeviceT* made, const vnx_StructConfig_s* config, DeviceInterface** device)
    {
        if (device != nullptr) {
            *device = nullptr;
        }
        const int result = made->setConfig(config);
        if (result < 0) {
            made->release();
            return result;
        }
        deviceAdd(made);
        if (device != nullptr && listsDevice(made)) {
            *device = made;
        }
        return VNX_STATUS_SUCCESS;
    }

    /// The template's removal, then the device is deleted.
    int removeAndRelease(DeviceT* device)
    {
        const int result = CoordinatorTemplate::deviceRemove(device);
        if (result == VNX_STATUS_SUCCESS) {
            device->release();
        }
        return result;
    }

  private:
    struct FileHandle
    {
        int fd;
        uint16_t events;
    };

    void closeDevices()
    {
        for (DeviceT* device = devices_.front(nullptr); device != nullptr; device = devices_.front(nullptr)) {
            device->close();
            devices_.erase(device);
            listeners_.forEach([&](DomainListenerInterface* listener) { listener->deviceRemoved(device); });
            device->release();
        }
    }

    vnx_Domain_Status_s statusOfKind(uint32_t kind)
    {
        vnx_Domain_Status_s status;
        vnx_Domain_initStatus(&status);
        status.status.header.instanceId =
            static_cast<uint64_t>(reinterpret_cast<uintptr_t>(static_cast<DomainInterface*>(this)));
        status.status.result = 0;
        status.status.extra = 0;
        status.statusKind = kind;
        return status;
    }

    vnx_Domain_Status_s deviceStatus(uint32_t kind, DeviceT* device)
    {
        vnx_Domain_Status_s status = statusOfKind(kind);
        status.subject.device.device = device;
        status.subject.device.deviceType = device->getType();
        return status;
    }

    vnx_Domain_Status_s fileHandleStatus(uint32_t kind, int fd)
    {
        vnx_Domain_Status_s status = statusOfKind(kind);
        status.subject.fileHandle = fd;
        return status;
    }

    void tell(DomainListenerInterface& listener, const vnx_Domain_Status_s& status)
    {
        listener.statusCallback(this, reinterpret_cast<const vnx_StructStatus_s*>(&status));
    }

    // The status that follows a call, unless the listener left during it.
    void tellIfListening(DomainListenerInterface& listener, const vnx_Domain_Status_s& status)
    {
        if (listeners_.contains(&listener)) {
            tell(listener, status);
        }
    }

    FanOutList<DomainListenerInterface*, true> listeners_;
    FanOutList<DeviceT*> devices_;
    FanOutList<FileHandle> fileHandles_;
    std::vector<DeviceT*> removals_;
};

} // namespace vnx
