#pragma once

// Vehicle vibration: a car's cabin shakes the device in small, quick
// oscillations on every axis. Each axis runs a band-pass filter and counts
// how often its output climbs from below zero past a small (noise level)
// and a large (twice that) threshold; at the end of every classification
// frame enough small crossings on some axis, with the vehicle
// classification on, mean vibration (status 0). Stillness (status 3) comes
// from one-second standard deviations (mode 0) or from too few large
// crossings (mode 1); otherwise the status is undecided (4).

#include <cstdint>

#include "activity/InVehicleOutput.h"
#include "activity/activityClassifierRecords.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "sensorFusionMobile/mobileRecords.h"
#include "statistics/RunningStats.h"

namespace vnx::activity {

class InVehicleDetector
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_INVEHICLEDETECTOR");

  public:
    static constexpr const char* kBlockName = "vnx_core_INVEHICLEDETECTOR";
    using Output_s = InVehicleOutput;
    using Stats = RunningStats<FloatingPoint<float>, 1, 9>;

    /// Per axis: the filter and its two crossing counters.
    struct FilterBlock
    {
        float output = 0;
        float previousInput = 0;
        float currentInput = 0;
        bool armedA = false;
        std::uint32_t countA = 0;
        bool armedB = false;
        std::uint32_t countB = 0;
    };

    InVehicleDetector();
    ~InVehicleDetector();
    InVehicleDetector(const InVehicleDetector&) = delete;
    InVehicleDetector& operator=(const InVehicleDetector&) = delete;

    /// noise: the accelerometer's noise level (m/s^2); -4 for a null record.
    int init(const vnx_ActivityClassifier_InVehicle_Config_s* config, float noiseMs2);
    void enable(bool on, bool vehicleClassification);
    /// The accelerometer period the detector needs: period := min(period, limit).
    static void applyInputPeriod(bool maximum, bool vehicle, std::int32_t& periodUs);
    void changePeriod(std::int32_t periodUs);
    void reportNewAcc(const vnx_Mobile_Output_s& in);
    /// Once per frame: the status, then the crossing counts start afresh.
    void generateOutput(Output_s* out);

    float noiseLevel() const { return noise_; }
    float thresholdA() const { return thresholdA_; }
    float thresholdB() const { return thresholdB_; }
    std::uint8_t limitA() const { return limitA_; }
    std::uint8_t limitB() const { return limitB_; }
    float filterCoefficient() const { return coefficient_; }
    std::uint8_t status() const { return status_; }
    const FilterBlock& block(int axis) const { return blocks_[axis]; }

  private:
    void clearFilters();
    void updateStillness(const float* a);

    float noise_ = 0;
    float periodS_ = 0;
    float change_[3] = {0, 0, 0}; ///< d: last change of each filter output
    float thresholdA_ = 0;
    float thresholdB_ = 0;
    std::uint8_t limitA_ = 0;
    std::uint8_t limitB_ = 0;
    FilterBlock blocks_[3];
    std::uint8_t status_ = InVehicleOutput::kUndecided;
    bool enabled_ = false;
    bool vehicleClassification_ = false;
    std::uint32_t mode_ = 0;
    std::uint8_t configuredLimitA_ = 0;
    std::uint8_t configuredLimitB_ = 0;
    float coefficient_ = 0.9f;
    Stats axisStats_[3]{Stats(kBlockName), Stats(kBlockName), Stats(kBlockName)};
    FloatingPoint<float> statsSample_{0.0f};
    float deviation_[3] = {0, 0, 0};
    bool still_ = false;
};

} // namespace vnx::activity
