#pragma once

// Registration of the ext library's status and type names with the core's
// string table, so that vnx_statusToString and vnx_typeToString name them.

#ifdef __cplusplus
extern "C" {
#endif

/// Registers the status lookup, then the type lookup; returns the result of
/// the second registration.
int vnx_ext_registerStrings(void);
/// Removes both lookups again; returns the result of the second removal.
int vnx_ext_unregisterStrings(void);

#ifdef __cplusplus
}
#endif
