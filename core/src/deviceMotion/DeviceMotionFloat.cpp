#include "deviceMotion/DeviceMotionFloat.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_DEVICE_MOTION_FLOAT};
constexpr float kMicrosecondsPerSecond = 1000000.0f;

/// Index of the first of `count` records whose type byte is `type`, or -1.
int findByType(size_t count, const vnx_StructOutput_s* const* records, uint8_t type)
{
    if (records == nullptr) {
        return -1;
    }
    for (size_t i = 0; i < count; ++i) {
        if (records[i] != nullptr && records[i]->header.type == type) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

/// Converts one value group. The q code holds for the whole group, so an
/// absent group gives 0 in its first value and leaves the others as they were.
template <size_t N> void convertGroup(const vnx_Number32_u (&words)[N], int8_t q, float (&values)[N])
{
    for (size_t i = 0; i < N; ++i) {
        if (vnx_getFloat32WithDefault(words[i], q, &values[i], 0.0f) != VNX_STATUS_SUCCESS) {
            return;
        }
    }
}

void convert(const vnx_SensorFusion_Output_s& motion, const vnx_SensorFusion_Format_s& format,
             vnx_DeviceMotionFloat_Output_s& out)
{
    out.sampleNumber = motion.sampleNumber;
    out.period = static_cast<float>(format.periodUs) / kMicrosecondsPerSecond;
    convertGroup(motion.acceleration, format.accelerationQ, out.vector1);
    convertGroup(motion.linearAcceleration, format.linearAccelerationQ, out.vector2);
    convertGroup(motion.angularVelocity, format.angularVelocityQ, out.vector3);
    convertGroup(motion.magneticField, format.magneticFieldQ, out.vector4);
    convertGroup(motion.reservedGroup, format.reservedGroupQ, out.vector5);
    convertGroup(motion.quaternion, format.quaternionQ, out.quaternion);
}

} // namespace

int DeviceMotionFloat::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotionFloat::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_NOT_FOR_ME;
}

int DeviceMotionFloat::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

int DeviceMotionFloat::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

uint8_t DeviceMotionFloat::getType() const
{
    return VNX_TYPE_DEVICE_MOTION_FLOAT;
}

int DeviceMotionFloat::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotionFloat::term()
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotionFloat::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotionFloat::getInputInterfaceCount() const
{
    return 1;
}

int DeviceMotionFloat::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputTypes, capacity, typeIds, count);
}

int DeviceMotionFloat::getOutputInterfaceCount() const
{
    return 1;
}

int DeviceMotionFloat::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int DeviceMotionFloat::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                               const vnx_StructFormat_s** inputFormats, int outputInterface,
                               size_t outputCount, vnx_StructOutput_s** outputs,
                               vnx_StructFormat_s** outputFormats)
{
    if (inputInterface != 0 || outputInterface != 0 || outputCount != 1) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_DeviceMotionFloat_dynamicDownCastOutput);
    if (out == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    // Motion already converted upstream passes through unchanged.
    const int converted = findByType(inputCount, inputs, VNX_TYPE_DEVICE_MOTION_FLOAT);
    if (converted >= 0) {
        const auto* in = vnx::processRecord(inputCount, inputs, converted,
                                            vnx_DeviceMotionFloat_dynamicDownCastConstOutput);
        if (in == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        vnx_StructOutput_copy(&in->output.header, &out->output.header);
        // The Format slots are optional here: copied only when both are
        // present (the copy itself checks that their headers agree).
        if (inputFormats != nullptr && outputFormats != nullptr && inputFormats[converted] != nullptr &&
            outputFormats[0] != nullptr) {
            vnx_StructFormat_copy(&inputFormats[converted]->header, &outputFormats[0]->header);
        }
        return VNX_STATUS_SUCCESS;
    }

    const int fused = findByType(inputCount, inputs, VNX_TYPE_SENSOR_FUSION);
    if (fused < 0) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto* motion =
        vnx::processRecord(inputCount, inputs, fused, vnx_SensorFusion_dynamicDownCastConstOutput);
    const auto* format =
        vnx::processRecord(inputCount, inputFormats, fused, vnx_SensorFusion_dynamicDownCastConstFormat);
    if (motion == nullptr || format == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    convert(*motion, *format, *out);
    return VNX_STATUS_SUCCESS;
}
