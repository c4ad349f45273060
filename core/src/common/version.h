#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/// Constant version banner of the core library; never freed.
const char* vnx_core_get_version(void);

#ifdef __cplusplus
}
#endif
