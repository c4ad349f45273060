#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "gesture/MultistrokeGesture.h"
#include "gesture/MultistrokeGestureRecords.h"
#include "gesture/moduleFieldDefaults.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct MultistrokeGestureRecords
{
    static constexpr uint8_t type = VNX_TYPE_MULTISTROKE_GESTURE;
    using Config = vnx::RecordKind<vnx_MultistrokeGesture_Config_s, 40, 1>;
    using Command = vnx::RecordKind<vnx_MultistrokeGesture_Command_s, 1064, 1>;
    using Status = vnx::RecordKind<vnx_MultistrokeGesture_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_MultistrokeGesture_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_MultistrokeGesture_Output_s, 1304, 1>;

    static void setDefaults(vnx_MultistrokeGesture_Config_s& config) { config.groupingDistance = 0.0; }
    static void setDefaults(vnx_MultistrokeGesture_Command_s& command)
    {
        vnx::gesture::zeroModuleFields(command, sizeof(vnx_StructCommand_s));
    }
    static void setDefaults(vnx_MultistrokeGesture_Output_s& output)
    {
        vnx::gesture::zeroModuleFields(output, sizeof(vnx_StructOutput_s));
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(MultistrokeGesture, MultistrokeGestureRecords)
VNX_DEFINE_MODULE_FACTORY(MultistrokeGesture, ::MultistrokeGesture, MultistrokeGestureRecords)

extern "C" int vnx_MultistrokeGesture_initDefinition(vnx_MultistrokeGesture_Definition_s* definition)
{
    if (definition == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(definition, 0, sizeof(*definition));
    return VNX_STATUS_SUCCESS;
}
