#include "loggerModule/LoggerRecords.h"

#include "extCommon/extModuleType.h"
#include "loggerModule/Logger.h"
#include "moduleFactory/ModuleFactoryFor.h"

namespace {

struct LoggerRecords
{
    static constexpr uint8_t type = VNX_TYPE_LOGGER;
    using Config = vnx::RecordKind<vnx_Logger_Config_s, 48, 1, vnx::RecordInit::ZeroFill>;
    using Command = vnx::RecordKind<vnx_Logger_Command_s, 40, 1, vnx::RecordInit::ZeroFill>;
    using Status = vnx::RecordKind<vnx_Logger_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_Logger_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_Logger_Output_s, 16, 1>;

    static void setDefaults(vnx_Logger_Config_s& config)
    {
        config.name = nullptr;
        config.mode = VNX_LOGGER_MODE_WRITE;
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(Logger, LoggerRecords)
VNX_DEFINE_MODULE_FACTORY(Logger, ::vnx::Logger, LoggerRecords)
