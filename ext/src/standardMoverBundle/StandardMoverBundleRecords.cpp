#include "standardMoverBundle/StandardMoverBundleRecords.h"

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "standardMoverBundle/StandardMoverBundle.h"

namespace {

struct StandardMoverBundleRecords
{
    static constexpr uint8_t type = VNX_TYPE_STANDARD_MOVER_BUNDLE;
    using Config = vnx::RecordKind<vnx_StandardMoverBundle_Config_s, 32, 1>;
    using Command = vnx::RecordKind<vnx_StandardMoverBundle_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_StandardMoverBundle_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_StandardMoverBundle_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_StandardMoverBundle_Output_s, 16, 1>;
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(StandardMoverBundle, StandardMoverBundleRecords)
VNX_DEFINE_MODULE_FACTORY(StandardMoverBundle, ::vnx::StandardMoverBundle, StandardMoverBundleRecords)
