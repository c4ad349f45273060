#include "gesture/LinearGesture.h"

#include <algorithm>
#include <cmath>

#include "common/moduleType.h"
#include "common/statusCode.h"
#include "common/valueEncoding.h"
#include "moduleFactory/interfaceDescription.h"
#include "moduleFactory/processArguments.h"

namespace {

using vnx::gesture::cross;
using vnx::gesture::dot;
using vnx::gesture::isZero;
using vnx::gesture::normalizedRobust;
using vnx::gesture::Vector3;

constexpr uint8_t kInputTypes[] = {VNX_TYPE_SENSOR_FUSION};
constexpr uint8_t kOutputTypes[] = {VNX_TYPE_LINEAR_GESTURE};

// The seam of relative angles: an increment beyond half a turn went the
// other way round.
constexpr float kHalfTurn = 3.1415927f;
constexpr float kFullTurn = 6.2831855f;
// The device's axis must lie at least 15 degrees off the plane normal for
// the angle reference to follow it; closer, the cross product says little.
constexpr float kReferenceMinAngle = 0.2617994f;
constexpr float kReferenceMaxAngle = 2.8797932f;

/// asin and acos of dot products of unit vectors, whose rounding can leave
/// [-1, 1] by an ulp and would give NaN.
float clampUnit(float x)
{
    return std::clamp(x, -1.0f, 1.0f);
}

/// Turns `p` by the inverse of the rotation of unit quaternion (w, e):
/// 2(e.p)e + (2w^2 - 1)p - 2w(e x p).
Vector3 rotateByConjugate(const std::array<float, 4>& q, const Vector3& p)
{
    const float w = q[0];
    const Vector3 e{q[1], q[2], q[3]};
    const float ep = 2.0f * dot(e, p);
    const float pp = 2.0f * w * w - 1.0f;
    const Vector3 ex = cross(e, p);
    Vector3 out;
    for (int i = 0; i < 3; ++i) {
        out[i] = ep * e[i] + pp * p[i] - 2.0f * w * ex[i];
    }
    return out;
}

/// (value - fromMin) * (toRange / fromRange) + toMin; a zero-width source
/// range maps everything to `toMin` rather than to infinity or NaN.
float mapLinear(float value, float fromMin, float fromMax, float toMin, float toMax)
{
    const float fromRange = fromMax - fromMin;
    if (fromRange == 0.0f) {
        return toMin;
    }
    return (value - fromMin) * ((toMax - toMin) / fromRange) + toMin;
}

float clampTo(float value, float low, float high)
{
    if (value < low) {
        return low;
    }
    if (value > high) {
        return high;
    }
    return value;
}

} // namespace

LinearGesture::LinearGesture()
{
    init();
}

int LinearGesture::init()
{
    vnx_LinearGesture_initConfig(&config_);
    active_ = false;
    held_ = 0.0f;
    angleReference_ = {};
    curve_.setToCurve(vnx::PointerBallisticsCurve::Experimental);
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    return init();
}

int LinearGesture::setModuleListener(vnx::ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::getConfig(vnx_StructConfig_s* config) const
{
    // The typed cast guards the 88-byte copy against shorter records.
    auto* own = vnx_LinearGesture_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    *own = config_;
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::setConfig(const vnx_StructConfig_s* config)
{
    const auto* own = vnx_LinearGesture_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    config_ = *own;
    axis_ = normalizedRobust(Vector3{config_.axis[0], config_.axis[1], config_.axis[2]});
    const Vector3 reference =
        normalizedRobust(Vector3{config_.reference[0], config_.reference[1], config_.reference[2]});
    normal_ = normalizedRobust(cross(reference, axis_));
    inPlaneReference_ = normalizedRobust(cross(axis_, normal_));
    angleReference_ = {};
    hasPreviousAngle_ = false;
    previousAngle_ = 0.0f;
    rotation_ = mapSliderToRotation(config_.initialSlider);
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::sendCommand(const vnx_StructCommand_s* command)
{
    const auto* own = vnx_LinearGesture_dynamicDownCastConstCommand(command);
    if (own == nullptr) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    switch (own->code) {
    case VNX_LINEAR_GESTURE_COMMAND_NONE:
        return VNX_STATUS_SUCCESS;
    case VNX_LINEAR_GESTURE_COMMAND_ACTIVATE:
        active_ = true;
        return VNX_STATUS_SUCCESS;
    case VNX_LINEAR_GESTURE_COMMAND_DEACTIVATE:
        active_ = false;
        return VNX_STATUS_SUCCESS;
    default:
        return VNX_STATUS_INVALID_COMMAND;
    }
}

uint8_t LinearGesture::getType() const
{
    return VNX_TYPE_LINEAR_GESTURE;
}

int LinearGesture::term()
{
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int LinearGesture::getInputInterfaceCount() const
{
    return 1;
}

int LinearGesture::getInputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kInputTypes, capacity, typeIds, count);
}

int LinearGesture::getOutputInterfaceCount() const
{
    return 1;
}

int LinearGesture::getOutputInterface(int index, size_t capacity, uint8_t* typeIds, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    return vnx::describeInterface(kOutputTypes, capacity, typeIds, count);
}

float LinearGesture::mapSliderToRotation(float slider) const
{
    return mapLinear(slider, config_.sliderMin, config_.sliderMax, config_.rotationMin, config_.rotationMax);
}

float LinearGesture::mapRotationToSlider(float rotation) const
{
    const float slider =
        mapLinear(rotation, config_.rotationMin, config_.rotationMax, config_.sliderMin, config_.sliderMax);
    return config_.noClamp != 0 ? slider : clampTo(slider, config_.sliderMin, config_.sliderMax);
}

bool LinearGesture::setQFromNumber32Array(std::array<float, 4>& quaternion, const vnx_Number32_u* words,
                                          int8_t q)
{
    std::array<float, 4> read{};
    for (int i = 0; i < 4; ++i) {
        if (vnx_getFloat32(words[i], q, &read[i]) != VNX_STATUS_SUCCESS) {
            return false;
        }
    }
    quaternion = read;
    return true;
}

bool LinearGesture::readQuaternion(const vnx_SensorFusion_Output_s& output,
                                   const vnx_SensorFusion_Format_s& format,
                                   std::array<float, 4>& quaternion) const
{
    if (!setQFromNumber32Array(quaternion, output.quaternion, format.quaternionQ)) {
        return false;
    }
    quaternion = normalizedRobust(quaternion);
    return true;
}

float LinearGesture::userFrameAbsoluteAngle(const vnx_SensorFusion_Output_s& output,
                                            const vnx_SensorFusion_Format_s& format)
{
    std::array<float, 4> q{};
    if (!readQuaternion(output, format, q)) {
        return 0.0f;
    }
    // The conjugate: the world seen from the device.
    const float w = q[0];
    const float a = -q[1];
    const float b = -q[2];
    const float c = -q[3];
    if (config_.axis[0] == 1.0f) {
        return std::atan2(2.0f * (w * a + b * c), 2.0f * (c * c + w * w) - 1.0f);
    }
    if (config_.axis[1] == 1.0f) {
        return std::asin(clampUnit(2.0f * (w * b - a * c)));
    }
    if (config_.axis[2] == 1.0f) {
        return std::atan2(2.0f * (w * c + a * b), 2.0f * (a * a + w * w) - 1.0f);
    }
    return 0.0f;
}

float LinearGesture::bodyFrameAbsoluteAngle(const vnx_SensorFusion_Output_s& output,
                                            const vnx_SensorFusion_Format_s& format)
{
    std::array<float, 4> q{};
    if (!readQuaternion(output, format, q)) {
        return 0.0f;
    }
    const Vector3 u = normalizedRobust(rotateByConjugate(q, inPlaneReference_));
    const Vector3 v = normalizedRobust(rotateByConjugate(q, axis_));
    const float tilt = std::acos(clampUnit(dot(v, normal_)));
    if (tilt >= kReferenceMinAngle && tilt <= kReferenceMaxAngle) {
        angleReference_ = normalizedRobust(cross(v, normal_));
    } else if (isZero(angleReference_)) {
        angleReference_ = normalizedRobust(Vector3{u[0], u[1], 0.0f});
    }
    if (isZero(u) || isZero(angleReference_)) {
        return 0.0f; // no frame to measure in (a zero axis or reference)
    }
    const float angle = std::acos(clampUnit(dot(u, angleReference_)));
    return dot(cross(u, angleReference_), v) < 0.0f ? angle : -angle;
}

float LinearGesture::bodyFrameRelativeAngle(const vnx_SensorFusion_Output_s& output,
                                            const vnx_SensorFusion_Format_s& format)
{
    int component = -1;
    if (config_.axis[0] == 1.0f) {
        component = 0;
    } else if (config_.axis[1] == 1.0f) {
        component = 1;
    } else if (config_.axis[2] == 1.0f) {
        component = 2;
    }
    if (component < 0) {
        return 0.0f;
    }
    float rateRadPerS = 0.0f; // stays 0 when the Format marks the rate absent
    vnx_getFloat32(output.angularVelocity[component], format.angularVelocityQ, &rateRadPerS);
    return rateRadPerS * static_cast<float>(format.periodUs) * 1e-6f;
}

LinearGesture::BallisticsScale LinearGesture::getBallisticsScale(uint32_t periodUs, float increment) const
{
    const float magnitude = std::fabs(increment);
    if (config_.incrementMode != VNX_LINEAR_GESTURE_BALLISTIC) {
        return {1.0f, magnitude};
    }
    return {curve_.evaluate(static_cast<float>(periodUs) * 1e-6f, magnitude), magnitude};
}

bool LinearGesture::needsQuaternion() const
{
    // The user frame takes every angle from the orientation; the body frame
    // only its absolute angle (its increments come from the rate). Other
    // modes compute no value.
    if (config_.frameMode == VNX_LINEAR_GESTURE_USER_FRAME) {
        return config_.incrementMode <= VNX_LINEAR_GESTURE_BALLISTIC;
    }
    return config_.frameMode == VNX_LINEAR_GESTURE_BODY_FRAME &&
           config_.incrementMode == VNX_LINEAR_GESTURE_ABSOLUTE;
}

float LinearGesture::relativeIncrement(float angle, const vnx_SensorFusion_Output_s& output,
                                       const vnx_SensorFusion_Format_s& format)
{
    if (config_.frameMode == VNX_LINEAR_GESTURE_BODY_FRAME) {
        return bodyFrameRelativeAngle(output, format);
    }
    if (!hasPreviousAngle_) {
        // The first angle only primes the memory.
        previousAngle_ = angle;
        hasPreviousAngle_ = true;
        return 0.0f;
    }
    float increment = angle - previousAngle_;
    previousAngle_ = angle;
    // Angles lie within one turn, so at most one wrap is ever needed; the
    // finiteness check keeps a non-finite angle from looping.
    while (std::isfinite(increment) && std::fabs(increment) > kHalfTurn) {
        increment += increment < 0.0f ? kFullTurn : -kFullTurn;
    }
    return increment;
}

int LinearGesture::process(int, size_t inputCount, const vnx_StructOutput_s** inputs,
                           const vnx_StructFormat_s** inputFormats, int, size_t outputCount,
                           vnx_StructOutput_s** outputs, vnx_StructFormat_s**)
{
    const auto* fusion =
        vnx::processRecord(inputCount, inputs, 0, vnx_SensorFusion_dynamicDownCastConstOutput);
    const auto* format =
        vnx::processRecord(inputCount, inputFormats, 0, vnx_SensorFusion_dynamicDownCastConstFormat);
    auto* out = vnx::processRecord(outputCount, outputs, 0, vnx_LinearGesture_dynamicDownCastOutput);
    if (fusion == nullptr || format == nullptr || out == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }

    out->sampleNumber = fusion->sampleNumber;
    out->active = active_ ? 1 : 0;
    if (!active_) {
        out->slider = held_;
        rotation_ = mapSliderToRotation(held_);
        return VNX_STATUS_SUCCESS;
    }
    if (config_.frameMode == VNX_LINEAR_GESTURE_REFUSED_FRAME) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    if (needsQuaternion() && format->quaternionQ == VNX_QPOINT_INVALID) {
        // No orientation in this sample: nothing changes.
        out->slider = held_;
        return VNX_STATUS_SUCCESS;
    }

    float angle = 0.0f;
    if (config_.frameMode == VNX_LINEAR_GESTURE_USER_FRAME) {
        angle = userFrameAbsoluteAngle(*fusion, *format);
    } else if (config_.frameMode == VNX_LINEAR_GESTURE_BODY_FRAME &&
               format->quaternionQ != VNX_QPOINT_INVALID) {
        angle = bodyFrameAbsoluteAngle(*fusion, *format);
    }

    switch (config_.incrementMode) {
    case VNX_LINEAR_GESTURE_RELATIVE:
    case VNX_LINEAR_GESTURE_BALLISTIC: {
        const float increment = relativeIncrement(angle, *fusion, *format);
        const BallisticsScale scale = getBallisticsScale(format->periodUs, increment);
        rotation_ += increment * scale.factor;
        if (config_.noClamp == 0) {
            rotation_ = clampTo(rotation_, config_.rotationMin, config_.rotationMax);
        }
        out->slider = mapRotationToSlider(rotation_);
        break;
    }
    case VNX_LINEAR_GESTURE_ABSOLUTE:
        out->slider = mapRotationToSlider(angle);
        break;
    default:
        out->slider = held_; // no value is computed in other modes
        break;
    }
    held_ = out->slider;
    return VNX_STATUS_SUCCESS;
}
