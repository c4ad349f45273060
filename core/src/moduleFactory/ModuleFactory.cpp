#include "moduleFactory/ModuleFactory.h"

#include "common/coreLock.h"

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "log/Logger.h"
#include "moduleFactory/FactoryImpl.h"
#include "moduleFactory/ModuleFactoryInterface.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

namespace {

constexpr const char* kLoggerName = "ModuleFactory";
constexpr const char* kUndefinedName = "Undefined";

/// The front end's own logger: log node "ModuleFactory" under "sys".
class ModuleFactoryLogger : public log::Logger
{
  public:
    ModuleFactoryLogger() : log::Logger("vnx_core_ModuleFactory", kLoggerName, log::WARN, log::TYPE_CONSOLE)
    {
        // The node manager must be complete before this logger is, so that it
        // is destroyed after it at exit: the destructor removes the node.
        NodeManager::getInstance();
        place();
    }
    ~ModuleFactoryLogger() override
    {
        NodeManager::getInstance().removeNode(static_cast<const void*>(self()));
    }

    /// Adds the node unless the logger already has one in the ROOT tree.
    void place()
    {
        NodeManager& nodes = NodeManager::getInstance();
        const NodeInterface* sys = nodes.getNode("sys");
        if (sys != nullptr) {
            nodes.addNode(**sys, self(), NodeInterface::NODE_LOG, kLoggerName);
        }
    }

  private:
    const log::Logger* self() const { return this; }
};

ModuleFactoryLogger& frontLogger()
{
    static ModuleFactoryLogger logger;
    return logger;
}

ModuleFactoryInterface* factoryOf(uint8_t type)
{
    return FactoryImpl::getInstance().findFactory(type);
}

// The node of a module stands for its configuration interface.
const void* nodeObject(ModuleInterface* module)
{
    return static_cast<ModuleConfigInterface*>(module);
}

template <class Record, class Destroy> int destroyRecord(Record* record, Destroy destroy)
{
    if (record == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    ModuleFactoryInterface* factory = factoryOf(record->header.type);
    if (factory == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    (factory->*destroy)(record);
    return VNX_STATUS_SUCCESS;
}

template <class Record, class Create> Record* createRecord(uint8_t type, Create create)
{
    ModuleFactoryInterface* factory = factoryOf(type);
    return factory != nullptr ? (factory->*create)() : nullptr;
}

} // namespace

ModuleInterface* ModuleFactory::createModule(uint8_t type)
{
    CoreLock lock;
    ModuleFactoryInterface* factory = factoryOf(type);
    if (factory == nullptr) {
        VNX_LOGF(frontLogger(), log::WARN, "Module not available: %3d (%s)", type, vnx_typeToString(type));
        return nullptr;
    }
    return factory->createModule();
}

ModuleInterface* ModuleFactory::createModule(void* parent, uint8_t type)
{
    CoreLock lock;
    ModuleInterface* module = createModule(type);
    if (module == nullptr) {
        return nullptr;
    }
    try {
        NodeManager::getInstance().addNode(parent, nodeObject(module), NodeInterface::NODE_MODULE,
                                           typeIdToString(type));
    } catch (...) {
        // A module that cannot be named is not handed out half-placed.
        destroyModule(module);
        return nullptr;
    }
    return module;
}

int ModuleFactory::destroyModule(ModuleInterface* module)
{
    CoreLock lock;
    if (module == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    NodeManager::getInstance().removeNode(nodeObject(module));
    ModuleFactoryInterface* factory = factoryOf(module->getType());
    if (factory == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return factory->destroyModule(module);
}

const char* ModuleFactory::typeIdToString(uint8_t type)
{
    CoreLock lock;
    const FactoryImplStruct* entry = FactoryImpl::getInstance().find(type);
    return entry != nullptr ? entry->name : kUndefinedName;
}

vnx_StructConfig_s* ModuleFactory::createConfig(uint8_t type)
{
    CoreLock lock;
    return createRecord<vnx_StructConfig_s>(type, &ModuleFactoryInterface::createConfig);
}

vnx_StructCommand_s* ModuleFactory::createCommand(uint8_t type)
{
    CoreLock lock;
    return createRecord<vnx_StructCommand_s>(type, &ModuleFactoryInterface::createCommand);
}

vnx_StructStatus_s* ModuleFactory::createStatus(uint8_t type)
{
    CoreLock lock;
    return createRecord<vnx_StructStatus_s>(type, &ModuleFactoryInterface::createStatus);
}

vnx_StructFormat_s* ModuleFactory::createFormat(uint8_t type)
{
    CoreLock lock;
    return createRecord<vnx_StructFormat_s>(type, &ModuleFactoryInterface::createFormat);
}

vnx_StructOutput_s* ModuleFactory::createOutput(uint8_t type)
{
    CoreLock lock;
    return createRecord<vnx_StructOutput_s>(type, &ModuleFactoryInterface::createOutput);
}

int ModuleFactory::destroyConfig(vnx_StructConfig_s* record)
{
    CoreLock lock;
    return destroyRecord(record, &ModuleFactoryInterface::destroyConfig);
}

int ModuleFactory::destroyCommand(vnx_StructCommand_s* record)
{
    CoreLock lock;
    return destroyRecord(record, &ModuleFactoryInterface::destroyCommand);
}

int ModuleFactory::destroyStatus(vnx_StructStatus_s* record)
{
    CoreLock lock;
    return destroyRecord(record, &ModuleFactoryInterface::destroyStatus);
}

int ModuleFactory::destroyFormat(vnx_StructFormat_s* record)
{
    CoreLock lock;
    return destroyRecord(record, &ModuleFactoryInterface::destroyFormat);
}

int ModuleFactory::destroyOutput(vnx_StructOutput_s* record)
{
    CoreLock lock;
    return destroyRecord(record, &ModuleFactoryInterface::destroyOutput);
}

int ModuleFactory::destroyStruct(vnx_Struct_s* record)
{
    CoreLock lock;
    if (record == nullptr) {
        return VNX_STATUS_SUCCESS;
    }
    switch (record->kind) {
    case VNX_KIND_CONFIG:
        return destroyConfig(reinterpret_cast<vnx_StructConfig_s*>(record));
    case VNX_KIND_COMMAND:
        return destroyCommand(reinterpret_cast<vnx_StructCommand_s*>(record));
    case VNX_KIND_STATUS:
        return destroyStatus(reinterpret_cast<vnx_StructStatus_s*>(record));
    case VNX_KIND_FORMAT:
        return destroyFormat(reinterpret_cast<vnx_StructFormat_s*>(record));
    case VNX_KIND_OUTPUT:
        return destroyOutput(reinterpret_cast<vnx_StructOutput_s*>(record));
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

int ModuleFactory::registerModule(ModuleFactoryInterface* factory)
{
    CoreLock lock;
    if (factory == nullptr) {
        VNX_LOGF(frontLogger(), log::WARN, "Attempted to register NULL factory");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    // Registration happens at every library start: the node tree may have
    // been reset since the registry and its logger were first placed.
    FactoryImpl& registry = FactoryImpl::getInstance();
    registry.placeInNodeTree();
    frontLogger().place();
    return registry.add(factory);
}

int ModuleFactory::unregisterModule(ModuleFactoryInterface* factory)
{
    CoreLock lock;
    if (factory == nullptr) {
        VNX_LOGF(frontLogger(), log::WARN, "Attempted to unregister NULL factory");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    FactoryImpl::getInstance().remove(factory->getType());
    return 1;
}

} // namespace vnx
