#include "extendedPipeBundle/ExtendedPipeBundle.h"

#include <algorithm>
#include <iterator>
#include <span>

#include "buttonActivity/ButtonActivityRecords.h"
#include "bundleCommon/bundleModuleType.h"
#include "bundleCommon/childCalls.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "cursorMover/CursorMoverRecords.h"
#include "extCommon/extModuleType.h"
#include "log/Logger.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/interfaceDescription.h"

namespace vnx {

namespace {

constexpr uint8_t kChildTypes[] = {VNX_TYPE_EXTENDED_BUNDLE, VNX_TYPE_CURSOR_MOVER, VNX_TYPE_BUTTON_MAPPER,
                                   VNX_TYPE_MOTION_PIPE, VNX_TYPE_GESTURE_BUNDLE};

// Output slots written by the ExtendedBundle (0-4) and the ButtonMapper (5).
enum OutputSlot_e
{
    kActivitySlot,
    kFusionSlot,
    kCursorSlot,
    kButtonSlot,
    kMotionFloatSlot,
    kButtonMapperSlot,
};
constexpr size_t kBundleOutputs = 5;
constexpr uint8_t kFixedOutputTypes[] = {VNX_TYPE_ACTIVITY_CLASSIFICATION, VNX_TYPE_SENSOR_FUSION,
                                         VNX_TYPE_EXTENDED_CURSOR,         VNX_TYPE_BUTTON_ACTIVITY,
                                         VNX_TYPE_DEVICE_MOTION_FLOAT,     VNX_TYPE_BUTTON_MAPPER};
static_assert(std::size(kFixedOutputTypes) == ExtendedPipeBundle::kFixedOutputs);

// The GestureBundle's input interface of fused motion and ExtendedCursor output.
constexpr int kGestureCursorInterface = 1;

// Records the motion pipe takes per sample: buttons, cursor and float motion,
// then every LinearGesture output (all four fit).
constexpr size_t kPipeFixedInputs = 3;
constexpr size_t kPipeInputs = kPipeFixedInputs + ExtendedPipeBundle::kMaxGestures;

} // namespace

ExtendedPipeBundle::ExtendedPipeBundle()
{
    bundle::createChildren(this, kChildTypes, modules_);
    // The CursorMover's Config goes back to it so that its platform holds it
    // too; its mode says whether the CursorMover step runs.
    vnx_CursorMover_Config_s mover;
    vnx_CursorMover_initConfig(&mover);
    if (bundle::callChild(modules_[kCursorMover], [&](ModuleInterface& m) { return m.getConfig(&mover.config); }) ==
        VNX_STATUS_SUCCESS) {
        cursorMoverEnabled_ = mover.mode != 0;
        modules_[kCursorMover]->setConfig(&mover.config);
    }
    vnx_ExtendedPipeBundle_initConfig(&config_);
}

ExtendedPipeBundle::~ExtendedPipeBundle()
{
    bundle::destroyChildren(modules_);
}

int ExtendedPipeBundle::setModuleListener(ModuleListenerInterface* listener)
{
    return bundle::chainAll(modules_, [&](ModuleInterface& m) { return m.setModuleListener(listener); });
}

int ExtendedPipeBundle::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_EXTENDED_PIPE_BUNDLE)) {
        auto* own = vnx_ExtendedPipeBundle_dynamicDownCastConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        *own = config_;
        return VNX_STATUS_SUCCESS;
    }
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.getConfig(config); });
}

int ExtendedPipeBundle::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructConfig_isA(&config->header, VNX_TYPE_EXTENDED_PIPE_BUNDLE)) {
        const auto* own = vnx_ExtendedPipeBundle_dynamicDownCastConstConfig(config);
        if (own == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        config_ = *own;
        return VNX_STATUS_SUCCESS;
    }
    if (const auto* mover = vnx_CursorMover_dynamicDownCastConstConfig(config)) {
        cursorMoverEnabled_ = mover->mode != 0;
    }
    // A ButtonMapper Config stops at the CursorMover, which comes first and
    // holds a copy for its platform.
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.setConfig(config); });
}

int ExtendedPipeBundle::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    if (vnx_StructCommand_isA(&command->header, VNX_TYPE_EXTENDED_PIPE_BUNDLE)) {
        return VNX_STATUS_SUCCESS;
    }
    const auto* cursor = vnx_ExtendedCursor_dynamicDownCastConstCommand(command);
    if (cursor != nullptr && cursor->code == ZEPHRA_CURSOR_COMMAND_SET_BOUNDS) {
        setCursorMoverBounds(cursor->data.setBounds.pointerLimits);
    }
    return bundle::routeWhileNotForMe(modules_, [&](ModuleInterface& m) { return m.sendCommand(command); });
}

void ExtendedPipeBundle::setCursorMoverBounds(const vnx_ExtendedCursor_Bounds_s& pointerLimits)
{
    VNX_LOGF(dftLog_, log::INFO, "Got Command: ZEPHRA_CURSOR_COMMAND_SET_BOUNDS. Sending to CursorMover");
    vnx_CursorMover_Command_s bounds;
    vnx_CursorMover_initCommand(&bounds);
    bounds.code = VNX_CURSOR_MOVER_COMMAND_SET_BOUNDS;
    bounds.parameter.bounds = {pointerLimits.x, pointerLimits.y, pointerLimits.width, pointerLimits.height};
    if (bundle::callChild(modules_[kCursorMover],
                          [&](ModuleInterface& m) { return m.sendCommand(&bounds.command); }) != VNX_STATUS_SUCCESS) {
        VNX_LOGF(dftLog_, log::ERROR, "Setting CusorMover's bounds failed!");
    }
    if (!cursorMoverInitialized_) {
        VNX_LOGF(dftLog_, log::INFO, "Initializing CursorMove now.");
        int scdOffset = 0;
        int dcdOffset = 0;
        // Its platform reports its own failures; the bundle goes on without.
        bundle::callChild(modules_[kCursorMover],
                          [&](ModuleInterface& m) { return m.init(nullptr, scdOffset, nullptr, dcdOffset); });
        cursorMoverInitialized_ = true;
    }
}

uint8_t ExtendedPipeBundle::getType() const
{
    return VNX_TYPE_EXTENDED_PIPE_BUNDLE;
}

int ExtendedPipeBundle::init(const vnx_scdData_s* scd, int& scdOffset, const vnx_dcdData_s* dcd, int& dcdOffset)
{
    bundle::ChainResult chain;
    for (int i = 0; i < kChildCount; ++i) {
        // The CursorMover starts at the first set-bounds, not here.
        if (i == kCursorMover && !cursorMoverInitialized_) {
            continue;
        }
        if (!chain.add(bundle::callChild(
                modules_[i], [&](ModuleInterface& m) { return m.init(scd, scdOffset, dcd, dcdOffset); }))) {
            break;
        }
    }
    return chain.result();
}

int ExtendedPipeBundle::term()
{
    return bundle::chainAll(modules_, [](ModuleInterface& m) { return m.term(); });
}

int ExtendedPipeBundle::getDcd(vnx_dcdData_s* dcd, int capacity, int& dcdOffset) const
{
    return bundle::callChild(modules_[kExtendedBundle],
                             [&](ModuleInterface& m) { return m.getDcd(dcd, capacity, dcdOffset); });
}

int ExtendedPipeBundle::getInputInterfaceCount() const
{
    return bundle::callChild(modules_[kExtendedBundle], [](ModuleInterface& m) { return m.getInputInterfaceCount(); });
}

int ExtendedPipeBundle::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    return bundle::callChild(modules_[kExtendedBundle],
                             [&](ModuleInterface& m) { return m.getInputInterface(index, capacity, typeIds, count); });
}

int ExtendedPipeBundle::getOutputInterfaceCount() const
{
    return bundle::callChild(modules_[kExtendedBundle],
                             [](ModuleInterface& m) { return m.getOutputInterfaceCount(); });
}

int ExtendedPipeBundle::gestureOutputs(uint8_t* types, size_t& count) const
{
    // Asked into a list of its own size: the caller's list may be too short,
    // or absent while the caller only asks for the count.
    count = 0;
    return bundle::callChild(modules_[kGestureBundle], [&](ModuleInterface& m) {
        return m.getOutputInterface(0, kMaxGestures, types, count);
    });
}

int ExtendedPipeBundle::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    uint8_t types[kFixedOutputs + kMaxGestures];
    std::copy(std::begin(kFixedOutputTypes), std::end(kFixedOutputTypes), types);
    size_t gestures = 0;
    const int result = gestureOutputs(types + kFixedOutputs, gestures);
    if (result != VNX_STATUS_SUCCESS) {
        return result;
    }
    return describeInterface(std::span<const uint8_t>(types, kFixedOutputs + gestures), capacity, typeIds, count);
}

int ExtendedPipeBundle::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                                const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                                vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    uint8_t gestureTypes[kMaxGestures];
    size_t gestures = 0;
    const int gestureResult = gestureOutputs(gestureTypes, gestures);
    if (gestureResult != VNX_STATUS_SUCCESS) {
        return gestureResult;
    }
    if (outputCount != kFixedOutputs + gestures) {
        return VNX_STATUS_ARRAY_SIZE_MISMATCH;
    }
    if (outputs == nullptr || outputFormats == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    bundle::ChainResult chain;
    const auto run = [&](int child, auto&&... arguments) {
        return bundle::processStep(chain, modules_[child], arguments...);
    };

    if (!run(kExtendedBundle, inputInterface, inputCount, inputs, inputFormats, outputInterface, kBundleOutputs,
             outputs, outputFormats)) {
        return chain.result();
    }

    const vnx_StructOutput_s* buttons[] = {outputs[kButtonSlot]};
    const vnx_StructFormat_s* buttonFormats[] = {outputFormats[kButtonSlot]};
    if (!run(kButtonMapper, 0, 1, buttons, buttonFormats, 0, 1, outputs + kButtonMapperSlot,
             outputFormats + kButtonMapperSlot)) {
        return chain.result();
    }

    if (cursorMoverEnabled_ && cursorMoverInitialized_) {
        const vnx_StructOutput_s* moverIn[] = {outputs[kCursorSlot], outputs[kButtonMapperSlot]};
        const vnx_StructFormat_s* moverInFormats[] = {outputFormats[kCursorSlot], outputFormats[kButtonMapperSlot]};
        if (!run(kCursorMover, 0, 2, moverIn, moverInFormats, 0, 0, nullptr, nullptr)) {
            return chain.result();
        }
    }

    const vnx_StructOutput_s* gestureIn[] = {outputs[kFusionSlot], outputs[kCursorSlot]};
    const vnx_StructFormat_s* gestureInFormats[] = {outputFormats[kFusionSlot], outputFormats[kCursorSlot]};
    if (!run(kGestureBundle, kGestureCursorInterface, 2, gestureIn, gestureInFormats, 0, gestures,
             outputs + kFixedOutputs, outputFormats + kFixedOutputs)) {
        return chain.result();
    }

    if (config_.motionPipeEnabled != 0) {
        const vnx_StructOutput_s* pipeIn[kPipeInputs] = {outputs[kButtonSlot], outputs[kCursorSlot],
                                                          outputs[kMotionFloatSlot]};
        const vnx_StructFormat_s* pipeInFormats[kPipeInputs] = {
            outputFormats[kButtonSlot], outputFormats[kCursorSlot], outputFormats[kMotionFloatSlot]};
        size_t pipeCount = kPipeFixedInputs;
        for (size_t slot = kFixedOutputs; slot < kFixedOutputs + gestures; ++slot) {
            if (outputs[slot] != nullptr && outputs[slot]->header.type == VNX_TYPE_LINEAR_GESTURE) {
                pipeIn[pipeCount] = outputs[slot];
                pipeInFormats[pipeCount] = outputFormats[slot];
                ++pipeCount;
            }
        }
        run(kMotionPipe, 0, pipeCount, pipeIn, pipeInFormats, 0, 0, nullptr, nullptr);
    }
    return chain.result();
}

} // namespace vnx
