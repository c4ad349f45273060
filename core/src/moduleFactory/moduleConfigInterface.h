#pragma once

#include <stdint.h>

#include "common/record.h"

namespace vnx {

class ModuleListenerInterface;

/// What every module offers for configuration: its listener, its Config record,
/// commands and its type id. The order of the operations is part of the binary
/// interface between the libraries and must not change.
class ModuleConfigInterface
{
  public:
    virtual ~ModuleConfigInterface() = default;

    /// At most one listener, not owned; null clears it.
    virtual int setModuleListener(ModuleListenerInterface* listener) = 0;
    /// Fills a caller-owned Config record initialised with this module's initialiser.
    virtual int getConfig(vnx_StructConfig_s* config) const = 0;
    /// A Config of another module's type is answered -3 (NOT_FOR_ME).
    virtual int setConfig(const vnx_StructConfig_s* config) = 0;
    /// A Command of another module's type is answered -3 (NOT_FOR_ME).
    virtual int sendCommand(const vnx_StructCommand_s* command) = 0;
    virtual uint8_t getType() const = 0;
};

} // namespace vnx
