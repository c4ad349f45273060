#include "activity/LdaClassifier.h"

#include <cmath>

#include "common/NodeManager.h"
#include "common/statusCode.h"

namespace vnx::activity {

namespace {

constexpr std::int32_t kDesiredPeriodUs = 40000;
constexpr float kLowestScore = -2147483648.0f;

} // namespace

LdaClassifier::LdaClassifier(int featureCount, int fineCount, const std::uint8_t* coarseStarts,
                             int coarseCount, int ringLength, Model model, std::int32_t maximumPeriodUs)
    : featureCount_(featureCount), fineCount_(fineCount), coarseCount_(coarseCount), ringLength_(ringLength),
      model_(model), maximumPeriodUs_(maximumPeriodUs)
{
    for (int g = 0; g < coarseCount; ++g)
        coarseStarts_[g] = coarseStarts[g];
    coarseStarts_[coarseCount] = static_cast<std::uint8_t>(fineCount);
}

LdaClassifier::~LdaClassifier()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int LdaClassifier::init(const vnx_ActivityClassifier_Lda_Config_s* config)
{
    // The window indexes the rings: it must fit them, and 0 would leave the
    // ring index without a modulus.
    if (config == nullptr || config->windowLength == 0 || config->windowLength > ringLength_)
        return VNX_STATUS_INVALID_CONFIG;
    windowLength_ = config->windowLength;
    resetAllStatistics();
    return VNX_STATUS_SUCCESS;
}

void LdaClassifier::applyInputPeriod(bool maximum, std::int32_t& periodUs) const
{
    const std::int32_t limit = maximum ? maximumPeriodUs_ : kDesiredPeriodUs;
    if (periodUs > limit)
        periodUs = limit;
}

void LdaClassifier::changePeriod(std::int32_t periodUs)
{
    if (!enabled_)
        return;
    periodUs_ = periodUs;
    resetAllStatistics();
}

void LdaClassifier::resetAllStatistics()
{
    steps_ = 0;
    ringIndex_ = 0;
    for (float& f : features_)
        f = 0;
    for (float& c : coarse_)
        c = 0;
    class_ = kNoDecision;
    framesSeen_ = 0;
    resetKindStatistics();
}

float LdaClassifier::logLikelihood(const float* features, const float* mean, const float* upperTriangle,
                                   float prefactor, int featureCount)
{
    float e[kMaxFeatures];
    for (int i = 0; i < featureCount; ++i)
        e[i] = features[i] - mean[i];
    float d2 = 0;
    int t = 0;
    for (int i = 0; i < featureCount; ++i) {
        for (int j = i; j < featureCount; ++j, ++t) {
            // Off-diagonal terms stand for both halves of the symmetric matrix.
            const float term = upperTriangle[t] * e[i] * e[j];
            d2 += i == j ? term : 2.0f * term;
        }
    }
    return prefactor - 0.5f * d2;
}

void LdaClassifier::CalculateFineProbabilities()
{
    const int triangle = featureCount_ * (featureCount_ + 1) / 2;
    float score[kMaxFineClasses];
    float largest = kLowestScore;
    for (int k = 0; k < fineCount_; ++k) {
        score[k] = logLikelihood(features_, model_.mean + k * featureCount_,
                                 model_.upperTriangle + k * triangle, model_.prefactor[k], featureCount_);
        if (score[k] > largest)
            largest = score[k];
    }
    double sum = 0;
    for (int k = 0; k < fineCount_; ++k) {
        fine_[k] = std::exp(static_cast<double>(score[k]) - static_cast<double>(largest));
        sum += fine_[k];
    }
    for (int k = 0; k < fineCount_; ++k)
        fine_[k] /= sum;
}

void LdaClassifier::CalculateCoarseProbabilities()
{
    for (int g = 0; g < coarseCount_; ++g) {
        double sum = 0;
        for (int k = coarseStarts_[g]; k < coarseStarts_[g + 1]; ++k)
            sum += fine_[k];
        coarse_[g] = static_cast<float>(sum);
    }
    if (framesSeen_ < windowLength_) {
        ++framesSeen_;
        class_ = kNoDecision;
        for (float& c : coarse_)
            c = 0;
        return;
    }
    class_ = decide();
}

void LdaClassifier::generateOutput(LdaClassifier_Output_s* out)
{
    if (!enabled_) {
        out->classCode = kNoDecision;
        return;
    }
    storeFrame();
    ringIndex_ = static_cast<std::uint8_t>((ringIndex_ + 1) % windowLength_);
    computeFeatures();
    CalculateFineProbabilities();
    CalculateCoarseProbabilities();
    out->classCode = CompileOutput();
    steps_ = 0;
    endFrame();
}

} // namespace vnx::activity
