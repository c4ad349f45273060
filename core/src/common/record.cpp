#include "common/record.h"

#include <cstring>

namespace {

const char* const kKindNames[] = {"Config", "Command", "Status", "Format", "Output"};

template <typename KindRecord> KindRecord* castChecked(vnx_Struct_s* record, vnx_StructKind_e kind)
{
    return record != nullptr && record->kind == kind ? reinterpret_cast<KindRecord*>(record) : nullptr;
}

template <typename KindRecord>
const KindRecord* castChecked(const vnx_Struct_s* record, vnx_StructKind_e kind)
{
    return record != nullptr && record->kind == kind ? reinterpret_cast<const KindRecord*>(record) : nullptr;
}

} // namespace

extern "C" {

bool vnx_Struct_isSimilar(const vnx_Struct_s* a, const vnx_Struct_s* b)
{
    return a != nullptr && b != nullptr && a->size == b->size && a->type == b->type && a->kind == b->kind &&
           a->version == b->version;
}

bool vnx_Struct_isA(const vnx_Struct_s* record, uint8_t type, uint8_t kind)
{
    return record != nullptr && record->type == type && record->kind == kind;
}

int vnx_Struct_copy(const vnx_Struct_s* source, vnx_Struct_s* destination)
{
    if (!vnx_Struct_isSimilar(source, destination)) {
        return 0;
    }
    // memmove: a record copied onto itself (or an overlapping view) stays intact.
    std::memmove(destination, source, source->size);
    return 1;
}

int vnx_Struct_find(size_t count, const vnx_Struct_s* const* records, uint8_t type, int* index)
{
    int found = -1;
    if (records != nullptr) {
        for (size_t i = 0; i < count; ++i) {
            if (records[i] != nullptr && records[i]->type == type) {
                found = static_cast<int>(i);
                break;
            }
        }
    }
    if (index != nullptr) {
        *index = found;
    }
    return found >= 0 ? 1 : 0;
}

const char* vnx_structToString(int kind)
{
    if (kind < VNX_KIND_CONFIG || kind > VNX_KIND_OUTPUT) {
        return "<Unknown>";
    }
    return kKindNames[kind - VNX_KIND_CONFIG];
}

int32_t vnx_StructFormat_getSamplingPeriod(const vnx_StructFormat_s*)
{
    return -1;
}

int32_t vnx_StructFormat_findSamplingPeriod(size_t, const vnx_StructFormat_s* const*, uint8_t)
{
    return -1;
}

#define VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Kind, kindValue)                                                    \
    vnx_Struct##Kind##_s* vnx_Struct_downCast##Kind(vnx_Struct_s* record)                                    \
    {                                                                                                        \
        return reinterpret_cast<vnx_Struct##Kind##_s*>(record);                                              \
    }                                                                                                        \
    const vnx_Struct##Kind##_s* vnx_Struct_downCastConst##Kind(const vnx_Struct_s* record)                   \
    {                                                                                                        \
        return reinterpret_cast<const vnx_Struct##Kind##_s*>(record);                                        \
    }                                                                                                        \
    vnx_Struct_s* vnx_Struct_upCast##Kind(vnx_Struct##Kind##_s* record)                                      \
    {                                                                                                        \
        return reinterpret_cast<vnx_Struct_s*>(record);                                                      \
    }                                                                                                        \
    const vnx_Struct_s* vnx_Struct_upCastConst##Kind(const vnx_Struct##Kind##_s* record)                     \
    {                                                                                                        \
        return reinterpret_cast<const vnx_Struct_s*>(record);                                                \
    }                                                                                                        \
    vnx_Struct##Kind##_s* vnx_Struct_dynamicDownCast##Kind(vnx_Struct_s* record)                             \
    {                                                                                                        \
        return castChecked<vnx_Struct##Kind##_s>(record, kindValue);                                         \
    }                                                                                                        \
    const vnx_Struct##Kind##_s* vnx_Struct_dynamicDownCastConst##Kind(const vnx_Struct_s* record)            \
    {                                                                                                        \
        return castChecked<vnx_Struct##Kind##_s>(record, kindValue);                                         \
    }                                                                                                        \
    bool vnx_Struct##Kind##_isA(const vnx_Struct_s* record, uint8_t type)                                    \
    {                                                                                                        \
        return vnx_Struct_isA(record, type, kindValue);                                                      \
    }                                                                                                        \
    int vnx_Struct##Kind##_copy(const vnx_Struct_s* source, vnx_Struct_s* destination)                       \
    {                                                                                                        \
        return vnx_Struct_copy(source, destination);                                                         \
    }

VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Config, VNX_KIND_CONFIG)
VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Command, VNX_KIND_COMMAND)
VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Status, VNX_KIND_STATUS)
VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Format, VNX_KIND_FORMAT)
VNX_DEFINE_STRUCT_KIND_FUNCTIONS(Output, VNX_KIND_OUTPUT)

#undef VNX_DEFINE_STRUCT_KIND_FUNCTIONS

} // extern "C"
