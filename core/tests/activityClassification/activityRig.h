#pragma once

// Drives an ActivityClassification module the way the fusion module does:
// one interpreted-motion sample per call, 8000 us apart, and records every
// Status the module reports.

#include <cstring>
#include <vector>

#include "activityClassification/ActivityClassification.h"
#include "activityClassification/ActivityClassificationRecords.h"
#include "calibration/scdData.h"
#include "common/statusCode.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "support/ScdBuilder.h"

namespace activitytest {

/// Keeps a copy of every ActivityClassification Status it hears.
class StatusLog : public vnx::ModuleListenerInterface
{
  public:
    void statusCallback(vnx::ModuleConfigInterface* source, const vnx_StructStatus_s* status) override
    {
        lastSource = source;
        const auto* own = vnx_ActivityClassification_dynamicDownCastConstStatus(status);
        if (own != nullptr) {
            statuses.push_back(*own);
        } else {
            ++foreign;
        }
    }

    std::vector<vnx_ActivityClassification_Status_s> statuses;
    int foreign = 0;
    vnx::ModuleConfigInterface* lastSource = nullptr;
};

/// One interpreted-motion sample.
struct Sample
{
    float rateY = 0.0f; ///< rad/s
    float rateZ = 0.0f; ///< rad/s
    uint32_t sampleDelta = 1;
    bool interpretationFlag = false;
    float rateX = 0.0f; ///< rad/s; not watched
};

class ActivityRig
{
  public:
    static constexpr uint32_t kPeriodUs = 8000;
    static constexpr int kSamplesPerMinute = 7500; // 60 s at 125 Hz
    static constexpr int kReportGap = 31;          // 250000 / 8000

    ActivityRig()
    {
        std::memset(&motion, 0, sizeof(motion));
        std::memset(&format, 0, sizeof(format));
        std::memset(&output, 0, sizeof(output));
        vnx_SensorInterpretation_initOutput(&motion);
        vnx_SensorInterpretation_initFormat(&format);
        format.periodUs = kPeriodUs;
        vnx_ActivityClassification_initOutput(&output);
        module.setModuleListener(&log);
    }

    /// init with an SCD of the rig's period; the module's result.
    int init()
    {
        const scdGen4Float_s scd = vnx::testsupport::ScdBuilder().period(kPeriodUs * 1e-6).build();
        int scdOffset = 0;
        int dcdOffset = 0;
        return module.init(&scd.head, scdOffset, nullptr, dcdOffset);
    }

    /// Runs one sample; the module's result.
    int feed(const Sample& sample)
    {
        motion.sampleNumber += sample.sampleDelta;
        motion.sampleDelta = sample.sampleDelta;
        motion.angularVelocity[0] = sample.rateX;
        motion.angularVelocity[1] = sample.rateY;
        motion.angularVelocity[2] = sample.rateZ;
        motion.flags = sample.interpretationFlag ? 1 : 0;
        const vnx_StructOutput_s* inputs[] = {&motion.output};
        const vnx_StructFormat_s* formats[] = {&format.format};
        vnx_StructOutput_s* outputs[] = {&output.output};
        return module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr);
    }

    /// Runs `count` identical samples; stops early on a failed call.
    void feed(const Sample& sample, int count)
    {
        for (int i = 0; i < count; ++i) {
            if (feed(sample) != VNX_STATUS_SUCCESS) {
                return;
            }
        }
    }

    bool still() const { return (output.flags & VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL) != 0; }

    StatusLog log;
    ActivityClassification module;
    vnx_SensorInterpretation_Output_s motion;
    vnx_SensorInterpretation_Format_s format;
    vnx_ActivityClassification_Output_s output;
};

} // namespace activitytest
