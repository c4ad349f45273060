#pragma once

// A domain and a domain factory that only count what is asked of them, for
// tests of the domain registry.

#include <string>

#include "common/statusCode.h"
#include "deviceDomain/DomainFactoryInterface.h"
#include "deviceDomain/DomainInterface.h"

namespace vnx::testsupport {

class FakeDomain : public DomainInterface
{
  public:
    explicit FakeDomain(uint8_t type, int* liveCount) : type_(type), liveCount_(liveCount) { ++*liveCount_; }
    ~FakeDomain() override { --*liveCount_; }

    int setModuleListener(ModuleListenerInterface*) override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    int getConfig(vnx_StructConfig_s*) const override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    int setConfig(const vnx_StructConfig_s*) override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    int sendCommand(const vnx_StructCommand_s*) override { return VNX_STATUS_FEATURE_NOT_IMPLEMENTED; }
    uint8_t getType() const override { return type_; }
    int registerDomainListener(DomainListenerInterface*) override { return 0; }
    int unregisterDomainListener(DomainListenerInterface*) override { return 0; }
    int process() override { return 0; }
    DeviceInterface* createDevice(const vnx_StructConfig_s*) override { return nullptr; }
    void closeDomain() override {}

  private:
    uint8_t type_;
    int* liveCount_;
};

class FakeDomainFactory : public DomainFactoryInterface
{
  public:
    FakeDomainFactory(uint8_t type, const char* name) : type_(type), name_(name) {}

    DomainInterface* createDomain() override
    {
        ++created;
        return failCreation ? nullptr : new FakeDomain(type_, &live);
    }
    int destroyDomain(DomainInterface* domain) override
    {
        ++destroyed;
        delete domain;
        return 0;
    }
    const char* getName() const override { return name_.c_str(); }
    uint8_t getType() const override { return type_; }
    int factoryRegister() override { return 0; }
    int factoryUnregister() override { return 0; }

    int created = 0;
    int destroyed = 0;
    int live = 0; ///< domains of this factory alive now
    bool failCreation = false;

  private:
    uint8_t type_;
    std::string name_;
};

} // namespace vnx::testsupport
