#pragma once

// Status codes: the outcome of every module, factory and flat-API operation.
// 0 is success, negative values are errors, positive values are warnings or
// progress the caller may pass on or ignore.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_StatusCode_e
{
    VNX_STATUS_MODULE_ALREADY_EXISTS = -25,
    VNX_STATUS_ARRAY_SIZE_MISMATCH = -24,
    VNX_STATUS_FEATURE_DENIED = -23,
    VNX_STATUS_INVALID_INSTANCE_ID = -22,
    VNX_STATUS_OUT_OF_MEMORY = -21,
    VNX_STATUS_ASYNC_REQUIRED = -20,
    VNX_STATUS_ASYNC_NOT_SUPPORTED = -19,
    VNX_STATUS_INVALID_VERSION = -18,
    VNX_STATUS_INVALID_INTERFACE = -17, ///< interface index the module does not have
    VNX_STATUS_SATURATION = -16,        ///< a number did not fit its target
    VNX_STATUS_UNSUPPORTED_CONFIG = -15,
    VNX_STATUS_NOT_ACTIVE = -14,
    VNX_STATUS_INVALID_SCD = -13,
    VNX_STATUS_PROCESS_ERROR = -12,
    VNX_STATUS_SIZE_TOO_SMALL = -11, ///< an output array or table has no room
    VNX_STATUS_INTERNAL_ERROR = -10, ///< a pointer the addressed pool or factory did not create
    VNX_STATUS_INVALID_COMMAND = -9,
    VNX_STATUS_MISMATCHED_CONFIG = -8,
    // -7, -6 and -5 are not used.
    VNX_STATUS_INVALID_CONFIG = -4,
    VNX_STATUS_NOT_FOR_ME = -3,        ///< record of another module's type: offer it to the next module
    VNX_STATUS_INVALID_PARAMETER = -2, ///< bad argument, unknown type id or record failing its checks
    VNX_STATUS_FEATURE_NOT_IMPLEMENTED = -1,
    VNX_STATUS_SUCCESS = 0,
    VNX_STATUS_WARNING_DCD_SCD_MISMATCH = 1,
    VNX_STATUS_WARNING_INVALID_DCD = 2,
    VNX_STATUS_ASYNC_PENDING = 3,
    VNX_STATUS_WARNING_WAITING_FOR_FUSION = 4, ///< the sample produced no motion output yet
    VNX_STATUS_NO_WORK_DONE = 5,
    VNX_STATUS_NO_MORE_WORK_TO_BE_DONE = 6,
} vnx_StatusCode_e;

/// The core library's status lookup: the name of a core code, null for codes it
/// does not name (-7 to -5 and everything outside -25 to 6).
const char* vnx_core_statusToString(int32_t code);

#ifdef __cplusplus
}
#endif
