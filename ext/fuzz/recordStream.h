#pragma once

// Fuzz input as records: the bytes are records back to back, each as long
// as its size field says (at least a header, at most what is left). Each
// record gets a heap block of exactly its length, with its size field set to
// that length, so that any read past a record is caught.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "common/record.h"

namespace vnx::fuzz {

struct FreeRecord
{
    void operator()(vnx_Struct_s* record) const { std::free(record); }
};
using RecordPointer = std::unique_ptr<vnx_Struct_s, FreeRecord>;

inline std::vector<RecordPointer> recordsOf(const uint8_t* data, size_t size)
{
    std::vector<RecordPointer> records;
    size_t at = 0;
    while (size - at >= sizeof(vnx_Struct_s)) {
        uint16_t length = 0;
        std::memcpy(&length, data + at, sizeof length);
        if (length < sizeof(vnx_Struct_s)) {
            length = sizeof(vnx_Struct_s);
        }
        if (length > size - at) {
            length = static_cast<uint16_t>(size - at);
        }
        auto* record = static_cast<vnx_Struct_s*>(std::malloc(length));
        std::memcpy(record, data + at, length);
        record->size = length;
        records.emplace_back(record);
        at += length;
    }
    return records;
}

} // namespace vnx::fuzz
