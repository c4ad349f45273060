#include <cstring>

#include "extendedCursor/ExtendedCursor.h"
#include "extendedCursor/ExtendedCursorRecordFamily.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace vnx {

namespace {
// Default display the bounds describe until the client sends its own.
constexpr vnx_ExtendedCursor_Bounds_s kDefaultBounds = {0, 0, 1280, 720};
} // namespace

void ExtendedCursorRecords::setDefaults(vnx_ExtendedCursor_Config_s& config)
{
    vnx_StandardCursor_initConfig(&config.standardCursor);
    config.enableMickeyConversion = 1;
    config.viewingAngle = 0.5235988f; // pi / 6
    config.curveSelector = 1;
    config.preFilter = 1;
    config.pointingMode = 2;
    config.recenterMode = 0;
    config.alignmentScale = 1.2f;
    config.alignmentAngle = 0.0349066f; // 2 degrees
    config.alignmentMaxError = 1e8f;
}

void ExtendedCursorRecords::setDefaults(vnx_ExtendedCursor_Command_s& command)
{
    command.code = 0;
    std::memset(command.data.bytes, 0, 8); // bytes 36-43; the rest is left as it was
}

void ExtendedCursorRecords::setDefaults(vnx_ExtendedCursor_Output_s& output)
{
    output.sample = 0;
    output.x = 0;
    output.y = 0;
    output.dx = 0;
    output.dy = 0;
    output.pointerState = 0;
    output.distance = 0.0f;
}

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(ExtendedCursor, vnx::ExtendedCursorRecords)

extern "C" int vnx_ExtendedCursor_initBounds(vnx_ExtendedCursor_Bounds_s* bounds)
{
    if (bounds == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    *bounds = vnx::kDefaultBounds;
    return VNX_STATUS_SUCCESS;
}

extern "C" int vnx_ExtendedCursor_initSetBoundsData(vnx_ExtendedCursor_SetBoundsData_s* data)
{
    if (data == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    data->osdBounds = vnx::kDefaultBounds;
    data->pointerLimits = vnx::kDefaultBounds;
    return VNX_STATUS_SUCCESS;
}

extern "C" int vnx_ExtendedCursor_initForceLocationData(vnx_ExtendedCursor_ForceLocationData_s* data)
{
    if (data == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    data->x = 0;
    data->y = 0;
    return VNX_STATUS_SUCCESS;
}

VNX_DEFINE_MODULE_FACTORY(ExtendedCursor, ::vnx::ExtendedCursor, vnx::ExtendedCursorRecords)
