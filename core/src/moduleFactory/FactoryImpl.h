#pragma once

// The registry behind vnx::ModuleFactory: the list of registered factories,
// kept as pool entries in address order. It appears in the node tree as
// subnode sys.ModuleFactory with its logger below it.

#include <cstdint>

#include "log/DefaultLogger.h"
#include "moduleFactory/StaticMemoryManager.h"

namespace vnx {

class ModuleFactoryInterface;

/// One registration: neither the factory nor its name is owned.
struct FactoryImplStruct
{
    uint8_t type = 0;
    ModuleFactoryInterface* factory = nullptr;
    const char* name = nullptr;
};

class FactoryImpl
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_ModuleFactory");

  public:
    /// The process-wide registry, built on first use.
    static FactoryImpl& getInstance();

    FactoryImpl(const FactoryImpl&) = delete;
    FactoryImpl& operator=(const FactoryImpl&) = delete;

    /// The first entry of the type id, or null.
    const FactoryImplStruct* find(uint8_t type) const;
    ModuleFactoryInterface* findFactory(uint8_t type) const;

    /// A new entry for the factory (not null): 0; -2 when no entry can be made.
    int add(ModuleFactoryInterface* factory);
    /// Frees the first entry of the type id, if any.
    void remove(uint8_t type);

    /// Puts the registry's node (and its logger's) under "sys" unless it is
    /// already in the tree: again after the node tree was reset.
    void placeInNodeTree();

  private:
    FactoryImpl();
    /// Frees the entries left: they are the registry's own bookkeeping.
    ~FactoryImpl();

    StaticMemoryManager<FactoryImplStruct> entries_;
};

} // namespace vnx
