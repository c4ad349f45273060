#pragma once

// Start and stop of the ext library. Clients call vnx_ext_initialize once,
// after vnx_core_initialize and vnx_bundle_initialize, on the thread that
// then uses the engine.

#include "extCommon/extVersion.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Registers the ext status and type names, the module factories and the
/// domain factories of the library. Returns 1 (a failed registration leaves
/// its type unavailable).
int vnx_ext_initialize(void);
/// Removes the names, then the domain factories, then the module factories.
/// Returns 1.
int vnx_ext_finalize(void);
/// Nothing to do on this platform: 1.
int vnx_ext_platform_initialize(void);
int vnx_ext_platform_finalize(void);

#ifdef __cplusplus
}
#endif
