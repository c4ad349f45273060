#include "manualDomain/ManualDevice.h"

#include <cstdio>
#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "manualDomain/ManualCoordinator.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

ManualDevice::ManualDevice(ManualCoordinator* coordinator) : DeviceTemplate(coordinator, &config_.config)
{
    vnx_ManualDevice_initConfig(&config_);
    vnx_ButtonActivity_initOutput(&buttons_);
    buttonActivity_ =
        ModuleFactory::createModule(static_cast<ModuleConfigInterface*>(this), VNX_TYPE_BUTTON_ACTIVITY);
}

ManualDevice::~ManualDevice()
{
    ModuleFactory::destroyModule(buttonActivity_);
}

int ManualDevice::getConfig(vnx_StructConfig_s* config) const
{
    if (!isOwn(config, VNX_KIND_CONFIG)) {
        return DeviceTemplate::getConfig(config);
    }
    vnx_ManualDevice_Config_s* own = vnx_ManualDevice_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memcpy(own, &config_, sizeof config_);
    return VNX_STATUS_SUCCESS;
}

int ManualDevice::setConfig(const vnx_StructConfig_s* config)
{
    if (!isOwn(config, VNX_KIND_CONFIG)) {
        return DeviceTemplate::setConfig(config);
    }
    const vnx_ManualDevice_Config_s* own = vnx_ManualDevice_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memcpy(&config_, own, sizeof config_);
    return onHost([&](ModuleManagerInterface& host) {
        host.setScd(&config_.scd.head);
        host.setDcdIsExternal(config_.dcdIsExternal != 0);
        return config_.dcdIsExternal != 0 ? host.setDcd(&config_.dcd.head) : VNX_STATUS_SUCCESS;
    });
}

int ManualDevice::sendCommand(const vnx_StructCommand_s* command)
{
    if (!isOwn(command, VNX_KIND_COMMAND)) {
        return DeviceTemplate::sendCommand(command);
    }
    const vnx_ManualDevice_Command_s* own = vnx_ManualDevice_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (own->code) {
    case VNX_MANUAL_DEVICE_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_MANUAL_DEVICE_COMMAND_REMOVE:
        // The domain deletes this device: nothing of it is touched after.
        return coordinator()->deviceRemove(this);
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

int ManualDevice::getGuid(vnx_DomainGuid_s* guid) const
{
    if (guid == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(guid, 0, sizeof *guid);
    guid->deviceType = VNX_TYPE_MANUAL_DEVICE;
    guid->domainType = VNX_TYPE_MANUAL_DOMAIN;
    std::memcpy(guid->id, config_.id, sizeof config_.id);
    return VNX_STATUS_SUCCESS;
}

int ManualDevice::getName(int size, char* buffer) const
{
    if (buffer == nullptr || size < 1) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const uint8_t* id = config_.id;
    std::snprintf(buffer, static_cast<size_t>(size), "ManualDevice-%02X-%02X-%02X-%02X-%02X-%02X-%02X-%02X",
                  id[0], id[1], id[2], id[3], id[4], id[5], id[6], id[7]);
    return VNX_STATUS_SUCCESS;
}

int ManualDevice::sendInput(size_t n, const vnx_StructOutput_s** outputs, const vnx_StructFormat_s** formats)
{
    if (!isOpen()) {
        return VNX_STATUS_DEVICE_CLOSED;
    }
    size_t buttonIndex = n;
    for (size_t i = 0; outputs != nullptr && i < n; ++i) {
        if (outputs[i] != nullptr && outputs[i]->header.type == VNX_TYPE_BUTTON_ACTIVITY) {
            buttonIndex = i;
            break;
        }
    }
    return onHost([&](ModuleManagerInterface& host) {
        const vnx_StructOutput_s* callers = nullptr;
        if (buttonIndex < n && buttonActivity_ != nullptr) {
            // The module's answer is not used: a record it cannot read leaves
            // the fresh output as initialised.
            vnx_ButtonActivity_initOutput(&buttons_);
            vnx_StructOutput_s* slot = vnx_ButtonActivity_upCastOutput(&buttons_);
            buttonActivity_->process(0, 1, &outputs[buttonIndex], nullptr, 0, 1, &slot, nullptr);
            callers = outputs[buttonIndex];
            outputs[buttonIndex] = slot;
        }
        const int result = host.process(n, outputs, formats);
        // The caller's array holds its own pointers again.
        if (callers != nullptr) {
            outputs[buttonIndex] = callers;
        }
        return result;
    });
}

} // namespace vnx
