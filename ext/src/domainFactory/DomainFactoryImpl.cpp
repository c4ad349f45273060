#include "domainFactory/DomainFactoryImpl.h"

#include "common/NodeManager.h"

namespace vnx::domain {

FactoryImpl& FactoryImpl::getInstance()
{
    static FactoryImpl instance;
    return instance;
}

FactoryImpl::FactoryImpl()
{
    NodeManager& nodes = NodeManager::getInstance();
    if (const NodeInterface* sys = nodes.getNode("sys")) {
        nodes.addNode(**sys, this, NodeInterface::NODE_SUBNODE, "DomainFactory");
    }
}

FactoryImpl::~FactoryImpl()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

DomainFactoryInterface* FactoryImpl::find(uint8_t type) const
{
    auto entry = factories_.find(type);
    return entry != factories_.end() ? entry->second : nullptr;
}

bool FactoryImpl::add(uint8_t type, DomainFactoryInterface* factory)
{
    return factories_.emplace(type, factory).second;
}

void FactoryImpl::remove(uint8_t type)
{
    factories_.erase(type);
}

} // namespace vnx::domain
