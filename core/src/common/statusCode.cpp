#include "common/statusCode.h"

namespace {

constexpr int32_t kFirstCode = VNX_STATUS_MODULE_ALREADY_EXISTS;
constexpr int32_t kLastCode = VNX_STATUS_NO_MORE_WORK_TO_BE_DONE;

// Indexed by code - kFirstCode.
const char* const kCodeNames[] = {
    "MODULE_ALREADY_EXISTS",
    "ARRAY_SIZE_MISMATCH",
    "FEATURE_DENIED",
    "INVALID_INSTANCE_ID",
    "OUT_OF_MEMORY",
    "ASYNC_REQUIRED",
    "ASYNC_NOT_SUPPORTED",
    "INVALID_VERSION",
    "INVALID_INTERFACE",
    "SATURATION",
    "UNSUPPORTED_CONFIG",
    "NOT_ACTIVE",
    "INVALID_SCD",
    "PROCESS_ERROR",
    "SIZE_TOO_SMALL",
    "INTERNAL_ERROR",
    "INVALID_COMMAND",
    "MISMATCHED_CONFIG",
    nullptr, // -7
    nullptr, // -6
    nullptr, // -5
    "INVALID_CONFIG",
    "NOT_FOR_ME",
    "INVALID_PARAMETER",
    "FEATURE_NOT_IMPLEMENTED",
    "SUCCESS",
    "WARNING_DCD_SCD_MISMATCH",
    "WARNING_INVALID_DCD",
    "ASYNC_PENDING",
    "WARNING_WAITING_FOR_FUSION",
    "NO_WORK_DONE",
    "NO_MORE_WORK_TO_BE_DONE",
};
static_assert(sizeof(kCodeNames) / sizeof(kCodeNames[0]) == kLastCode - kFirstCode + 1);

} // namespace

extern "C" const char* vnx_core_statusToString(int32_t code)
{
    if (code < kFirstCode || code > kLastCode) {
        return nullptr;
    }
    return kCodeNames[code - kFirstCode];
}
