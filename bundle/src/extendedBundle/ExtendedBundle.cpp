#include "extendedBundle/ExtendedBundle.h"

#include <iterator>
#include <span>

#include "activityClassification/ActivityClassificationRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleCommon/childCalls.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extendedCursor/ExtendedCursorRecords.h"
#include "log/Logger.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace vnx {

namespace {

constexpr uint8_t kDs = VNX_TYPE_DEVICE_SUPPORT;
constexpr uint8_t kButtons = VNX_TYPE_BUTTON_ACTIVITY;
constexpr uint8_t kInputTypes0[] = {kDs, kDs, kButtons};
constexpr uint8_t kInputTypes1[] = {kDs, kDs, kDs, kButtons};
constexpr uint8_t kInputTypes2[] = {VNX_TYPE_SENSOR_INTERPRETATION_9AXIS, kButtons};
constexpr uint8_t kInputTypes3[] = {VNX_TYPE_SENSOR_FUSION, kButtons};
constexpr uint8_t kInputTypes4[] = {kDs};
constexpr uint8_t kInputTypes5[] = {VNX_TYPE_DEVICE_SUPPORT_6AG, kButtons};
constexpr uint8_t kInputTypes6[] = {VNX_TYPE_DEVICE_SUPPORT_9AGM, kButtons};
constexpr std::span<const uint8_t> kInputInterfaces[] = {
    kInputTypes0, kInputTypes1, kInputTypes2, kInputTypes3, kInputTypes4, kInputTypes5, kInputTypes6};
constexpr int kInputInterfaceCount = static_cast<int>(std::size(kInputInterfaces));

// Output slots of interface 0.
enum OutputSlot_e
{
    kActivitySlot,
    kFusionSlot,
    kCursorSlot,
    kButtonSlot,
    kMotionFloatSlot,
    kOutputSlotCount
};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_ACTIVITY_CLASSIFICATION, VNX_TYPE_SENSOR_FUSION,
                                    VNX_TYPE_EXTENDED_CURSOR, kButtons, VNX_TYPE_DEVICE_MOTION_FLOAT};
static_assert(std::size(kOutputTypes) == kOutputSlotCount);

constexpr uint8_t kChildTypes[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_EXTENDED_CURSOR, VNX_TYPE_SHAKE_DETECTOR,
                                   VNX_TYPE_DEVICE_MOTION_FLOAT, VNX_TYPE_SHAKE_DETECTOR};

// Activity flags that make a shown cursor hide itself: the device is still, or
// the interpreted motion carries its first flag.
constexpr uint8_t kRestFlags =
    VNX_ACTIVITY_CLASSIFICATION_OUTPUT_STILL | VNX_ACTIVITY_CLASSIFICATION_OUTPUT_INTERPRETATION_FLAG;

// The ExtendedCursor's pointer state of a hidden pointer.
constexpr uint32_t kPointerHidden = 1;

} // namespace

ExtendedBundle::ExtendedBundle()
{
    vnx_ExtendedBundle_initConfig(&config_);
    bundle::createChildren(this, kChildTypes, children_);
}

ExtendedBundle::~ExtendedBundle()
{
    bundle::destroyChildren(children_);
}

int ExtendedBundle::setModuleListener(ModuleListenerInterface* listener)
{
    return bundle::chainAll(children_, [&](ModuleInterface& m) { return m.setModuleListener(listener); });
}

int ExtendedBundle::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_EXTENDED_BUNDLE)) {
        // A record too short for the embedded detector Config is not read into.
        auto* own = vnx_ExtendedBundle_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        const int result = bundle::callChild(children_[kWakeShake], [&](ModuleInterface& m) {
            return m.getConfig(&own->cursorWakeOnShakeConfig.config);
        });
        return result < 0 ? result : VNX_STATUS_SUCCESS;
    }
    return bundle::routeWhileNotForMe(children_, [&](ModuleInterface& m) { return m.getConfig(config); });
}

int ExtendedBundle::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_EXTENDED_BUNDLE)) {
        const auto* own = vnx_ExtendedBundle_dynamicDownCastConstConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        return applyConfig(*own);
    }
    return bundle::routeWhileNotForMe(children_, [&](ModuleInterface& m) { return m.setConfig(config); });
}

int ExtendedBundle::applyConfig(const vnx_ExtendedBundle_Config_s& config)
{
    config_ = config;
    const int result = bundle::callChild(children_[kWakeShake], [&](ModuleInterface& m) {
        return m.setConfig(&config_.cursorWakeOnShakeConfig.config);
    });
    if (result < 0) {
        return result;
    }
    VNX_LOGF(dftLog_, log::INFO, "ExtendedBundle::setConfig cursorWakeOnShakeConfig.mode=%u",
             static_cast<unsigned>(config_.cursorWakeOnShakeConfig.mode));
    if (!wakeOnShakeOn()) {
        cursorHidden_ = false;
    }
    return VNX_STATUS_SUCCESS;
}

int ExtendedBundle::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructCommand_isA(&command->header, VNX_TYPE_EXTENDED_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    if (const auto* cursor = vnx_ExtendedCursor_dynamicDownCastConstCommand(command)) {
        if (cursor->code == ZEPHRA_CURSOR_COMMAND_FORCE_SHOW) {
            VNX_LOGF(dftLog_, log::INFO, "Got Command: ZEPHRA_CURSOR_COMMAND_FORCE_SHOW. Showing Cursor.");
            cursorHidden_ = false;
        } else if (cursor->code == ZEPHRA_CURSOR_COMMAND_FORCE_HIDE && wakeOnShakeOn()) {
            VNX_LOGF(dftLog_, log::INFO, "Got Command: ZEPHRA_CURSOR_COMMAND_FORCE_HIDE. Hiding Cursor.");
            cursorHidden_ = true;
        }
    }
    return bundle::routeWhileNotForMe(children_, [&](ModuleInterface& m) { return m.sendCommand(command); });
}

uint8_t ExtendedBundle::getType() const
{
    return VNX_TYPE_EXTENDED_BUNDLE;
}

int ExtendedBundle::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    const auto initChild = [&](ModuleInterface& m) { return m.init(scd, scdOffset, dcd, dcdOffset); };
    // A fusion that cannot use the SCD leaves the rest of the chain usable;
    // its other errors are reported once the chain has run.
    int result = bundle::callChild(children_[kFusion], initChild);
    if (result == VNX_STATUS_INVALID_SCD) {
        result = VNX_STATUS_SUCCESS;
    }
    for (int i = kFusion + 1; i < kChildCount; ++i) {
        const int childResult = bundle::callChild(children_[i], initChild);
        if (childResult < 0) {
            return childResult;
        }
        if (childResult != VNX_STATUS_SUCCESS) {
            result = childResult;
        }
    }

    // Wake-on-shake stays off until a client asks for it.
    vnx_ExtendedBundle_Config_s config = config_;
    config.cursorWakeOnShakeConfig.mode = 0;
    const int configResult = applyConfig(config);
    return configResult != VNX_STATUS_SUCCESS ? configResult : result;
}

int ExtendedBundle::term()
{
    return VNX_STATUS_SUCCESS;
}

int ExtendedBundle::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    return bundle::callChild(children_[kFusion],
                             [&](ModuleInterface& m) { return m.getDcd(dcd, capacity, dcdOffset); });
}

int ExtendedBundle::getInputInterfaceCount() const
{
    return kInputInterfaceCount;
}

int ExtendedBundle::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index < 0 || index >= kInputInterfaceCount) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(kInputInterfaces[index], capacity, typeIds, count);
}

int ExtendedBundle::getOutputInterfaceCount() const
{
    return 1;
}

int ExtendedBundle::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

void ExtendedBundle::updateCursorHidden(uint8_t activityFlags, const vnx_ShakeDetector_Output_s& wake)
{
    if (!cursorHidden_ && (activityFlags & kRestFlags) != 0) {
        cursorHidden_ = true;
        VNX_LOGF(dftLog_, log::INFO, "Hiding Cursor");
    }
    if (cursorHidden_ && wake.shake != 0) {
        cursorHidden_ = false;
        VNX_LOGF(dftLog_, log::INFO, "Showing Cursor");
    }
}

int ExtendedBundle::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                            const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                            vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    if (inputInterface < 0 || inputInterface >= kInputInterfaceCount || inputCount < 1 || inputCount > 4 ||
        outputInterface != 0 || outputCount != kOutputSlotCount || outputs == nullptr ||
        outputFormats == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    bundle::ChainResult chain;
    const auto run = [&](int child, int childInput, size_t count, const vnx_StructOutput_s** in,
                         const vnx_StructFormat_s** inFormats, size_t outCount, vnx_StructOutput_s** out,
                         vnx_StructFormat_s** outFormats) {
        return chain.add(bundle::callChild(children_[child], [&](ModuleInterface& m) {
            return m.process(childInput, count, in, inFormats, 0, outCount, out, outFormats);
        }));
    };

    vnx_ShakeDetector_initOutput(&shake_);
    vnx_ShakeDetector_initFormat(&shakeFormat_);

    // Fusion: the bundle's inputs as they came; motion, activity and buttons out.
    vnx_StructOutput_s* fusionOut[] = {outputs[kFusionSlot], outputs[kActivitySlot], outputs[kButtonSlot]};
    vnx_StructFormat_s* fusionOutFormats[] = {outputFormats[kFusionSlot], outputFormats[kActivitySlot],
                                              nullptr};
    if (!run(kFusion, inputInterface, inputCount, inputs, inputFormats, 3, fusionOut, fusionOutFormats)) {
        return chain.result();
    }

    const vnx_StructOutput_s* motion[] = {outputs[kFusionSlot]};
    const vnx_StructFormat_s* motionFormat[] = {outputFormats[kFusionSlot]};
    vnx_StructOutput_s* shakeOut[] = {&shake_.output};
    vnx_StructFormat_s* shakeOutFormat[] = {&shakeFormat_};
    if (!run(kShake, 0, 1, motion, motionFormat, 1, shakeOut, shakeOutFormat)) {
        return chain.result();
    }

    vnx_StructOutput_s* floatOut[] = {outputs[kMotionFloatSlot]};
    vnx_StructFormat_s* floatOutFormat[] = {nullptr};
    if (!run(kMotionFloat, 0, 1, motion, motionFormat, 1, floatOut, floatOutFormat)) {
        return chain.result();
    }

    if (wakeOnShakeOn()) {
        vnx_ShakeDetector_initOutput(&wakeShake_);
        vnx_ShakeDetector_initFormat(&wakeShakeFormat_);
        vnx_StructOutput_s* wakeOut[] = {&wakeShake_.output};
        vnx_StructFormat_s* wakeOutFormat[] = {&wakeShakeFormat_};
        if (!run(kWakeShake, 0, 1, motion, motionFormat, 1, wakeOut, wakeOutFormat)) {
            return chain.result();
        }
        const auto* activity = vnx_ActivityClassification_dynamicDownCastConstOutput(outputs[kActivitySlot]);
        updateCursorHidden(activity != nullptr ? activity->flags : 0, wakeShake_);
    }

    const vnx_StructOutput_s* cursorIn[] = {outputs[kFusionSlot], outputs[kButtonSlot], &shake_.output};
    const vnx_StructFormat_s* cursorInFormats[] = {outputFormats[kFusionSlot], nullptr, &shakeFormat_};
    vnx_StructOutput_s* cursorOut[] = {outputs[kCursorSlot]};
    vnx_StructFormat_s* cursorOutFormat[] = {outputFormats[kCursorSlot]};
    if (!run(kCursor, 0, 3, cursorIn, cursorInFormats, 1, cursorOut, cursorOutFormat)) {
        return chain.result();
    }

    auto* cursor = vnx_ExtendedCursor_dynamicDownCastOutput(outputs[kCursorSlot]);
    if (cursorHidden_ && cursor != nullptr) {
        // The engine's position stays; the pointer is hidden and does not move.
        cursor->pointerState = kPointerHidden;
        cursor->dx = 0;
        cursor->dy = 0;
    }
    return chain.result();
}

} // namespace vnx
