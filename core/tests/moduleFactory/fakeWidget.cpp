#include "fakeWidget.h"

#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct WidgetRecords
{
    static constexpr uint8_t type = kWidgetType;
    using Config = vnx::RecordKind<vnx_Widget_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_Widget_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_Widget_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_Widget_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_Widget_Output_s, 24, 2>;

    static void setDefaults(vnx_Widget_Output_s& output) { output.value = 7; }
};

struct SprocketRecords
{
    static constexpr uint8_t type = kSprocketType;
    using Config = vnx::RecordKind<vnx_Sprocket_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_Sprocket_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_Sprocket_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_Sprocket_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_Sprocket_Output_s, 16, 1>;
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(Widget, WidgetRecords)
VNX_DEFINE_MODULE_FACTORY(Widget, WidgetModule, WidgetRecords)
VNX_DEFINE_RECORD_FAMILY(Sprocket, SprocketRecords)
VNX_DEFINE_RECORD_ONLY_FACTORY(Sprocket, SprocketRecords)

vnx::ModuleFactoryInterface& widgetFactory()
{
    return vnx::Widget_ModuleFactory::__instance;
}

vnx::ModuleFactoryInterface& sprocketFactory()
{
    return vnx::Sprocket_ModuleFactory::__instance;
}
