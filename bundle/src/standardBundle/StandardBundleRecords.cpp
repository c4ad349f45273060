#include "standardBundle/StandardBundleRecords.h"

#include "bundleCommon/bundleModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "standardBundle/StandardBundle.h"

namespace vnx {

struct StandardBundleRecords
{
    static constexpr uint8_t type = VNX_TYPE_STANDARD_BUNDLE;
    using Config = RecordKind<vnx_StandardBundle_Config_s, 48, 1>;
    using Command = RecordKind<vnx_StandardBundle_Command_s, 40, 1>;
    using Status = RecordKind<vnx_StandardBundle_Status_s, 32, 1>;
    using Format = RecordKind<vnx_StandardBundle_Format_s, 16, 1>;
    using Output = RecordKind<vnx_StandardBundle_Output_s, 16, 1>;

    static void setDefaults(vnx_StandardBundle_Config_s& config)
    {
        config.fusionOption = 1;
        config.pointerScale = 65536;
        config.reorientation[0] = 16384;
        config.reorientation[1] = 0;
        config.reorientation[2] = 0;
        config.reorientation[3] = 0;
    }
    static void setDefaults(vnx_StandardBundle_Command_s& command) { command.code = 0; }
};

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(StandardBundle, vnx::StandardBundleRecords)
VNX_DEFINE_MODULE_FACTORY(StandardBundle, ::vnx::StandardBundle, vnx::StandardBundleRecords)
