#pragma once

// Status codes of the device layer and the device link protocol. They extend
// the core's codes (-25 to 6) with the ranges of I/O, devices and messages:
// negative values are errors, positive ones warnings.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum vnx_ExtStatusCode_e
{
    VNX_STATUS_MODULE_ALLOCATION_ERROR = -1040,
    VNX_STATUS_INVALID_MESSAGE = -1030,
    VNX_STATUS_IO_INVALID_HANDLE = -1015,
    VNX_STATUS_IO_DENIED = -1014,
    VNX_STATUS_IO_CLOSED = -1013,
    VNX_STATUS_IO_NO_DATA = -1012,
    VNX_STATUS_IO_ERROR = -1011,
    VNX_STATUS_IO_NOT_READY = -1010, ///< nothing can be done now; try again at the next pass
    VNX_STATUS_DEVICE_BUSY = -971,
    VNX_STATUS_DEVICE_NOT_FOUND = -970,
    VNX_STATUS_DEVICE_TIMEOUT = -969,
    VNX_STATUS_DEVICE_CLOSED = -968,
    VNX_STATUS_DEVICE_NOT_READY = -967,
    VNX_STATUS_DEVICE_REMOVED = -966, ///< from a device's process: the domain removes it
    // -965 and -964 are not used.
    VNX_STATUS_DEVICE_FAILED_TO_CLOSE = -963,
    VNX_STATUS_DEVICE_FAILED_TO_OPEN = -962,
    VNX_STATUS_DEVICE_ALREADY_OPEN = -961,
    VNX_STATUS_DEVICE_INVALID_ID = -960,
    VNX_STATUS_WARNING_SKIP_HANDLING = 960,
    VNX_STATUS_WARNING_DECODE_INCOMPLETE = 980, ///< more records of the batch are to come
    VNX_STATUS_WARNING_DECODE_INACTIVE = 981,   ///< a record outside any batch
    VNX_STATUS_WARNING_IO_UNRECOGNIZED_MSG = 1010,
} vnx_ExtStatusCode_e;

/// The name of an ext status code; null for any other value, so that the
/// core's lookup answers for the core codes.
const char* vnx_ext_statusToString(int code);

#ifdef __cplusplus
}
#endif
