#pragma once

// Vehicle acceleration: a moving car speeds up, brakes and turns in slow,
// smooth changes. The acceleration is low-passed (three second-order
// sections, l) and smoothed much more slowly (two first-order stages with a
// 5 s time constant, s); three banks of staggered windows watch the norm of
// l, the norm of s with their difference, and the angle between l and s.
// Each bank's detector compares its window's statistics with a band of
// thresholds from the configuration; any detector in its band gives status
// 0 (vehicle acceleration), none gives 4. The first 5 s are always 4.

#include <cstdint>

#include "activity/InVehicleOutput.h"
#include "activity/WindowBank.h"
#include "activity/activityClassifierRecords.h"
#include "log/DefaultLogger.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::activity {

class InVehicleAcceleration
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_INVEHICLEACCELERATION");

  public:
    static constexpr const char* kBlockName = "vnx_core_INVEHICLEACCELERATION";
    static constexpr int kThresholds = 24;
    using Output_s = InVehicleOutput;

    InVehicleAcceleration();
    ~InVehicleAcceleration();
    InVehicleAcceleration(const InVehicleAcceleration&) = delete;
    InVehicleAcceleration& operator=(const InVehicleAcceleration&) = delete;

    /// The noise level has no effect here. -4 for a null record.
    int init(const vnx_ActivityClassifier_InVehicle_Acceleration_Config_s* config, float noiseMs2);
    void enable(bool on) { enabled_ = on; }
    void changePeriod(std::int32_t periodUs);
    void reportNewAcc(const vnx_Mobile_Output_s& in);
    /// The current status, enabled or not.
    void generateOutput(Output_s* out) const;

    std::uint8_t status() const { return status_; }
    std::int32_t hop() const { return hop_; }
    std::int32_t samplesPerSecond() const { return samplesPerSecond_; }
    float smoothingFactor() const { return alpha_; }
    const float* lowPassed() const { return lowPassed_; }
    const float* smoothed() const { return smoothed_; }
    /// The last angle between the low-passed and the smoothed acceleration, degrees.
    float angleDeg() const { return angleDeg_; }
    const WindowBank& angleBank() const { return angleBank_; }

  private:
    /// One second-order section: w1, w2 per axis.
    struct Section
    {
        float w1[3] = {0, 0, 0};
        float w2[3] = {0, 0, 0};
    };

    void lowPass(const float* a, bool first);
    void smooth(const float* a, bool first);
    bool lengthDetector(float lengthMs2);
    bool smoothedDetector(float lengthMs2);
    bool angleDetector();
    float t(int k) const { return thresholds_[k]; }

    bool firstLowPass_ = true;
    bool firstSmoothing_ = true;
    std::uint32_t startTimeUs_ = 0;
    std::int32_t samplesPerSecond_ = 100; ///< S
    std::uint8_t status_ = InVehicleOutput::kUndecided;
    Section sections_[3];
    float lowPassed_[3] = {0, 0, 0}; ///< l
    std::int32_t hop_ = 50;          ///< W
    WindowBank lengthBank_;          ///< bank 1, |l|
    WindowBank smoothedBank_;        ///< bank 3, |s|
    WindowBank angleBank_;           ///< bank 4, angle between l and s
    float startValue_[4] = {};       ///< bank 1: |l| at each window's first sample
    float midValue_[4] = {};         ///< bank 1: |l| at sample 2W
    float change_[4] = {};           ///< bank 1: change of |l| over 3W
    float normDifference_ = 0;       ///< bank 3: | |l| - |s| |
    float angleAtOneSecond_[4] = {}; ///< bank 4: the angle when the window held S samples
    float angleDeg_ = 0;
    float alpha_ = -0.8333333f;
    float stage1_[3] = {0, 0, 0};
    float smoothed_[3] = {0, 0, 0}; ///< s
    float smoothedNorm_ = 0;
    float thresholds_[kThresholds] = {};
    bool enabled_ = false;
};

} // namespace vnx::activity
