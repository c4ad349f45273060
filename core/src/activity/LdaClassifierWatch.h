#pragma once

// Wrist LDA classifier. Per frame: mean and variance of the acceleration
// norm and of its rate of change, steps and vibration flags of the step
// record; features over the last N frames: mean rate, deviation of the
// rate, mean norm above gravity, deviation of the norm, vibration count,
// steps. Its fourth coarse group is a motion of the arm without steps.

#include "activity/LdaClassifier.h"

namespace vnx::activity {

class LdaClassifierWatch : public LdaClassifier
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_Interpret");

  public:
    static constexpr int kRingLength = 4;

    LdaClassifierWatch();

    void reportNewMotion(const vnx_Mobile_Output_s* in) override;
    void reportNewStep(const vnx_StepDetector_Output_s* step) override;

    /// The rate statistics' mean of the current frame (for checks of the first rate).
    float rateMean() const { return rateStats_.count > 0 ? rateStats_.mean[0] : 0.0f; }

  protected:
    void storeFrame() override;
    void computeFeatures() override;
    void resetKindStatistics() override;
    void endFrame() override;
    std::uint8_t decide() override;

  private:
    float sample_ = 0;
    Stats accInStats_{kStatsBlock};
    Stats stepInStats_{kStatsBlock};
    Stats rateStats_{kStatsBlock};
    float previousNorm_ = 0;
    std::uint8_t vibrations_ = 0;
    float meanNormRing_[kRingLength] = {};
    float normVarianceRing_[kRingLength] = {};
    float stepsRing_[kRingLength] = {};
    float vibrationRing_[kRingLength] = {};
    float rateMeanRing_[kRingLength] = {};
    float rateVarianceRing_[kRingLength] = {};
};

} // namespace vnx::activity
