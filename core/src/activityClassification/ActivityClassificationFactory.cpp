#include "activityClassification/ActivityClassification.h"
#include "activityClassification/ActivityClassificationRecords.h"
#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ActivityClassificationRecords
{
    static constexpr uint8_t type = VNX_TYPE_ACTIVITY_CLASSIFICATION;
    using Config = vnx::RecordKind<vnx_ActivityClassification_Config_s, 48, 2>;
    using Command = vnx::RecordKind<vnx_ActivityClassification_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_ActivityClassification_Status_s, 40, 1>;
    using Format = vnx::RecordKind<vnx_ActivityClassification_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ActivityClassification_Output_s, 24, 1>;

    /// Still after a minute, motion above 0.1 rad/s, both facts reported.
    static void setDefaults(vnx_ActivityClassification_Config_s& config)
    {
        config.reserved[0] = 0;
        config.reserved[1] = 0;
        config.reserved[2] = 0;
        config.stillTimeS = 60;
        config.motionThresholdBase = 0.02f;
        config.statusEnable =
            VNX_ACTIVITY_CLASSIFICATION_REPORT_INTERPRETATION_FLAG | VNX_ACTIVITY_CLASSIFICATION_REPORT_STILL;
    }
    static void setDefaults(vnx_ActivityClassification_Command_s& command) { command.code = 0; }
    static void setDefaults(vnx_ActivityClassification_Status_s& status)
    {
        status.statusType = 0;
        status.flags = 0;
    }
    /// Clears the module's bits; bits 6 and 7 belong to the record's user.
    static void setDefaults(vnx_ActivityClassification_Output_s& output)
    {
        output.flags &= VNX_ACTIVITY_CLASSIFICATION_OUTPUT_USER_BITS;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ActivityClassification, ActivityClassificationRecords)
VNX_DEFINE_MODULE_FACTORY(ActivityClassification, ::ActivityClassification, ActivityClassificationRecords)
