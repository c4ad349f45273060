#include "gestureBundle/GestureBundle.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "bundleCommon/bundleModuleType.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/stringTable.h"
#include "log/Logger.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/moduleListenerInterface.h"

namespace vnx {

namespace {

constexpr uint8_t kInputTypes0[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_STANDARD_CURSOR};
constexpr uint8_t kInputTypes1[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_EXTENDED_CURSOR};
constexpr size_t kInputCount = 2;

// Which of the two inputs a recogniser reads, and on which of its interfaces.
constexpr size_t kMotionInput = 0;
constexpr size_t kCursorInput = 1;
constexpr int kLinearGestureInterface = 0;
constexpr int kCursorReaderInterface = 1; // ExtendedCursor input of CursorGesture

bool isRecogniserType(uint8_t type)
{
    return type == VNX_TYPE_LINEAR_GESTURE || type == VNX_TYPE_CURSOR_GESTURE ||
           type == VNX_TYPE_MULTISTROKE_GESTURE;
}

/// Copies what the block's size field says, at most `capacity` bytes, and
/// zeroes the rest; an absent block leaves only zeros.
void keepBlock(const void* block, uint8_t* memory, size_t capacity)
{
    std::memset(memory, 0, capacity);
    if (block == nullptr) {
        return;
    }
    uint16_t size = 0;
    std::memcpy(&size, block, sizeof size);
    std::memcpy(memory, block, std::min<size_t>(size, capacity));
}

} // namespace

GestureBundle::GestureBundle() = default;

GestureBundle::~GestureBundle()
{
    for (int i = 0; i < moduleCount_; ++i) {
        ModuleFactory::destroyModule(modules_[i]);
        modules_[i] = nullptr;
    }
}

uint64_t GestureBundle::instanceIdOf(const ModuleInterface* module)
{
    // The address of the object the node tree names the module by.
    return static_cast<uint64_t>(
        reinterpret_cast<uintptr_t>(static_cast<const ModuleConfigInterface*>(module)));
}

int GestureBundle::logged(int result, const char* call) const
{
    if (result != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::WARN, "%s = %d:%s", call, result, vnx_statusToString(result));
    }
    return result;
}

int GestureBundle::setModuleListener(ModuleListenerInterface* listener)
{
    listener_ = listener;
    for (int i = 0; i < moduleCount_; ++i) {
        const int result = modules_[i]->setModuleListener(listener);
        if (result != VNX_STATUS_SUCCESS) {
            return logged(result, "modules_[i]->setModuleListener(listener)");
        }
    }
    return VNX_STATUS_SUCCESS;
}

int GestureBundle::indexOf(uint64_t instanceId) const
{
    for (int i = 0; i < moduleCount_; ++i) {
        if (instanceIdOf(modules_[i]) == instanceId) {
            return i;
        }
    }
    return -1;
}

int GestureBundle::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_GESTURE_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    const int index = indexOf(config->header.instanceId);
    return index >= 0 ? modules_[index]->getConfig(config) : VNX_STATUS_NOT_FOR_ME;
}

int GestureBundle::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_GESTURE_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    const int index = indexOf(config->header.instanceId);
    return index >= 0 ? modules_[index]->setConfig(config) : VNX_STATUS_NOT_FOR_ME;
}

int GestureBundle::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (!vnx_StructCommand_isA(&command->header, VNX_TYPE_GESTURE_BUNDLE)) {
        const int index = indexOf(command->header.instanceId);
        return index >= 0 ? modules_[index]->sendCommand(command) : VNX_STATUS_NOT_FOR_ME;
    }
    const auto* own = vnx_GestureBundle_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    switch (own->code) {
    case VNX_GESTURE_BUNDLE_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_GESTURE_BUNDLE_COMMAND_ADD_MODULE:
        return addModule(own->argument.type);
    case VNX_GESTURE_BUNDLE_COMMAND_REMOVE_MODULE:
        return removeModule(own->argument.instanceId);
    default:
        return VNX_STATUS_INVALID_COMMAND;
    }
}

int GestureBundle::addModule(uint8_t type)
{
    if (!isRecogniserType(type)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (moduleCount_ >= kMaxModules) {
        VNX_LOGF(dftLog_, log::ERROR, "Cannot add a new module: Reached the maximum number of modules.");
        return VNX_STATUS_OUT_OF_MEMORY;
    }
    // One CursorGesture per bundle life: it owns the learned gesture library.
    if (type == VNX_TYPE_CURSOR_GESTURE && cursorGestureAdded_) {
        VNX_LOGF(dftLog_, log::ERROR, "CursorGesture module has already been added.");
        return VNX_STATUS_MODULE_ALREADY_EXISTS;
    }

    ModuleInterface* module = ModuleFactory::createModule(this, type);
    if (module == nullptr) {
        return VNX_STATUS_NOT_ACTIVE; // its library is not started
    }
    const uint64_t instanceId = instanceIdOf(module);
    VNX_LOGF(dftLog_, log::NOTICE, "Added new module at 0x%08X, Number of gesture modules = %d",
             static_cast<unsigned>(instanceId & 0xFFFFFFFFu), moduleCount_ + 1);

    // A recogniser that cannot start is not kept: nothing would ever free it.
    const auto refuse = [&](int result, const char* call) {
        logged(result, call);
        ModuleFactory::destroyModule(module);
        return result;
    };
    if (initialised_) {
        int scdOffset = scdOffset_;
        int dcdOffset = dcdOffset_;
        const int result = module->init(&scdMemory_.scd, scdOffset, &dcdMemory_.dcd, dcdOffset);
        if (result != VNX_STATUS_SUCCESS) {
            return refuse(
                result,
                "modules_[moduleCount_]->init(&scdMemory_.scd, scdOffset_, &dcdMemory_.dcd, dcdOffset_)");
        }
    }
    if (listener_ != nullptr) {
        const int result = module->setModuleListener(listener_);
        if (result != VNX_STATUS_SUCCESS) {
            return refuse(result, "modules_[moduleCount_]->setModuleListener(listener_)");
        }
    }

    types_[moduleCount_] = type;
    modules_[moduleCount_] = module;
    ++moduleCount_;
    if (type == VNX_TYPE_CURSOR_GESTURE) {
        cursorGestureAdded_ = true;
    }
    reportEvent(VNX_GESTURE_BUNDLE_EVENT_MODULE_ADDED, type, instanceId);
    return VNX_STATUS_SUCCESS;
}

int GestureBundle::removeModule(uint64_t instanceId)
{
    const int index = indexOf(instanceId);
    if (index < 0) {
        return VNX_STATUS_INVALID_INSTANCE_ID;
    }
    const uint8_t type = types_[index];
    VNX_LOGF(dftLog_, log::NOTICE, "Removed modules_ at 0x%08X, Number of gesture modules = %d",
             static_cast<unsigned>(instanceId & 0xFFFFFFFFu), moduleCount_ - 1);
    ModuleFactory::destroyModule(modules_[index]);

    // Close the gap so that both lists keep their order.
    for (int i = index; i + 1 < moduleCount_; ++i) {
        modules_[i] = modules_[i + 1];
        types_[i] = types_[i + 1];
    }
    --moduleCount_;
    modules_[moduleCount_] = nullptr;
    types_[moduleCount_] = 0;
    reportEvent(VNX_GESTURE_BUNDLE_EVENT_MODULE_REMOVED, type, instanceId);
    return VNX_STATUS_SUCCESS;
}

void GestureBundle::reportEvent(uint32_t event, uint8_t type, uint64_t instanceId)
{
    if (listener_ == nullptr) {
        return;
    }
    vnx_GestureBundle_Status_s status;
    std::memset(&status, 0, sizeof status);
    vnx_GestureBundle_initStatus(&status);
    status.status.header.instanceId = instanceIdOf(this);
    status.event = event;
    status.module.type = type;
    status.module.instanceId = instanceId;
    listener_->statusCallback(this, &status.status);
}

uint8_t GestureBundle::getType() const
{
    return VNX_TYPE_GESTURE_BUNDLE;
}

int GestureBundle::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    initialised_ = true;
    keepBlock(scd, scdMemory_.bytes, sizeof scdMemory_.bytes);
    keepBlock(dcd, dcdMemory_.bytes, sizeof dcdMemory_.bytes);
    scdOffset_ = scdOffset;
    dcdOffset_ = dcdOffset;
    for (int i = 0; i < moduleCount_; ++i) {
        const int result = modules_[i]->init(scd, scdOffset, dcd, dcdOffset);
        if (result != VNX_STATUS_SUCCESS) {
            return logged(result, "modules_[i]->init(scd, scdOffset, dcd, dcdOffset)");
        }
    }
    return VNX_STATUS_SUCCESS;
}

int GestureBundle::term()
{
    for (int i = 0; i < moduleCount_; ++i) {
        const int result = modules_[i]->term();
        if (result != VNX_STATUS_SUCCESS) {
            return logged(result, "modules_[i]->term()");
        }
    }
    return VNX_STATUS_SUCCESS;
}

int GestureBundle::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int GestureBundle::getInputInterfaceCount() const
{
    return 2;
}

int GestureBundle::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (capacity < kInputCount) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (index == 0) {
        return describeInterface(kInputTypes0, capacity, typeIds, count);
    }
    if (index == 1) {
        return describeInterface(kInputTypes1, capacity, typeIds, count);
    }
    return VNX_STATUS_INVALID_INTERFACE;
}

int GestureBundle::getOutputInterfaceCount() const
{
    return 1;
}

int GestureBundle::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(std::span<const uint8_t>(types_.data(), static_cast<size_t>(moduleCount_)),
                             capacity, typeIds, count);
}

int GestureBundle::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                           const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                           vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    if ((inputInterface != 0 && inputInterface != 1) || inputCount != kInputCount || outputInterface != 0) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (moduleCount_ == 0) {
        return VNX_STATUS_SUCCESS;
    }
    if (outputCount != static_cast<size_t>(moduleCount_)) {
        return VNX_STATUS_ARRAY_SIZE_MISMATCH;
    }
    if (inputs == nullptr || outputs == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    for (int i = 0; i < moduleCount_; ++i) {
        // The recogniser's type, not the bundle's interface, says what it reads.
        const bool readsMotion = types_[i] == VNX_TYPE_LINEAR_GESTURE;
        const size_t input = readsMotion ? kMotionInput : kCursorInput;
        const int interface = readsMotion ? kLinearGestureInterface : kCursorReaderInterface;
        const vnx_StructOutput_s* in[] = {inputs[input]};
        const vnx_StructFormat_s* inFormat[] = {inputFormats != nullptr ? inputFormats[input] : nullptr};
        vnx_StructOutput_s* out[] = {outputs[i]};
        vnx_StructFormat_s* outFormat[] = {outputFormats != nullptr ? outputFormats[i] : nullptr};
        const int result = modules_[i]->process(interface, 1, in, inFormat, 0, 1, out, outFormat);
        if (result != VNX_STATUS_SUCCESS) {
            return logged(result,
                          "modules_[i]->process(interfaceId, 1, x, xf, 0, 1, &output[i], &outputFormat[i])");
        }
        if (outputs[i] != nullptr) {
            outputs[i]->header.instanceId = instanceIdOf(modules_[i]);
        }
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
