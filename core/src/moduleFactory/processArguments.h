#pragma once

// Checks of the record arrays handed to a module's process: the count must
// cover the record, the array and the record must be there, and the record's
// header must be the one the module expects. A module reads its records only
// through these, and answers -2 (INVALID_PARAMETER) when one is missing:
//
//   const auto* in = vnx::processRecord(inputCount, inputs, 0, vnx_X_dynamicDownCastConstOutput);
//   auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_X_dynamicDownCastOutput);
//   if (in == nullptr || out == nullptr) {
//       return VNX_STATUS_INVALID_PARAMETER;
//   }
//
// Works the same for Format arrays. The checks cost a few compares per
// record and allocate nothing.

#include <cstddef>

namespace vnx {

/// Element `index` of `records`, cast by the module's typed dynamic cast
/// `cast` (which refuses a header of another type, kind, version or size);
/// null when `count` does not cover it, the array or the element is null, or
/// the cast refuses it.
template <class Generic, class Record>
Record* processRecord(size_t count, Generic* const* records, size_t index, Record* (*cast)(Generic*)) noexcept
{
    if (records == nullptr || index >= count || records[index] == nullptr) {
        return nullptr;
    }
    return cast(records[index]);
}

} // namespace vnx
