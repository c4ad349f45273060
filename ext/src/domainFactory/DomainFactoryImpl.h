#pragma once

// The registry behind vnx::DomainFactory: domain type id to factory (not
// owned). It appears in the node tree as subnode sys.DomainFactory with its
// logger below it.

#include <cstdint>
#include <map>

#include "log/DefaultLogger.h"

namespace vnx {

class DomainFactoryInterface;

namespace domain {

class FactoryImpl
{
    VNX_EXT_LOG_DEFAULT(DomainFactory);

  public:
    /// The process-wide registry, built on first use.
    static FactoryImpl& getInstance();

    FactoryImpl(const FactoryImpl&) = delete;
    FactoryImpl& operator=(const FactoryImpl&) = delete;

    /// The factory of the type, or null.
    DomainFactoryInterface* find(uint8_t type) const;
    /// False when the type already has an entry (which stays).
    bool add(uint8_t type, DomainFactoryInterface* factory);
    void remove(uint8_t type);

  private:
    FactoryImpl();
    ~FactoryImpl();

    std::map<uint8_t, DomainFactoryInterface*> factories_;
};

} // namespace domain
} // namespace vnx
