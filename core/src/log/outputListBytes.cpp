#include "log/outputListBytes.h"

namespace vnx::log {

namespace {

void appendRecord(std::vector<uint8_t>& bytes, const vnx_Struct_s* record)
{
    if (record != nullptr) {
        const auto* first = reinterpret_cast<const uint8_t*>(record);
        bytes.insert(bytes.end(), first, first + record->size);
    }
}

} // namespace

void appendOutputListBytes(std::vector<uint8_t>& bytes, size_t count,
                           const vnx_StructOutput_s* const* outputs, const vnx_StructFormat_s* const* formats)
{
    for (size_t i = 0; i < count; ++i) {
        appendRecord(bytes, outputs != nullptr && outputs[i] != nullptr ? &outputs[i]->header : nullptr);
        appendRecord(bytes, formats != nullptr && formats[i] != nullptr ? &formats[i]->header : nullptr);
    }
}

} // namespace vnx::log
