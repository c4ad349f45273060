#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "gesture/CursorGesture.h"
#include "gesture/CursorGestureRecords.h"
#include "gesture/moduleFieldDefaults.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct CursorGestureRecords
{
    static constexpr uint8_t type = VNX_TYPE_CURSOR_GESTURE;
    using Config = vnx::RecordKind<vnx_CursorGesture_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_CursorGesture_Command_s, 232, 1>;
    using Status = vnx::RecordKind<vnx_CursorGesture_Status_s, 112, 1>;
    using Format = vnx::RecordKind<vnx_CursorGesture_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_CursorGesture_Output_s, 200, 1>;

    static void setDefaults(vnx_CursorGesture_Command_s& command)
    {
        vnx::gesture::zeroModuleFields(command, sizeof(vnx_StructCommand_s));
    }
    static void setDefaults(vnx_CursorGesture_Status_s& status)
    {
        vnx::gesture::zeroModuleFields(status, sizeof(vnx_StructStatus_s));
    }
    static void setDefaults(vnx_CursorGesture_Output_s& output)
    {
        vnx::gesture::zeroModuleFields(output, sizeof(vnx_StructOutput_s));
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(CursorGesture, CursorGestureRecords)
VNX_DEFINE_MODULE_FACTORY(CursorGesture, ::CursorGesture, CursorGestureRecords)

extern "C" int vnx_CursorGesture_initDefinition(vnx_CursorGesture_Definition_s* definition)
{
    if (definition == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(definition, 0, sizeof(*definition));
    return VNX_STATUS_SUCCESS;
}

extern "C" int vnx_CursorGesture_initLearningSuccessData(vnx_CursorGesture_LearningSuccessData_s* data)
{
    if (data == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(data, 0, sizeof(*data));
    return VNX_STATUS_SUCCESS;
}
