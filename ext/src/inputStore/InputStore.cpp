#include "inputStore/InputStore.h"

#include <new>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

namespace {

template <class T> const T** asConst(T** records)
{
    return const_cast<const T**>(records);
}

} // namespace

InputStore::InputStore()
{
    vnx_SerializationModule_initOutput(&start_);
    vnx_SerializationModule_initFormat(&end_);
}

InputStore::~InputStore()
{
    clear();
}

void InputStore::clear()
{
    destroyRecords();
    stored_ = 0;
}

void InputStore::destroyRecords()
{
    for (vnx_StructOutput_s* output : outputs_) {
        ModuleFactory::destroyOutput(output);
    }
    for (vnx_StructFormat_s* format : formats_) {
        ModuleFactory::destroyFormat(format);
    }
    outputs_.clear();
    formats_.clear();
}

template <class TypeOf, class WithFormat>
bool InputStore::shape(unsigned long n, TypeOf typeOf, WithFormat withFormat)
{
    destroyRecords();
    try {
        outputs_.assign(n, nullptr);
        formats_.assign(n, nullptr);
    } catch (const std::bad_alloc&) {
        destroyRecords();
        return false;
    }
    for (unsigned long i = 0; i < n; ++i) {
        const int type = typeOf(i);
        if (type >= 0) {
            outputs_[i] = ModuleFactory::createOutput(static_cast<uint8_t>(type));
        }
        if (outputs_[i] != nullptr && withFormat(i)) {
            formats_[i] = ModuleFactory::createFormat(static_cast<uint8_t>(type));
        }
        if (outputs_[i] == nullptr || (withFormat(i) && formats_[i] == nullptr)) {
            destroyRecords();
            return false;
        }
    }
    return true;
}

bool InputStore::init(unsigned long n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats)
{
    if (n > 0 && outputs == nullptr) {
        destroyRecords();
        return false;
    }
    return shape(
        n, [&](unsigned long i) { return outputs[i] != nullptr ? int(outputs[i]->header.type) : -1; },
        [&](unsigned long i) { return formats == nullptr || formats[i] != nullptr; });
}

bool InputStore::init(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats)
{
    return init(n, asConst(outputs), asConst(formats));
}

bool InputStore::init(unsigned long n, const unsigned char* typeIds)
{
    if (n > 0 && typeIds == nullptr) {
        destroyRecords();
        return false;
    }
    return shape(
        n, [&](unsigned long i) { return int(typeIds[i]); }, [](unsigned long) { return true; });
}

bool InputStore::initFromModuleInput(const ModuleInterface* module, int id)
{
    if (module == nullptr || id < 0 || id >= module->getInputInterfaceCount()) {
        return false;
    }
    size_t count = 0;
    module->getInputInterface(id, 0, nullptr, count);
    std::vector<unsigned char> typeIds(count);
    size_t again = 0;
    if (module->getInputInterface(id, count, typeIds.data(), again) != VNX_STATUS_SUCCESS || again != count) {
        return false;
    }
    return init(count, typeIds.data());
}

bool InputStore::initFromModuleOutput(const ModuleInterface* module, int id)
{
    if (module == nullptr) {
        return false;
    }
    const int interfaces = module->getOutputInterfaceCount();
    if (interfaces == 0 && id == 0) {
        return true;
    }
    if (id < 0 || id >= interfaces) {
        return false;
    }
    size_t count = 0;
    module->getOutputInterface(id, 0, nullptr, count);
    std::vector<unsigned char> typeIds(count);
    size_t again = 0;
    if (module->getOutputInterface(id, count, typeIds.data(), again) != VNX_STATUS_SUCCESS ||
        again != count) {
        return false;
    }
    return init(count, typeIds.data());
}

bool InputStore::isValid(unsigned long n, const vnx_StructOutput_s** outputs,
                         const vnx_StructFormat_s** formats) const
{
    if (n != outputs_.size()) {
        return false;
    }
    if (n > 0 && outputs == nullptr) {
        return false;
    }
    for (unsigned long i = 0; i < n; ++i) {
        if (!vnx_Struct_isSimilar(&outputs_[i]->header,
                                  outputs[i] != nullptr ? &outputs[i]->header : nullptr)) {
            return false;
        }
        const vnx_StructFormat_s* format = formats != nullptr ? formats[i] : nullptr;
        if (formats_[i] == nullptr ? format != nullptr
                                   : !vnx_Struct_isSimilar(&formats_[i]->header,
                                                           format != nullptr ? &format->header : nullptr)) {
            return false;
        }
    }
    return true;
}

bool InputStore::isValid(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats) const
{
    return isValid(n, asConst(outputs), asConst(formats));
}

void InputStore::store(unsigned long n, const vnx_StructOutput_s** outputs,
                       const vnx_StructFormat_s** formats)
{
    // A batch that could not be given a place is not counted as stored.
    if (!isValid(n, outputs, formats) && !init(n, outputs, formats)) {
        return;
    }
    for (unsigned long i = 0; i < n; ++i) {
        vnx_StructOutput_copy(&outputs[i]->header, &outputs_[i]->header);
        if (formats_[i] != nullptr && formats != nullptr && formats[i] != nullptr) {
            vnx_StructFormat_copy(&formats[i]->header, &formats_[i]->header);
        }
    }
    ++stored_;
}

void InputStore::store(unsigned long n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats)
{
    store(n, asConst(outputs), asConst(formats));
}

unsigned InputStore::retrieve(unsigned long& n, const vnx_StructOutput_s**& outputs,
                              const vnx_StructFormat_s**& formats)
{
    peek(n, outputs, formats);
    const unsigned stored = stored_;
    stored_ = 0;
    return stored;
}

unsigned InputStore::retrieve(unsigned long& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats)
{
    const vnx_StructOutput_s** constOutputs = nullptr;
    const vnx_StructFormat_s** constFormats = nullptr;
    const unsigned stored = retrieve(n, constOutputs, constFormats);
    outputs = const_cast<vnx_StructOutput_s**>(constOutputs);
    formats = const_cast<vnx_StructFormat_s**>(constFormats);
    return stored;
}

void InputStore::peek(unsigned long& n, const vnx_StructOutput_s**& outputs,
                      const vnx_StructFormat_s**& formats) const
{
    n = outputs_.size();
    outputs = asConst(const_cast<vnx_StructOutput_s**>(outputs_.data()));
    formats = asConst(const_cast<vnx_StructFormat_s**>(formats_.data()));
}

void InputStore::peek(unsigned long& n, vnx_StructOutput_s**& outputs, vnx_StructFormat_s**& formats) const
{
    n = outputs_.size();
    outputs = const_cast<vnx_StructOutput_s**>(outputs_.data());
    formats = const_cast<vnx_StructFormat_s**>(formats_.data());
}

int InputStore::structSerialize(unsigned long capacity, const vnx_Struct_s** records, unsigned long* count)
{
    size_t needed = 0;
    const int status =
        vnx_structArraySerialize(outputs_.size(), asConst(outputs_.data()), asConst(formats_.data()), &start_,
                                 &end_, capacity, records, count != nullptr ? &needed : nullptr);
    if (count != nullptr) {
        *count = needed;
    }
    return status;
}

int InputStore::structDeserialize(const vnx_Struct_s* record)
{
    const int status = deserializer_.handle(record);
    if (status == VNX_STATUS_WARNING_DECODE_INACTIVE) {
        return status;
    }
    // Another stream's records pass this store by.
    if (deserializer_.getStart().streamId != start_.streamId) {
        return VNX_STATUS_WARNING_DECODE_INACTIVE;
    }
    if (status != VNX_STATUS_SUCCESS) {
        return status;
    }
    size_t n = 0;
    const vnx_StructOutput_s** outputs = nullptr;
    const vnx_StructFormat_s** formats = nullptr;
    const int taken = deserializer_.retrieve(n, outputs, formats);
    if (taken == VNX_STATUS_SUCCESS) {
        store(n, outputs, formats);
    }
    return taken;
}

} // namespace vnx
