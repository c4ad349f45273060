#include "standardMoverBundle/StandardMoverBundle.h"

#include <cstring>
#include <iterator>

#include "buttonActivity/ButtonActivityRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleCommon/childCalls.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "extCommon/extModuleType.h"
#include "log/Logger.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace vnx {

namespace {

constexpr uint8_t kChildTypes[] = {VNX_TYPE_STANDARD_BUNDLE, VNX_TYPE_CURSOR_MOVER,   VNX_TYPE_BUTTON_MAPPER,
                                   VNX_TYPE_MOTION_PIPE,     VNX_TYPE_LINEAR_GESTURE, VNX_TYPE_CURSOR_GESTURE};

// Output slots: 0-2 written by the StandardBundle, 3 the copied button
// record, 4 left to the caller, then one per later child.
enum OutputSlot_e
{
    kActivitySlot,
    kFusionSlot,
    kCursorSlot,
    kButtonSlot,
    kMotionFloatSlot,
    kButtonMapperSlot,
    kLinearGestureSlot,
    kCursorGestureSlot,
};
constexpr size_t kStandardBundleOutputs = 3;
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_ACTIVITY_CLASSIFICATION, VNX_TYPE_SENSOR_FUSION,
                                    VNX_TYPE_STANDARD_CURSOR,         VNX_TYPE_BUTTON_ACTIVITY,
                                    VNX_TYPE_DEVICE_MOTION_FLOAT,     VNX_TYPE_BUTTON_MAPPER,
                                    VNX_TYPE_LINEAR_GESTURE,          VNX_TYPE_CURSOR_GESTURE};
static_assert(std::size(kOutputTypes) == StandardMoverBundle::kOutputs);

// Where each of the StandardBundle's input interfaces carries its button
// record; -1 for an interface it does not have.
int buttonInputOf(int inputInterface)
{
    switch (inputInterface) {
    case 0:
        return 2;
    case 1:
        return 3;
    case 2:
        return 1;
    default:
        return -1;
    }
}

// The input every interface passes on to the motion pipe first.
constexpr size_t kPipeFirstInput = 1;

} // namespace

StandardMoverBundle::StandardMoverBundle()
{
    static_assert(std::size(kChildTypes) == kChildCount);
    bundle::createChildren(this, kChildTypes, modules_);
}

StandardMoverBundle::~StandardMoverBundle()
{
    bundle::destroyChildren(modules_);
}

int StandardMoverBundle::setModuleListener(ModuleListenerInterface* listener)
{
    return bundle::chainAll(modules_, [&](ModuleInterface& m) { return m.setModuleListener(listener); });
}

int StandardMoverBundle::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_STANDARD_MOVER_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.getConfig(config); });
}

int StandardMoverBundle::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_STANDARD_MOVER_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    // A ButtonMapper Config stops at the CursorMover, which comes first and
    // holds a copy for its platform.
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.setConfig(config); });
}

int StandardMoverBundle::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructCommand_isA(&command->header, VNX_TYPE_STANDARD_MOVER_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.sendCommand(command); });
}

uint8_t StandardMoverBundle::getType() const
{
    return VNX_TYPE_STANDARD_MOVER_BUNDLE;
}

int StandardMoverBundle::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    return bundle::chainAll(modules_, [&](ModuleInterface& m) { return m.init(scd, scdOffset, dcd, dcdOffset); });
}

int StandardMoverBundle::term()
{
    return bundle::chainAll(modules_, [](ModuleInterface& m) { return m.term(); });
}

int StandardMoverBundle::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    return bundle::callChild(modules_[kStandardBundle],
                             [&](ModuleInterface& m) { return m.getDcd(dcd, capacity, dcdOffset); });
}

int StandardMoverBundle::getInputInterfaceCount() const
{
    return bundle::callChild(modules_[kStandardBundle], [](ModuleInterface& m) { return m.getInputInterfaceCount(); });
}

int StandardMoverBundle::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return bundle::callChild(modules_[kStandardBundle],
                             [&](ModuleInterface& m) { return m.getInputInterface(index, capacity, typeIds, count); });
}

int StandardMoverBundle::getOutputInterfaceCount() const
{
    return bundle::callChild(modules_[kStandardBundle],
                             [](ModuleInterface& m) { return m.getOutputInterfaceCount(); });
}

int StandardMoverBundle::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

int StandardMoverBundle::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                                 const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                                 vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    const int buttonInput = buttonInputOf(inputInterface);
    if (buttonInput < 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    // Every slot is written below: a host with another count reshapes.
    if (outputCount != kOutputs) {
        return VNX_STATUS_ARRAY_SIZE_MISMATCH;
    }
    const auto* buttons =
        processRecord(inputCount, inputs, buttonInput, vnx_ButtonActivity_dynamicDownCastConstOutput);
    const auto* buttonFormat =
        processRecord(inputCount, inputFormats, buttonInput, vnx_ButtonActivity_dynamicDownCastConstFormat);
    auto* buttonSlot = processRecord(outputCount, outputs, kButtonSlot, vnx_ButtonActivity_dynamicDownCastOutput);
    auto* buttonSlotFormat =
        processRecord(outputCount, outputFormats, kButtonSlot, vnx_ButtonActivity_dynamicDownCastFormat);
    if (buttons == nullptr || buttonFormat == nullptr || buttonSlot == nullptr || buttonSlotFormat == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    bundle::ChainResult chain;
    const auto run = [&](int child, auto&&... arguments) {
        return bundle::processStep(chain, modules_[child], arguments...);
    };

    if (!run(kStandardBundle, inputInterface, inputCount, inputs, inputFormats, outputInterface,
             kStandardBundleOutputs, outputs, outputFormats)) {
        return chain.result();
    }

    *buttonSlot = *buttons;
    *buttonSlotFormat = *buttonFormat;
    const vnx_StructOutput_s* mapperIn[] = {outputs[kButtonSlot]};
    const vnx_StructFormat_s* mapperInFormats[] = {outputFormats[kButtonSlot]};
    if (!run(kButtonMapper, 0, 1, mapperIn, mapperInFormats, 0, 1, outputs + kButtonMapperSlot,
             outputFormats + kButtonMapperSlot)) {
        return chain.result();
    }

    const vnx_StructOutput_s* moverIn[] = {outputs[kCursorSlot], outputs[kButtonMapperSlot]};
    const vnx_StructFormat_s* moverInFormats[] = {outputFormats[kCursorSlot], outputFormats[kButtonMapperSlot]};
    if (!run(kCursorMover, 0, 2, moverIn, moverInFormats, 0, 0, nullptr, nullptr)) {
        return chain.result();
    }

    const vnx_StructOutput_s* fusionIn[] = {outputs[kFusionSlot]};
    const vnx_StructFormat_s* fusionInFormats[] = {outputFormats[kFusionSlot]};
    if (!run(kLinearGesture, 0, 1, fusionIn, fusionInFormats, 0, 1, outputs + kLinearGestureSlot,
             outputFormats + kLinearGestureSlot)) {
        return chain.result();
    }

    const vnx_StructOutput_s* pipeIn[] = {inputs[kPipeFirstInput], outputs[kCursorSlot], outputs[kMotionFloatSlot],
                                          outputs[kLinearGestureSlot]};
    const vnx_StructFormat_s* pipeInFormats[] = {inputFormats[kPipeFirstInput], outputFormats[kCursorSlot],
                                                 outputFormats[kMotionFloatSlot], outputFormats[kLinearGestureSlot]};
    if (!run(kMotionPipe, 0, std::size(pipeIn), pipeIn, pipeInFormats, 0, 0, nullptr, nullptr)) {
        return chain.result();
    }

    const vnx_StructOutput_s* cursorIn[] = {outputs[kCursorSlot]};
    const vnx_StructFormat_s* cursorInFormats[] = {outputFormats[kCursorSlot]};
    run(kCursorGesture, 0, 1, cursorIn, cursorInFormats, 0, 1, outputs + kCursorGestureSlot,
        outputFormats + kCursorGestureSlot);
    return chain.result();
}

} // namespace vnx
