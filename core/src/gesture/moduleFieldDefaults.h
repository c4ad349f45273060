#pragma once

// Record defaults of the gesture modules, whose module fields all start at 0.

#include <cstddef>
#include <cstring>
#include <type_traits>

namespace vnx::gesture {

/// Zeroes every byte of `record` from `firstModuleByte` on: its module
/// fields and their padding; the header is left to the record initialiser.
template <class Record> void zeroModuleFields(Record& record, std::size_t firstModuleByte)
{
    static_assert(std::is_trivially_copyable_v<Record>);
    std::memset(reinterpret_cast<unsigned char*>(&record) + firstModuleByte, 0,
                sizeof(Record) - firstModuleByte);
}

} // namespace vnx::gesture
