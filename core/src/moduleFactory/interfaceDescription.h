#pragma once

// The common answer of getInputInterface / getOutputInterface for one valid
// interface index (the module checks the index itself).

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/statusCode.h"

namespace vnx {

/// Sets `count` to the number of records the interface takes per call; when
/// `capacity` holds them, writes their type ids to `typeIds` and returns 0,
/// else -11 (and -2 for a null `typeIds` when there is an id to write: an
/// interface without records needs no list).
inline int describeInterface(std::span<const uint8_t> types, size_t capacity, uint8_t* typeIds,
                             size_t& count) noexcept
{
    count = types.size();
    if (capacity < types.size()) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (types.empty()) {
        return VNX_STATUS_SUCCESS;
    }
    if (typeIds == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    for (size_t i = 0; i < types.size(); ++i) {
        typeIds[i] = types[i];
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
