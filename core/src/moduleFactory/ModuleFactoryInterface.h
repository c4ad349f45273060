#pragma once

#include <stdint.h>

#include "common/record.h"

namespace vnx {

class ModuleInterface;

/// Creates and destroys the modules and records of one module type. There is
/// exactly one factory object per type; the registry (vnx::ModuleFactory)
/// finds it by type id. The order of the operations is part of the binary
/// interface between the libraries and must not change.
class ModuleFactoryInterface
{
  public:
    virtual ~ModuleFactoryInterface() = default;

    /// A new module in its constructed state, not initialised; null when the
    /// type has no module class (or it could not be made).
    virtual ModuleInterface* createModule() = 0;
    /// 0 for null and for a module this factory destroyed; -10 for a module it
    /// did not create (nothing is freed).
    virtual int destroyModule(ModuleInterface* module) = 0;

    /// Each creates a zero-filled record of the type's size for the kind, run
    /// through the type's initialiser; the caller owns it until it hands it
    /// back to the matching destroy operation, which frees it and returns 0.
    virtual vnx_StructConfig_s* createConfig() = 0;
    virtual int destroyConfig(vnx_StructConfig_s* record) = 0;
    virtual vnx_StructCommand_s* createCommand() = 0;
    virtual int destroyCommand(vnx_StructCommand_s* record) = 0;
    virtual vnx_StructStatus_s* createStatus() = 0;
    virtual int destroyStatus(vnx_StructStatus_s* record) = 0;
    virtual vnx_StructFormat_s* createFormat() = 0;
    virtual int destroyFormat(vnx_StructFormat_s* record) = 0;
    virtual vnx_StructOutput_s* createOutput() = 0;
    virtual int destroyOutput(vnx_StructOutput_s* record) = 0;

    /// The type's own record check (type, kind, version and size).
    virtual bool isStructValid(vnx_Struct_s* record) = 0;

    /// The type's name, the same text as its type-id name.
    virtual const char* getName() const = 0;
    virtual uint8_t getType() const = 0;

    /// Adds this factory to the registry, or takes it out; the registry's answer.
    virtual int factoryRegister() = 0;
    virtual int factoryUnregister() = 0;
};

} // namespace vnx
