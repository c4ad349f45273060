#include "buttonMapper/ButtonMapperRecords.h"

#include <cstring>

#include "buttonMapper/ButtonMapper.h"
#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ButtonMapperRecords
{
    static constexpr uint8_t type = VNX_TYPE_BUTTON_MAPPER;
    using Config = vnx::RecordKind<vnx_ButtonMapper_Config_s, 128, 1>;
    using Command = vnx::RecordKind<vnx_ButtonMapper_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_ButtonMapper_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_ButtonMapper_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ButtonMapper_Output_s, 96, 1>;

    static void setDefaults(vnx_ButtonMapper_Config_s& config)
    {
        // Buttons 0-7 are mouse buttons 1-8; the others map to none.
        for (int i = 0; i < VNX_BUTTON_MAPPER_BUTTONS; ++i) {
            config.mouseButtonMap[i] = i < 8 ? static_cast<uint8_t>(1u << i) : 0;
            config.keyCodes[i] = 0;
        }
    }
    static void setDefaults(vnx_ButtonMapper_Output_s& output)
    {
        output.held = 0;
        output.pressed = 0;
        output.released = 0;
        output.wheel = 0;
        std::memset(output.keys, 0, sizeof output.keys);
        output.pressedKeys = 0;
        output.releasedKeys = 0;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ButtonMapper, ButtonMapperRecords)
VNX_DEFINE_MODULE_FACTORY(ButtonMapper, ::ButtonMapper, ButtonMapperRecords)
