#include "extendedPipeBundle/ExtendedPipeBundleRecords.h"

#include "extCommon/extModuleType.h"
#include "extendedPipeBundle/ExtendedPipeBundle.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct ExtendedPipeBundleRecords
{
    static constexpr uint8_t type = VNX_TYPE_EXTENDED_PIPE_BUNDLE;
    using Config = vnx::RecordKind<vnx_ExtendedPipeBundle_Config_s, 40, 1, vnx::RecordInit::ZeroFill>;
    using Command = vnx::RecordKind<vnx_ExtendedPipeBundle_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_ExtendedPipeBundle_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_ExtendedPipeBundle_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_ExtendedPipeBundle_Output_s, 16, 1>;
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(ExtendedPipeBundle, ExtendedPipeBundleRecords)
VNX_DEFINE_MODULE_FACTORY(ExtendedPipeBundle, ::vnx::ExtendedPipeBundle, ExtendedPipeBundleRecords)
