#include "tlinkDevice/TlinkDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "activityClassification/ActivityClassificationRecords.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "tlinkDevice/TlinkCoordinator.h"

namespace vnx {

namespace {

/// Sample-base ticks between two "active" messages while motion flows.
constexpr uint32_t kActiveMessageTicks = 126;

bool repliesByStatus(const vnx_StructCommand_s& command)
{
    return command.result == 1 || command.result == 2;
}

} // namespace

TlinkDevice::TlinkDevice(TlinkCoordinator* coordinator) : DeviceTemplate(coordinator, &config_)
{
    fsm_.setListener(this);
    NodeManager::getInstance().addNode(static_cast<const void*>(static_cast<ModuleConfigInterface*>(this)),
                                       static_cast<const void*>(&fsm_), NodeInterface::NODE_SUBNODE,
                                       "StateMachine");
    vnx_TlinkDevice_initConfig(&config_);
    vnx_TlinkDevice_initInfo(&info_);
    if (!frsManager_.setListener(this)) {
        VNX_LOGF(dftLog_, log::ERROR, "Unable to set FRS Manager listener!!");
    }
}

TlinkDevice::~TlinkDevice()
{
    if (isOpen()) {
        close();
    }
    NodeManager::getInstance().removeNode(static_cast<const void*>(&fsm_));
}

int TlinkDevice::setConfig(const vnx_StructConfig_s* config)
{
    if (!isOwn(config, VNX_KIND_CONFIG)) {
        return DeviceTemplate::setConfig(config);
    }
    if (isOpen()) {
        return VNX_STATUS_UNSUPPORTED_CONFIG;
    }
    return vnx_StructConfig_copy(&config->header, &config_.header) != 0 ? VNX_STATUS_SUCCESS
                                                                        : VNX_STATUS_INVALID_PARAMETER;
}

bool TlinkDevice::isOpen() const
{
    return DeviceTemplate::isOpen();
}

int TlinkDevice::open()
{
    if (isOpen()) {
        return VNX_STATUS_SUCCESS;
    }
    updateSamplingPeriod(0.008f);
    productIdKnown_ = false;
    vnx_TlinkDevice_initInfo(&info_);
    pendingInfoRequest_ = 0;
    activityMessagesDisabled_ = false;
    DeviceTemplate::open();
    fsm_.open();
    return VNX_STATUS_SUCCESS;
}

int TlinkDevice::close()
{
    if (!isOpen()) {
        return VNX_STATUS_SUCCESS;
    }
    VNX_LOGF(dftLog_, log::NOTICE, "Close Device");
    fsm_.reset();
    pendingInfoRequest_ = 0;
    return DeviceTemplate::close();
}

int TlinkDevice::process()
{
    if (!isOpen()) {
        return VNX_STATUS_SUCCESS;
    }
    frsManager_.process();
    fsm_.process();
    const int result = DeviceTemplate::process();
    return result < 0 ? result : VNX_STATUS_SUCCESS;
}

int TlinkDevice::getName(int size, char* buffer) const
{
    if (buffer == nullptr || size < 1) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (productIdKnown_) {
        std::snprintf(buffer, static_cast<size_t>(size), "TlinkDevice_%08X", info_.unitId);
        return VNX_STATUS_SUCCESS;
    }
    // The object's address tells live devices apart until the unit's id is known.
    const auto address = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(this));
    std::snprintf(buffer, static_cast<size_t>(size), "TlinkDevice_x%08X", address);
    return VNX_STATUS_DEVICE_NOT_READY;
}

int TlinkDevice::getGuid(vnx_DomainGuid_s* guid) const
{
    if (guid == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memset(guid, 0, sizeof *guid);
    if (!productIdKnown_) {
        return VNX_STATUS_DEVICE_INVALID_ID;
    }
    guid->deviceType = VNX_TYPE_TLINK_DEVICE;
    std::memcpy(&guid->id[4], &info_.partNumber, sizeof info_.partNumber);
    std::memcpy(&guid->id[8], &info_.unitId, sizeof info_.unitId);
    return VNX_STATUS_SUCCESS;
}

int TlinkDevice::sendCommand(const vnx_StructCommand_s* command)
{
    if (!isOwn(command, VNX_KIND_COMMAND)) {
        return DeviceTemplate::sendCommand(command);
    }
    const vnx_TlinkDevice_Command_s* own = vnx_TlinkDevice_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    // A listener told of the reply may remove the device: it goes once this
    // call is over.
    return guarded([&] {
        const bool byStatus = repliesByStatus(own->command);
        if (own->code == COMMAND_DESTROY) {
            VNX_LOGF(dftLog_, log::INFO, "sendCommand: Destroy device");
            if (!byStatus) {
                return removeFromDomain();
            }
        }
        vnx_TlinkDevice_Status_s reply;
        vnx_TlinkDevice_initStatus(&reply);
        reply.status.header.instanceId = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(this));
        reply.status.extra = own->command.extra;
        const int result = commandResult(*own, reply);
        reply.status.result = static_cast<uint32_t>(result);
        if (byStatus) {
            if (result != VNX_STATUS_ASYNC_PENDING) {
                deliver(reply);
            }
            return static_cast<int>(VNX_STATUS_ASYNC_PENDING);
        }
        return result == VNX_STATUS_ASYNC_PENDING ? static_cast<int>(VNX_STATUS_ASYNC_REQUIRED) : result;
    });
}

int TlinkDevice::commandResult(const vnx_TlinkDevice_Command_s& command, vnx_TlinkDevice_Status_s& reply)
{
    switch (command.code) {
    case COMMAND_DESTROY:
        // Asked for by status: the device stays.
        return VNX_STATUS_SUCCESS;
    case COMMAND_START:
        return fsm_.start();
    case COMMAND_SET_LEDS: {
        const int result = fsm_.setLeds();
        if (result == VNX_STATUS_SUCCESS) {
            setLeds(command.argument.pattern);
        }
        return result;
    }
    case COMMAND_SET_DATA_MODE:
        return command.argument.parameter != 0 ? fsm_.setModeOn() : fsm_.setModeOff();
    case COMMAND_GET_INFO: {
        const bool otherWaiting = pendingInfoRequest_ != 0;
        const int answer = fsm_.getInfo();
        if (otherWaiting) {
            return VNX_STATUS_DEVICE_BUSY;
        }
        if (answer == VNX_STATUS_ASYNC_PENDING) {
            pendingInfoRequest_ = static_cast<uint64_t>(command.command.extra);
        } else if (answer == VNX_STATUS_SUCCESS) {
            reply.type = VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO;
            reply.info = info_;
        }
        return answer;
    }
    case COMMAND_SLEEP: {
        const int sent = sendActivity(0);
        lastActivityStamp_ = sdaCodec_.getSampleBase();
        return sent == VNX_STATUS_SUCCESS ? static_cast<int>(VNX_STATUS_SUCCESS)
                                          : static_cast<int>(VNX_STATUS_DEVICE_CLOSED);
    }
    case COMMAND_SET_ACTIVITY_MESSAGES:
        activityMessagesDisabled_ = (command.argument.parameter & 0xFFu) != 0;
        return VNX_STATUS_SUCCESS;
    default:
        return VNX_STATUS_INVALID_PARAMETER;
    }
}

int TlinkDevice::removeFromDomain()
{
    TlinkCoordinator* domain = coordinator();
    return domain != nullptr ? domain->deviceRemove(this) : VNX_STATUS_DEVICE_NOT_FOUND;
}

void TlinkDevice::deliver(const vnx_TlinkDevice_Status_s& status)
{
    statusCallback(this, reinterpret_cast<const vnx_StructStatus_s*>(&status));
}

void TlinkDevice::sendStatus(int code, vnx_TlinkDevice_StatusType_e type)
{
    vnx_TlinkDevice_Status_s status;
    vnx_TlinkDevice_initStatus(&status);
    status.status.header.instanceId = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(this));
    status.status.result = static_cast<uint32_t>(code);
    status.status.extra = 0;
    status.type = type;
    if (type == VNX_TLINK_DEVICE_STATUS_PRODUCT_INFO) {
        // Product information answers a GetInfo that waits, and nothing else.
        if (pendingInfoRequest_ == 0) {
            return;
        }
        status.status.extra = static_cast<int64_t>(pendingInfoRequest_);
        pendingInfoRequest_ = 0;
        status.info = info_;
    }
    deliver(status);
}

void TlinkDevice::motionOutput(DeviceInterface* device, size_t n, const vnx_StructOutput_s** outputs,
                               const vnx_StructFormat_s** formats, int value)
{
    DeviceTemplate::motionOutput(device, n, outputs, formats, value);
    sendActive();
}

int TlinkDevice::sendActive()
{
    const uint32_t base = sdaCodec_.getSampleBase();
    if (activityMessagesDisabled_ || base - lastActivityStamp_ < kActiveMessageTicks) {
        return VNX_STATUS_SUCCESS;
    }
    lastActivityStamp_ = base;
    return sendActivity(3) == VNX_STATUS_SUCCESS ? static_cast<int>(VNX_STATUS_SUCCESS)
                                                 : static_cast<int>(VNX_STATUS_DEVICE_CLOSED);
}

int TlinkDevice::sendSleep(uint8_t flags)
{
    uint8_t value = 0;
    if ((flags & 1u) != 0) {
        value = 1;
    } else if ((flags & 2u) == 0) {
        return VNX_STATUS_SUCCESS;
    }
    lastActivityStamp_ = sdaCodec_.getSampleBase();
    return sendActivity(value) == VNX_STATUS_SUCCESS ? static_cast<int>(VNX_STATUS_SUCCESS)
                                                     : static_cast<int>(VNX_STATUS_DEVICE_CLOSED);
}

void TlinkDevice::statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status)
{
    // The user's activity as the hosted chain classifies it goes to the
    // hardware, whether or not the periodic messages are on.
    if (status != nullptr && status->header.type == VNX_TYPE_ACTIVITY_CLASSIFICATION &&
        status->header.kind == VNX_KIND_STATUS &&
        status->header.size >= sizeof(vnx_ActivityClassification_Status_s)) {
        const auto* activity = reinterpret_cast<const vnx_ActivityClassification_Status_s*>(status);
        if (activity->statusType == 1) {
            sendSleep(static_cast<uint8_t>(activity->flags & 3u));
        }
    }
    DeviceTemplate::statusCallback(source, status);
}

std::vector<uint32_t>& TlinkDevice::variantTwoPartNumbers()
{
    static std::vector<uint32_t> parts;
    return parts;
}

bool TlinkDevice::isTovixLike(int part)
{
    const std::vector<uint32_t>& parts = variantTwoPartNumbers();
    return std::find(parts.begin(), parts.end(), static_cast<uint32_t>(part)) != parts.end();
}

} // namespace vnx
