#pragma once

// Test helper: a domain on the coordinator template whose devices are plain
// scripted devices, for tests of the coordinator and of the flat API before
// real device types exist. Type 118 (domain) and 119 (device), which no
// library registers.

#include <cstdint>
#include <cstdio>
#include <vector>

#include "common/statusCode.h"
#include "deviceDomain/DeviceInterface.h"
#include "deviceDomain/DomainFactoryInterface.h"
#include "deviceTemplates/CoordinatorTemplate.h"
#include "deviceTemplates/FanOutList.h"
#include "domainFactory/DomainFactory.h"
#include "extCommon/extStatusCode.h"

namespace vnx::testsupport {

constexpr uint8_t kTestDomainType = 118;
constexpr uint8_t kTestDeviceType = 119;

class TestCoordinator;

/// A device that reports to its listeners what a test asks for. Command
/// code 1 of its type asks its domain to remove it.
class TestDevice : public DeviceInterface
{
  public:
    TestDevice(TestCoordinator* domain, int id, int* liveCount)
        : domain_(domain), id_(id), liveCount_(liveCount)
    {
        ++*liveCount_;
    }
    ~TestDevice() override { --*liveCount_; }

    int setModuleListener(ModuleListenerInterface*) override { return 0; }
    int getConfig(vnx_StructConfig_s*) const override { return 0; }
    int setConfig(const vnx_StructConfig_s*) override { return 0; }
    int sendCommand(const vnx_StructCommand_s* command) override;
    uint8_t getType() const override { return kTestDeviceType; }
    DomainInterface* getDomain() const override;
    int registerDeviceListener(DeviceListenerInterface* listener) override
    {
        listeners_.insert(listener);
        return 0;
    }
    int unregisterDeviceListener(DeviceListenerInterface* listener) override
    {
        listeners_.erase(listener);
        return 0;
    }
    int getGuid(vnx_DomainGuid_s* guid) const override
    {
        *guid = {};
        guid->deviceType = kTestDeviceType;
        guid->id[0] = static_cast<uint8_t>(id_);
        return 0;
    }
    bool isOpen() const override { return open_; }
    int open() override
    {
        open_ = true;
        return 0;
    }
    int close() override
    {
        open_ = false;
        ++closeCount;
        return 0;
    }
    /// Reports one output batch (one record) to every listener, then answers
    /// `processAnswer`.
    int process() override
    {
        ++processCount;
        busy_ = true;
        const vnx_StructOutput_s* outputs[] = {&output_};
        const vnx_StructFormat_s* formats[] = {nullptr};
        listeners_.forEach([&](DeviceListenerInterface* listener) {
            listener->motionOutput(this, 1, outputs, formats, id_);
        });
        busy_ = false;
        const int answer = processAnswer;
        if (releasePending_) {
            delete this;
        }
        return answer;
    }
    int getName(int size, char* buffer) const override
    {
        std::snprintf(buffer, static_cast<size_t>(size), "TestDevice-%d", id_);
        return 0;
    }
    int sendInput(size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**) override
    {
        return open_ ? 0 : VNX_STATUS_DEVICE_CLOSED;
    }

    /// Deleted now, or when its running `process` has returned.
    void release()
    {
        if (busy_) {
            releasePending_ = true;
        } else {
            delete this;
        }
    }

    /// Tells every listener a status record.
    void reportStatus(const vnx_StructStatus_s* status)
    {
        listeners_.forEach(
            [&](DeviceListenerInterface* listener) { listener->statusCallback(this, status); });
    }

    int id() const { return id_; }
    int processAnswer = 0;
    int processCount = 0;
    int closeCount = 0;

  private:
    TestCoordinator* domain_;
    int id_;
    int* liveCount_;
    bool open_ = false;
    bool busy_ = false;
    bool releasePending_ = false;
    vnx_StructOutput_s output_ = {{sizeof(vnx_StructOutput_s), kTestDeviceType, VNX_KIND_OUTPUT, 1, {}, 0}};
    FanOutList<DeviceListenerInterface*, true> listeners_;
};

/// Creates a device for any Config of type 119 and deletes the devices it
/// removes.
class TestCoordinator : public CoordinatorTemplate<TestCoordinator, TestDevice, kTestDomainType>
{
  public:
    explicit TestCoordinator(int* liveDevices) : liveDevices_(liveDevices) {}

    int getConfig(vnx_StructConfig_s*) const override { return 0; }
    int setConfig(const vnx_StructConfig_s*) override { return 0; }
    int sendCommand(const vnx_StructCommand_s*) override { return VNX_STATUS_NOT_FOR_ME; }
    DeviceInterface* createDevice(const vnx_StructConfig_s* config) override
    {
        if (config == nullptr || config->header.type != kTestDeviceType) {
            return nullptr;
        }
        return addDevice();
    }
    TestDevice* addDevice()
    {
        auto* device = new TestDevice(this, nextId_++, liveDevices_);
        lastDevice = device;
        deviceAdd(device);
        return device;
    }
    int deviceRemove(TestDevice* device) override
    {
        const int result = CoordinatorTemplate::deviceRemove(device);
        if (result == 0) {
            device->release();
        }
        return result;
    }

    TestDevice* lastDevice = nullptr; ///< the device made last

  private:
    int* liveDevices_;
    int nextId_ = 1;
};

inline int TestDevice::sendCommand(const vnx_StructCommand_s* command)
{
    if (command != nullptr && command->header.type == kTestDeviceType) {
        return domain_->deviceRemove(this);
    }
    return VNX_STATUS_NOT_FOR_ME;
}

inline DomainInterface* TestDevice::getDomain() const
{
    return domain_;
}

/// Registers itself for type 118 while it lives; counts domains and devices.
class TestDomainFactory : public DomainFactoryInterface
{
  public:
    TestDomainFactory() { DomainFactory::registerDomain(this); }
    ~TestDomainFactory() override { DomainFactory::unregisterDomain(this); }

    DomainInterface* createDomain() override
    {
        ++liveDomains;
        last = new TestCoordinator(&liveDevices);
        return last;
    }
    int destroyDomain(DomainInterface* domain) override
    {
        if (domain != nullptr) {
            --liveDomains;
            delete domain;
        }
        return 0;
    }
    const char* getName() const override { return "TestDomain"; }
    uint8_t getType() const override { return kTestDomainType; }
    int factoryRegister() override { return DomainFactory::registerDomain(this); }
    int factoryUnregister() override { return DomainFactory::unregisterDomain(this); }

    int liveDomains = 0;
    int liveDevices = 0;
    TestCoordinator* last = nullptr; ///< the domain made last
};

/// A Config of the test device type.
inline vnx_StructConfig_s testDeviceConfig()
{
    vnx_StructConfig_s config = {};
    config.header.size = sizeof config;
    config.header.type = kTestDeviceType;
    config.header.kind = VNX_KIND_CONFIG;
    config.header.version = 1;
    config.extra = -1;
    return config;
}

} // namespace vnx::testsupport
