#include "common/moduleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "testModule/TestModule.h"
#include "testModule/TestModuleRecords.h"

namespace {

struct TestModuleRecords
{
    static constexpr uint8_t type = VNX_TYPE_TEST_MODULE;
    using Config = vnx::RecordKind<vnx_TestModule_Config_s, 40, 1>;
    using Command = vnx::RecordKind<vnx_TestModule_Command_s, 40, 1>;
    using Status = vnx::RecordKind<vnx_TestModule_Status_s, 40, 1>;
    using Format = vnx::RecordKind<vnx_TestModule_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_TestModule_Output_s, 16, 1>;

    static void setDefaults(vnx_TestModule_Config_s& config) { config.value = 0; }
    static void setDefaults(vnx_TestModule_Command_s& command) { command.value = 0; }
    static void setDefaults(vnx_TestModule_Status_s& status) { status.code = 0; }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(TestModule, TestModuleRecords)
VNX_DEFINE_MODULE_FACTORY(TestModule, ::TestModule, TestModuleRecords)
