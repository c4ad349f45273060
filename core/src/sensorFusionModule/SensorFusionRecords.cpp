#include "sensorFusionModule/SensorFusionRecords.h"

#include <cstring>

#include "sensorFusionModule/SensorFusionRecordFamily.h"

namespace vnx {

namespace {

constexpr int16_t kQ14One = 16384;

template <size_t N> void zeroWords(vnx_Number32_u (&words)[N])
{
    for (vnx_Number32_u& word : words) {
        word.bits = 0;
    }
}

} // namespace

void SensorFusionRecordFamily::setDefaults(vnx_SensorFusion_Config_s& config)
{
    config.reorientation[0] = kQ14One;
    config.reorientation[1] = 0;
    config.reorientation[2] = 0;
    config.reorientation[3] = 0;
    config.reserved1 = 0;
    config.reserved2 = 0;
    config.flags = static_cast<uint16_t>((config.flags & ~VNX_SENSOR_FUSION_FLAGS_MASK) |
                                         VNX_SENSOR_FUSION_DEFAULT_FLAGS);
    config.reserved3 = 0;
}

void SensorFusionRecordFamily::setDefaults(vnx_SensorFusion_Command_s& command)
{
    command.code = 0;
}

void SensorFusionRecordFamily::setDefaults(vnx_SensorFusion_Status_s& status)
{
    status.value = 0;
}

void SensorFusionRecordFamily::setDefaults(vnx_SensorFusion_Format_s& format)
{
    format.periodUs = 0;
    format.accelerationQ = VNX_QPOINT_INVALID;
    format.linearAccelerationQ = VNX_QPOINT_INVALID;
    format.angularVelocityQ = VNX_QPOINT_INVALID;
    std::memset(format.reserved, 0, sizeof(format.reserved));
    format.magneticFieldQ = VNX_QPOINT_INVALID;
    format.reservedGroupQ = VNX_QPOINT_INVALID;
    format.quaternionQ = VNX_QPOINT_INVALID;
}

void SensorFusionRecordFamily::setDefaults(vnx_SensorFusion_Output_s& output)
{
    output.sampleNumber = 0;
    zeroWords(output.acceleration);
    zeroWords(output.linearAcceleration);
    zeroWords(output.angularVelocity);
    zeroWords(output.magneticField);
    zeroWords(output.reservedGroup);
    zeroWords(output.quaternion);
}

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(SensorFusion, vnx::SensorFusionRecordFamily)
