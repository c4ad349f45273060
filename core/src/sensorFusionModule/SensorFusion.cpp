#include "sensorFusionModule/SensorFusion.h"

#include <iterator>
#include <span>
#include <stdexcept>

#include "activityClassification/ActivityClassificationRecords.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "deviceSupport/DeviceSupport.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "deviceSupport/DeviceSupport9AGM.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

using vnx::ModuleFactory;

namespace {

// Input interfaces: the record types of each, in the order the caller passes them.
enum InputInterface_e
{
    kDeviceSupport6 = 0,
    kDeviceSupport9 = 1,
    kNineAxis = 2,
    kFused = 3,
    kDeviceSupportSingle = 4,
    kSample6AG = 5,
    kSample9AGM = 6,
};
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

constexpr uint8_t kOutputTypes[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_ACTIVITY_CLASSIFICATION, kButtons};
constexpr size_t kOutputSlots = std::size(kOutputTypes);

// Input and output interfaces of the children.
constexpr int kFusionNineAxisInput = 0;
constexpr int kFusionDeviceSupportInput = 1;
constexpr int kFusionSingleSampleInput = 2;
constexpr int kFusion6AGInput = 3;
constexpr int kFusion9AGMInput = 4;
constexpr int kFusionMotionOutput = 0;
constexpr int kFusionMotionAndInterpretedOutput = 1;

/// Whether `record` is a present Output of module type `type`.
bool isOutputOf(uint8_t type, const vnx_StructOutput_s* record)
{
    switch (type) {
    case VNX_TYPE_DEVICE_SUPPORT:
        return vnx_DeviceSupport_dynamicDownCastConstOutput(record) != nullptr;
    case VNX_TYPE_BUTTON_ACTIVITY:
        return vnx_ButtonActivity_dynamicDownCastConstOutput(record) != nullptr;
    case VNX_TYPE_SENSOR_INTERPRETATION_9AXIS:
        return vnx_SensorInterpretation9Axis_dynamicDownCastConstOutput(record) != nullptr;
    case VNX_TYPE_SENSOR_FUSION:
        return vnx_SensorFusion_dynamicDownCastConstOutput(record) != nullptr;
    case VNX_TYPE_DEVICE_SUPPORT_6AG:
        return vnx_DeviceSupport6AG_dynamicDownCastConstOutput(record) != nullptr;
    case VNX_TYPE_DEVICE_SUPPORT_9AGM:
        return vnx_DeviceSupport9AGM_dynamicDownCastConstOutput(record) != nullptr;
    default:
        return false;
    }
}

/// Whether `record` is a present Format of module type `type`.
bool isFormatOf(uint8_t type, const vnx_StructFormat_s* record)
{
    switch (type) {
    case VNX_TYPE_DEVICE_SUPPORT:
        return vnx_DeviceSupport_dynamicDownCastConstFormat(record) != nullptr;
    case VNX_TYPE_SENSOR_INTERPRETATION_9AXIS:
        return vnx_SensorInterpretation9Axis_dynamicDownCastConstFormat(record) != nullptr;
    case VNX_TYPE_SENSOR_FUSION:
        return vnx_SensorFusion_dynamicDownCastConstFormat(record) != nullptr;
    default:
        return false;
    }
}

/// Exactly the records of the interface, each present and of its type; the
/// first record's Format too where someone reads it (the DeviceSupport
/// Format carries the sample number, the nine-axis and fused Formats are
/// copied). The 6AG and 9AGM samples carry everything in their Outputs.
bool inputsValid(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                 const vnx_StructFormat_s** inputFormats)
{
    const std::span<const uint8_t> types = kInputInterfaces[inputInterface];
    if (inputs == nullptr || inputCount != types.size()) {
        return false;
    }
    for (size_t i = 0; i < types.size(); ++i) {
        if (!isOutputOf(types[i], inputs[i])) {
            return false;
        }
    }
    if (inputInterface >= kSample6AG) {
        return true;
    }
    return inputFormats != nullptr && isFormatOf(types[0], inputFormats[0]);
}

int compositeResult(int first, int second)
{
    return second != VNX_STATUS_SUCCESS ? second : first;
}

} // namespace

SensorFusion::SensorFusion()
{
    vnx_SensorFusion_initOutput(&lastOutput_);
    vnx_SensorFusion_initFormat(&lastFormat_);
    children_[0] = ModuleFactory::createModule(this, VNX_TYPE_SENSOR_FUSION_PER_DEVICE);
    children_[1] = ModuleFactory::createModule(this, VNX_TYPE_ACTIVITY_CLASSIFICATION);
    if (fusion() == nullptr || activity() == nullptr) {
        for (vnx::ModuleInterface* child : children_) {
            ModuleFactory::destroyModule(child);
        }
        throw std::runtime_error(
            "SensorFusion needs the SensorFusionPerDevice and ActivityClassification factories");
    }
}

SensorFusion::~SensorFusion()
{
    for (vnx::ModuleInterface*& child : children_) {
        ModuleFactory::destroyModule(child);
        child = nullptr;
    }
}

int SensorFusion::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    const int fusionResult = fusion()->setModuleListener(listener);
    if (fusionResult < 0) {
        return fusionResult;
    }
    return compositeResult(fusionResult, activity()->setModuleListener(listener));
}

int SensorFusion::getConfig(vnx_StructConfig_s* config) const
{
    const int result = fusion()->getConfig(config);
    return result == VNX_STATUS_NOT_FOR_ME ? activity()->getConfig(config) : result;
}

int SensorFusion::setConfig(const vnx_StructConfig_s* config)
{
    const int result = fusion()->setConfig(config);
    return result == VNX_STATUS_NOT_FOR_ME ? activity()->setConfig(config) : result;
}

int SensorFusion::sendCommand(const vnx_StructCommand_s* command)
{
    const int result = fusion()->sendCommand(command);
    return result == VNX_STATUS_NOT_FOR_ME ? activity()->sendCommand(command) : result;
}

uint8_t SensorFusion::getType() const
{
    return VNX_TYPE_SENSOR_FUSION;
}

int SensorFusion::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    if (listener_ != nullptr) {
        setModuleListener(listener_);
    }
    const int fusionResult = fusion()->init(scd, scdOffset, dcd, dcdOffset);
    if (fusionResult < 0) {
        return fusionResult;
    }
    return compositeResult(fusionResult, activity()->init(scd, scdOffset, dcd, dcdOffset));
}

int SensorFusion::term()
{
    const int fusionResult = fusion()->term();
    if (fusionResult < 0) {
        return fusionResult;
    }
    return compositeResult(fusionResult, activity()->term());
}

int SensorFusion::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    return fusion()->getDcd(dcd, capacity, dcdOffset);
}

int SensorFusion::getInputInterfaceCount() const
{
    return static_cast<int>(std::size(kInputInterfaces));
}

int SensorFusion::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index < 0 || index >= getInputInterfaceCount()) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputInterfaces[index], capacity, typeIds, count);
}

int SensorFusion::getOutputInterfaceCount() const
{
    return 1;
}

int SensorFusion::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int SensorFusion::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                          const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                          vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    if (inputInterface >= getInputInterfaceCount() || inputCount < 1 || inputCount > 4 ||
        outputInterface != 0 || outputCount != kOutputSlots) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (inputInterface < 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    auto* motion = vnx::processRecord(outputCount, outputs, 0, vnx_SensorFusion_dynamicDownCastOutput);
    auto* motionFormat =
        vnx::processRecord(outputCount, outputFormats, 0, vnx_SensorFusion_dynamicDownCastFormat);
    auto* activityOutput =
        vnx::processRecord(outputCount, outputs, 1, vnx_ActivityClassification_dynamicDownCastOutput);
    const bool withButtons = inputInterface != kDeviceSupportSingle;
    auto* buttons =
        withButtons ? vnx::processRecord(outputCount, outputs, 2, vnx_ButtonActivity_dynamicDownCastOutput)
                    : nullptr;
    if (motion == nullptr || motionFormat == nullptr || activityOutput == nullptr ||
        (withButtons && buttons == nullptr) ||
        !inputsValid(inputInterface, inputCount, inputs, inputFormats)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    vnx_SensorInterpretation9Axis_initOutput(&interpreted_);
    vnx_SensorInterpretation9Axis_initFormat(&interpretedFormat_);
    if (withButtons) {
        *buttons = *vnx_ButtonActivity_downCastConstOutput(inputs[inputCount - 1]);
    }

    const vnx_StructFormat_s* firstFormat = inputFormats != nullptr ? inputFormats[0] : nullptr;
    vnx_StructOutput_s* fusionOutputs[] = {&motion->output, &interpreted_.interpretation.output};
    vnx_StructFormat_s* fusionFormats[] = {&motionFormat->format, &interpretedFormat_.interpretation.format};
    int fusionResult = VNX_STATUS_SUCCESS;
    switch (inputInterface) {
    case kDeviceSupport6:
    case kDeviceSupport9: {
        buttons->activity |= vnx_DeviceSupport_downCastConstFormat(firstFormat)->flags;
        const bool withMagnetometer = inputInterface == kDeviceSupport9;
        const vnx_StructOutput_s* samples[] = {inputs[0], inputs[1], withMagnetometer ? inputs[2] : nullptr,
                                               &lastOutput_.output};
        const vnx_StructFormat_s* formats[] = {inputFormats[0], inputFormats[1],
                                               withMagnetometer ? inputFormats[2] : nullptr,
                                               &lastFormat_.format};
        fusionResult = fusion()->process(kFusionDeviceSupportInput, std::size(samples), samples, formats,
                                         kFusionMotionAndInterpretedOutput, 2, fusionOutputs, fusionFormats);
        break;
    }
    case kNineAxis: {
        interpreted_ = *vnx_SensorInterpretation9Axis_downCastConstOutput(inputs[0]);
        interpretedFormat_ = *vnx_SensorInterpretation9Axis_downCastConstFormat(firstFormat);
        const vnx_StructOutput_s* samples[] = {&interpreted_.output};
        const vnx_StructFormat_s* formats[] = {&interpretedFormat_.format};
        fusionResult = fusion()->process(kFusionNineAxisInput, 1, samples, formats, kFusionMotionOutput, 1,
                                         fusionOutputs, fusionFormats);
        break;
    }
    case kFused:
        *motion = *vnx_SensorFusion_downCastConstOutput(inputs[0]);
        *motionFormat = *vnx_SensorFusion_downCastConstFormat(firstFormat);
        break;
    case kDeviceSupportSingle:
    case kSample6AG:
    case kSample9AGM: {
        const int fusionInput = inputInterface == kDeviceSupportSingle ? kFusionSingleSampleInput
                                : inputInterface == kSample6AG         ? kFusion6AGInput
                                                                       : kFusion9AGMInput;
        const int fusionOutput =
            inputInterface == kDeviceSupportSingle ? kFusionMotionOutput : kFusionMotionAndInterpretedOutput;
        const vnx_StructOutput_s* samples[] = {inputs[0]};
        const vnx_StructFormat_s* formats[] = {firstFormat};
        fusionResult =
            fusion()->process(fusionInput, 1, samples, formats, fusionOutput,
                              fusionOutput == kFusionMotionOutput ? 1 : 2, fusionOutputs, fusionFormats);
        if (fusionResult == VNX_STATUS_WARNING_WAITING_FOR_FUSION) {
            return fusionResult; // no motion for this sample yet
        }
        break;
    }
    }
    if (fusionResult < 0) {
        return fusionResult;
    }

    const vnx_StructOutput_s* motionIn[] = {&interpreted_.interpretation.output};
    const vnx_StructFormat_s* motionInFormats[] = {&interpretedFormat_.interpretation.format};
    vnx_StructOutput_s* activityOut[] = {&activityOutput->output};
    vnx_StructFormat_s* activityOutFormats[] = {outputFormats[1]};
    const int activityResult =
        activity()->process(0, 1, motionIn, motionInFormats, 0, 1, activityOut, activityOutFormats);
    if (activityResult < 0) {
        return activityResult;
    }

    lastOutput_ = *motion;
    lastFormat_ = *motionFormat;
    return compositeResult(fusionResult, activityResult);
}
