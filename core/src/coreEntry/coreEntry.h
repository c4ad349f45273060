#pragma once

// Start and stop of the core library. Clients call vnx_core_initialize once,
// on the thread that then uses the engine, before anything else of it, and
// vnx_core_finalize after they destroyed their modules, records and handles.

#include "common/version.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Brings up properties, name tables, node tree and log manager, then
/// registers the factory of every core module type. Returns 1 (failed
/// registrations leave their type unavailable). A second call registers every
/// factory again: callers keep their own count.
int vnx_core_initialize(void);

/// Unregisters the core factories, resets node tree and log manager and
/// removes the core names. Live modules are not destroyed. Returns 1.
int vnx_core_finalize(void);

#ifdef __cplusplus
}
#endif
