#pragma once

// Pocket decision. The device is taken to be in a pocket or bag once light
// and proximity have both read covered (dark and near) for the covered time,
// while it is not lying flat, not upright on its side, and has moved within
// the motion hold time (a pocketed device was just put away). It leaves the
// pocket only after 0.2 s of light or distance. Pose comes from two low-pass
// filters of the unit gravity direction, a fast and a slow one; motion is a
// jolt of the norm or the two filtered poses parting.

#include <cstdint>

#include "activity/DetectorReorientation.h"
#include "activity/EventDetector.h"
#include "activity/pocketDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class PocketDetector : public EventDetector
{
    VNX_LOG_DEFAULT(PocketDetector);

  public:
    using Config = vnx_PocketDetectorConfig_s;
    using Handle = vnx_PocketDetector_Handle;
    static constexpr DetectorId kId = DetectorId::Pocket;
    static constexpr std::uint32_t kEntered = 1;
    static constexpr std::uint32_t kLeft = 2;

    PocketDetector() : EventDetector(kId) {}

    static void getDefaults(Config& config);
    void init(const Config& config);

    int enableOutputPeriodsAndDeriveInputPeriods(std::int32_t outputPeriod,
                                                 vnx_Mobile_VirtualSensorPeriods_s& periods,
                                                 std::int32_t& lightPeriodUs,
                                                 std::int32_t& proximityPeriodUs);
    int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods, std::int32_t lightPeriodUs,
                        std::int32_t proximityPeriodUs);

    void reportLight(std::int32_t lightQ8);
    void reportProximity(std::int16_t distanceQ4);

    bool isIn() const { return in_; }

  protected:
    /// The caller's word stays unless the decision changes.
    std::uint32_t eventWordAtStart(std::uint32_t callerWord) const override { return callerWord; }
    void onDisabled() override { performDisableAndCleanup(); }
    void onPeriodRejected() override { performDisableAndCleanup(); }
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;
    int processSample(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out) override;

  private:
    /// A sensor flag before its first report.
    static constexpr std::int8_t kUnknown = -1;

    struct Settings
    {
        float fastTimeConstantS = 0;
        float slowTimeConstantS = 0;
        float proximityThreshold = 0;
        float lightThreshold = 0;
        float flatLimit = 0;
        float uprightLimit = 0; ///< the record's word negated
        float sidewaysLimit = 0;
        float joltLevelMs2 = 0;
        float poseChangeLevel = 0;
        float motionHoldTimeS = 0;
        float coveredTimeS = 0;
    };

    /// Light and proximity back to unknown and the decision afresh.
    void performDisableAndCleanup();
    /// Runs the pose filters on the sample; a zero sample leaves them alone.
    void filterPose(const float* a, float norm);
    void trackMotion(float norm);

    Settings settings_;
    DetectorReorientation reorientation_;
    float dtS_ = 0;
    float fastAlpha_ = 0;
    float slowAlpha_ = 0;
    bool reseed_ = true;
    std::int8_t dark_ = kUnknown;
    std::int8_t near_ = kUnknown;
    bool in_ = false;
    float fast_[3] = {0, 0, 0};
    float slow_[3] = {0, 0, 0};
    float motionTimerS_ = 0;
    float coveredS_ = 0;
    float uncoveredS_ = 0;
};

} // namespace vnx::activity
