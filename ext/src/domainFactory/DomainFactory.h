#pragma once

// Domains by type id: each domain type has one static factory that registers
// itself here when the ext library starts, and clients ask here for a domain
// of a type. Not synchronised: the engine is driven from one thread.

#include <stdint.h>

namespace vnx {

class DomainFactoryInterface;
class DomainInterface;

class DomainFactory
{
  public:
    DomainFactory() = delete;

    /// A new domain of the type, added to the node tree as a domain node
    /// under the root, named after its factory; null when no factory is
    /// registered for the type (logs "Domain not available %3d (%s)" at WARN)
    /// or the factory made none.
    static DomainInterface* createDomain(uint8_t type);
    /// 0 for null. Removes the domain's node, then hands the domain to the
    /// factory of its type: -2 when there is none (the domain stays alive),
    /// else the factory's answer.
    static int destroyDomain(DomainInterface* domain);

    /// Enters the factory under its type id unless the type already has one
    /// (the first stays): 0; null changes nothing. -21 when no entry can be
    /// made.
    static int registerDomain(DomainFactoryInterface* factory);
    /// Removes the entry of the factory's type id, whichever factory it
    /// holds: 0; null changes nothing.
    static int unregisterDomain(DomainFactoryInterface* factory);
};

} // namespace vnx
