#include "serialization/SerializationRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "serialization/SerializationModule.h"

namespace {

struct SerializationModuleRecords
{
    static constexpr uint8_t type = VNX_TYPE_SERIALIZATION_MODULE;
    using Config = vnx::RecordKind<vnx_SerializationModule_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_SerializationModule_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_SerializationModule_Status_s, 56, 1>;
    using Format = vnx::RecordKind<vnx_SerializationModule_Format_s, 24, 1>;
    using Output = vnx::RecordKind<vnx_SerializationModule_Output_s, 48, 1>;

    static void setDefaults(vnx_SerializationModule_Status_s& status)
    {
        status.word = 0;
        status.first = 0;
        status.second = 0;
    }
    static void setDefaults(vnx_SerializationModule_Format_s& format) { format.headerValue = 0; }
    static void setDefaults(vnx_SerializationModule_Output_s& output)
    {
        output.streamId = 0;
        output.trailerValue = 0;
        output.slotCount = 0;
        output.recordCount = 0;
        output.reserved = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(SerializationModule, SerializationModuleRecords)
VNX_DEFINE_MODULE_FACTORY(SerializationModule, ::SerializationModule, SerializationModuleRecords)
