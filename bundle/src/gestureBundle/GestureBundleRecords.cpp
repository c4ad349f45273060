#include "gestureBundle/GestureBundleRecords.h"

#include <cstring>

#include "bundleCommon/bundleModuleType.h"
#include "common/statusCode.h"
#include "gestureBundle/GestureBundle.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace vnx {

struct GestureBundleRecords
{
    static constexpr uint8_t type = VNX_TYPE_GESTURE_BUNDLE;
    using Config = RecordKind<vnx_GestureBundle_Config_s, 32, 1>;
    using Command = RecordKind<vnx_GestureBundle_Command_s, 48, 1>;
    using Status = RecordKind<vnx_GestureBundle_Status_s, 56, 1>;
    using Format = RecordKind<vnx_GestureBundle_Format_s, 16, 1>;
    using Output = RecordKind<vnx_GestureBundle_Output_s, 16, 1>;

    static void setDefaults(vnx_GestureBundle_Command_s& command)
    {
        command.code = VNX_GESTURE_BUNDLE_COMMAND_NONE;
        command.argument.instanceId = 0;
    }
    static void setDefaults(vnx_GestureBundle_Status_s& status)
    {
        status.event = 0;
        std::memset(status.padding, 0, sizeof status.padding);
        std::memset(&status.module, 0, sizeof status.module);
    }
};

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(GestureBundle, vnx::GestureBundleRecords)
VNX_DEFINE_MODULE_FACTORY(GestureBundle, ::vnx::GestureBundle, vnx::GestureBundleRecords)

extern "C" int vnx_GestureBundle_initStatusModuleDetail(vnx_GestureBundle_StatusModuleDetail_s* detail)
{
    if (detail == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    detail->type = 0;
    detail->instanceId = 0;
    return VNX_STATUS_SUCCESS;
}
