#include "activity/InVehicleDetector.h"

#include <cmath>

#include "common/NodeManager.h"
#include "common/statusCode.h"

namespace vnx::activity {

namespace {

constexpr float kSmallestNoiseMs2 = 0.017734336f;
constexpr float kInitialCoefficient = 0.9f;
constexpr float kFilterTimeConstantS = 0.09f;
/// At periods above 20 ms the configured limits do not apply.
constexpr float kSlowPeriodS = 0.02f;
constexpr float kSlowThresholdA = 0.15f;
constexpr float kSlowThresholdB = 0.1f;
constexpr std::uint8_t kSlowLimitA = 1;
constexpr std::uint8_t kSlowLimitB = 12;
/// The limits are counted for 10 ms samples; faster sampling scales them.
constexpr float kReferencePeriodS = 0.01f;
/// A still axis moves less than this (m/s^2, one-second standard deviation).
constexpr float kStillDeviationMs2 = 0.15f;
/// Changes of the filter output in this band are taken for a sensor step,
/// not vibration: they disarm the counters.
constexpr float kStepChangeLow = 0.038f;
constexpr float kStepChangeHigh = 0.042f;

constexpr const char* kStatsNames[3] = {"statsX", "statsY", "statsZ"};

} // namespace

InVehicleDetector::InVehicleDetector()
{
    for (int k = 0; k < 3; ++k)
        NodeManager::getInstance().addNode(this, &axisStats_[k], NodeInterface::NODE_SUBNODE, kStatsNames[k]);
}

InVehicleDetector::~InVehicleDetector()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int InVehicleDetector::init(const vnx_ActivityClassifier_InVehicle_Config_s* config, float noiseMs2)
{
    if (config == nullptr)
        return VNX_STATUS_INVALID_CONFIG;
    noise_ = noiseMs2 > kSmallestNoiseMs2 ? noiseMs2 : kSmallestNoiseMs2;
    configuredLimitA_ = static_cast<std::uint8_t>(config->crossingLimitA & 0xFFu);
    configuredLimitB_ = static_cast<std::uint8_t>(config->crossingLimitB & 0xFFu);
    mode_ = config->mode;
    clearFilters();
    status_ = InVehicleOutput::kUndecided;
    thresholdB_ = noise_;
    thresholdA_ = 2.0f * noise_;
    limitA_ = configuredLimitA_;
    limitB_ = configuredLimitB_;
    coefficient_ = kInitialCoefficient;
    return VNX_STATUS_SUCCESS;
}

void InVehicleDetector::clearFilters()
{
    for (int k = 0; k < 3; ++k) {
        blocks_[k] = FilterBlock{};
        change_[k] = 0;
    }
}

void InVehicleDetector::enable(bool on, bool vehicleClassification)
{
    enabled_ = on;
    vehicleClassification_ = vehicleClassification;
}

void InVehicleDetector::applyInputPeriod(bool maximum, bool vehicle, std::int32_t& periodUs)
{
    const std::int32_t limit = maximum ? (vehicle ? 11111 : 44444) : (vehicle ? 10000 : 40000);
    if (periodUs > limit)
        periodUs = limit;
}

void InVehicleDetector::changePeriod(std::int32_t periodUs)
{
    if (!enabled_)
        return;
    periodS_ = static_cast<float>(periodUs) * 1e-6f;
    clearFilters();
    status_ = InVehicleOutput::kUndecided;
    thresholdB_ = noise_;
    thresholdA_ = 2.0f * noise_;
    const float ratio = kReferencePeriodS / periodS_;
    const float scale = ratio > 1.0f ? ratio : 1.0f;
    limitA_ =
        static_cast<std::uint8_t>(static_cast<std::int32_t>(static_cast<float>(configuredLimitA_) * scale));
    limitB_ =
        static_cast<std::uint8_t>(static_cast<std::int32_t>(static_cast<float>(configuredLimitB_) * scale));
    if (periodS_ > kSlowPeriodS) {
        thresholdA_ = kSlowThresholdA;
        thresholdB_ = kSlowThresholdB;
        limitA_ = kSlowLimitA;
        limitB_ = kSlowLimitB;
    }
    coefficient_ = kFilterTimeConstantS / (periodS_ + kFilterTimeConstantS);
}

void InVehicleDetector::updateStillness(const float* a)
{
    if (mode_ == VNX_IN_VEHICLE_STILL_FROM_CROSSINGS) {
        still_ = false;
        return;
    }
    if (mode_ != VNX_IN_VEHICLE_STILL_FROM_STATISTICS)
        return;
    bool still = true;
    for (int k = 0; k < 3; ++k) {
        // The sample lives in the detector: the statistics read as many
        // values as they have channels, which the compiler cannot bound.
        statsSample_ = FloatingPoint<float>(a[k]);
        axisStats_[k].addSample(&statsSample_);
        const Stats& stats = axisStats_[k];
        deviation_[k] = stats.count >= 2 ? std::sqrt(static_cast<float>(stats.variance(0).value())) : 0.0f;
        still = still && deviation_[k] <= kStillDeviationMs2;
    }
    still_ = still;
    // One-second windows.
    if (periodS_ > 0.0f && axisStats_[2].count >= static_cast<std::uint32_t>(std::floor(1.0f / periodS_))) {
        for (Stats& stats : axisStats_)
            stats.reset();
    }
}

void InVehicleDetector::reportNewAcc(const vnx_Mobile_Output_s& in)
{
    if (!enabled_)
        return;
    const float* a = in.accelerometer;
    updateStillness(a);
    const float a0 = (1.0f + coefficient_) * 0.5f;
    for (int k = 0; k < 3; ++k) {
        FilterBlock& b = blocks_[k];
        const float u = a[k];
        const float y = a0 * (b.previousInput - u) + coefficient_ * b.output;
        b.previousInput = b.currentInput;
        b.currentInput = u;
        change_[k] = b.output - y;
        b.output = y;
        if (y < 0.0f)
            b.armedA = b.armedB = true;
        const float d = std::fabs(change_[k]);
        if (d > kStepChangeLow && d < kStepChangeHigh) {
            b.armedA = b.armedB = false;
        } else if (b.armedA && y > thresholdA_) {
            ++b.countA;
            b.armedA = false;
        }
        if (b.armedB && y > thresholdB_) {
            ++b.countB;
            b.armedB = false;
        }
    }
}

void InVehicleDetector::generateOutput(Output_s* out)
{
    out->reserved0 = 0;
    out->reserved1 = 0;
    if (!enabled_) {
        out->status = InVehicleOutput::kUndecided;
        return;
    }
    int vibrating = 0;
    int quiet = 0;
    for (const FilterBlock& b : blocks_) {
        vibrating += b.countB > limitB_;
        quiet += b.countA < limitA_;
    }
    if (!vehicleClassification_)
        vibrating = 0;
    if (mode_ == VNX_IN_VEHICLE_STILL_FROM_STATISTICS) {
        status_ = still_ ? InVehicleOutput::kStill
                         : (vibrating == 0 ? InVehicleOutput::kUndecided : InVehicleOutput::kVehicle);
    } else if (mode_ == VNX_IN_VEHICLE_STILL_FROM_CROSSINGS) {
        status_ = vibrating > 0 ? InVehicleOutput::kVehicle
                                : (quiet >= 2 ? InVehicleOutput::kStill : InVehicleOutput::kUndecided);
    }
    for (FilterBlock& b : blocks_)
        b.countA = b.countB = 0;
    out->status = status_;
}

} // namespace vnx::activity
