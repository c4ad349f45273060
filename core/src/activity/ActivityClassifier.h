#pragma once

// The activity classifier: once per classification frame it fuses the
// verdicts of its components into the most likely activity and a confidence
// per activity code.
//
// Components, enabled by the classes a client requests:
//   - an LDA gait classifier, phone or wrist kind ("LdaClassifier" or
//     "LdaClassifierWatch"): walking, running, not walking, arm motion;
//   - InVehicleDetector ("InVehicleDetector"): vehicle vibration or stillness;
//   - InVehicleAcceleration ("InVehicleAcceleration"): a vehicle's slow
//     speed changes;
//   - TiltDetector ("TiltDetector"): the device turned;
//   - StairDetector ("StairDetector"): climbing stairs, from pressure.
// The period calls negotiate the accelerometer and pressure periods with
// the components; process feeds them every fusion record with the step
// channel's record of the same sample, and at the end of each frame runs the
// six-state filter of ActivityFilter.h. The activity tracker owns one.
// Nothing is allocated after init.

#include <cstddef>
#include <cstdint>
#include <new>

#include "activity/ActivityFilter.h"
#include "activity/InVehicleAcceleration.h"
#include "activity/InVehicleDetector.h"
#include "activity/LdaClassifierMobile.h"
#include "activity/LdaClassifierWatch.h"
#include "activity/StairDetector.h"
#include "activity/TiltDetector.h"
#include "activity/activityClassifierApi.h"
#include "activity/stepDetectorApi.h"
#include "log/DefaultLogger.h"
#include "sensorFusionMobile/mobileRecords.h"

namespace vnx::activity {

enum ActivityCode : std::uint8_t
{
    kActivityUnknown = 0,
    kActivityInVehicle = 1,
    kActivityWatchMotion = 2, ///< motion class of the wrist device only
    kActivityOnFoot = 3,
    kActivityStill = 4,
    kActivityTilting = 5,
    kActivityWalking = 6,
    kActivityRunning = 7,
    kActivityOnStairs = 8,
};

class ActivityClassifier
{
    VNX_LOG_DEFAULT(ActivityClassifier);

  public:
    static constexpr int kVersion = 1;
    /// Activity codes 0-8.
    static constexpr std::uint32_t kSupportedClasses = 511;

    /// Component bits.
    enum Component : std::uint8_t
    {
        kLda = 1u << 0,
        kVehicleClassification = 1u << 1, ///< in-vehicle detector and acceleration, code 1
        kTilt = 1u << 2,
        kVibration = 1u << 3, ///< in-vehicle detector without vehicle classification
        kStairs = 1u << 4,
    };

    ActivityClassifier();
    ~ActivityClassifier();
    ActivityClassifier(const ActivityClassifier&) = delete;
    ActivityClassifier& operator=(const ActivityClassifier&) = delete;

    static int getVersion() { return kVersion; }
    static int getSupportedClassificationFlags(std::uint32_t* flags);
    /// Walking (6) or running (7): the codes whose steps are counted.
    static constexpr bool isOnFoot(std::uint8_t activity) { return (activity & 0xFE) == kActivityWalking; }
    /// The components a class mask needs.
    static std::uint8_t componentsFor(std::uint32_t classes);
    /// The classes the components produce (code 0 with any of them).
    static std::uint32_t producedClasses(std::uint8_t components);

    /// Disabled, filter fresh; the LDA kind of the record; the components
    /// from their records. -4 for a null record or one a component refuses.
    int init(const vnx_ActivityClassifierConfig_s* config, float noiseMs2);
    /// Puts the phone (true) or wrist classifier in the LDA slot.
    void selectLdaClassifier(bool phone);

    /// Enables the components the classes need, asks for their periods in
    /// periods[0] and *pressurePeriod, and writes the produced classes back.
    int enableOutputPeriodsAndDeriveInputPeriods(std::uint32_t* classes,
                                                 vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                 std::int32_t* pressurePeriod);
    /// 0, or -24 (and disabled) for periods the components cannot take.
    int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods, std::int32_t pressurePeriod);
    int getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods, int unused,
                                  std::int32_t* framePeriod, std::uint32_t* classes) const;
    /// 0 when this record completed a frame (out written), else 3. `step`
    /// is the step channel's record of the sample; null feeds no LDA.
    int process(const vnx_Mobile_Output_s& in, const vnx_StepDetector_Output_s* step,
                vnx_ActivityClassifier_Output_s* out, std::uint8_t* flag);
    /// Pressure with 20 fractional bits, time stamp in us; 0.
    int reportPressure(std::int32_t pressureQ20, std::uint32_t timestampUs);

    bool isEnabled() const { return enabled_; }
    std::uint8_t components() const { return components_; }
    bool isPhoneLda() const { return phoneLda_; }
    std::int32_t samplesPerFrame() const { return samplesPerFrame_; }
    std::int32_t maximumAccelerometerPeriod() const { return maxAccelerometerPeriodUs_; }
    std::int32_t maximumPressurePeriod() const { return maxPressurePeriodUs_; }
    std::uint8_t ldaActivity() const { return static_cast<std::uint8_t>(ldaActivity_); }
    const ActivityFilterState& filter() const { return filter_; }
    /// The LDA classifier in the slot (null before the first selection).
    const LdaClassifier* lda() const { return lda_; }

  private:
    /// LDA class to activity code: 1 walking, 0 running, 2 still, else 0.
    static std::uint8_t ldaActivityCode(std::uint8_t ldaClass);
    void destroyLda();
    bool has(Component c) const { return (components_ & c) != 0; }
    FrameEvidence collectEvidence();

    std::uint8_t components_ = 0;
    bool enabled_ = false;
    bool vehicleClassification_ = false;
    bool phoneLda_ = false;
    std::int32_t samplesPerFrame_ = 0;
    std::int32_t sampleCounter_ = 0;
    std::uint32_t ldaActivity_ = kActivityUnknown;
    std::uint32_t lastFrameUs_ = kUnsetTime;
    std::uint32_t framePeriodUs_ = 0;
    std::int32_t accelerometerPeriodUs_ = 0;
    std::int32_t maxAccelerometerPeriodUs_ = 0;
    std::int32_t maxPressurePeriodUs_ = 0;

    LdaClassifier::LdaClassifier_Output_s ldaOut_{};
    InVehicleOutput vibrationOut_{};
    InVehicleOutput accelerationOut_{};
    vnx_Detector_Output_s tiltOut_{};
    StairDetector::Output_s stairOut_{};

    static constexpr std::uint32_t kUnsetTime = 0xFFFFFFFFu;
    static constexpr std::size_t kLdaSize = sizeof(LdaClassifierMobile) > sizeof(LdaClassifierWatch)
                                                ? sizeof(LdaClassifierMobile)
                                                : sizeof(LdaClassifierWatch);
    static constexpr std::size_t kLdaAlign = alignof(LdaClassifierMobile) > alignof(LdaClassifierWatch)
                                                 ? alignof(LdaClassifierMobile)
                                                 : alignof(LdaClassifierWatch);
    /// The one LDA classifier, of either kind, built in place.
    alignas(kLdaAlign) unsigned char ldaSlot_[kLdaSize];
    LdaClassifierMobile* phone_ = nullptr;
    LdaClassifierWatch* watch_ = nullptr;
    LdaClassifier* lda_ = nullptr;

    InVehicleDetector vibration_;
    InVehicleAcceleration acceleration_;
    TiltDetector tilt_;
    StairDetector stairs_;

    ActivityFilterState filter_;
};

} // namespace vnx::activity
