#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/// Constant version banner of the ext library (name, version and the platform
/// it was built for); never freed.
const char* vnx_ext_get_version(void);

#ifdef __cplusplus
}
#endif
