#include "sensorInterpretationModule/rawSampleInput.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "moduleFactory/processArguments.h"

namespace vnx {

namespace {

constexpr std::uint8_t kTwoSensors[] = {VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_DEVICE_SUPPORT};
constexpr std::uint8_t kThreeSensors[] = {VNX_TYPE_DEVICE_SUPPORT, VNX_TYPE_DEVICE_SUPPORT,
                                          VNX_TYPE_DEVICE_SUPPORT};
constexpr std::uint8_t kSixAxis[] = {VNX_TYPE_DEVICE_SUPPORT_6AG};
constexpr std::uint8_t kNineAxis[] = {VNX_TYPE_DEVICE_SUPPORT_9AGM};

constexpr std::uint32_t glitchFlag(std::uint8_t glitch)
{
    return glitch != 0 ? VNX_DEVICE_SUPPORT_FLAG_GYROSCOPE_GLITCH : 0u;
}

RawTriple triple(const std::int16_t (&values)[3])
{
    return {values[0], values[1], values[2]};
}

// Interfaces 0 and 1: one DeviceSupport Output per sensor, the sample fields
// in the first Format. The magnetometer record of interface 1 must be there
// but its values are not used.
int readSensorRecords(std::size_t recordCount, bool needsMagnetometer, std::size_t inputCount,
                      const vnx_StructOutput_s* const* inputs, const vnx_StructFormat_s* const* inputFormats,
                      RawSensorSample& sample)
{
    const auto* format =
        processRecord(inputCount, inputFormats, 0, vnx_DeviceSupport_dynamicDownCastConstFormat);
    if (format == nullptr || inputCount < recordCount) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const vnx_DeviceSupport_Output_s* acc = nullptr;
    const vnx_DeviceSupport_Output_s* rs = nullptr;
    bool hasMagnetometer = false;
    for (std::size_t i = 0; i < recordCount; ++i) {
        const auto* record =
            processRecord(inputCount, inputs, i, vnx_DeviceSupport_dynamicDownCastConstOutput);
        if (record == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        if (record->sensor == VNX_DEVICE_SUPPORT_ACCELEROMETER && acc == nullptr) {
            acc = record;
        } else if (record->sensor == VNX_DEVICE_SUPPORT_GYROSCOPE && rs == nullptr) {
            rs = record;
        } else if (record->sensor == VNX_DEVICE_SUPPORT_MAGNETOMETER) {
            hasMagnetometer = true;
        }
    }
    if (acc == nullptr || rs == nullptr || (needsMagnetometer && !hasMagnetometer)) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    sample.sampleNumber = format->sampleNumber;
    sample.sampleFlags = format->flags;
    sample.temperature = format->temperature;
    sample.acc = {acc->x, acc->y, acc->z};
    sample.rs = {rs->x, rs->y, rs->z};
    return VNX_STATUS_SUCCESS;
}

// Interfaces 2 and 3: one record that carries the whole sample.
template <class Record>
int readCombinedRecord(std::size_t inputCount, const vnx_StructOutput_s* const* inputs,
                       const Record* (*cast)(const vnx_StructOutput_s*), RawSensorSample& sample)
{
    const Record* record = processRecord(inputCount, inputs, 0, cast);
    if (record == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    sample.sampleNumber = static_cast<std::uint32_t>(record->sampleNumber);
    sample.sampleFlags = glitchFlag(record->gyroscopeGlitch);
    sample.temperature = record->temperature;
    sample.acc = triple(record->accelerometer);
    sample.rs = triple(record->gyroscope);
    return VNX_STATUS_SUCCESS;
}

} // namespace

std::span<const std::uint8_t> rawSampleInterfaceTypes(int index)
{
    switch (index) {
    case 0:
        return kTwoSensors;
    case 1:
        return kThreeSensors;
    case 2:
        return kSixAxis;
    case 3:
        return kNineAxis;
    default:
        return {};
    }
}

int readRawSample(int index, std::size_t inputCount, const vnx_StructOutput_s* const* inputs,
                  const vnx_StructFormat_s* const* inputFormats, RawSensorSample& sample)
{
    switch (index) {
    case 0:
    case 1:
        return readSensorRecords(rawSampleInterfaceTypes(index).size(), index == 1, inputCount, inputs,
                                 inputFormats, sample);
    case 2:
        return readCombinedRecord(inputCount, inputs, vnx_DeviceSupport6AG_dynamicDownCastConstOutput,
                                  sample);
    case 3:
        return readCombinedRecord(inputCount, inputs, vnx_DeviceSupport9AGM_dynamicDownCastConstOutput,
                                  sample);
    default:
        return VNX_STATUS_INVALID_INTERFACE;
    }
}

} // namespace vnx
