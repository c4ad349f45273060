#pragma once

// Registration of the core library's own status and type names with the
// string-table registry; called by the core library's start and stop.

#ifdef __cplusplus
extern "C" {
#endif

/// Registers vnx_core_statusToString, then vnx_core_typeToString; returns the
/// result of the second registration.
int vnx_core_registerStrings(void);
/// Unregisters the two in the same order; returns the result of the second.
int vnx_core_unregisterStrings(void);

#ifdef __cplusplus
}
#endif
