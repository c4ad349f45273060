#pragma once

// A stand-in for the nine-axis fusion module (type 17), which no library
// registers: it takes SensorFusion records as its own and writes a steady
// turn into its output slot, one sample number further per call.

#include <cstddef>
#include <cstring>

#include "common/moduleType.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/FakeModule.h"

namespace bundleTest {

inline vnx::testsupport::FakeModuleScript turningFusion()
{
    vnx::testsupport::FakeModuleScript script;
    script.type = VNX_TYPE_SENSOR_FUSION_9AXIS;
    script.recordType = VNX_TYPE_SENSOR_FUSION;
    script.process = [sample = 0u](size_t count, vnx_StructOutput_s** outputs,
                                   vnx_StructFormat_s** formats) mutable {
        auto* motion = vnx_SensorFusion_dynamicDownCastOutput(outputs[0]);
        auto* format = vnx_SensorFusion_dynamicDownCastFormat(formats[0]);
        if (count != 1 || motion == nullptr || format == nullptr) {
            return -2;
        }
        motion->sampleNumber = ++sample;
        const float rates[3] = {0.0f, 0.4f, -0.3f}; // rad/s
        std::memcpy(motion->angularVelocity, rates, sizeof rates);
        const float identity[4] = {1.0f, 0.0f, 0.0f, 0.0f};
        std::memcpy(motion->quaternion, identity, sizeof identity);
        format->periodUs = 8000;
        format->angularVelocityQ = 127;
        format->quaternionQ = 127;
        return 0;
    };
    return script;
}

} // namespace bundleTest
