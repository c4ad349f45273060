#include "activity/LdaClassifierWatch.h"

#include <cmath>

#include "activity/ldaModelTables.h"
#include "common/NodeManager.h"

namespace vnx::activity {

namespace {

constexpr float kGravityMs2 = 9.8f;
constexpr std::uint8_t kCoarseStarts[4] = {0, 4, 9, 14};

/// M2 / (count - 1); 0 below two samples (a frame of one sample has no spread).
float frameVariance(const LdaClassifier::Stats& stats)
{
    return stats.count >= 2 ? stats.variance(0) : 0.0f;
}

} // namespace

LdaClassifierWatch::LdaClassifierWatch()
    : LdaClassifier(lda::kWatchFeatures, lda::kWatchClasses, kCoarseStarts, 4, kRingLength,
                    {&lda::watchMean_[0][0], &lda::watchInvCovUpperTriangle_[0][0], lda::watchPrefactor_},
                    42105)
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &accInStats_, NodeInterface::NODE_SUBNODE, "AccInStats");
    nodes.addNode(this, &stepInStats_, NodeInterface::NODE_SUBNODE, "StepInStats");
    nodes.addNode(this, &rateStats_, NodeInterface::NODE_SUBNODE, "RateStats");
}

void LdaClassifierWatch::reportNewMotion(const vnx_Mobile_Output_s* in)
{
    const float* a = in->accelerometer;
    const float norm = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    sample_ = norm;
    accInStats_.addSample(&sample_);
    sample_ = (norm - previousNorm_) / (static_cast<float>(periodUs_) * 1e-6f);
    rateStats_.addSample(&sample_);
    previousNorm_ = norm;
}

void LdaClassifierWatch::reportNewStep(const vnx_StepDetector_Output_s* step)
{
    steps_ = static_cast<std::uint8_t>(steps_ + (step->rawStepFlags & 0xFFu));
    vibrations_ = static_cast<std::uint8_t>(vibrations_ + ((step->rawStepFlags >> 8) & 0xFFu));
}

void LdaClassifierWatch::storeFrame()
{
    const std::uint8_t i = ringIndex_;
    meanNormRing_[i] = accInStats_.count > 0 ? accInStats_.mean[0] : 0.0f;
    normVarianceRing_[i] = frameVariance(accInStats_);
    stepsRing_[i] = static_cast<float>(steps_);
    vibrationRing_[i] = static_cast<float>(vibrations_);
    rateMeanRing_[i] = rateStats_.count > 0 ? rateStats_.mean[0] : 0.0f;
    rateVarianceRing_[i] = frameVariance(rateStats_);
}

void LdaClassifierWatch::computeFeatures()
{
    const auto n = static_cast<float>(windowLength_);
    features_[0] = ringSum(rateMeanRing_) / n;
    features_[1] = std::sqrt(ringSum(rateVarianceRing_) / n);
    features_[2] = ringSum(meanNormRing_) / n - kGravityMs2;
    features_[3] = std::sqrt(ringSum(normVarianceRing_) * 0.25f);
    features_[4] = ringSum(vibrationRing_);
    features_[5] = ringSum(stepsRing_);
}

void LdaClassifierWatch::resetKindStatistics()
{
    vibrations_ = 0;
    previousNorm_ = 0;
    accInStats_.reset();
    stepInStats_.reset();
    rateStats_.reset();
    for (int k = 0; k < kRingLength; ++k)
        meanNormRing_[k] = normVarianceRing_[k] = stepsRing_[k] = vibrationRing_[k] = rateMeanRing_[k] =
            rateVarianceRing_[k] = 0;
}

void LdaClassifierWatch::endFrame()
{
    vibrations_ = 0;
    accInStats_.reset();
    stepInStats_.reset();
    rateStats_.reset();
}

std::uint8_t LdaClassifierWatch::decide()
{
    // The largest group; the lower one wins a tie.
    std::uint8_t best = 0;
    for (std::uint8_t g = 1; g < 4; ++g)
        if (coarse_[g] > coarse_[best])
            best = g;
    return best;
}

} // namespace vnx::activity
