#include "standardBundle/StandardBundle.h"

#include <cstring>
#include <iterator>
#include <span>

#include "activityClassification/ActivityClassificationRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleCommon/childCalls.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "sensorInterpretationModule/SensorInterpretationRecords.h"
#include "standardCursor/StandardCursorRecords.h"

namespace vnx {

namespace {

enum InputInterface_e
{
    kTwoSamples = 0,
    kThreeSamples = 1,
    kInterpreted = 2,
};
constexpr uint8_t kDs = VNX_TYPE_DEVICE_SUPPORT;
constexpr uint8_t kButtons = VNX_TYPE_BUTTON_ACTIVITY;
constexpr uint8_t kInputTypes0[] = {kDs, kDs, kButtons};
constexpr uint8_t kInputTypes1[] = {kDs, kDs, kDs, kButtons};
constexpr uint8_t kInputTypes2[] = {VNX_TYPE_SENSOR_INTERPRETATION, kButtons};
constexpr std::span<const uint8_t> kInputInterfaces[] = {kInputTypes0, kInputTypes1, kInputTypes2};
constexpr int kInputInterfaceCount = static_cast<int>(std::size(kInputInterfaces));
// Every caller buffer must hold two ids before the interface is even looked at.
constexpr size_t kSmallestInputCapacity = 2;

enum OutputSlot_e
{
    kActivitySlot,
    kFusionSlot,
    kCursorSlot,
    kOutputSlotCount
};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_ACTIVITY_CLASSIFICATION, VNX_TYPE_SENSOR_FUSION,
                                    VNX_TYPE_STANDARD_CURSOR};
static_assert(std::size(kOutputTypes) == kOutputSlotCount);

constexpr uint8_t kChildTypes[] = {VNX_TYPE_SENSOR_INTERPRETATION_9AXIS, VNX_TYPE_SENSOR_FUSION_9AXIS,
                                   VNX_TYPE_STANDARD_CURSOR, VNX_TYPE_ACTIVITY_CLASSIFICATION};

// The fusion Config flag the bundle Config's option switch controls.
constexpr uint16_t kFusionOptionBit = 1u << 9;

/// The fusion command code of a bundle command code.
uint32_t fusionCommandCode(uint32_t bundleCode)
{
    switch (bundleCode) {
    case 1:
        return 4;
    case 2:
        return 5;
    case 3:
        return 6;
    case 4:
        return 9;
    default:
        return 0;
    }
}

/// The later of two chained results when it is not 0, else the earlier.
int laterUnlessZero(int first, int second)
{
    return second != VNX_STATUS_SUCCESS ? second : first;
}

} // namespace

StandardBundle::StandardBundle()
{
    vnx_StandardBundle_initConfig(&config_);
    bundle::createChildren(this, kChildTypes, children_);
}

StandardBundle::~StandardBundle()
{
    bundle::destroyChildren(children_);
}

int StandardBundle::setModuleListener(ModuleListenerInterface* listener)
{
    const auto setListener = [&](ModuleInterface& m) { return m.setModuleListener(listener); };
    const int first = bundle::callChild(children_[kActivity], setListener);
    if (first < 0) {
        return first;
    }
    return laterUnlessZero(first, bundle::callChild(children_[kFusion], setListener));
}

int StandardBundle::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto getChildConfig = [&](ModuleInterface& m) { return m.getConfig(config); };
    switch (config->header.type) {
    case VNX_TYPE_STANDARD_BUNDLE: {
        auto* own = vnx_StandardBundle_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = config_;
        return VNX_STATUS_SUCCESS;
    }
    case VNX_TYPE_STANDARD_CURSOR:
        return bundle::callChild(children_[kCursor], getChildConfig);
    case VNX_TYPE_SENSOR_FUSION:
        return bundle::callChild(children_[kFusion], getChildConfig);
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

int StandardBundle::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto setChildConfig = [&](ModuleInterface& m) { return m.setConfig(config); };
    switch (config->header.type) {
    case VNX_TYPE_STANDARD_BUNDLE: {
        const auto* own = vnx_StandardBundle_dynamicDownCastConstConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        return applyConfig(*own);
    }
    case VNX_TYPE_STANDARD_CURSOR:
        return bundle::callChild(children_[kCursor], setChildConfig);
    case VNX_TYPE_SENSOR_FUSION:
        return bundle::callChild(children_[kFusion], setChildConfig);
    default:
        return VNX_STATUS_NOT_FOR_ME;
    }
}

int StandardBundle::applyConfig(const vnx_StandardBundle_Config_s& config)
{
    config_ = config;
    bundle::ChainResult chain;

    vnx_StandardCursor_Config_s cursorConfig;
    std::memset(&cursorConfig, 0, sizeof cursorConfig);
    vnx_StandardCursor_initConfig(&cursorConfig);
    cursorConfig.pointerScale = config_.pointerScale;
    if (!chain.add(bundle::callChild(
            children_[kCursor], [&](ModuleInterface& m) { return m.setConfig(&cursorConfig.config); }))) {
        return chain.result();
    }

    // The fusion keeps every setting but the option bit and the reorientation.
    vnx_SensorFusion_Config_s fusionConfig;
    std::memset(&fusionConfig, 0, sizeof fusionConfig);
    vnx_SensorFusion_initConfig(&fusionConfig);
    if (!chain.add(bundle::callChild(
            children_[kFusion], [&](ModuleInterface& m) { return m.getConfig(&fusionConfig.config); }))) {
        return chain.result();
    }
    if (config_.fusionOption != 0) {
        fusionConfig.flags |= kFusionOptionBit;
    } else {
        fusionConfig.flags &= static_cast<uint16_t>(~kFusionOptionBit);
    }
    std::memcpy(fusionConfig.reorientation, config_.reorientation, sizeof fusionConfig.reorientation);
    const int result = bundle::callChild(
        children_[kFusion], [&](ModuleInterface& m) { return m.setConfig(&fusionConfig.config); });
    return laterUnlessZero(chain.result(), result);
}

int StandardBundle::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (!vnx_StructCommand_isA(&command->header, VNX_TYPE_STANDARD_BUNDLE)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    const auto* own = vnx_StandardBundle_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    vnx_SensorFusion_Command_s fusionCommand;
    std::memset(&fusionCommand, 0, sizeof fusionCommand);
    vnx_SensorFusion_initCommand(&fusionCommand);
    fusionCommand.code = fusionCommandCode(own->code);
    return bundle::callChild(children_[kFusion],
                             [&](ModuleInterface& m) { return m.sendCommand(&fusionCommand.command); });
}

uint8_t StandardBundle::getType() const
{
    return VNX_TYPE_STANDARD_BUNDLE;
}

int StandardBundle::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    bundle::ChainResult chain;
    for (ModuleInterface* child : children_) {
        if (!chain.add(bundle::callChild(
                child, [&](ModuleInterface& m) { return m.init(scd, scdOffset, dcd, dcdOffset); }))) {
            return chain.result();
        }
    }
    const vnx_StandardBundle_Config_s config = config_;
    return laterUnlessZero(chain.result(), applyConfig(config));
}

int StandardBundle::term()
{
    return VNX_STATUS_SUCCESS;
}

int StandardBundle::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    const auto getChildDcd = [&](ModuleInterface& m) { return m.getDcd(dcd, capacity, dcdOffset); };
    const int first = bundle::callChild(children_[kInterpretation], getChildDcd);
    if (first < 0) {
        return first;
    }
    return laterUnlessZero(first, bundle::callChild(children_[kFusion], getChildDcd));
}

int StandardBundle::getInputInterfaceCount() const
{
    return kInputInterfaceCount;
}

int StandardBundle::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (capacity < kSmallestInputCapacity) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    if (index < 0 || index >= kInputInterfaceCount) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(kInputInterfaces[index], capacity, typeIds, count);
}

int StandardBundle::getOutputInterfaceCount() const
{
    return 1;
}

int StandardBundle::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

int StandardBundle::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                            const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                            vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    if (inputInterface < 0 || inputInterface >= kInputInterfaceCount ||
        inputCount != kInputInterfaces[inputInterface].size() || outputInterface != 0 ||
        outputCount != kOutputSlotCount || outputs == nullptr || outputFormats == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto* buttons =
        processRecord(inputCount, inputs, inputCount - 1, vnx_ButtonActivity_dynamicDownCastConstOutput);
    if (buttons == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const vnx_DeviceSupport_Format_s* sampleFormat = nullptr;
    const vnx_StructOutput_s* interpretation = nullptr;
    const vnx_StructFormat_s* interpretationFormat = nullptr;
    if (inputInterface == kInterpreted) {
        interpretation =
            processRecord(inputCount, inputs, 0, vnx_SensorInterpretation_dynamicDownCastConstOutput)
                ? inputs[0]
                : nullptr;
        interpretationFormat =
            processRecord(inputCount, inputFormats, 0, vnx_SensorInterpretation_dynamicDownCastConstFormat)
                ? inputFormats[0]
                : nullptr;
        if (interpretation == nullptr || interpretationFormat == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
    } else {
        sampleFormat =
            processRecord(inputCount, inputFormats, 0, vnx_DeviceSupport_dynamicDownCastConstFormat);
        if (sampleFormat == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
    }

    bundle::ChainResult chain;
    buttons_ = *buttons;
    if (inputInterface != kInterpreted) {
        // The device's flags of the sample count as button activity.
        buttons_.activity |= sampleFormat->flags;
        vnx_SensorInterpretation9Axis_initOutput(&interpreted_);
        vnx_SensorInterpretation9Axis_initFormat(&interpretedFormat_);
        vnx_StructOutput_s* out[] = {&interpreted_.output};
        vnx_StructFormat_s* outFormat[] = {&interpretedFormat_.format};
        if (!chain.add(bundle::callChild(children_[kInterpretation], [&](ModuleInterface& m) {
                return m.process(inputInterface, inputCount - 1, inputs, inputFormats, 0, 1, out, outFormat);
            }))) {
            return chain.result();
        }
        interpretation = &interpreted_.interpretation.output;
        interpretationFormat = &interpretedFormat_.interpretation.format;
    }

    const vnx_StructOutput_s* motion[] = {interpretation};
    const vnx_StructFormat_s* motionFormat[] = {interpretationFormat};
    const auto runOnMotion = [&](int child, int slot) {
        vnx_StructOutput_s* out[] = {outputs[slot]};
        vnx_StructFormat_s* outFormat[] = {outputFormats[slot]};
        return chain.add(bundle::callChild(children_[child], [&](ModuleInterface& m) {
            return m.process(0, 1, motion, motionFormat, 0, 1, out, outFormat);
        }));
    };
    if (!runOnMotion(kActivity, kActivitySlot) || !runOnMotion(kFusion, kFusionSlot)) {
        return chain.result();
    }

    const vnx_StructOutput_s* cursorIn[] = {outputs[kFusionSlot], &buttons_.output};
    const vnx_StructFormat_s* cursorInFormats[] = {outputFormats[kFusionSlot], nullptr};
    vnx_StructOutput_s* cursorOut[] = {outputs[kCursorSlot]};
    vnx_StructFormat_s* cursorOutFormat[] = {outputFormats[kCursorSlot]};
    const int cursorResult = bundle::callChild(children_[kCursor], [&](ModuleInterface& m) {
        return m.process(0, 2, cursorIn, cursorInFormats, 0, 1, cursorOut, cursorOutFormat);
    });
    return laterUnlessZero(chain.result(), cursorResult);
}

} // namespace vnx
