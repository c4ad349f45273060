#include "activity/PickUpDetector.h"

#include <cmath>

#include "common/statusCode.h"
#include "numerics/fastAtan2.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr int kTimeQ = 20;
constexpr int kAngleQ = 29;
constexpr int kLevelQ = 24;
constexpr int kQuaternionQ = 14;

constexpr std::uint8_t kDefaultMode = 3;
constexpr float kDefaultFlatTimeConstantS = 0.4f;
constexpr float kDefaultFlatAngleRad = 0.7853982f;        // 45 degrees
constexpr float kDefaultFlatHysteresisRad = 0.034906585f; // 2 degrees
constexpr std::int16_t kDefaultPickUpZ = 16384;           // with w: 90 degrees about z
constexpr std::int16_t kDefaultPickUpW = 16384;
constexpr float kDefaultPickUpTimeConstantS = 0.125f;
constexpr float kDefaultPitchLowRad = -0.17453292f; // -10 degrees
constexpr float kDefaultPitchHighRad = 2.9670596f;  // 170 degrees
constexpr float kDefaultRollLowRad = -1.0471976f;   // -60 degrees
constexpr float kDefaultRollHighRad = 1.0471976f;   // 60 degrees
constexpr float kDefaultRestLevelMs2 = 1.0f;
constexpr float kDefaultMovementLevelMs2 = 4.0f;
constexpr float kDefaultWindowS = 1.0f;

constexpr std::uint8_t kFlatExitMode = 0x1;
constexpr std::uint8_t kPickUpMode = 0x2;
/// The pick-up path works on the direction of the acceleration at this length.
constexpr float kGravityMs2 = 9.8f;
/// A quaternion this close to unit length is used as it is.
constexpr float kUnitNormSqLow = 0.9999999f;
constexpr float kUnitNormSqHigh = 1.0000001f;

float norm3(const float* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

void lowPass(float* state, const float* input, float alpha, float oneMinusAlpha)
{
    for (int k = 0; k < 3; ++k)
        state[k] = alpha * state[k] + oneMinusAlpha * input[k];
}

} // namespace

void PickUpDetector::getDefaults(Config& config)
{
    config = Config{};
    config.mode = kDefaultMode;
    config.flatOrientation = {0, 0, 0, 0};
    config.flatTimeConstantQ20 = fptToFixed32(kDefaultFlatTimeConstantS, kTimeQ, true, true);
    config.flatAngleQ29 = fptToFixed32(kDefaultFlatAngleRad, kAngleQ, true, true);
    config.flatHysteresisQ29 = fptToFixed32(kDefaultFlatHysteresisRad, kAngleQ, true, true);
    config.pickUpOrientation = {0, 0, kDefaultPickUpZ, kDefaultPickUpW};
    config.pickUpTimeConstantQ20 = fptToFixed32(kDefaultPickUpTimeConstantS, kTimeQ, true, true);
    config.pitchLowQ29 = fptToFixed32(kDefaultPitchLowRad, kAngleQ, true, true);
    config.pitchHighQ29 = fptToFixed32(kDefaultPitchHighRad, kAngleQ, true, true);
    config.rollLowQ29 = fptToFixed32(kDefaultRollLowRad, kAngleQ, true, true);
    config.rollHighQ29 = fptToFixed32(kDefaultRollHighRad, kAngleQ, true, true);
    config.restLevelQ24 = fptToFixed32(kDefaultRestLevelMs2, kLevelQ, true, true);
    config.movementLevelQ24 = fptToFixed32(kDefaultMovementLevelMs2, kLevelQ, true, true);
    config.pickUpWindowQ20 = fptToFixed32(kDefaultWindowS, kTimeQ, true, true);
}

PickUpDetector::Orientation PickUpDetector::orientationOf(const vnx_PickUpDetector_Quaternion_s& q)
{
    Orientation o;
    if (q.xQ14 == 0 && q.yQ14 == 0 && q.zQ14 == 0)
        return o; // no reorientation, whatever w says
    const float scale = 1.0f / static_cast<float>(1 << kQuaternionQ);
    o.rotates = true;
    o.w = q.wQ14 * scale;
    o.x = q.xQ14 * scale;
    o.y = q.yQ14 * scale;
    o.z = q.zQ14 * scale;
    const float normSq = o.w * o.w + o.x * o.x + o.y * o.y + o.z * o.z;
    if (normSq < kUnitNormSqLow || normSq > kUnitNormSqHigh) {
        const float norm = std::sqrt(normSq);
        o.w /= norm;
        o.x /= norm;
        o.y /= norm;
        o.z /= norm;
    }
    return o;
}

void PickUpDetector::init(const Config& config)
{
    settings_.mode = config.mode;
    settings_.flatOrientation = orientationOf(config.flatOrientation);
    settings_.flatTimeConstantS = fptToFloat32(config.flatTimeConstantQ20, kTimeQ);
    const float flatAngle = fptToFloat32(config.flatAngleQ29, kAngleQ);
    const float width = fptToFloat32(config.flatHysteresisQ29, kAngleQ);
    settings_.cosEnterFlat = std::cos(flatAngle - 0.5f * width);
    settings_.cosLeaveFlat = std::cos(flatAngle + 0.5f * width);
    settings_.pickUpOrientation = orientationOf(config.pickUpOrientation);
    settings_.pickUpTimeConstantS = fptToFloat32(config.pickUpTimeConstantQ20, kTimeQ);
    settings_.pitchLowRad = fptToFloat32(config.pitchLowQ29, kAngleQ);
    settings_.pitchHighRad = fptToFloat32(config.pitchHighQ29, kAngleQ);
    settings_.sinRollLow = std::sin(fptToFloat32(config.rollLowQ29, kAngleQ));
    settings_.sinRollHigh = std::sin(fptToFloat32(config.rollHighQ29, kAngleQ));
    settings_.restLevelMs2 = fptToFloat32(config.restLevelQ24, kLevelQ);
    settings_.movementLevelMs2 = fptToFloat32(config.movementLevelQ24, kLevelQ);
    settings_.windowUs =
        static_cast<std::int64_t>(std::floor(fptToFloat32(config.pickUpWindowQ20, kTimeQ) * 1e6));
    derived_ = Derived{};
    periodUs_ = 0;
    state_ = State{};
}

void PickUpDetector::onInputPeriod(std::int32_t periodUs, std::int32_t /*previousPeriodUs*/)
{
    const float periodS = static_cast<float>(periodUs) * 1e-6f;
    derived_.flatAlpha = settings_.flatTimeConstantS / (periodS + settings_.flatTimeConstantS);
    derived_.flatOneMinusAlpha = 1.0f - derived_.flatAlpha;
    derived_.pickUpAlpha = settings_.pickUpTimeConstantS / (periodS + settings_.pickUpTimeConstantS);
    derived_.pickUpOneMinusAlpha = 1.0f - derived_.pickUpAlpha;
    periodUs_ = periodUs;
    state_.reseedFlat = true;
    state_.reseedPickUp = true;
}

void PickUpDetector::rotate(const Orientation& q, const float* v, float* out)
{
    if (!q.rotates) {
        for (int k = 0; k < 3; ++k)
            out[k] = v[k];
        return;
    }
    // q v q*: v + 2w (r x v) + 2 r x (r x v), r the vector part.
    const float tx = 2.0f * (q.y * v[2] - q.z * v[1]);
    const float ty = 2.0f * (q.z * v[0] - q.x * v[2]);
    const float tz = 2.0f * (q.x * v[1] - q.y * v[0]);
    out[0] = v[0] + q.w * tx + (q.y * tz - q.z * ty);
    out[1] = v[1] + q.w * ty + (q.z * tx - q.x * tz);
    out[2] = v[2] + q.w * tz + (q.x * ty - q.y * tx);
}

std::uint32_t PickUpDetector::flatExit(const float* a)
{
    float u[3];
    rotate(settings_.flatOrientation, a, u);
    float* g = state_.flatFiltered;
    if (state_.reseedFlat) {
        for (int k = 0; k < 3; ++k)
            g[k] = u[k];
        state_.reseedFlat = false;
    }
    lowPass(g, u, derived_.flatAlpha, derived_.flatOneMinusAlpha);
    const float norm = norm3(g);
    if (!(norm > 0.0f))
        return 0; // no direction, no decision
    const float cosToZ = std::fabs(g[2]) / norm;
    bool flat = state_.flat;
    if (cosToZ > settings_.cosEnterFlat)
        flat = true;
    else if (cosToZ < settings_.cosLeaveFlat)
        flat = false;
    const bool left = state_.flat && !flat;
    state_.flat = flat;
    return left ? kLeftFlat : 0;
}

std::uint32_t PickUpDetector::pickUp(const float* a)
{
    const float magnitude = norm3(a);
    float* h = state_.pickUpFiltered;
    bool decided = false;
    float deviation = 0.0f;
    float pitch = 0.0f;
    float rollSin = 0.0f;
    // A zero sample (free fall) has no direction: the filter and the
    // decision wait for the next one, the window's time still runs.
    if (magnitude > 0.0f) {
        const float scaled[3] = {kGravityMs2 * a[0] / magnitude, kGravityMs2 * a[1] / magnitude,
                                 kGravityMs2 * a[2] / magnitude};
        float n[3];
        rotate(settings_.pickUpOrientation, scaled, n);
        if (state_.reseedPickUp) {
            for (int k = 0; k < 3; ++k)
                h[k] = n[k];
            state_.reseedPickUp = false;
        }
        lowPass(h, n, derived_.pickUpAlpha, derived_.pickUpOneMinusAlpha);
        pitch = atan2fMerrowind(-h[0], h[2]);
        rollSin = h[1] / kGravityMs2;
        const float diff[3] = {n[0] - h[0], n[1] - h[1], n[2] - h[2]};
        deviation = norm3(diff);
        decided = true;
        if (deviation >= settings_.movementLevelMs2)
            state_.windowLeftUs = settings_.windowUs;
    }
    if (state_.windowLeftUs < 1)
        return 0;
    state_.windowLeftUs -= periodUs_;
    const bool inPose = pitch >= settings_.pitchLowRad && pitch <= settings_.pitchHighRad &&
                        rollSin >= settings_.sinRollLow && rollSin <= settings_.sinRollHigh;
    if (decided && inPose && deviation <= settings_.restLevelMs2) {
        state_.windowLeftUs = 0;
        return kPickedUp;
    }
    return 0;
}

int PickUpDetector::processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out)
{
    std::uint32_t event = 0;
    if ((settings_.mode & kFlatExitMode) != 0)
        event |= flatExit(in.accelerometer);
    if ((settings_.mode & kPickUpMode) != 0)
        event |= pickUp(in.accelerometer);
    out.event = event;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
