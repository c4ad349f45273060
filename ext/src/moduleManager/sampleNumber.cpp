#include "moduleManager/sampleNumber.h"

#include <cstring>
#include <type_traits>

#include "common/moduleType.h"
#include "deviceSupport/DeviceSupport.h"

namespace vnx {

namespace {

// Byte of the counter word in every record that carries one.
constexpr size_t kCounterOffset = 16;
constexpr size_t kCounterEnd = kCounterOffset + sizeof(uint32_t);

template <class Record> uint8_t* counterOf(Record* record)
{
    if (record == nullptr || record->header.size < kCounterEnd) {
        return nullptr;
    }
    return reinterpret_cast<uint8_t*>(const_cast<std::remove_const_t<Record>*>(record)) + kCounterOffset;
}

template <class Record> bool isOutputOf(const Record* record, uint8_t type)
{
    return record != nullptr && record->header.type == type && record->header.size > kCounterOffset;
}

// Index of the first record of `type`, n when there is none.
template <class Record> size_t indexOf(size_t n, Record* const* outputs, uint8_t type)
{
    for (size_t i = 0; outputs != nullptr && i < n; ++i) {
        if (isOutputOf(outputs[i], type)) {
            return i;
        }
    }
    return n;
}

// Index of the DeviceSupport Output of `sensor`, n when there is none.
size_t sensorIndex(size_t n, vnx_StructOutput_s* const* outputs, uint8_t sensor)
{
    for (size_t i = 0; outputs != nullptr && i < n; ++i) {
        if (isOutputOf(outputs[i], VNX_TYPE_DEVICE_SUPPORT) &&
            reinterpret_cast<const uint8_t*>(outputs[i])[kCounterOffset] == sensor) {
            return i;
        }
    }
    return n;
}

template <class Format> Format* formatAt(size_t index, size_t n, Format* const* formats)
{
    return formats != nullptr && index < n ? formats[index] : nullptr;
}

} // namespace

uint32_t SampleNumberSite::read() const
{
    uint32_t number = 0;
    if (counter != nullptr) {
        std::memcpy(&number, counter, sizeof number);
    }
    return number;
}

void SampleNumberSite::write(uint32_t number) const
{
    for (uint8_t* place : {counter, companions[0], companions[1]}) {
        if (place != nullptr) {
            std::memcpy(place, &number, sizeof number);
        }
    }
}

SampleNumberSite findStoredSampleNumber(size_t n, vnx_StructOutput_s** outputs, vnx_StructFormat_s** formats)
{
    SampleNumberSite site;
    site.counter = counterOf(formatAt(sensorIndex(n, outputs, VNX_DEVICE_SUPPORT_GYROSCOPE), n, formats));
    if (site.counter != nullptr) {
        site.companions[0] =
            counterOf(formatAt(sensorIndex(n, outputs, VNX_DEVICE_SUPPORT_ACCELEROMETER), n, formats));
        site.companions[1] =
            counterOf(formatAt(sensorIndex(n, outputs, VNX_DEVICE_SUPPORT_MAGNETOMETER), n, formats));
        return site;
    }
    for (uint8_t type : {VNX_TYPE_DEVICE_SUPPORT_6AG, VNX_TYPE_DEVICE_SUPPORT_9AGM}) {
        const size_t index = indexOf(n, outputs, type);
        if (index < n && (site.counter = counterOf(outputs[index])) != nullptr) {
            return site;
        }
    }
    return site;
}

std::optional<uint32_t> runSampleNumber(size_t n, const vnx_StructOutput_s* const* outputs,
                                        const vnx_StructFormat_s* const* formats)
{
    SampleNumberSite site;
    for (uint8_t type : {VNX_TYPE_DEVICE_SUPPORT_6AG, VNX_TYPE_DEVICE_SUPPORT_9AGM}) {
        const size_t index = indexOf(n, outputs, type);
        if (index < n && (site.counter = counterOf(outputs[index])) != nullptr) {
            return site.read();
        }
    }
    const size_t index = indexOf(n, outputs, static_cast<uint8_t>(VNX_TYPE_DEVICE_SUPPORT));
    if (index < n && (site.counter = counterOf(formatAt(index, n, formats))) != nullptr) {
        return site.read();
    }
    return std::nullopt;
}

} // namespace vnx
