#include "motionPipe/MotionPipeRecords.h"

#include <cstring>

#include "extCommon/extModuleType.h"
#include "moduleFactory/ModuleFactoryFor.h"
#include "motionPipe/MotionPipe.h"

namespace {

struct MotionPipeRecords
{
    static constexpr uint8_t type = VNX_TYPE_MOTION_PIPE;
    using Config = vnx::RecordKind<vnx_MotionPipe_Config_s, 64, 1>;
    using Command = vnx::RecordKind<vnx_MotionPipe_Command_s, 32, 1>;
    using Status = vnx::RecordKind<vnx_MotionPipe_Status_s, 32, 1>;
    using Format = vnx::RecordKind<vnx_MotionPipe_Format_s, 16, 1>;
    using Output = vnx::RecordKind<vnx_MotionPipe_Output_s, 16, 1>;

    static void setDefaults(vnx_MotionPipe_Config_s& config)
    {
        std::memset(config.pipeName, 0, sizeof config.pipeName);
    }
};

} // namespace

VNX_DEFINE_RECORD_FAMILY(MotionPipe, MotionPipeRecords)
VNX_DEFINE_MODULE_FACTORY(MotionPipe, ::vnx::MotionPipe, MotionPipeRecords)
