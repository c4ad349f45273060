#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "sensorInterpretation9Axis/SensorInterpretation9Axis.h"
#include "sensorInterpretation9Axis/SensorInterpretation9AxisRecords.h"

namespace {

struct SensorInterpretation9AxisRecords
{
    static constexpr uint8_t type = VNX_TYPE_SENSOR_INTERPRETATION_9AXIS;
    using Config = vnx::RecordKind<vnx_SensorInterpretation9Axis_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_SensorInterpretation9Axis_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_SensorInterpretation9Axis_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_SensorInterpretation9Axis_Format_s, 112, 1>;
    using Output = vnx::RecordKind<vnx_SensorInterpretation9Axis_Output_s, 88, 1>;

    static void setDefaults(vnx_SensorInterpretation9Axis_Format_s& format)
    {
        vnx_SensorInterpretation_initFormat(&format.interpretation);
        format.magValueFormat = VNX_QPOINT_FLOAT;
        vnx_SensorInterpretation9Axis_initMagRepresentation(&format.magRepresentation);
    }

    static void setDefaults(vnx_SensorInterpretation9Axis_Output_s& output)
    {
        vnx_SensorInterpretation_initOutput(&output.interpretation);
        for (vnx_Number32_u& value : output.magneticField) {
            value.bits = 0;
        }
    }
};

} // namespace

extern "C" int vnx_SensorInterpretation9Axis_initMagRepresentation(
    vnx_SensorInterpretation9Axis_MagRepresentation_s* representation)
{
    if (representation == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    representation->word0 = 0;
    representation->byte0 = 0;
    representation->word1 = 0;
    representation->byte1 = 0;
    representation->word2 = 0;
    representation->byte2 = 0;
    representation->wide[0] = 0;
    representation->wide[1] = 0;
    return VNX_STATUS_SUCCESS;
}

VNX_DEFINE_RECORD_FAMILY(SensorInterpretation9Axis, SensorInterpretation9AxisRecords)
VNX_DEFINE_MODULE_FACTORY(SensorInterpretation9Axis, ::SensorInterpretation9Axis,
                          SensorInterpretation9AxisRecords)
