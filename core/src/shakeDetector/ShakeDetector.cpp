#include "shakeDetector/ShakeDetector.h"

#include <cmath>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"
#include "sensorFusionModule/SensorFusionRecords.h"

namespace vnx {

namespace {

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_SHAKE_DETECTOR};

// The detector's own constants, kept as they were tuned.
constexpr float kPi = 3.1415963f;
constexpr float kTwoPi = 6.2831926f;
constexpr float kReversalWindow = 1.0471988f; // within 60 degrees of a full reversal

// Scales tanh(4 x intensity) so that full intensity gives the shake value.
const float kOutScale = 1.0f / std::tanh(4.0f);

struct Preset
{
    float rateThreshold;     // rad/s
    float reversalFrequency; // Hz
    int32_t reversalCount;
    uint8_t singleAxis;
    float xRatio, yRatio;
    bool setsRatios;
};

const Preset* presetOf(uint32_t mode)
{
    static constexpr Preset kPresets[] = {
        {1.3089985f, 1.5f, 3, 0, 0.0f, 0.0f, false},              // 2: 75 degrees per second
        {2.617997f, 1.75f, 4, 0, 0.0f, 0.0f, false},              // 3: 150 degrees per second
        {0.34906626f, 1.5f, 3, 1, 0.13247433f, 0.3333333f, true}, // 4: about z only
    };
    return mode >= 2 && mode <= 4 ? &kPresets[mode - 2] : nullptr;
}

float readRate(const vnx_Number32_u& word, int8_t code)
{
    float value = 0.0f;
    vnx_getFloat32WithDefault(word, code, &value, 0.0f);
    return value;
}

} // namespace

ShakeDetector::ShakeDetector()
{
    vnx_ShakeDetector_initConfig(&config_);
}

void ShakeDetector::apply()
{
    count_ = 0;
    samplesSince_ = 0;
    lastAngle_ = 0.0f;
    if (const Preset* p = presetOf(config_.mode)) {
        config_.rateThreshold = p->rateThreshold;
        config_.reversalFrequency = p->reversalFrequency;
        config_.reversalCount = p->reversalCount;
        config_.singleAxis = p->singleAxis;
        if (p->setsRatios) {
            config_.xRatio = p->xRatio;
            config_.yRatio = p->yRatio;
        }
    }
    thresholdSquared_ = config_.rateThreshold * config_.rateThreshold;
}

int ShakeDetector::setModuleListener(ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::getConfig(vnx_StructConfig_s* config) const
{
    if (config == nullptr || !vnx_StructConfig_isA(&config->header, VNX_TYPE_SHAKE_DETECTOR))
        return VNX_STATUS_NOT_FOR_ME;
    *reinterpret_cast<vnx_ShakeDetector_Config_s*>(config) = config_;
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::setConfig(const vnx_StructConfig_s* config)
{
    if (config == nullptr || !vnx_StructConfig_isA(&config->header, VNX_TYPE_SHAKE_DETECTOR))
        return VNX_STATUS_NOT_FOR_ME;
    config_ = *reinterpret_cast<const vnx_ShakeDetector_Config_s*>(config);
    apply();
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_NOT_FOR_ME;
}

uint8_t ShakeDetector::getType() const
{
    return VNX_TYPE_SHAKE_DETECTOR;
}

int ShakeDetector::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    vnx_ShakeDetector_initConfig(&config_);
    apply();
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::term()
{
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int ShakeDetector::getInputInterfaceCount() const
{
    return 1;
}

int ShakeDetector::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kInputTypes, capacity, typeIds, count);
}

int ShakeDetector::getOutputInterfaceCount() const
{
    return 1;
}

int ShakeDetector::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0)
        return VNX_STATUS_INVALID_INTERFACE;
    return describeInterface(kOutputTypes, capacity, typeIds, count);
}

int ShakeDetector::process(int inputInterface, size_t inputCount, const vnx_StructOutput_s** inputs,
                           const vnx_StructFormat_s** inputFormats, int outputInterface, size_t outputCount,
                           vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    if (inputInterface != 0 || outputInterface != 0 || inputCount != 1 || outputCount != 1)
        return VNX_STATUS_INVALID_PARAMETER;
    const auto* motion = processRecord(inputCount, inputs, 0, vnx_SensorFusion_dynamicDownCastConstOutput);
    const auto* format =
        processRecord(inputCount, inputFormats, 0, vnx_SensorFusion_dynamicDownCastConstFormat);
    auto* out = processRecord(outputCount, outputs, 0, vnx_ShakeDetector_dynamicDownCastOutput);
    if (motion == nullptr || format == nullptr || out == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;

    out->shake = 0;
    out->intensity = 0.0f;
    out->outputValue = config_.restValue;
    if (config_.mode == 0)
        return VNX_STATUS_SUCCESS;

    const int8_t code = format->angularVelocityQ;
    const float x = readRate(motion->angularVelocity[0], code);
    const float y = readRate(motion->angularVelocity[1], code);
    const float z = readRate(motion->angularVelocity[2], code);
    const float periodS = static_cast<float>(format->periodUs) * 1e-6f;
    const float angle = std::atan2(z, y);

    // Reversals must keep coming within half a period of the shake frequency.
    if (count_ >= 1) {
        ++samplesSince_;
        if (static_cast<float>(samplesSince_) > 1.0f / (periodS * 2.0f * config_.reversalFrequency)) {
            count_ = 0;
            samplesSince_ = 0;
        }
    }

    // The threshold eases from 1.0 to 0.64 of its square as reversals add up.
    const float w = 0.2f / static_cast<float>(count_ + 1);
    const float threshold = (w * w + 1.6f * w + 0.64f) * thresholdSquared_;
    bool strong;
    if (config_.singleAxis == 0)
        strong = y * y + z * z > threshold;
    else
        strong =
            z * z > 0.75f * threshold && config_.yRatio * z * z > y * y && config_.xRatio * z * z > x * x;

    if (strong) {
        float d = std::fabs(angle - lastAngle_);
        if (d > kPi)
            d = kTwoPi - d;
        if (std::fabs(d - kPi) < kReversalWindow || count_ == 0) {
            samplesSince_ = 0;
            lastAngle_ = angle;
            ++count_;
        }
    }

    if (count_ > config_.reversalCount) {
        out->shake = 1;
        out->intensity = 1.0f;
        out->outputValue = config_.restValue + (config_.shakeValue - config_.restValue) * kOutScale *
                                                   std::tanh(4.0f * out->intensity);
    }
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
