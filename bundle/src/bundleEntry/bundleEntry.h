#pragma once

// Start and stop of the bundle library. Clients call vnx_bundle_initialize
// once after vnx_core_initialize (which sets up the string table and the
// factory registry) and before the ext library's start, on the thread that
// then uses the engine.

#include "bundleCommon/bundleModuleType.h"
#include "bundleCommon/bundleVersion.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Names the bundle type ids for vnx_typeToString, then registers the
/// factories of StandardBundle, ExtendedBundle and GestureBundle. Returns 1
/// (a failed registration leaves its type unavailable).
int vnx_bundle_initialize(void);

/// Removes the type names, then unregisters the three factories. Live
/// bundles are not destroyed. Returns 1.
int vnx_bundle_finalize(void);

#ifdef __cplusplus
}
#endif
