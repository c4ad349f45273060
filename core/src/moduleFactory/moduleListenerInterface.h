#pragma once

#include "common/record.h"

namespace vnx {

class ModuleConfigInterface;

/// The owner's side of a module: receives the module's status reports,
/// synchronously from inside the operation that produced them. The status
/// record lives only for the duration of the call.
class ModuleListenerInterface
{
  public:
    virtual ~ModuleListenerInterface() = default;

    virtual void statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status) = 0;
};

} // namespace vnx
