#include "extendedCursor/ExtendedCursor.h"

#include <cstring>

#include "buttonActivity/ButtonActivityRecords.h"
#include "common/NodeManager.h"
#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/timeSource.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"
#include "numerics/fixedPoint.h"
#include "numerics/saturatingCast.h"
#include "shakeDetector/ShakeDetectorRecords.h"
#include "standardCursor/StandardCursor.h"
#include "standardCursor/cursorInput.h"

namespace vnx {

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION, VNX_TYPE_BUTTON_ACTIVITY, VNX_TYPE_SHAKE_DETECTOR};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_EXTENDED_CURSOR};
constexpr float kCountsPerRadian = 1994.1073f;
constexpr float kBacklashMagnitude = 0.005f; // rad of hand jitter the pre-filter swallows
// Below this squared pointer rate ((rad/s)^2) a hidden pointer may come back.
constexpr float kLatchReleaseRateSquared = 0.10549504f;
constexpr int kPointerScaleFractionBits = 16;

enum PreFilter : uint32_t
{
    kTremorCancel = 1,
    kBacklash = 2,
};

} // namespace

ExtendedCursor::ExtendedCursor() : engine_(vnx_time_ns)
{
    vnx_ExtendedCursor_initConfig(&config_);
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &stateManagement_, NodeInterface::NODE_SUBNODE, "StateManagement");
    nodes.addNode(this, &tremor_, NodeInterface::NODE_SUBNODE, "TremorCancel");
    nodes.addNode(this, &mapMin_, NodeInterface::NODE_SUBNODE, "MapMin");
    nodes.addNode(this, &ballistics_, NodeInterface::NODE_SUBNODE, "PointerBallistics");
    nodes.addNode(this, &engine_, NodeInterface::NODE_SUBNODE, "ZephraPtr");
    nodes.addNode(this, &conditioning_, NodeInterface::NODE_SUBNODE, "OutputConditioningMin");
    nodes.addNode(this, &suppression_, NodeInterface::NODE_SUBNODE, "ButtonSuppression");
}

ExtendedCursor::~ExtendedCursor()
{
    NodeManager& nodes = NodeManager::getInstance();
    for (const void* member :
         {static_cast<const void*>(&suppression_), static_cast<const void*>(&conditioning_),
          static_cast<const void*>(&engine_), static_cast<const void*>(&ballistics_),
          static_cast<const void*>(&mapMin_), static_cast<const void*>(&tremor_),
          static_cast<const void*>(&stateManagement_)})
        nodes.removeNode(member);
}

int ExtendedCursor::setModuleListener(ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int ExtendedCursor::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr || !vnx_StructConfig_isA(&config->header, VNX_TYPE_EXTENDED_CURSOR))
        return VNX_STATUS_NOT_FOR_ME;
    std::memcpy(config, &config_, sizeof config_);
    return VNX_STATUS_SUCCESS;
}

int ExtendedCursor::setConfig(const vnx_StructConfig_s* record)
{
    if (record == nullptr || !vnx_StructConfig_isA(&record->header, VNX_TYPE_EXTENDED_CURSOR))
        return VNX_STATUS_NOT_FOR_ME;
    const auto& config = *reinterpret_cast<const vnx_ExtendedCursor_Config_s*>(record);
    const vnx_StandardCursor_Config_s& standard = config.standardCursor;
    if (standard.outputSelector != 0 || standard.formatWord0 != VNX_STANDARD_CURSOR_FORMAT_WORD_0 ||
        standard.formatWord1 != VNX_STANDARD_CURSOR_FORMAT_WORD_1)
        return VNX_STATUS_INVALID_CONFIG;
    std::memcpy(&config_, &config, sizeof config_);
    configurationUpdate();
    return VNX_STATUS_SUCCESS;
}

void ExtendedCursor::configurationUpdate()
{
    const vnx_StandardCursor_Config_s& standard = config_.standardCursor;
    modeFlags_ = MapMin::kEnable;
    if (standard.rollCompensation != 0)
        modeFlags_ |= MapMin::kRollCompensation;
    if (standard.options & VNX_STANDARD_CURSOR_OPTION_PITCH_SCALE)
        modeFlags_ |= MapMin::kPitchScale;
    preFilter_ = config_.preFilter;

    const float s = fptToFloat32(standard.pointerScale, kPointerScaleFractionBits);
    conditioning_.setPointerScaleFactor(Fp32(s));
    const float g = static_cast<float>(osdBounds_.width) / (config_.viewingAngle * kCountsPerRadian);
    const uint32_t mickey = config_.enableMickeyConversion != 0 ? 1u : 0u;
    const bool m3 = config_.pointingMode == 3;
    const bool latched = hiddenLatch_ != 0;
    const int followHeight = mickey ? osdBounds_.height : 720;

    PointerBallisticsCurve::Curve_t curve;
    uint32_t engineBallistics = 0;
    uint32_t engineMickey = mickey;
    float scaleFactor = s;
    float engineGain = m3 ? s : g;
    int screenHeight = followHeight;
    switch (config_.curveSelector) {
    case 0:
    case 2:
        curve = (m3 && latched) ? PointerBallisticsCurve::Linear : PointerBallisticsCurve::PointerResponse;
        break;
    case 3:
        curve = PointerBallisticsCurve::PointerResponse;
        engineMickey = 0;
        scaleFactor = g;
        engineGain = g;
        screenHeight = 720;
        break;
    case 4:
        curve = PointerBallisticsCurve::Experimental;
        engineBallistics = m3 ? 0 : 1;
        engineMickey = m3 ? 0 : mickey;
        engineGain = g;
        break;
    case 5:
        curve = PointerBallisticsCurve::BriskoExperimental;
        break;
    case 7:
        curve = PointerBallisticsCurve::Linear;
        engineGain = s;
        break;
    default:
        curve = (m3 && latched) ? PointerBallisticsCurve::Linear : PointerBallisticsCurve::Approved;
        engineBallistics = m3 ? 0 : 1;
        break;
    }
    ballistics_.setToCurve(curve);
    ballistics_.setPointerScaleFactor(Fp32(scaleFactor));
    ballistics_.setScreenHeight(screenHeight);

    ZephraPtr_Config engineConfig;
    ZephraPtr::getDefaultConfig(engineConfig);
    engineConfig.periodUs = static_cast<uint32_t>(truncateToInt32(period_ * 1e6f));
    engineConfig.enableMickeyConversion = engineMickey;
    engineConfig.gain = engineGain;
    engineConfig.ballistics = engineBallistics;
    engineConfig.viewingAngle = config_.viewingAngle;
    switch (config_.pointingMode) {
    case 2:
    case 4:
        engineConfig.alignmentMode = 1;
        break;
    case 3:
        engineConfig.alignmentMode = 2;
        break;
    default:
        engineConfig.alignmentMode = 0;
        break;
    }
    engineConfig.recenterMode = config_.recenterMode;
    engineConfig.cameraMode = 0;
    engineConfig.alignmentScale = config_.alignmentScale;
    engineConfig.alignmentAngle = config_.alignmentAngle;
    engineConfig.alignmentMaxError = config_.alignmentMaxError;
    for (uint32_t& v : engineConfig.suppression)
        v = 0;
    engine_.setConfig(engineConfig);
    periodUpdate(period_);
}

void ExtendedCursor::periodUpdate(float periodS)
{
    period_ = periodS;
    if (periodS == 0.0f)
        return;
    circularBacklash_init(&backlash_, kBacklashMagnitude, periodS);
    tremor_.init(Fp32(periodS));
    ZephraPtr_Config engineConfig;
    engine_.getConfig(engineConfig);
    engineConfig.periodUs = static_cast<uint32_t>(truncateToInt32(static_cast<double>(periodS) * 1e6));
    engine_.setConfig(engineConfig);
    const uint32_t periodUs = static_cast<uint32_t>(truncateToInt32(periodS * 1e6f));
    suppression_.init(
        suppressionConfigFor(config_.standardCursor.holdTimeUs, config_.standardCursor.radius, periodUs));
}

void ExtendedCursor::lockAxes(uint32_t mode)
{
    if (mode == lockMode_)
        return;
    ZephraPtr_ProcessResult location;
    engine_.getLocation(location);
    if (mode == 3 || mode == 2)
        heldX_ = location.x;
    if (mode == 3 || mode == 1)
        heldY_ = location.y;
    lockMode_ = mode;
}

int ExtendedCursor::sendCommand(const vnx_StructCommand_s* record)
{
    if (record == nullptr || !vnx_StructCommand_isA(&record->header, VNX_TYPE_EXTENDED_CURSOR))
        return VNX_STATUS_NOT_FOR_ME;
    const auto& command = *reinterpret_cast<const vnx_ExtendedCursor_Command_s*>(record);
    ZephraPtr_ProcessResult result;
    switch (command.code) {
    case ZEPHRA_CURSOR_COMMAND_FORCE_LOCATION: {
        const ZephraPtr_ForceLocationData location{command.data.forceLocation.x,
                                                   command.data.forceLocation.y};
        engine_.forceLocation(location, result);
        break;
    }
    case ZEPHRA_CURSOR_COMMAND_FORCE_HIDE:
        engine_.forceHide(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_FORCE_SHOW:
        engine_.forceShow(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_RECENTER:
        engine_.recenter(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_REPORT_IDLE:
        engine_.reportIdle(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_GET_LOCATION:
        engine_.getLocation(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_SET_BOUNDS: {
        osdBounds_ = command.data.setBounds.osdBounds;
        pointerLimits_ = command.data.setBounds.pointerLimits;
        const ZephraPtr_SetBoundsData bounds{
            {osdBounds_.x, osdBounds_.y, osdBounds_.width, osdBounds_.height},
            {pointerLimits_.x, pointerLimits_.y, pointerLimits_.width, pointerLimits_.height}};
        engine_.setBounds(bounds, result);
        configurationUpdate();
        break;
    }
    case ZEPHRA_CURSOR_COMMAND_TICK:
        engine_.tick(result);
        break;
    case ZEPHRA_CURSOR_COMMAND_BUTTON_SUPPRESSION_CLICK_MODE:
        engine_.setButtonSuppressionClickMode(command.data.value == 1);
        break;
    case ZEPHRA_CURSOR_COMMAND_BUTTON_SUPPRESSION_DRAG_MODE:
        engine_.setButtonSuppressionDragMode(command.data.value == 1);
        break;
    case ZEPHRA_CURSOR_COMMAND_LOCK_AXES:
        lockAxes(command.data.value);
        break;
    case ZEPHRA_CURSOR_COMMAND_SET_RECENTER_MODE: {
        vnx_ExtendedCursor_Config_s config;
        vnx_ExtendedCursor_initConfig(&config);
        getConfig(&config.config);
        config.recenterMode = command.data.value;
        setConfig(&config.config);
        break;
    }
    default:
        break;
    }
    return VNX_STATUS_SUCCESS;
}

uint8_t ExtendedCursor::getType() const
{
    return VNX_TYPE_EXTENDED_CURSOR;
}

int ExtendedCursor::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    period_ = 0.0f;
    vnx_ExtendedCursor_Config_s defaults;
    vnx_ExtendedCursor_initConfig(&defaults);
    config_ = defaults;
    ballistics_.init();
    ballistics_.setToCurve(PointerBallisticsCurve::Approved);
    vnx_ExtendedCursor_initBounds(&osdBounds_);
    vnx_ExtendedCursor_initBounds(&pointerLimits_);
    stateManagement_.init();
    mapMin_.init();
    conditioning_.init(Fp32(1.0f));
    lockMode_ = 0;
    heldX_ = 0;
    heldY_ = 0;
    hiddenLatch_ = 0;
    setConfig(&defaults.config);
    return VNX_STATUS_SUCCESS;
}

int ExtendedCursor::term()
{
    return VNX_STATUS_SUCCESS;
}

int ExtendedCursor::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int ExtendedCursor::getInputInterfaceCount() const
{
    return 1;
}

int ExtendedCursor::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kInputTypes, capacity, typeIds, count);
}

int ExtendedCursor::getOutputInterfaceCount() const
{
    return 1;
}

int ExtendedCursor::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

int ExtendedCursor::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                            const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                            vnx_StructOutput_s** outputs, vnx_StructFormat_s** outputFormats)
{
    const auto* motion = processRecord(inputCount, inputs, 0, vnx_SensorFusion_dynamicDownCastConstOutput);
    const auto* motionFormat =
        processRecord(inputCount, inputFormats, 0, vnx_SensorFusion_dynamicDownCastConstFormat);
    const auto* buttons = processRecord(inputCount, inputs, 1, vnx_ButtonActivity_dynamicDownCastConstOutput);
    const auto* shakeOut = processRecord(inputCount, inputs, 2, vnx_ShakeDetector_dynamicDownCastConstOutput);
    auto* out = processRecord(outputCount, outputs, 0, vnx_ExtendedCursor_dynamicDownCastOutput);
    if (motion == nullptr || motionFormat == nullptr || buttons == nullptr || shakeOut == nullptr ||
        out == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    vnx_ExtendedCursor_Format_s* outFormat = nullptr;
    if (outputFormats != nullptr && outputFormats[0] != nullptr) {
        outFormat = vnx_ExtendedCursor_dynamicDownCastFormat(outputFormats[0]);
        if (outFormat == nullptr)
            return VNX_STATUS_INVALID_PARAMETER;
    }

    // 1-2: period and elapsed samples.
    const float periodS = static_cast<float>(motionFormat->periodUs) * 1e-6f;
    if (periodS != period_)
        periodUpdate(periodS);
    uint32_t dSample = 0;
    stateManagement_.calcDSample(motion->sampleNumber, dSample);

    // 3-6: rates, pre-filter, shake, orientation.
    CursorInput input;
    readCursorInput(*motion, *motionFormat, input);
    if (preFilter_ == kBacklash) {
        const float in[2] = {input.rate[0].value(), input.rate[1].value()};
        float filtered[2];
        circularBacklash_process(&backlash_, in, filtered);
        input.rate[0] = Fp32(filtered[0]);
        input.rate[1] = Fp32(filtered[1]);
    } else if (preFilter_ == kTremorCancel) {
        tremor_.process(input.rate, dSample, input.rate);
    }
    const bool shake = config_.recenterMode == 1 && shakeOut->shake != 0;

    // 7-9: rate mapping, conditioning, button suppression.
    MapMin::Output mapped{};
    mapMin_.process(static_cast<uint16_t>(modeFlags_), static_cast<uint16_t>(dSample), input.rate,
                    input.spread, input.orientation, mapped);
    const Fp32 rate[2] = {Fp32(mapped.rateA), Fp32(mapped.rateB)};
    const Fp32 spread[2] = {Fp32(mapped.spreadB), Fp32(mapped.spreadA)};
    OutputConditioningMin::Output counts{};
    counts.word = static_cast<uint16_t>(mapped.word);
    conditioning_.process(static_cast<uint16_t>(modeFlags_), Fp32(period_), dSample, rate, spread, counts);
    const int16_t motionCounts[2] = {counts.countX, counts.countY};
    bool suppress = false;
    suppression_.process(dSample, buttons->activity, motionCounts, suppress);

    // 10-12: shake scaling, suppression, the hidden latch.
    float rateA = mapped.rateA;
    float rateB = mapped.rateB;
    if (shake) {
        rateA *= shakeOut->outputValue;
        rateB *= shakeOut->outputValue;
    }
    const Fp32 m[2] = {suppress ? Fp32(0.0f) : Fp32(rateA), suppress ? Fp32(0.0f) : Fp32(rateB)};
    if (config_.pointingMode == 3) {
        ZephraPtr_ProcessResult location;
        engine_.getLocation(location);
        const float speedSquared = m[0].value() * m[0].value() + m[1].value() * m[1].value();
        if (hiddenLatch_ == 0) {
            if (location.pointerState == ZEPHRA_PTR_HIDDEN)
                hiddenLatch_ = 1;
        } else if (location.pointerState != ZEPHRA_PTR_HIDDEN && speedSquared <= kLatchReleaseRateSquared) {
            hiddenLatch_ = 0;
        }
    } else {
        hiddenLatch_ = 0;
    }

    // 13: ballistics.
    float scale = 1.0f;
    int cursorCounts[2] = {0, 0};
    ballistics_.process(Fp32(periodS), dSample, m, input.spread, cursorCounts, &scale);
    scale /= periodS;

    // 14-16: the engine.
    ZephraPtr_ProcessDeltaUserframeCameraData frame{};
    frame.userframe.delta.x = cursorCounts[0];
    frame.userframe.delta.y = cursorCounts[1];
    frame.userframe.delta.button = buttons->activity | (buttons->buttons << 8);
    frame.userframe.delta.sampleId = static_cast<int32_t>(motion->sampleNumber);
    for (int i = 0; i < 4; ++i)
        frame.userframe.angularPosition[i] = input.orientation.e[i];
    ZephraPtr_ProcessResult result{};
    if (config_.pointingMode == 2)
        engine_.processDeltaUserframeBoundedOptimized(frame.userframe, scale, mapped.pointingState, result);
    else
        engine_.processDeltaUserframeCamera(frame, result);
    if (shake)
        engine_.processShakeDetection(result);

    // 17-18: the Output.
    out->sample = motion->sampleNumber;
    out->x = result.x;
    out->y = result.y;
    out->dx = suppress ? 0 : cursorCounts[0];
    out->dy = suppress ? 0 : cursorCounts[1];
    out->pointerState = result.pointerState;
    out->distance = result.distance;
    if (outFormat != nullptr)
        outFormat->periodUs = motionFormat->periodUs;
    if (lockMode_ == 3 || lockMode_ == 2)
        out->x = heldX_;
    if (lockMode_ == 3 || lockMode_ == 1)
        out->y = heldY_;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
