#pragma once

// The activity tracker behind vnx_ActivityTracker_*: two step-detection
// channels of its own on the acceleration norm ("stepDetector" feeds the
// gait classifier, "vibrationDetector" flags quick small shakes for the
// wrist classifier), the activity classifier ("activityClassifier") and the
// step detector of the device kind (phone "StepCounterMobile", watch
// "stepCounterWatchWAAR"; both are built, one is used). Per fusion record
// it gives the step count and, once per classification frame, the activity.
//
// process runs only once setInputPeriods accepted the periods: before that
// the channels and detectors have no sample period to work with.

#include <cstddef>
#include <cstdint>

#include "activity/ActivityClassifier.h"
#include "activity/StepDetector.h"
#include "activity/StepDetectorInterface.h"
#include "activity/StepDetectorWatch.h"
#include "activity/activityTrackerApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class ActivityTracker
{
    VNX_LOG_DEFAULT(ActivityTracker);

  public:
    static constexpr int kVersion = 4;
    /// State flags.
    static constexpr std::uint32_t kClassifying = 1u << 0;
    static constexpr std::uint32_t kCountingSteps = 1u << 1;

    ActivityTracker();
    ~ActivityTracker();
    ActivityTracker(const ActivityTracker&) = delete;
    ActivityTracker& operator=(const ActivityTracker&) = delete;

    /// 0; -13 for a missing, short or invalid SCD; -4 for a configuration
    /// block that is missing, of another size or version, or refused.
    int init(const vnx_ActivityTracker_atConfigMemory_s* config, const std::uint8_t* scd,
             std::size_t scdLength);
    int enableOutputPeriodsAndDeriveInputPeriods(vnx_ActivityTracker_OutputCategoriesPeriods_s& categories,
                                                 std::int32_t outputPeriod,
                                                 vnx_Mobile_VirtualSensorPeriods_s& periods,
                                                 std::int32_t& pressurePeriod);
    int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods, std::int32_t pressurePeriod);
    int getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                  vnx_ActivityTracker_OutputCategoriesPeriods_s& effective,
                                  std::int32_t& classificationPeriod,
                                  std::int32_t& accelerometerPeriod) const;
    int process(const vnx_Mobile_Output_s& in, vnx_ActivityTracker_Output_s& out, std::uint8_t& flag);
    int reportPressure(std::int32_t pressureQ20, std::uint32_t timestampUs);

    std::uint32_t state() const { return state_; }
    bool isPhone() const { return phone_; }
    /// Largest accelerometer noise level of the SCD, m/s^2.
    float noiseLevel() const { return noiseMs2_; }
    const ActivityClassifier& classifier() const { return classifier_; }
    const StepDetectorInterface* stepDetector() const { return chosen_; }

  private:
    using Channel = StepDetectorInterface::StepDetectorInstance;

    /// -13 unless scd holds a valid SCD within scdLength bytes; else the noise level.
    int readCalibration(const std::uint8_t* scd, std::size_t scdLength);
    void disable()
    {
        state_ = 0;
        running_ = false;
    }

    std::uint32_t state_ = 0;
    bool phone_ = true;
    Channel stepChannel_;
    Channel vibrationChannel_;
    ActivityClassifier classifier_;
    std::uint8_t lastActivity_ = kActivityUnknown;
    StepDetectorInterface* chosen_ = nullptr;
    StepDetector phoneSteps_;
    StepDetectorWatch watchSteps_;
    /// setInputPeriods accepted the periods of the current enable call.
    bool running_ = false;
    float noiseMs2_ = 0;
};

} // namespace vnx::activity
