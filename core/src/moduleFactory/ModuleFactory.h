#pragma once

// The process-wide registry of module factories, keyed by type id. Users of a
// module type (bundles, the device layer, clients) never construct modules or
// records themselves: they ask here by type id, so one library creates modules
// of another without linking to their classes.
//
// Lookups take the first entry (in the registry's order) whose type id
// matches. Registration does not look for an entry of the same id, and
// unregistration removes by type id, not by factory.
//
// Not synchronised: the engine is driven from one thread.

#include <stdint.h>

#include "common/record.h"

namespace vnx {

class ModuleFactoryInterface;
class ModuleInterface;

class ModuleFactory
{
  public:
    ModuleFactory() = delete;

    /// A new module of the type; null when no factory is registered for it
    /// (logs "Module not available: %3d (%s)" at WARN) or the type has no
    /// module.
    static ModuleInterface* createModule(uint8_t type);
    /// As above; a created module is added to the node tree as a module node
    /// under the node of `parent`, named after its type.
    static ModuleInterface* createModule(void* parent, uint8_t type);
    /// 0 for null. Removes the module's node, then hands the module to the
    /// factory of its type: -2 when there is none any more, else the
    /// factory's answer (-10 when its pool did not create the module).
    static int destroyModule(ModuleInterface* module);

    /// The registered name of the type, "Undefined" when none is registered.
    static const char* typeIdToString(uint8_t type);

    /// A new record of the type and kind; null when no factory is registered.
    static vnx_StructConfig_s* createConfig(uint8_t type);
    static vnx_StructCommand_s* createCommand(uint8_t type);
    static vnx_StructStatus_s* createStatus(uint8_t type);
    static vnx_StructFormat_s* createFormat(uint8_t type);
    static vnx_StructOutput_s* createOutput(uint8_t type);

    /// Hands the record to the factory of its type byte: -2 when there is none
    /// (the record stays allocated), else 0. Null is 0: nothing to free.
    static int destroyConfig(vnx_StructConfig_s* record);
    static int destroyCommand(vnx_StructCommand_s* record);
    static int destroyStatus(vnx_StructStatus_s* record);
    static int destroyFormat(vnx_StructFormat_s* record);
    static int destroyOutput(vnx_StructOutput_s* record);
    /// Dispatches on the kind byte; a kind outside 1 to 5 gives -2 and frees
    /// nothing. Null is 0.
    static int destroyStruct(vnx_Struct_s* record);

    /// Adds an entry for the factory's type id: 0; null or no room: -2.
    static int registerModule(ModuleFactoryInterface* factory);
    /// Frees the first entry of the factory's type id: 1 whether or not there
    /// was one; null: -2.
    static int unregisterModule(ModuleFactoryInterface* factory);
};

} // namespace vnx
