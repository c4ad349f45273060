#include <algorithm>
#include <cstring>

#include "captureLog/captureLog.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "moduleManager/ModuleManager.h"

namespace vnx {

namespace {

/// Device command codes.
enum DeviceCommand : uint32_t
{
    kCommandNone = 0,
    kCommandRestartModule = 1,
    kCommandClearDcd = 2,
    kCommandOpen = 3,
    kCommandClose = 4,
};

bool isDeviceRecord(const vnx_Struct_s& header, uint8_t kind)
{
    return header.type == VNX_TYPE_DEVICE && header.kind == kind;
}

} // namespace

int ModuleManager::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (isDeviceRecord(config->header, VNX_KIND_CONFIG)) {
        return vnx_StructConfig_copy(&config_.config.header, &config->header) ? VNX_STATUS_SUCCESS
                                                                          : VNX_STATUS_INVALID_PARAMETER;
    }
    if (module_ == nullptr) {
        return VNX_STATUS_NOT_ACTIVE;
    }
    return module_->getConfig(config);
}

int ModuleManager::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (isDeviceRecord(config->header, VNX_KIND_CONFIG)) {
        const vnx_Device_Config_s* device = vnx_Device_dynamicDownCastConstConfig(config);
        if (device == nullptr || config->header.size != sizeof(vnx_Device_Config_s)) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        return reply(*config, setDeviceConfig(*device));
    }
    if (module_ == nullptr) {
        return VNX_STATUS_NOT_ACTIVE;
    }
    statusSent_ = false;
    return reply(*config, module_->setConfig(config));
}

int ModuleManager::setDeviceConfig(const vnx_Device_Config_s& config)
{
    // The interfaces may have changed with the settings.
    inputMatch_.forget();
    // Every change is judged against the settings before this record, also
    // after a new module type has stored it.
    const vnx_Device_Config_s previous = config_;
    int result = VNX_STATUS_SUCCESS;
    if (config.logRawInput != config_.logRawInput) {
        if (config.logRawInput == 0) {
            rawLog_.reset();
        } else if (module_ != nullptr) {
            vnx_dcdMemory_s dcd;
            std::memset(&dcd, 0, sizeof dcd);
            int offset = 0;
            const bool haveDcd = module_->getDcd(&dcd.head, sizeof dcd, offset) == VNX_STATUS_SUCCESS;
            config_.logRawInput = config.logRawInput;
            openRawInputLog(haveDcd ? &dcd.head : nullptr);
        }
    }
    if (config.logOutput != config_.logOutput) {
        if (config.logOutput == 0) {
            outputLog_.reset();
        } else if (module_ != nullptr) {
            config_.logOutput = config.logOutput;
            openOutputLog();
        }
    }
    if (config.typeId != config_.typeId) {
        config_ = config;
        result = destroyModule();
    } else if (config.inputId == config_.inputId && config.outputId != config_.outputId && module_ != nullptr) {
        const int previous = config_.outputId;
        config_.outputId = config.outputId;
        if (!shapeOutputs()) {
            result = VNX_STATUS_INVALID_PARAMETER;
        }
        config_.outputId = previous;
    }
    if (config.sampleBaseWidth != 8 && config.sampleBaseWidth != 32) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    if (config.maxBufferedSamplesToProcess != previous.maxBufferedSamplesToProcess && ring_ != nullptr) {
        ring_.reset();
        ringSize_ = 0;
        stored_ = 0;
    }
    if (config.sampleBaseWidth == 8) {
        if (!counter_.has_value()) {
            counter_.emplace();
        }
    } else {
        counter_.reset();
    }
    config_ = config;
    return result;
}

int ModuleManager::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const vnx_StructConfig_s& request = *reinterpret_cast<const vnx_StructConfig_s*>(command);
    if (vnx_StructCommand_isA(&command->header, VNX_TYPE_EXTENDED_CURSOR)) {
        const vnx_ExtendedCursor_Command_s* cursor = vnx_ExtendedCursor_dynamicDownCastConstCommand(command);
        if (cursor != nullptr && cursor->code == ZEPHRA_CURSOR_COMMAND_SET_BOUNDS) {
            bounds_ = cursor->data.setBounds;
            boundsKnown_ = true;
            if (rawLog_ != nullptr && rawLog_->isOpen()) {
                capture::logBoundsData(*rawLog_, bounds_);
            }
        }
    }
    if (isDeviceRecord(command->header, VNX_KIND_COMMAND)) {
        const vnx_Device_Command_s* device = vnx_Device_dynamicDownCastConstCommand(command);
        if (device == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        return reply(request, deviceCommand(device->code));
    }
    if (module_ == nullptr) {
        return VNX_STATUS_NOT_ACTIVE;
    }
    statusSent_ = false;
    return reply(request, module_->sendCommand(command));
}

int ModuleManager::deviceCommand(uint32_t code)
{
    switch (code) {
    case kCommandNone:
        return VNX_STATUS_SUCCESS;
    case kCommandRestartModule:
        return destroyModule();
    case kCommandClearDcd:
        return clearDcd();
    case kCommandOpen:
        return device_ != nullptr ? device_->open() : VNX_STATUS_DEVICE_INVALID_ID;
    case kCommandClose:
        return device_ != nullptr ? device_->close() : VNX_STATUS_DEVICE_INVALID_ID;
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

int ModuleManager::reply(const vnx_StructConfig_s& request, int result)
{
    const uint8_t kind = request.header.kind;
    if (kind != VNX_KIND_CONFIG && kind != VNX_KIND_COMMAND) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (statusSent_ || request.result == 0) {
        return result;
    }
    vnx_StructStatus_s* status = ModuleFactory::createStatus(request.header.type);
    if (status == nullptr) {
        return VNX_STATUS_OUT_OF_MEMORY;
    }
    status->header.instanceId = request.header.instanceId;
    status->extra = request.extra;
    status->result = static_cast<uint32_t>(result);
    statusCallback(deviceSelf(), status);
    ModuleFactory::destroyStatus(status);
    return VNX_STATUS_ASYNC_PENDING;
}

} // namespace vnx
