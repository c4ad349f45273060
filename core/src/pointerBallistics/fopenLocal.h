#pragma once

#include <stdbool.h>
#include <stdio.h>

#ifdef __cplusplus
extern "C" {
#endif

/// Opens `path` with `mode` as fopen does and stores the stream (null on
/// failure) in *stream. True when the file is open.
bool fopenLocal(FILE** stream, const char* path, const char* mode);

#ifdef __cplusplus
}
#endif
