#pragma once

#include <stdint.h>

namespace vnx {

class DomainInterface;

/// Creates and destroys the domains of one domain type. There is one static
/// instance per type; `factoryRegister` enters it in the domain factory
/// registry. The order of the operations is part of the binary interface.
class DomainFactoryInterface
{
  public:
    virtual ~DomainFactoryInterface() = default;
    /// A new domain; null when none can be made.
    virtual DomainInterface* createDomain() = 0;
    /// 0 for null; otherwise deletes the domain and answers 0.
    virtual int destroyDomain(DomainInterface* domain) = 0;
    virtual const char* getName() const = 0;
    virtual uint8_t getType() const = 0;
    virtual int factoryRegister() = 0;
    virtual int factoryUnregister() = 0;
};

} // namespace vnx
