#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "sensorInterpretationModule/SensorInterpretation.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"

namespace {

struct SensorInterpretationRecords
{
    static constexpr uint8_t type = VNX_TYPE_SENSOR_INTERPRETATION;
    using Config = vnx::RecordKind<vnx_SensorInterpretation_Config_s, 40, 1>;
    using Command = vnx::RecordKind<vnx_SensorInterpretation_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_SensorInterpretation_Status_s, 32, 1>;
    // The Format is zero apart from its header and the two value codes.
    using Format = vnx::RecordKind<vnx_SensorInterpretation_Format_s, 56, 1, vnx::RecordInit::ZeroFill>;
    using Output = vnx::RecordKind<vnx_SensorInterpretation_Output_s, 56, 1>;

    static void setDefaults(vnx_SensorInterpretation_Config_s& config)
    {
        config.periodSelector = 0;
        config.periodUs = 0;
    }

    static void setDefaults(vnx_SensorInterpretation_Format_s& format)
    {
        format.accValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
        format.rateValueFormat = VNX_SENSOR_INTERPRETATION_VALUE_FLOAT;
    }

    // The flag bits other than the two the module writes belong to the
    // record's user and stay as they were.
    static void setDefaults(vnx_SensorInterpretation_Output_s& output)
    {
        output.sampleNumber = 0;
        output.sampleDelta = 0;
        output.flags = static_cast<uint8_t>(
            output.flags & ~(VNX_SENSOR_INTERPRETATION_ON_TABLE | VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED));
        for (int i = 0; i < 3; ++i) {
            output.acceleration[i] = 0.0f;
            output.angularVelocity[i] = 0.0f;
        }
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(SensorInterpretation, SensorInterpretationRecords)
VNX_DEFINE_MODULE_FACTORY(SensorInterpretation, ::SensorInterpretation, SensorInterpretationRecords)

extern "C" int vnx_SensorInterpretation_initSensorRepresentation(
    vnx_SensorInterpretation_SensorRepresentation_s* representation)
{
    if (representation == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    representation->kind = 0;
    representation->value = 0;
    representation->extra = 0;
    return VNX_STATUS_SUCCESS;
}
