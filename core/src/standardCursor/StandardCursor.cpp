#include "standardCursor/StandardCursor.h"

#include <cmath>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"
#include "numerics/fixedPoint.h"
#include "numerics/saturatingCast.h"
#include "standardCursor/cursorInput.h"

namespace vnx {

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_BUTTON_ACTIVITY};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_STANDARD_CURSOR};
constexpr int kPointerScaleFractionBits = 16;

constexpr uint32_t kFlagMapEnable = MapMin::kEnable;
constexpr uint32_t kFlagTremor = 0x0400;
constexpr uint32_t kFlagRoll = MapMin::kRollCompensation;
constexpr uint32_t kFlagNonlinear = OutputConditioningMin::kNonlinearGain;
constexpr uint32_t kFlagPitch = MapMin::kPitchScale;

uint8_t limitTo8Bits(uint32_t v)
{
    return static_cast<uint8_t>(v > 255u ? 255u : v);
}

} // namespace

ButtonSuppression::Config suppressionConfigFor(const uint32_t holdTimeUs[4], const uint32_t radius[4],
                                               uint32_t periodUs)
{
    const uint32_t divisor = periodUs == 0 ? 1u : periodUs;
    ButtonSuppression::Config config{};
    for (int k = 0; k < 4; ++k) {
        config.event[k].holdSamples = limitTo8Bits(holdTimeUs[k] / divisor);
        config.event[k].radius = limitTo8Bits(radius[k]);
    }
    return config;
}

StandardCursor::StandardCursor()
{
    vnx_StandardCursor_initConfig(&config_);
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &stateManagement_, NodeInterface::NODE_SUBNODE, "StateManagement");
    nodes.addNode(this, &suppression_, NodeInterface::NODE_SUBNODE, "ButtonSuppression");
    nodes.addNode(this, &mapMin_, NodeInterface::NODE_SUBNODE, "MapMin");
    nodes.addNode(this, &conditioning_, NodeInterface::NODE_SUBNODE, "OutputConditioningMin");
    nodes.addNode(this, &tremor_, NodeInterface::NODE_SUBNODE, "TremorCancel");
}

StandardCursor::~StandardCursor()
{
    NodeManager& nodes = NodeManager::getInstance();
    for (const void* member : {static_cast<const void*>(&tremor_), static_cast<const void*>(&conditioning_),
                               static_cast<const void*>(&mapMin_), static_cast<const void*>(&suppression_),
                               static_cast<const void*>(&stateManagement_)})
        nodes.removeNode(member);
}

int StandardCursor::setModuleListener(ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int StandardCursor::getConfig(vnx_StructConfig_s*) const
{
    return VNX_STATUS_FEATURE_NOT_IMPLEMENTED;
}

void StandardCursor::periodChanged()
{
    tremor_.init(Fp32(static_cast<float>(periodUs_) * 1e-6f));
    suppression_.init(suppressionConfigFor(config_.holdTimeUs, config_.radius, periodUs_));
}

int StandardCursor::setConfig(const vnx_StructConfig_s* record)
{
    if (record == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    // The type is not checked: only the StandardCursor part is read.
    const auto& config = *reinterpret_cast<const vnx_StandardCursor_Config_s*>(record);
    if (config.outputSelector != 0 || config.formatWord0 != VNX_STANDARD_CURSOR_FORMAT_WORD_0 ||
        config.formatWord1 != VNX_STANDARD_CURSOR_FORMAT_WORD_1)
        return VNX_STATUS_UNSUPPORTED_CONFIG;
    conditioning_.setPointerScaleFactor(Fp32(fptToFloat32(config.pointerScale, kPointerScaleFractionBits)));
    if (periodUs_ != 0)
        periodChanged();
    modeFlags_ = kFlagMapEnable;
    if (config.options & VNX_STANDARD_CURSOR_OPTION_TREMOR_CANCEL)
        modeFlags_ |= kFlagTremor;
    if (config.rollCompensation != 0)
        modeFlags_ |= kFlagRoll;
    if (config.options & VNX_STANDARD_CURSOR_OPTION_NONLINEAR_GAIN)
        modeFlags_ |= kFlagNonlinear;
    if (config.options & VNX_STANDARD_CURSOR_OPTION_PITCH_SCALE)
        modeFlags_ |= kFlagPitch;
    return VNX_STATUS_SUCCESS;
}

int StandardCursor::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_SUCCESS;
}

uint8_t StandardCursor::getType() const
{
    return VNX_TYPE_STANDARD_CURSOR;
}

int StandardCursor::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    stateManagement_.init();
    mapMin_.init();
    conditioning_.init(Fp32(1.0f));
    periodUs_ = 0;
    vnx_StandardCursor_initConfig(&config_);
    return VNX_STATUS_SUCCESS;
}

int StandardCursor::term()
{
    return VNX_STATUS_SUCCESS;
}

int StandardCursor::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int StandardCursor::getInputInterfaceCount() const
{
    return 1;
}

int StandardCursor::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kInputTypes, capacity, typeIds, count);
}

int StandardCursor::getOutputInterfaceCount() const
{
    return 1;
}

int StandardCursor::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

int StandardCursor::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                            const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                            vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    const auto* motion = processRecord(inputCount, inputs, 0, vnx_SensorFusion_dynamicDownCastConstOutput);
    const auto* motionFormat =
        processRecord(inputCount, inputFormats, 0, vnx_SensorFusion_dynamicDownCastConstFormat);
    const auto* buttons = processRecord(inputCount, inputs, 1, vnx_ButtonActivity_dynamicDownCastConstOutput);
    auto* out = processRecord(outputCount, outputs, 0, vnx_StandardCursor_dynamicDownCastOutput);
    if (motion == nullptr || motionFormat == nullptr || buttons == nullptr || out == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    vnx_StandardCursor_Format_s* outFormat = nullptr;
    if (outputFormats != nullptr && outputFormats[0] != nullptr) {
        outFormat = vnx_StandardCursor_dynamicDownCastFormat(outputFormats[0]);
        if (outFormat == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
    }

    if (motionFormat->periodUs != periodUs_) {
        periodUs_ = motionFormat->periodUs;
        if (periodUs_ != 0)
            periodChanged();
    }
    uint32_t dSample = 0;
    stateManagement_.calcDSample(motion->sampleNumber, dSample);

    CursorInput input;
    readCursorInput(*motion, *motionFormat, input);
    if (modeFlags_ & kFlagTremor)
        tremor_.process(input.rate, dSample, input.rate);

    MapMin::Output mapped{};
    mapMin_.process(static_cast<uint16_t>(modeFlags_), static_cast<uint16_t>(dSample), input.rate,
                    input.spread, input.orientation, mapped);
    const Fp32 rate[2] = {Fp32(mapped.rateA), Fp32(mapped.rateB)};
    const Fp32 spread[2] = {Fp32(mapped.spreadB), Fp32(mapped.spreadA)};
    OutputConditioningMin::Output counts{};
    counts.word = static_cast<uint16_t>(mapped.word);
    conditioning_.process(static_cast<uint16_t>(modeFlags_), Fp32(static_cast<float>(periodUs_) * 1e-6f),
                          dSample, rate, spread, counts);
    const int16_t motionCounts[2] = {counts.countX, counts.countY};
    bool suppress = false;
    suppression_.process(dSample, buttons->activity, motionCounts, suppress);

    out->dx = suppress ? 0 : counts.countX;
    out->dy = suppress ? 0 : counts.countY;
    out->spread0 = truncateToInt32(std::floor(counts.scaledSpread0));
    out->spread1 = truncateToInt32(std::floor(counts.scaledSpread1));
    out->sample = motion->sampleNumber;
    if (outFormat != nullptr) {
        outFormat->countCode = 0;
        outFormat->spreadCode = 0;
        outFormat->periodUs = motionFormat->periodUs;
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
