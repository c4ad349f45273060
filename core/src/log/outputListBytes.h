#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/record.h"

namespace vnx::log {

/// Appends the bytes of an output list as log files keep it: for each entry,
/// the Output record then its Format record, each as long as its own size
/// field says and left out when null (a null array counts as all null).
void appendOutputListBytes(std::vector<uint8_t>& bytes, size_t count,
                           const vnx_StructOutput_s* const* outputs,
                           const vnx_StructFormat_s* const* formats);

} // namespace vnx::log
