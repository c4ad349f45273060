#pragma once

// The factory of one domain type: it makes `Coordinator` domains, deletes
// them and enters itself in the domain registry. Each domain type has one
// static instance.

#include <cstdint>
#include <new>

#include "common/statusCode.h"
#include "deviceDomain/DomainFactoryInterface.h"
#include "deviceDomain/DomainInterface.h"
#include "domainFactory/DomainFactory.h"

namespace vnx {

template <class Coordinator, uint8_t Type> class DomainFactoryFor : public DomainFactoryInterface
{
  public:
    /// `name` names the domains' nodes; it must outlive the factory.
    explicit DomainFactoryFor(const char* name) : name_(name) {}

    DomainInterface* createDomain() override { return new (std::nothrow) Coordinator(); }
    int destroyDomain(DomainInterface* domain) override
    {
        delete domain;
        return VNX_STATUS_SUCCESS;
    }
    const char* getName() const override { return name_; }
    uint8_t getType() const override { return Type; }
    int factoryRegister() override { return DomainFactory::registerDomain(this); }
    int factoryUnregister() override { return DomainFactory::unregisterDomain(this); }

  private:
    const char* name_;
};

} // namespace vnx
