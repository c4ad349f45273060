// vnx_structArrayDeserialize on arbitrary record sequences whose head record
// may lie about its slot and record counts: first asked for the slot count,
// then into arrays of that size, and once with a capacity from the input.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "recordStream.h"
#include "serialization/SerializationRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) {
        return 0;
    }
    const size_t capacity = data[0] % 8;
    const auto records = vnx::fuzz::recordsOf(data + 1, size - 1);
    std::vector<const vnx_Struct_s*> sequence;
    for (const auto& record : records) {
        sequence.push_back(record.get());
    }

    size_t n = 0;
    vnx_structArrayDeserialize(sequence.size(), sequence.data(), 0, nullptr, nullptr, &n);
    if (n <= 4096) {
        std::vector<const vnx_StructOutput_s*> outputs(n);
        std::vector<const vnx_StructFormat_s*> formats(n);
        vnx_structArrayDeserialize(sequence.size(), sequence.data(), n, outputs.data(), formats.data(), &n);
    }
    std::vector<const vnx_StructOutput_s*> outputs(capacity);
    std::vector<const vnx_StructFormat_s*> formats(capacity);
    vnx_structArrayDeserialize(sequence.size(), sequence.data(), capacity, outputs.data(), formats.data(),
                               &n);
    return 0;
}
