#include "base/StructDeserializer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

bool isSerialization(const vnx_Struct_s* record, uint8_t kind)
{
    return record->type == VNX_TYPE_SERIALIZATION_MODULE && record->kind == kind;
}

} // namespace

StructDeserializer::StructDeserializer()
{
    vnx_SerializationModule_initOutput(&start_);
    vnx_SerializationModule_initFormat(&end_);
}

StructDeserializer::~StructDeserializer()
{
    freeCopies();
}

void StructDeserializer::freeCopies()
{
    for (vnx_Struct_s* copy : records_) {
        std::free(copy);
    }
    records_.clear();
}

void StructDeserializer::clear()
{
    freeCopies();
    clearReturn();
    collecting_ = false;
}

void StructDeserializer::clearReturn()
{
    outputs_.clear();
    outputs_.shrink_to_fit();
    formats_.clear();
    formats_.shrink_to_fit();
}

void StructDeserializer::keep(const vnx_Struct_s* record)
{
    auto* copy = static_cast<vnx_Struct_s*>(std::malloc(record->size));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, record, record->size);
    records_.push_back(copy);
}

int StructDeserializer::handle(const vnx_Struct_s* record)
{
    if (record == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    // A head record always starts over, also after a batch that overran
    // its count: otherwise such a batch would block the stream for good.
    if (isSerialization(record, VNX_KIND_OUTPUT)) {
        clear();
        if (record->size < sizeof start_) {
            return VNX_STATUS_INVALID_MESSAGE;
        }
        vnx_SerializationModule_Output_s head;
        std::memcpy(&head, record, sizeof head);
        // The count decides how much room the batch takes: a head record
        // that lies about it cannot make the deserializer allocate at will.
        if (head.recordCount < 2 || head.recordCount > kMaxRecords) {
            return VNX_STATUS_INVALID_MESSAGE;
        }
        start_ = head;
        records_.reserve(start_.recordCount);
        keep(record);
        collecting_ = true;
        return VNX_STATUS_WARNING_DECODE_INCOMPLETE;
    }
    if (!collecting_) {
        return VNX_STATUS_WARNING_DECODE_INACTIVE;
    }
    if (records_.size() >= start_.recordCount) {
        return VNX_STATUS_INVALID_MESSAGE;
    }
    if (isSerialization(record, VNX_KIND_FORMAT)) {
        if (record->size < sizeof end_) {
            return VNX_STATUS_INVALID_MESSAGE;
        }
        std::memcpy(&end_, record, sizeof end_);
        keep(record);
        collecting_ = false;
        return VNX_STATUS_SUCCESS;
    }
    keep(record);
    return VNX_STATUS_WARNING_DECODE_INCOMPLETE;
}

int StructDeserializer::retrieve(size_t& n, const vnx_StructOutput_s**& outputs, const vnx_StructFormat_s**& formats)
{
    n = 0;
    outputs = nullptr;
    formats = nullptr;
    clearReturn();

    const auto** sequence = const_cast<const vnx_Struct_s**>(records_.data());
    size_t slots = 0;
    int status = vnx_structArrayDeserialize(records_.size(), sequence, 0, nullptr, nullptr, &slots);
    if (status != VNX_STATUS_SUCCESS && status != VNX_STATUS_SIZE_TOO_SMALL) {
        return status;
    }
    if (slots > kMaxRecords) {
        return VNX_STATUS_INVALID_MESSAGE;
    }
    outputs_.resize(slots);
    formats_.resize(slots);
    status = vnx_structArrayDeserialize(records_.size(), sequence, slots, outputs_.data(), formats_.data(), &slots);
    if (status != VNX_STATUS_SUCCESS) {
        clearReturn();
        return status;
    }
    n = slots;
    outputs = outputs_.data();
    formats = formats_.data();
    return status;
}

int StructDeserializer::retrieve(size_t& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats)
{
    const vnx_StructOutput_s** constOutputs = nullptr;
    const vnx_StructFormat_s** constFormats = nullptr;
    const int status = retrieve(n, constOutputs, constFormats);
    outputs = const_cast<vnx_StructOutput_s**>(constOutputs);
    formats = const_cast<vnx_StructFormat_s**>(constFormats);
    return status;
}

} // namespace vnx
