#pragma once

// What the ShakeDetector record functions and its factory share: type id,
// sizes, versions and defaults of its records.

#include "common/moduleType.h"
#include "moduleFactory/recordFamilyDefinition.h"
#include "shakeDetector/ShakeDetectorRecords.h"

namespace vnx {

struct ShakeDetectorRecords
{
    static constexpr uint8_t type = VNX_TYPE_SHAKE_DETECTOR;
    using Config = RecordKind<vnx_ShakeDetector_Config_s, 72, 1>;
    using Command = RecordKind<vnx_ShakeDetector_Command_s, 32, 1>;
    using Status = RecordKind<vnx_ShakeDetector_Status_s, 32, 1>;
    using Format = RecordKind<vnx_ShakeDetector_Format_s, 16, 1>;
    using Output = RecordKind<vnx_ShakeDetector_Output_s, 32, 1>;

    static void setDefaults(vnx_ShakeDetector_Config_s& config)
    {
        config.mode = 3;
        config.rateThreshold = 0.0f;
        config.reversalFrequency = 0.0f;
        config.reversalCount = 0;
        config.singleAxis = 0;
        config.xRatio = 0.0f;
        config.yRatio = 0.0f;
        config.restValue = 1.0f;
        config.shakeValue = 0.11f;
    }
    static void setDefaults(vnx_ShakeDetector_Output_s& output)
    {
        output.shake = 0;
        output.intensity = 0.0f;
        output.outputValue = 0.0f;
    }
};

} // namespace vnx
