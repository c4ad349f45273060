#pragma once

// Properties: the engine's named run-time settings. A property N is the
// process environment variable "VNX_" followed by N; nothing is cached, every
// read asks the environment again. A name is at most 251 characters long (the
// variable name at most 255): a longer one is refused (set gives false, reads
// answer "not set") instead of being cut short, which would name another
// variable.
//
// Properties the engine reads: DCD_PATH ("/tmp"), LOGGING_DIR ("."),
// LOG_RAWINPUT, LOG_OUTPUT, LOG_GLOBAL_LEVEL, LOG_LEVEL_<block>,
// LOG_LEVEL_<block>_<local>, LOG_REDIRECT, LOG_OUTPUT_PREFIX ("./"),
// MOBILE_IS_ROOT_NODE, DISABLE_SIGPIPE_HANDLER, PERMISSION_CREATE_NAMED_PIPE.

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Creates the Properties logger (once) and places it as log node
/// sys.Properties (again after the node tree was reset).
void vnx_properties_initialize(void);

/// The value of VNX_<name> (an empty value counts as set), else `defaultValue`.
/// The text is the environment's own, valid until the variable changes.
const char* vnx_properties_getAsString(const char* name, const char* defaultValue);

/// The value of VNX_<name>, or null when it is not set.
const char* vnx_properties_get(const char* name);

/// Not set: `defaultValue`. "0", "false", "FALSE" and "False": false. Any
/// other value, the empty one included: true.
bool vnx_properties_getAsBoolean(const char* name, bool defaultValue);

/// Not set: `defaultValue`. Otherwise the value's leading decimal integer
/// (0 when it does not start with one).
int vnx_properties_getAsInt(const char* name, int defaultValue);

/// Sets VNX_<name>=<value> (cut to 255 characters) through the name's own
/// buffer, made on the name's first set and reused by every later one; it
/// stays alive for the process. False when the environment refuses it, when
/// the name contains "=", or when the name is so long that the text has no
/// room for "=" (more than 250 characters).
bool vnx_properties_set(const char* name, const char* value);

#ifdef __cplusplus
}
#endif
