#pragma once

// Phone LDA classifier. Per frame: the mean acceleration norm, the steps
// taken and the range of the step channel's position signal; features over
// the last N frames: mean norm above gravity, mean range, steps in the
// window. Fewer than two steps in the window is never a gait.

#include "activity/LdaClassifier.h"

namespace vnx::activity {

class LdaClassifierMobile : public LdaClassifier
{
    VNX_LOG_DEFAULT(LdaClassifierMobile);

  public:
    static constexpr int kRingLength = 10;

    LdaClassifierMobile();

    void reportNewMotion(const vnx_Mobile_Output_s* in) override;
    void reportNewStep(const vnx_StepDetector_Output_s* step) override;

  protected:
    void storeFrame() override;
    void computeFeatures() override;
    void resetKindStatistics() override;
    void endFrame() override;
    std::uint8_t decide() override;

  private:
    /// Hands a value to the statistics (they read through a pointer).
    float sample_ = 0;
    Stats accInStats_{kStatsBlock};
    Stats stepInStats_{kStatsBlock};
    float meanNormRing_[kRingLength] = {};
    float stepsRing_[kRingLength] = {};
    float rangeRing_[kRingLength] = {};
};

} // namespace vnx::activity
