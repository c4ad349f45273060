#include "cursorMover/CursorMoverRecords.h"

#include <cstring>

#include "common/statusCode.h"
#include "cursorMover/CursorMover.h"
#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct CursorMoverRecords
{
    static constexpr uint8_t type = VNX_TYPE_CURSOR_MOVER;
    using Config = vnx::RecordKind<vnx_CursorMover_Config_s, 56, 1, vnx::RecordInit::ZeroFill>;
    using Command = vnx::RecordKind<vnx_CursorMover_Command_s, 120, 1, vnx::RecordInit::ZeroFill>;
    using Status = vnx::RecordKind<vnx_CursorMover_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_CursorMover_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_CursorMover_Output_s, 16, 1>;

    static void setDefaults(vnx_CursorMover_Config_s& config)
    {
        config.mode = VNX_CURSOR_MOVER_MODE_OFF;
        config.platformFlagA = 1;
        config.platformFlagB = 1;
    }
    static void setDefaults(vnx_CursorMover_Command_s& command)
    {
        command.code = VNX_CURSOR_MOVER_COMMAND_SET_BOUNDS;
        vnx_CursorMover_initBounds(&command.parameter.bounds);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(CursorMover, CursorMoverRecords)
VNX_DEFINE_MODULE_FACTORY(CursorMover, ::CursorMover, CursorMoverRecords)

extern "C" int vnx_CursorMover_initBounds(vnx_CursorMover_Bounds_s* bounds)
{
    if (bounds == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    *bounds = {-1, -1, -1, -1};
    return VNX_STATUS_SUCCESS;
}

extern "C" int vnx_CursorMover_initSendInput(vnx_CursorMover_SendInput_s* input)
{
    if (input == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(input, 0, sizeof *input);
    return VNX_STATUS_SUCCESS;
}
