#include "sensorInterpretation9Axis/nineAxisInput.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "moduleFactory/processArguments.h"

namespace vnx {

namespace {

constexpr std::uint8_t kTwoSensors[] = {VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_DEVICE_SUPPORT};
// The SensorFusion Output at the end is listed for the callers that pass
// their last motion output along; nothing reads it.
constexpr std::uint8_t kThreeSensorsAndMotion[] = {VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_DEVICE_SUPPORT,
                                                   VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_SENSOR_FUSION};

constexpr std::size_t sensorRecordCount(int index)
{
    return index == 0 ? 2 : 3;
}

} // namespace

std::span<const std::uint8_t> nineAxisInterfaceTypes(int index)
{
    switch (index) {
    case 0:
        return kTwoSensors;
    case 1:
        return kThreeSensorsAndMotion;
    default:
        return {};
    }
}

int readNineAxisSample(int index, std::size_t inputCount, const vnx_StructOutput_s* const* inputs,
                       const vnx_StructFormat_s* const* inputFormats, RawNineAxisSample& sample)
{
    if (index < 0 || index >= kNineAxisInterfaceCount) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    const auto* format =
        processRecord(inputCount, inputFormats, 0, vnx_DeviceSupport_dynamicDownCastConstFormat);
    if (format == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    RawNineAxisSample read;
    for (std::size_t i = 0; i < sensorRecordCount(index); ++i) {
        const auto* record =
            processRecord(inputCount, inputs, i, vnx_DeviceSupport_dynamicDownCastConstOutput);
        if (record == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        const RawTriple counts{record->x, record->y, record->z};
        switch (record->sensor) {
        case VNX_DEVICE_SUPPORT_ACCELEROMETER:
            read.acc = counts;
            read.hasAcc = true;
            break;
        case VNX_DEVICE_SUPPORT_GYROSCOPE:
            read.rs = counts;
            read.hasRs = true;
            break;
        case VNX_DEVICE_SUPPORT_MAGNETOMETER:
            read.mag = counts;
            read.hasMag = true;
            break;
        default:
            break;
        }
    }
    read.sampleNumber = format->sampleNumber;
    read.sampleFlags = format->flags;
    read.temperature = format->temperature;
    sample = read;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
