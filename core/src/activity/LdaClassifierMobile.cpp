#include "activity/LdaClassifierMobile.h"

#include <cmath>

#include "activity/ldaModelTables.h"
#include "common/NodeManager.h"

namespace vnx::activity {

namespace {

constexpr float kGravityMs2 = 9.8f;
constexpr std::uint8_t kCoarseStarts[3] = {0, 4, 12};
constexpr int kRunning = 0, kWalking = 1, kNotWalking = 2;

} // namespace

LdaClassifierMobile::LdaClassifierMobile()
    : LdaClassifier(lda::kPhoneFeatures, lda::kPhoneClasses, kCoarseStarts, 3, kRingLength,
                    {&lda::phoneMean_[0][0], &lda::phoneInvCovUpperTriangle_[0][0], lda::phonePrefactor_},
                    44444)
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &accInStats_, NodeInterface::NODE_SUBNODE, "AccInStats");
    nodes.addNode(this, &stepInStats_, NodeInterface::NODE_SUBNODE, "StepInStats");
}

void LdaClassifierMobile::reportNewMotion(const vnx_Mobile_Output_s* in)
{
    const float* a = in->accelerometer;
    sample_ = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
    accInStats_.addSample(&sample_);
}

void LdaClassifierMobile::reportNewStep(const vnx_StepDetector_Output_s* step)
{
    steps_ = static_cast<std::uint8_t>(steps_ + (step->rawStepFlags & 0xFFu));
    sample_ = step->rawPosition;
    stepInStats_.addSample(&sample_);
}

void LdaClassifierMobile::storeFrame()
{
    meanNormRing_[ringIndex_] = accInStats_.count > 0 ? accInStats_.mean[0] : 0.0f;
    stepsRing_[ringIndex_] = static_cast<float>(steps_);
    rangeRing_[ringIndex_] = stepInStats_.count > 0 ? stepInStats_.range(0) : 0.0f;
}

void LdaClassifierMobile::computeFeatures()
{
    const auto n = static_cast<float>(windowLength_);
    features_[0] = ringSum(meanNormRing_) / n - kGravityMs2;
    features_[1] = ringSum(rangeRing_) / n;
    features_[2] = ringSum(stepsRing_);
}

void LdaClassifierMobile::resetKindStatistics()
{
    accInStats_.reset();
    stepInStats_.reset();
    for (int k = 0; k < kRingLength; ++k)
        meanNormRing_[k] = stepsRing_[k] = rangeRing_[k] = 0;
}

void LdaClassifierMobile::endFrame()
{
    accInStats_.reset();
    stepInStats_.reset();
}

std::uint8_t LdaClassifierMobile::decide()
{
    if (features_[2] < 2.0f) {
        coarse_[kNotWalking] = 1.0f;
        return kNotWalking;
    }
    const float run = coarse_[kRunning], walk = coarse_[kWalking], still = coarse_[kNotWalking];
    if (still > run && still > walk)
        return kNotWalking;
    return walk > run ? kWalking : kRunning;
}

} // namespace vnx::activity
