#pragma once

// Records of the motion hand-over, ready for process calls.

#include <cstring>

#include "common/valueEncoding.h"
#include "deviceMotion/DeviceMotionFloatRecords.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace motiontest {

inline vnx_Number32_u floatWord(float value)
{
    vnx_Number32_u word;
    word.real = value;
    return word;
}

inline vnx_Number32_u fixedWord(int32_t value)
{
    vnx_Number32_u word;
    word.fixed = value;
    return word;
}

/// A SensorFusion Output and Format as the float fusion writes them: every
/// group but the reserved one in float bits.
struct FusedMotion
{
    vnx_SensorFusion_Output_s output;
    vnx_SensorFusion_Format_s format;

    FusedMotion()
    {
        std::memset(this, 0, sizeof(*this));
        vnx_SensorFusion_initOutput(&output);
        vnx_SensorFusion_initFormat(&format);
        format.periodUs = 8000;
        format.accelerationQ = VNX_QPOINT_FLOAT;
        format.linearAccelerationQ = VNX_QPOINT_FLOAT;
        format.angularVelocityQ = VNX_QPOINT_FLOAT;
        format.magneticFieldQ = VNX_QPOINT_FLOAT;
        format.quaternionQ = VNX_QPOINT_FLOAT;
    }
};

inline vnx_DeviceMotionFloat_Output_s floatMotion()
{
    vnx_DeviceMotionFloat_Output_s output;
    std::memset(&output, 0, sizeof(output));
    vnx_DeviceMotionFloat_initOutput(&output);
    return output;
}

} // namespace motiontest
