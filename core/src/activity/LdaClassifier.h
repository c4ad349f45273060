#pragma once

// LDA activity classifiers: one gait verdict per classification frame.
// Each frame condenses the acceleration norm and the step channel's record
// into a few values kept in rings of the last N frames; their sums give the
// feature vector. A Gaussian model per fine class scores it, the fine
// probabilities are summed into coarse groups, and the largest group is the
// class: 0 running, 1 walking, 2 not walking, 3 (wrist only) a motion of
// the arm without steps, 4 no decision (disabled, or the first N frames
// after a period change).
//
// LdaClassifierMobile (phone): 3 features, 16 fine classes in groups 0-3,
// 4-11, 12-15. LdaClassifierWatch (wrist): 6 features, 18 fine classes in
// groups 0-3, 4-8, 9-13, 14-17. Nothing is allocated per sample.

#include <cstdint>

#include "activity/ldaRecords.h"
#include "activity/stepDetectorApi.h"
#include "log/DefaultLogger.h"
#include "sensorFusionMobile/mobileRecords.h"
#include "statistics/RunningStats.h"

/// Root of the LDA classifier tree.
class vnx_LdaClassifierContext
{
  public:
    virtual ~vnx_LdaClassifierContext() = default;
};

namespace vnx::activity {

class LdaClassifier : public vnx_LdaClassifierContext
{
  public:
    static constexpr int kVersion = 1;
    static constexpr int kMaxFeatures = 6;
    static constexpr int kMaxFineClasses = 18;
    static constexpr int kMaxCoarseClasses = 4;
    static constexpr std::uint8_t kNoDecision = 4;
    /// Logger block of the statistics in both classifiers.
    static constexpr const char* kStatsBlock = "vnx_core_LdaClassifierMobile";

    using Stats = RunningStats<float, 1, 9>;

    struct LdaClassifier_Output_s
    {
        std::uint8_t classCode; ///< 0-3, or kNoDecision
        std::uint8_t unused[7];
    };

    ~LdaClassifier() override;
    LdaClassifier(const LdaClassifier&) = delete;
    LdaClassifier& operator=(const LdaClassifier&) = delete;

    /// -4 for a null record or a window length of 0 or above the ring length.
    virtual int init(const vnx_ActivityClassifier_Lda_Config_s* config);
    virtual void enable(bool on) { enabled_ = on; }
    virtual void generateOutput(LdaClassifier_Output_s* out);
    virtual void reportNewMotion(const vnx_Mobile_Output_s* in) = 0;
    /// The step channel's record of the same sample: byte 12 its step flag,
    /// byte 13 the vibration channel's step flag, bytes 16-19 its position.
    virtual void reportNewStep(const vnx_StepDetector_Output_s* step) = 0;
    /// While enabled: the period (us) is kept and the warm-up restarts.
    virtual void changePeriod(std::int32_t periodUs);

    int getVersion() const { return kVersion; }
    /// period := min(period, the desired or the maximum accelerometer period).
    void applyInputPeriod(bool maximum, std::int32_t& periodUs) const;
    void resetAllStatistics();

    int featureCount() const { return featureCount_; }
    int fineClassCount() const { return fineCount_; }
    int coarseClassCount() const { return coarseCount_; }
    const float* features() const { return features_; }
    const double* fineProbabilities() const { return fine_; }
    const float* coarseProbabilities() const { return coarse_; }
    std::uint8_t currentClass() const { return class_; }
    int windowLength() const { return windowLength_; }

    /// Fine probabilities of the current features.
    void CalculateFineProbabilities();
    /// Coarse sums and the decision of the frame.
    void CalculateCoarseProbabilities();
    std::uint8_t CompileOutput() const { return class_; }

    /// The Gaussian score of one class: prefactor - 1/2 e' A e, e the
    /// feature vector minus the class mean, A the symmetric inverse
    /// covariance from its upper triangle.
    static float logLikelihood(const float* features, const float* mean, const float* upperTriangle,
                               float prefactor, int featureCount);

  protected:
    struct Model
    {
        const float* mean;          ///< fine classes x features
        const float* upperTriangle; ///< fine classes x triangle
        const float* prefactor;     ///< fine classes
    };

    LdaClassifier(int featureCount, int fineCount, const std::uint8_t* coarseStarts, int coarseCount,
                  int ringLength, Model model, std::int32_t maximumPeriodUs);

    /// Sum over the whole ring (slots beyond N stay 0).
    template <int N> static float ringSum(const float (&ring)[N])
    {
        float s = 0;
        for (float v : ring)
            s += v;
        return s;
    }

    /// This frame's values into the rings at the ring index.
    virtual void storeFrame() = 0;
    virtual void computeFeatures() = 0;
    /// The kind's own statistics and counters back to empty.
    virtual void resetKindStatistics() = 0;
    /// The kind's per-frame counters after a frame.
    virtual void endFrame() = 0;
    /// The class from the coarse probabilities (after the warm-up).
    virtual std::uint8_t decide() = 0;

    bool enabled_ = false;
    std::int32_t periodUs_ = 0;
    int windowLength_ = 1; ///< N
    int framesSeen_ = 0;
    std::uint8_t steps_ = 0;
    std::uint8_t ringIndex_ = 0;
    float features_[kMaxFeatures] = {};
    double fine_[kMaxFineClasses] = {};
    float coarse_[kMaxCoarseClasses] = {};
    std::uint8_t class_ = kNoDecision;

  private:
    const int featureCount_;
    const int fineCount_;
    std::uint8_t coarseStarts_[kMaxCoarseClasses + 1] = {};
    const int coarseCount_;
    const int ringLength_;
    const Model model_;
    const std::int32_t maximumPeriodUs_;
};

} // namespace vnx::activity
