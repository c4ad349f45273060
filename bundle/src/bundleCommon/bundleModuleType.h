#pragma once

// Type ids of the bundle library, 64 to 68. Two of them only carry a name:
// no module of type 66 or 68 exists.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_BundleModuleType_e
{
    VNX_TYPE_STANDARD_BUNDLE = 64,
    VNX_TYPE_EXTENDED_BUNDLE = 65,
    VNX_TYPE_EXTENDED_BUNDLE_9AXIS = 66,
    VNX_TYPE_GESTURE_BUNDLE = 67,
    VNX_TYPE_MOBILE_BUNDLE = 68,
} vnx_BundleModuleType_e;

/// The name of a bundle type id; null outside 64 to 68.
const char* vnx_bundle_typeToString(uint8_t type);

/// Adds vnx_bundle_typeToString to the core's type lookups (so that
/// vnx_typeToString names the bundle ids), or removes it; the string table's
/// answer.
int vnx_bundle_registerStrings(void);
int vnx_bundle_unregisterStrings(void);

#ifdef __cplusplus
}
#endif
