#include "extendedBundle/ExtendedBundleRecords.h"

#include "bundleCommon/bundleModuleType.h"
#include "extendedBundle/ExtendedBundle.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace vnx {

struct ExtendedBundleRecords
{
    static constexpr uint8_t type = VNX_TYPE_EXTENDED_BUNDLE;
    using Config = RecordKind<vnx_ExtendedBundle_Config_s, 104, 1>;
    using Command = RecordKind<vnx_ExtendedBundle_Command_s, 32, 1>;
    using Status = RecordKind<vnx_ExtendedBundle_Status_s, 32, 1>;
    using Format = RecordKind<vnx_ExtendedBundle_Format_s, 16, 1>;
    using Output = RecordKind<vnx_ExtendedBundle_Output_s, 16, 1>;

    /// A fresh Config asks for the default wake-on-shake detector (preset 3).
    static void setDefaults(vnx_ExtendedBundle_Config_s& config)
    {
        vnx_ShakeDetector_initConfig(&config.cursorWakeOnShakeConfig);
    }
};

} // namespace vnx

VNX_DEFINE_RECORD_FAMILY(ExtendedBundle, vnx::ExtendedBundleRecords)
VNX_DEFINE_MODULE_FACTORY(ExtendedBundle, ::vnx::ExtendedBundle, vnx::ExtendedBundleRecords)
