#include "buttonActivity/ButtonActivity.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ButtonActivityRecords
{
    static constexpr uint8_t type = VNX_TYPE_BUTTON_ACTIVITY;
    using Config = vnx::RecordKind<vnx_ButtonActivity_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_ButtonActivity_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_ButtonActivity_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_ButtonActivity_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ButtonActivity_Output_s, 32, 1>;

    static void setDefaults(vnx_ButtonActivity_Output_s& output)
    {
        output.activity = VNX_BUTTON_ACTIVITY_DERIVE;
        output.buttons = 0;
        output.wheel = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ButtonActivity, ButtonActivityRecords)
VNX_DEFINE_MODULE_FACTORY(ButtonActivity, ::ButtonActivity, ButtonActivityRecords)
