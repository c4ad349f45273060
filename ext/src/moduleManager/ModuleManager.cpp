#include "moduleManager/ModuleManager.h"

#include <algorithm>
#include <cstring>

#include "common/NodeManager.h"
#include "common/properties.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "common/timeSource.h"
#include "extCommon/extStatusCode.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"

namespace vnx {

/// The host's further loggers, kept in the node tree beside its default one.
struct ModuleManager::SideLoggers
{
    explicit SideLoggers(const void* owner) : owner_(owner)
    {
        for (log::Logger* logger : {&scd, &dcd, &capture}) {
            log::placeLoggerUnder(logger, owner_);
        }
    }
    ~SideLoggers()
    {
        for (log::Logger* logger : {&scd, &dcd, &capture}) {
            NodeManager::getInstance().removeNode(static_cast<const void*>(logger));
        }
    }
    SideLoggers(const SideLoggers&) = delete;
    SideLoggers& operator=(const SideLoggers&) = delete;

    log::Logger scd{"vnx_ext_ModuleManager", "scd", log::WARN, log::TYPE_SINGLE_FILE};
    log::Logger dcd{"vnx_ext_ModuleManager", "dcd", log::WARN, log::TYPE_SINGLE_FILE};
    log::Logger capture{"vnx_ext_ModuleManager", "capture", log::WARN, log::TYPE_CAPTURE};

  private:
    const void* owner_;
};

ModuleManager::ModuleManager() : sideLoggers_(std::make_unique<SideLoggers>(this))
{
    std::memset(&scd_, 0, sizeof scd_);
    vnx_Device_initConfig(&config_);
    vnx_ExtendedCursor_initSetBoundsData(&bounds_);
    if (config_.sampleBaseWidth == 8) {
        counter_.emplace();
    }
    config_.logRawInput = vnx_properties_getAsBoolean("LOG_RAWINPUT", false) ? 1 : 0;
    config_.logOutput = vnx_properties_getAsBoolean("LOG_OUTPUT", false) ? 1 : 0;
}

ModuleManager::~ModuleManager()
{
    term();
    if (rawLog_ != nullptr) {
        rawLog_->close();
    }
    if (outputLog_ != nullptr) {
        outputLog_->close();
    }
}

int ModuleManager::setModuleListener(ModuleListenerInterface* listener)
{
    if (listener == nullptr ||
        (device_ != nullptr && listener == static_cast<DeviceListenerInterface*>(device_))) {
        return VNX_STATUS_SUCCESS;
    }
    return VNX_STATUS_INVALID_PARAMETER;
}

void ModuleManager::setDevice(ModuleManagerListenerInterface* device)
{
    device_ = device;
    deviceNode_ = nullptr;
}

void ModuleManager::statusCallback(ModuleConfigInterface* source, const vnx_StructStatus_s* status)
{
    statusSent_ = true;
    if (device_ != nullptr) {
        device_->statusCallback(source, status);
    }
}

int ModuleManager::initializeModule()
{
    if (module_ != nullptr || config_.typeId == 0) {
        return VNX_STATUS_SUCCESS;
    }
    captureStartNs_ = static_cast<int64_t>(vnx_time_ns());
    initFailed_ = false;
    char name[kNameSize];
    deviceName(name);
    VNX_LOGF(dftLog_, log::NOTICE, "Initializing Module %s for %s", ModuleFactory::typeIdToString(config_.typeId),
             name);
    if (NodeInterface* node = deviceNode()) {
        node->setSequenceNumber(0, false);
    }

    // The module's node goes under the device's node.
    void* parent = device_ != nullptr ? static_cast<void*>(static_cast<ModuleConfigInterface*>(deviceSelf()))
                                      : nullptr;
    module_ = ModuleFactory::createModule(parent, config_.typeId);
    if (module_ == nullptr) {
        sendDeviceStatus(VNX_DEVICE_STATUS_MODULE_FAILED, VNX_STATUS_MODULE_ALLOCATION_ERROR, 0, nullptr);
        return VNX_STATUS_MODULE_ALLOCATION_ERROR;
    }
    inputMatch_.forget();

    VNX_LOGF(dftLog_, log::INFO, "Setting Module: %s", ModuleFactory::typeIdToString(module_->getType()));
    ModuleListenerInterface* listener =
        device_ != nullptr ? static_cast<DeviceListenerInterface*>(device_) : nullptr;
    const int listening = module_->setModuleListener(listener);
    if (listening != VNX_STATUS_SUCCESS) {
        logReturn(listening);
    }
    // A module that refuses its listener is not set up: it is not run until
    // it is made again, as for a failed init.
    if (listening < 0) {
        initFailed_ = true;
        sendDeviceStatus(VNX_DEVICE_STATUS_MODULE_FAILED, listening, 0, nullptr);
        return listening;
    }

    if (!shapeOutputs()) {
        VNX_LOGF(dftLog_, log::WARN, "Failed initializing module.");
        sendDeviceStatus(VNX_DEVICE_STATUS_MODULE_FAILED, VNX_STATUS_INTERNAL_ERROR, 0, nullptr);
        initFailed_ = true;
        return VNX_STATUS_INTERNAL_ERROR;
    }

    vnx_dcdMemory_s dcd;
    const bool haveDcd = loadDcd(dcd) == VNX_STATUS_SUCCESS;
    if (config_.logRawInput != 0) {
        openRawInputLog(haveDcd ? &dcd.head : nullptr);
    }
    int scdOffset = 0;
    int dcdOffset = 0;
    const int result = module_->init(&scd_.head, scdOffset, haveDcd ? &dcd.head : nullptr, dcdOffset);
    if (config_.logOutput != 0) {
        openOutputLog();
    }
    if (result < 0) {
        VNX_LOGF(dftLog_, log::ERROR, "Error initializing module: %s", vnx_statusToString(result));
        initFailed_ = true;
        sendDeviceStatus(VNX_DEVICE_STATUS_MODULE_FAILED, result, 0, nullptr);
        return result;
    }
    if (device_ != nullptr) {
        device_->moduleReady(deviceSelf());
    }
    sendDeviceStatus(VNX_DEVICE_STATUS_MODULE_READY, VNX_STATUS_SUCCESS, 0, nullptr);
    return result;
}

int ModuleManager::destroyModule()
{
    lastSaveNs_ = static_cast<int64_t>(vnx_time_ns());
    if (module_ != nullptr) {
        const int destroyed = ModuleFactory::destroyModule(module_);
        if (destroyed != VNX_STATUS_SUCCESS) {
            logReturn(destroyed);
            return destroyed;
        }
        outputs_.clear();
    }
    module_ = nullptr;
    inputMatch_.forget();
    initFailed_ = false;
    if (rawLog_ != nullptr) {
        rawLog_->close();
    }
    return VNX_STATUS_SUCCESS;
}

bool ModuleManager::shapeOutputs()
{
    return outputs_.initFromModuleOutput(module_, std::max(config_.outputId, 0));
}

int ModuleManager::term()
{
    const int saved = saveDcd();
    externalDcd_.reset();
    destroyModule();
    module_ = nullptr;
    outputs_.clear();
    ring_.reset();
    ringSize_ = 0;
    stored_ = 0;
    return saved;
}

void ModuleManager::sendDeviceStatus(uint32_t kind, int result, uint64_t count, const void* record)
{
    if (device_ == nullptr) {
        return;
    }
    vnx_Device_Status_s status;
    vnx_Device_initStatus(&status);
    status.status.header.instanceId = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(deviceSelf()));
    status.status.result = static_cast<uint32_t>(result);
    status.status.extra = 0;
    status.statusKind = kind;
    if (record != nullptr) {
        status.payload.record = record;
    } else {
        status.payload.count = count;
    }
    device_->statusCallback(deviceSelf(), &status.status);
}

void ModuleManager::logReturn(int code) const
{
    VNX_LOGF(dftLog_, log::WARN, "Returning with error code %s(%d)", vnx_statusToString(code), code);
}

void ModuleManager::deviceName(char (&name)[kNameSize]) const
{
    name[0] = '\0';
    if (device_ != nullptr) {
        device_->getName(kNameSize, name);
    }
}

DeviceInterface* ModuleManager::deviceSelf() const
{
    return device_;
}

NodeInterface* ModuleManager::deviceNode()
{
    if (deviceNode_ == nullptr && device_ != nullptr) {
        deviceNode_ = NodeManager::getInstance().getNode(
            static_cast<const void*>(static_cast<ModuleConfigInterface*>(deviceSelf())));
    }
    if (deviceNode_ == nullptr) {
        VNX_LOGF(dftLog_, log::WARN, "Could not find the device in the node hierarchy");
    }
    return deviceNode_;
}

void ModuleManager::openRawInputLog(const vnx_dcdData_s* dcd)
{
    if (rawLog_ == nullptr) {
        rawLog_ = std::make_unique<DsfWriter>();
    }
    char name[kNameSize];
    deviceName(name);
    const capture::Subject subject{name, config_.typeId, &config_};
    capture::openRawInputLog(*rawLog_, dftLog_, subject, &scd_.head, dcd, boundsKnown_ ? &bounds_ : nullptr,
                             periodUs_);
}

void ModuleManager::openOutputLog()
{
    if (outputLog_ == nullptr) {
        outputLog_ = std::make_unique<DsfWriter>();
    }
    char name[kNameSize];
    deviceName(name);
    const capture::Subject subject{name, config_.typeId, &config_};
    capture::openOutputLog(*outputLog_, dftLog_, subject);
}

} // namespace vnx
