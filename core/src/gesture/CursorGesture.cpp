#include "gesture/CursorGesture.h"

#include <algorithm>
#include <cstring>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "gesture/cursorSample.h"
#include "gesture/gestureDefinition.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/moduleListenerInterface.h"
#include "moduleFactory/processArguments.h"

namespace {

constexpr uint8_t kStandardCursorInput[] = {VNX_TYPE_STANDARD_CURSOR};
constexpr uint8_t kExtendedCursorInput[] = {VNX_TYPE_EXTENDED_CURSOR};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_CURSOR_GESTURE};

constexpr int kStandardCursorInterface = 0;
constexpr int kExtendedCursorInterface = 1;

void writeResult(const GestureRecognitionProcessor::Output_t& result,
                 const GestureRecognitionProcessor::AdditionalOutput_t& statistics,
                 vnx_CursorGesture_Output_s& out)
{
    // Bounded copy into the zeroed field: a 128-character name fills it
    // without a terminator.
    std::memcpy(out.name, result.name.data(), std::min(result.name.size(), sizeof(out.name)));
    out.score = result.score;
    // A match always scores above 60; "Not matched" scores 0 and leaves the
    // statistics zero.
    if (result.score <= 0.0) {
        return;
    }
    out.durationS = statistics.durationS;
    out.centreX = statistics.centreX;
    out.centreY = statistics.centreY;
    out.width = statistics.width;
    out.height = statistics.height;
    out.lastX = statistics.lastX;
    out.lastY = statistics.lastY;
    out.pathLength = statistics.pathLength;
    out.captureState = statistics.captureState;
}

} // namespace

CursorGesture::CursorGesture() = default;

int CursorGesture::setModuleListener(vnx::ModuleListenerInterface* listener)
{
    listener_ = listener;
    return VNX_STATUS_SUCCESS;
}

int CursorGesture::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

int CursorGesture::setConfig(const vnx_StructConfig_s*)
{
    return VNX_STATUS_SUCCESS;
}

int CursorGesture::sendCommand(const vnx_StructCommand_s* command)
{
    if (command == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const auto& own = *vnx_CursorGesture_downCastConstCommand(command);
    switch (own.code) {
    case VNX_CURSOR_GESTURE_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_CURSOR_GESTURE_COMMAND_START_CAPTURE:
        capture_ = 1;
        return VNX_STATUS_SUCCESS;
    case VNX_CURSOR_GESTURE_COMMAND_STOP_CAPTURE:
        capture_ = 0;
        return VNX_STATUS_SUCCESS;
    case VNX_CURSOR_GESTURE_COMMAND_START_LEARNING:
        learning_ = 1;
        processor_.startLearning();
        return VNX_STATUS_SUCCESS;
    case VNX_CURSOR_GESTURE_COMMAND_STOP_LEARNING:
        return stopLearning();
    case VNX_CURSOR_GESTURE_COMMAND_ADD_GESTURE:
        return processor_.addGesture(vnx::gesture::gestureFromDefinition(own.definition))
                   ? VNX_STATUS_SUCCESS
                   : VNX_STATUS_INVALID_COMMAND;
    case VNX_CURSOR_GESTURE_COMMAND_RESERVED:
        return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
    case VNX_CURSOR_GESTURE_COMMAND_CLEAR_GESTURES:
        processor_.clearGestures();
        return VNX_STATUS_SUCCESS;
    default:
        return VNX_STATUS_INTERNAL_ERROR;
    }
}

int CursorGesture::stopLearning()
{
    learning_ = 0;
    vnx_CursorGesture_Status_s status;
    vnx_CursorGesture_initStatus(&status);
    auto statusType = static_cast<vnx_CursorGesture_StatusType_e>(status.statusType);
    processor_.stopLearning(&statusType, &status.learning);
    status.statusType = statusType;
    if (statusType == VNX_CURSOR_GESTURE_LEARNING_SUCCESS) {
        processor_.updateGestureLibrary(userGestures_);
    }
    // The outcome of learning is reported even when the library refuses the
    // code (already known, or full).
    if (listener_ != nullptr) {
        listener_->statusCallback(this, vnx_CursorGesture_upCastConstStatus(&status));
    }
    return VNX_STATUS_SUCCESS;
}

uint8_t CursorGesture::getType() const
{
    return VNX_TYPE_CURSOR_GESTURE;
}

int CursorGesture::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    processor_.init();
    capture_ = 0;
    learning_ = 0;
    userGestures_ = 0;
    return VNX_STATUS_SUCCESS;
}

int CursorGesture::term()
{
    return VNX_STATUS_SUCCESS;
}

int CursorGesture::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int CursorGesture::getInputInterfaceCount() const
{
    return 2;
}

int CursorGesture::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index == kStandardCursorInterface) {
        return vnx::describeInterface(kStandardCursorInput, capacity, typeIds, count);
    }
    if (index == kExtendedCursorInterface) {
        return vnx::describeInterface(kExtendedCursorInput, capacity, typeIds, count);
    }
    return VNX_STATUS_INVALID_INTERFACE;
}

int CursorGesture::getOutputInterfaceCount() const
{
    return 1;
}

int CursorGesture::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

int CursorGesture::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                           const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                           vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    vnx::gesture::CursorSample sample;
    const bool read = inputInterface == kStandardCursorInterface
                          ? vnx::gesture::readStandardCursorSample(inputCount, inputs, inputFormats, sample)
                          : vnx::gesture::readExtendedCursorSample(inputCount, inputs, inputFormats, sample);
    auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_CursorGesture_dynamicDownCastOutput);
    if (!read || out == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    vnx_CursorGesture_initOutput(out);
    const bool capture = capture_ != 0;
    if (learning_ != 0) {
        processor_.gestureLearning(sample.dx, sample.dy, capture, sample.periodUs);
        return VNX_STATUS_SUCCESS;
    }
    processor_.processCursorFrame(sample.dx, sample.dy, capture, result_, &statistics_, sample.periodUs);
    out->sampleNumber = sample.sampleNumber;
    out->result = result_.done ? 1 : 0;
    if (result_.done) {
        writeResult(result_, statistics_, *out);
    }
    return VNX_STATUS_SUCCESS;
}
