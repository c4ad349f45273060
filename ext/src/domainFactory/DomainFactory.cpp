#include "domainFactory/DomainFactory.h"

#include <new>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "deviceDomain/DomainFactoryInterface.h"
#include "deviceDomain/DomainInterface.h"
#include "domainFactory/DomainFactoryImpl.h"
#include "extCommon/SysLogger.h"

namespace vnx {

namespace {

/// The static operations' own logger: log node "DomainFactory" under "sys".
class MyLogger_DomainFactory : public log::SysLogger
{
  public:
    MyLogger_DomainFactory() : SysLogger("vnx_ext_DomainFactory", "DomainFactory") {}
};

MyLogger_DomainFactory& frontLogger()
{
    static MyLogger_DomainFactory logger;
    return logger;
}

// Both loggers of the registry exist from its first use on.
domain::FactoryImpl& registry()
{
    frontLogger();
    return domain::FactoryImpl::getInstance();
}

// The node of a domain stands for its configuration interface.
const void* nodeObject(DomainInterface* domain)
{
    return static_cast<ModuleConfigInterface*>(domain);
}

} // namespace

DomainInterface* DomainFactory::createDomain(uint8_t type)
{
    DomainFactoryInterface* factory = registry().find(type);
    if (factory == nullptr) {
        VNX_LOGF(frontLogger(), log::WARN, "Domain not available %3d (%s)", type, vnx_typeToString(type));
        return nullptr;
    }
    DomainInterface* domain = factory->createDomain();
    if (domain == nullptr) {
        return nullptr;
    }
    try {
        NodeManager::getInstance().addNode(nullptr, nodeObject(domain), NodeInterface::NODE_DOMAIN,
                                           factory->getName());
    } catch (...) {
        // A domain that cannot be named is not handed out half-placed.
        factory->destroyDomain(domain);
        return nullptr;
    }
    return domain;
}

int DomainFactory::destroyDomain(DomainInterface* domain)
{
    if (domain == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    NodeManager::getInstance().removeNode(nodeObject(domain));
    DomainFactoryInterface* factory = registry().find(domain->getType());
    if (factory == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return factory->destroyDomain(domain);
}

int DomainFactory::registerDomain(DomainFactoryInterface* factory)
{
    if (factory == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    try {
        registry().add(factory->getType(), factory);
    } catch (const std::bad_alloc&) {
        return VNX_STATUS_OUT_OF_MEMORY;
    }
    return VNX_STATUS_SUCCESS;
}

int DomainFactory::unregisterDomain(DomainFactoryInterface* factory)
{
    if (factory != nullptr) {
        registry().remove(factory->getType());
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
