#include "activity/InVehicleAcceleration.h"

#include <cmath>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "numerics/fixedPoint.h"

namespace vnx::activity {

namespace {

constexpr float kInitialAlpha = -0.8333333f;
constexpr float kSmoothingTimeConstantS = 5.0f;
constexpr float kSettleTimeS = 5.0f;
constexpr float kDegreesPerRadian = 57.2957993f;

/// b0, b1, b2; a1, a2; input gain of the three low-pass sections.
struct SectionCoefficients
{
    float b0, b1, b2, a1, a2, g;
};
constexpr SectionCoefficients kSections[3] = {
    {0.00043127354f, 0.00043078497f, 0.0f, 0.97708434f, 0.0f, 1.0f},
    {0.00035453439f, 0.00070971838f, 0.00035518443f, 1.9623282f, -0.96319032f, 1.0f},
    {0.25010848f, 0.50004208f, 0.24993388f, 1.9843606f, -0.98578012f, 0.022915684f},
};

constexpr const char* kLengthNames[4] = {"length0", "length1", "length2", "length3"};
constexpr const char* kSmoothedNames[4] = {"smoothed0", "smoothed1", "smoothed2", "smoothed3"};
constexpr const char* kAngleNames[4] = {"angle0", "angle1", "angle2", "angle3"};

float norm3(const float* v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

/// Angle between two vectors in degrees; 0 when either is zero. The cosine
/// is clamped: rounding can take it just past +-1, where acos is NaN.
float angleBetween(const float* u, const float* v)
{
    const float lengths = norm3(u) * norm3(v);
    if (!(lengths > 0.0f))
        return 0.0f;
    float c = (u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / lengths;
    c = c > 1.0f ? 1.0f : (c < -1.0f ? -1.0f : c);
    return std::acos(c) * kDegreesPerRadian;
}

} // namespace

InVehicleAcceleration::InVehicleAcceleration()
    : lengthBank_(kBlockName, this, kLengthNames), smoothedBank_(kBlockName, this, kSmoothedNames),
      angleBank_(kBlockName, this, kAngleNames)
{
}

InVehicleAcceleration::~InVehicleAcceleration()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int InVehicleAcceleration::init(const vnx_ActivityClassifier_InVehicle_Acceleration_Config_s* config,
                                float /*noiseMs2*/)
{
    if (config == nullptr)
        return VNX_STATUS_INVALID_CONFIG;
    firstLowPass_ = firstSmoothing_ = true;
    startTimeUs_ = 0;
    samplesPerSecond_ = 100;
    status_ = InVehicleOutput::kUndecided;
    for (Section& section : sections_)
        section = Section{};
    hop_ = 50;
    lengthBank_.restartAll();
    smoothedBank_.restartAll();
    angleBank_.restartAll();
    for (int k = 0; k < 4; ++k)
        startValue_[k] = midValue_[k] = change_[k] = angleAtOneSecond_[k] = 0;
    normDifference_ = angleDeg_ = smoothedNorm_ = 0;
    alpha_ = kInitialAlpha;
    for (int k = 0; k < 3; ++k)
        lowPassed_[k] = stage1_[k] = smoothed_[k] = 0;
    for (int k = 0; k < kThresholds; ++k)
        thresholds_[k] = fptToFloat32(config->thresholdQ20[k], 20);
    return VNX_STATUS_SUCCESS;
}

void InVehicleAcceleration::changePeriod(std::int32_t periodUs)
{
    if (!enabled_)
        return;
    const float periodS = static_cast<float>(periodUs) * 1e-6f;
    alpha_ = -kSmoothingTimeConstantS / (periodS + kSmoothingTimeConstantS);
    lengthBank_.restartAll();
    smoothedBank_.restartAll();
    angleBank_.restartAll();
    hop_ = static_cast<std::int32_t>(0.5f / periodS);
    samplesPerSecond_ = static_cast<std::int32_t>(1.0f / periodS);
}

void InVehicleAcceleration::lowPass(const float* a, bool first)
{
    if (first) {
        // The steady state of the cascade for a constant input: no start-up swing.
        const float g3 = kSections[2].g;
        for (int k = 0; k < 3; ++k) {
            sections_[0].w1[k] = sections_[0].w2[k] = a[k] / g3;
            sections_[1].w1[k] = sections_[1].w2[k] = a[k] / g3;
            sections_[2].w1[k] = sections_[2].w2[k] = a[k];
            lowPassed_[k] = a[k];
        }
        return;
    }
    for (int k = 0; k < 3; ++k) {
        float x = a[k];
        for (int s = 0; s < 3; ++s) {
            const SectionCoefficients& c = kSections[s];
            Section& state = sections_[s];
            const float w = c.g * x + c.a1 * state.w1[k] + c.a2 * state.w2[k];
            x = c.b0 * w + c.b1 * state.w1[k] + c.b2 * state.w2[k];
            state.w2[k] = state.w1[k];
            state.w1[k] = w;
        }
        lowPassed_[k] = x;
    }
}

void InVehicleAcceleration::smooth(const float* a, bool first)
{
    for (int k = 0; k < 3; ++k) {
        if (first) {
            stage1_[k] = smoothed_[k] = a[k];
        } else {
            stage1_[k] = (1.0f + alpha_) * a[k] - alpha_ * stage1_[k];
            smoothed_[k] = (1.0f + alpha_) * stage1_[k] - alpha_ * smoothed_[k];
        }
    }
    smoothedNorm_ = norm3(smoothed_);
}

bool InVehicleAcceleration::lengthDetector(float lengthMs2)
{
    WindowBank& bank = lengthBank_;
    bank.add(lengthMs2);
    const auto w = static_cast<std::uint32_t>(hop_);
    for (int k = 0; k < WindowBank::kWindows; ++k) {
        const std::uint32_t n = bank.count(k);
        if (n == 1)
            startValue_[k] = lengthMs2;
        if (n == 2 * w)
            midValue_[k] = lengthMs2;
        if (n == 3 * w)
            change_[k] = std::fabs(startValue_[k] - lengthMs2);
    }
    const int k = bank.fullest();
    const float mid = midValue_[k], minimum = bank.minimum(k), deviation = bank.deviation(k);
    const bool inBand = mid - t(1) > 0.0f && minimum < t(0) && minimum > t(1) && mid < t(2) && mid > t(3) &&
                        deviation < t(4) && deviation > t(5) && change_[k] < t(6) && change_[k] > t(7);
    bank.stagger(hop_);
    return inBand;
}

bool InVehicleAcceleration::smoothedDetector(float lengthMs2)
{
    WindowBank& bank = smoothedBank_;
    bank.add(smoothedNorm_);
    normDifference_ = std::fabs(lengthMs2 - smoothedNorm_);
    const int k = bank.fullest();
    const float deviation = bank.deviation(k), mean = bank.mean(k), d = normDifference_;
    const bool inBand =
        deviation > t(11) && deviation < t(10) && d > t(13) && d < t(12) && mean > t(15) && mean < t(14);
    bank.stagger(hop_);
    return inBand;
}

bool InVehicleAcceleration::angleDetector()
{
    WindowBank& bank = angleBank_;
    angleDeg_ = angleBetween(lowPassed_, smoothed_);
    bank.add(angleDeg_);
    for (int k = 0; k < WindowBank::kWindows; ++k)
        if (bank.count(k) == static_cast<std::uint32_t>(samplesPerSecond_))
            angleAtOneSecond_[k] = angleDeg_;
    const int k = bank.fullest();
    const float deviation = bank.deviation(k), minimum = bank.minimum(k), atOneSecond = angleAtOneSecond_[k];
    const bool inBand = t(17) < angleDeg_ && angleDeg_ < t(16) && deviation < t(18) && deviation > t(19) &&
                        minimum < t(20) && minimum > t(21) && atOneSecond < t(22) && atOneSecond > t(23);
    bank.stagger(hop_);
    return inBand;
}

void InVehicleAcceleration::reportNewAcc(const vnx_Mobile_Output_s& in)
{
    if (!enabled_)
        return;
    const float* a = in.accelerometer;
    const bool first = firstLowPass_;
    if (first)
        startTimeUs_ = in.timeUs;
    lowPass(a, first);
    firstLowPass_ = false;
    smooth(a, firstSmoothing_);
    firstSmoothing_ = false;

    const float length = norm3(lowPassed_);
    const bool d1 = lengthDetector(length);
    const bool d3 = smoothedDetector(length);
    const bool d4 = angleDetector();
    status_ = d1 || d3 || d4 ? InVehicleOutput::kVehicle : InVehicleOutput::kUndecided;
    // The elapsed time as an unsigned difference: time stamps wrap.
    const float elapsedS = static_cast<float>(in.timeUs - startTimeUs_) * 1e-6f;
    if (elapsedS < kSettleTimeS)
        status_ = InVehicleOutput::kUndecided;
}

void InVehicleAcceleration::generateOutput(Output_s* out) const
{
    out->reserved0 = 0;
    out->reserved1 = 0;
    out->status = status_;
}

} // namespace vnx::activity
