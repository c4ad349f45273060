#include "deviceMotion/DeviceMotion.h"

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_BUTTON_ACTIVITY};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_DEVICE_MOTION};

} // namespace

DeviceMotion::DeviceMotion() : config_{}
{
    vnx_DeviceMotion_initConfig(&config_);
}

int DeviceMotion::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotion::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int DeviceMotion::setConfig(const vnx_StructConfig_s* config)
{
    // The typed cast guards the 48-byte copy against shorter records.
    const auto* own = vnx_DeviceMotion_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    config_ = *own;
    return VNX_STATUS_SUCCESS;
}

int DeviceMotion::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_SUCCESS;
}

uint8_t DeviceMotion::getType() const
{
    return VNX_TYPE_DEVICE_MOTION;
}

int DeviceMotion::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    vnx_DeviceMotion_initConfig(&config_);
    return VNX_STATUS_SUCCESS;
}

int DeviceMotion::term()
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotion::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int DeviceMotion::getInputInterfaceCount() const
{
    return 1;
}

int DeviceMotion::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputTypes, capacity, typeIds, count);
}

int DeviceMotion::getOutputInterfaceCount() const
{
    return 1;
}

int DeviceMotion::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int DeviceMotion::process(int, size_t, const vnx_StructOutput_s**, const vnx_StructFormat_s**, int, size_t,
                          vnx_StructOutput_s**, vnx_StructFormat_s**)
{
    return VNX_STATUS_SUCCESS;
}
