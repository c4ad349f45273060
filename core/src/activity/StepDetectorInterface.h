#pragma once

// Step detection shared by the phone (StepDetector) and wrist
// (StepDetectorWatch) detectors. Each runs two detection channels: channel 3
// on the norm of the acceleration ("StepRawAcc") and a second channel on a
// signal of its own (phone: channel 2, position; wrist: channel 1, rate of
// change of the norm). A channel is a StepDetectorInstance: a double leaky
// integrator with a peak picker, whose StepCounter confirms only peaks in a
// rhythm. While the user is on foot, getProcessedStepCount chooses which
// channel to trust and reports one step per confirmed step of that channel,
// kept apart by the shortest step spacing; otherwise the channels go on
// counting and the reported total stays. The first report takes over the
// steps the channels confirmed before the user was known to be on foot.
//
// Period negotiation is the detector family's (DetectorBase): the detector
// asks for 40000 us and accepts up to the member's limit. Enabling from
// disabled restarts the detector's own filters on the next sample; the step
// counts are cleared only by init. The owner (the activity tracker) creates
// the detector; nothing is allocated per sample.

#include <cmath>
#include <cstdint>

#include "activity/DetectorBase.h"
#include "activity/StepCounter.h"
#include "activity/stepDetectorApi.h"
#include "log/DefaultLogger.h"

namespace vnx::activity {

class StepDetectorInterface : public DetectorBase
{
  public:
    static constexpr int kChannels = 4;
    static constexpr int kRawChannel = 3;
    /// Peak marker of a channel record on a sample where the channel took a peak.
    static constexpr std::uint16_t kPeakMarker = 5;

    /// One channel's result; 24 bytes apart inside the detector.
    struct ChannelRecord
    {
        std::uint8_t stepFlag; ///< 1 when the channel took a peak in this sample
        std::uint8_t padding0;
        std::uint16_t peakMarker;      ///< kPeakMarker when the channel took a peak in this sample
        std::uint16_t intervalSamples; ///< interval of the last counted step
        std::uint16_t padding1;
        std::uint32_t total;        ///< confirmed steps of the channel
        std::uint32_t stepFlagWord; ///< the step flag again, as a word
        float position;             ///< the channel's position signal
        std::uint32_t padding2;
    };

    /// One detection channel: a double leaky integrator of its input with a
    /// peak picker. A peak is a local maximum of the position signal above
    /// the threshold, at least the minimum spacing after the previous one;
    /// the picker is then disarmed until a valley below a tenth of the last
    /// window's minimum (in magnitude) has been seen.
    class StepDetectorInstance
    {
        VNX_LOG_DEFAULT_BLOCK("vnx_core_StepDetectorInterface");

      public:
        StepDetectorInstance();
        ~StepDetectorInstance();
        StepDetectorInstance(const StepDetectorInstance&) = delete;
        StepDetectorInstance& operator=(const StepDetectorInstance&) = delete;

        void init(float toleranceS, float timeConstantS, float minSpacingS, float threshold);
        void setInputPeriod(std::int32_t periodUs);
        /// The next input x is taken as no change: a restart is no step.
        void restart(float x) { previousInput_ = x; }
        void process(float x, ChannelRecord& record);

        int getChannelRank() const { return counter_.rank(); }
        float getAverageChannelPeriod() const { return counter_.averagePeriod(); }
        /// Samples since the last counted step, plus one.
        std::int32_t getSampleSinceLastStep() const { return samplesSinceCountedStep_ + 1; }

        const StepCounter& counter() const { return counter_; }

      private:
        float threshold_ = 0;
        float timeConstantS_ = 0;
        float minSpacingS_ = 0;
        float alpha_ = 0;
        float gain_ = 0;
        float dtS_ = 0;
        std::int32_t refractorySamples_ = 0; ///< R
        std::int32_t windowSamples_ = 0;     ///< N, samples in 1.5 s
        float highPass_ = 0;
        float previousInput_ = 0;
        float velocity_ = 0;
        float position_ = 0;
        float p1_ = 0; ///< position one sample back
        float p2_ = 0; ///< position two samples back
        float runningMinimum_ = 0;
        float lastMinimum_ = 0; ///< minimum of the last complete window
        std::int32_t samplesSincePeak_ = 0;
        std::int32_t windowCount_ = 0;
        std::int32_t samplesSinceCountedStep_ = 0;
        bool armed_ = true;
        StepCounter counter_;
    };

    StepDetectorInterface(DetectorId id, int secondChannel, const char* secondName);
    ~StepDetectorInterface() override;

    /// Disabled, filters to restart, total 0, channel 3 current; -4 for a
    /// null record.
    virtual int init(const vnx_StepDetectorConfig_s* config);
    virtual int enableOutputPeriodsAndDeriveInputPeriods(std::int32_t outputPeriod,
                                                         vnx_Mobile_VirtualSensorPeriods_s* periods);
    virtual int setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s* periods);
    /// 3 (with changed 0 and the current total) when disabled or without a
    /// new accelerometer sample; else 0. -2 for null records.
    virtual int process(const vnx_Mobile_Output_s* in, std::uint8_t activity, vnx_StepDetector_Output_s* out,
                        std::uint8_t* flag);
    virtual int getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                          std::int32_t* outputPeriod);
    /// Chooses the channel to trust and reports its new steps; the reported total.
    virtual std::uint32_t getProcessedStepCount(std::uint8_t activity);
    virtual int getVersion() const { return member().version; }

    const ChannelRecord& channel(int c) const { return channels_[c]; }
    int currentChannel() const { return current_; }

  protected:
    static float accelerationNorm(const float* a)
    {
        return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    }

    struct Settings
    {
        float timeConstantS = 0;
        float rawThreshold = 0;
        float toleranceS = 0;
        float minSpacingS = 0;
        float velocityThreshold = 0;
        float positionThreshold = 0;
        float reportFraction = 0;
        float keepRatio = 0;
        float rawSilenceS = 0;
    };

    /// The detector's own filters start from the sample `a`.
    virtual void restartFilters(const float* a) = 0;
    /// The second channel's input for the sample `a`.
    virtual float secondChannelSample(const float* a) = 0;
    /// The threshold of the second channel.
    virtual float secondThreshold(const Settings& settings) const = 0;

    void onEnabled(bool wasEnabled) override;
    void onInputPeriod(std::int32_t periodUs, std::int32_t previousPeriodUs) override;

    Settings settings_;
    float dtS_ = 0;
    float rateHz_ = 0;    ///< 1/dt
    float axisAlpha_ = 0; ///< factor of the detector's own high-pass filters (time constant 4 tau)
    float axisGain_ = 0;

  private:
    void reportStep();
    bool changed(int c) const { return channels_[c].total != savedTotals_[c]; }

    const int secondChannel_;
    StepDetectorInstance raw_;
    StepDetectorInstance second_;
    bool resetPending_ = true;
    ChannelRecord channels_[kChannels] = {};
    std::uint32_t savedTotals_[kChannels] = {};
    int current_ = kRawChannel;
    std::uint32_t total_ = 0;
    std::int32_t samplesSinceReport_ = 0;
    std::int32_t reportHistory_[StepCounter::kHistory] = {}; ///< spacing of the reports, newest last
};

static_assert(sizeof(StepDetectorInterface::ChannelRecord) == 24);

} // namespace vnx::activity
