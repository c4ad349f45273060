#include <cstring>

#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "moduleFactory/flatApiGuard.h"
#include "serialization/SerializationRecords.h"

namespace {

bool isSerializationRecord(const vnx_Struct_s* record, uint8_t kind)
{
    return record != nullptr && record->type == VNX_TYPE_SERIALIZATION_MODULE && record->kind == kind;
}

// The head record is read up to its record count, so a record claiming to
// be one must be long enough to hold it.
bool isHeadRecord(const vnx_Struct_s* record)
{
    return isSerializationRecord(record, VNX_KIND_OUTPUT) &&
           record->size >= sizeof(vnx_SerializationModule_Output_s);
}

int serialize(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats,
              vnx_SerializationModule_Output_s* header, vnx_SerializationModule_Format_s* trailer,
              size_t capacity, const vnx_Struct_s** sequence, size_t* count)
{
    if (count == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    *count = 0;
    if (header == nullptr || trailer == nullptr || capacity < 2 || sequence == nullptr ||
        (n > 0 && (outputs == nullptr || formats == nullptr))) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    for (size_t i = 0; i < capacity; ++i) {
        sequence[i] = nullptr;
    }
    trailer->headerValue = header->trailerValue;
    header->slotCount = n;

    size_t next = 0;
    auto take = [&](const void* record) {
        if (next < capacity) {
            sequence[next] = static_cast<const vnx_Struct_s*>(record);
        }
        ++next;
    };
    take(header);
    for (size_t i = 0; i < n; ++i) {
        if (outputs[i] != nullptr) {
            take(outputs[i]);
        }
        if (formats[i] != nullptr) {
            take(formats[i]);
        }
    }
    take(trailer);

    header->recordCount = next;
    *count = next;
    return next > capacity ? VNX_STATUS_SIZE_TOO_SMALL : VNX_STATUS_SUCCESS;
}

// Whether the records between head and closing record fit `slots` slots:
// no null record, at most `slots` Outputs and no Format before the first.
bool bodyFits(const vnx_Struct_s** sequence, size_t recordCount, size_t slots)
{
    size_t outputsSeen = 0;
    for (size_t i = 1; i + 1 < recordCount; ++i) {
        const vnx_Struct_s* record = sequence[i];
        if (record == nullptr) {
            return false;
        }
        if (record->kind == VNX_KIND_OUTPUT) {
            if (++outputsSeen > slots) {
                return false;
            }
        } else if (record->kind == VNX_KIND_FORMAT && outputsSeen == 0) {
            return false;
        }
    }
    return true;
}

int deserialize(size_t m, const vnx_Struct_s** sequence, size_t capacity, const vnx_StructOutput_s** outputs,
                const vnx_StructFormat_s** formats, size_t* n)
{
    if (n == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    *n = 0;
    if (sequence == nullptr || m == 0 || !isHeadRecord(sequence[0])) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto* header = reinterpret_cast<const vnx_SerializationModule_Output_s*>(sequence[0]);
    const uint64_t recordCount = header->recordCount;
    if (recordCount > m) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    *n = header->slotCount;
    if (header->slotCount > capacity) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    const size_t slots = header->slotCount;
    if (recordCount < 2 || !isSerializationRecord(sequence[recordCount - 1], VNX_KIND_FORMAT) ||
        (slots > 0 && (outputs == nullptr || formats == nullptr)) ||
        !bodyFits(sequence, recordCount, slots)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    for (size_t i = 0; i < slots; ++i) {
        outputs[i] = nullptr;
        formats[i] = nullptr;
    }
    size_t next = 0;
    for (size_t i = 1; i + 1 < recordCount; ++i) {
        const vnx_Struct_s* record = sequence[i];
        if (record->kind == VNX_KIND_OUTPUT) {
            outputs[next++] = reinterpret_cast<const vnx_StructOutput_s*>(record);
        } else if (record->kind == VNX_KIND_FORMAT) {
            formats[next - 1] = reinterpret_cast<const vnx_StructFormat_s*>(record);
        }
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace

extern "C" int vnx_structArraySerialize(size_t n, const vnx_StructOutput_s** outputs,
                                        const vnx_StructFormat_s** formats,
                                        vnx_SerializationModule_Output_s* header,
                                        vnx_SerializationModule_Format_s* trailer, size_t capacity,
                                        const vnx_Struct_s** sequence, size_t* count)
{
    return vnx::guardStatus(
        [&] { return serialize(n, outputs, formats, header, trailer, capacity, sequence, count); });
}

extern "C" int vnx_structArrayDeserialize(size_t m, const vnx_Struct_s** sequence, size_t capacity,
                                          const vnx_StructOutput_s** outputs,
                                          const vnx_StructFormat_s** formats, size_t* n)
{
    return vnx::guardStatus([&] { return deserialize(m, sequence, capacity, outputs, formats, n); });
}
