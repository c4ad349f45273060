#include "common/moduleType.h"
#include "gesture/LinearGesture.h"
#include "gesture/LinearGestureRecords.h"
#include "gesture/moduleFieldDefaults.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct LinearGestureRecords
{
    static constexpr uint8_t type = VNX_TYPE_LINEAR_GESTURE;
    using Config = vnx::RecordKind<vnx_LinearGesture_Config_s, 88, 1>;
    using Command = vnx::RecordKind<vnx_LinearGesture_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_LinearGesture_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_LinearGesture_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_LinearGesture_Output_s, 32, 1>;

    static void setDefaults(vnx_LinearGesture_Config_s& config)
    {
        vnx::gesture::zeroModuleFields(config, sizeof(vnx_StructConfig_s));
    }
    static void setDefaults(vnx_LinearGesture_Command_s& command)
    {
        vnx::gesture::zeroModuleFields(command, sizeof(vnx_StructCommand_s));
    }
    static void setDefaults(vnx_LinearGesture_Output_s& output)
    {
        vnx::gesture::zeroModuleFields(output, sizeof(vnx_StructOutput_s));
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(LinearGesture, LinearGestureRecords)
VNX_DEFINE_MODULE_FACTORY(LinearGesture, ::LinearGesture, LinearGestureRecords)
