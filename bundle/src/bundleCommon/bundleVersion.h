#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/// Constant version banner of the bundle library (name, version, build and
/// the platform it was built for); never freed.
const char* vnx_bundle_get_version(void);

#ifdef __cplusplus
}
#endif
