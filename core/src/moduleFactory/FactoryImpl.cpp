#include "moduleFactory/FactoryImpl.h"

#include <new>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "log/Logger.h"
#include "moduleFactory/ModuleFactoryInterface.h"

namespace vnx {

namespace {

constexpr const char* kNodeName = "ModuleFactory";

} // namespace

FactoryImpl& FactoryImpl::getInstance()
{
    static FactoryImpl instance;
    return instance;
}

FactoryImpl::FactoryImpl()
{
    placeInNodeTree();
}

FactoryImpl::~FactoryImpl()
{
    while (entries_.begin() != entries_.end()) {
        entries_.destroy(*entries_.begin());
    }
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

void FactoryImpl::placeInNodeTree()
{
    NodeManager& nodes = NodeManager::getInstance();
    const NodeInterface* sys = nodes.getNode("sys");
    if (sys == nullptr) {
        return;
    }
    // Both calls leave a node that is already in the ROOT tree alone.
    nodes.addNode(**sys, this, NodeInterface::NODE_SUBNODE, kNodeName);
    log::placeLoggerUnder(&*dftLog_, this);
}

const FactoryImplStruct* FactoryImpl::find(uint8_t type) const
{
    for (const FactoryImplStruct* entry : entries_) {
        if (entry->type == type) {
            return entry;
        }
    }
    return nullptr;
}

ModuleFactoryInterface* FactoryImpl::findFactory(uint8_t type) const
{
    const FactoryImplStruct* entry = find(type);
    return entry != nullptr ? entry->factory : nullptr;
}

int FactoryImpl::add(ModuleFactoryInterface* factory)
{
    FactoryImplStruct* entry = nullptr;
    try {
        entry = entries_.create();
    } catch (const std::bad_alloc&) {
        entry = nullptr;
    }
    if (entry == nullptr) {
        VNX_LOGF(dftLog_, log::ERROR, "Not enough space.   Check VNX_NUM_STATIC_INSTANCES_MODULE_FACTORY.");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    entry->type = factory->getType();
    entry->factory = factory;
    entry->name = factory->getName();
    return VNX_STATUS_SUCCESS;
}

void FactoryImpl::remove(uint8_t type)
{
    entries_.destroy(const_cast<FactoryImplStruct*>(find(type)));
}

} // namespace vnx
