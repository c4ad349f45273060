// The straight-line fit of one gyroscope axis of ZroTemperatureFit.

#include <cmath>

#include "gyroBias/ZroTemperatureFit.h"
#include "numerics/matrixSolversLdl.h"

namespace vnx {

namespace {

using Fp = ZroTemperatureFit::Fp;

constexpr float kUnknown = 2147483648.0f;   // 2^31
constexpr float kWeightCap = 9232892928.0f; // total weight the sums fade at
constexpr float kMinTrustedSpanDegC = 6.0f; // narrower fits are not used
constexpr float kMinTrustedWeight = 1000.0f;

// Sums of weights and M2 of the temperature statistics pass 2^31 in normal
// use (weights reach 1.8e9 per block): they enter the scalar unsaturated, so
// the cap holds and a stored fit comes back as it was written.
Fp unsaturated(float value)
{
    return Fp::raw(value);
}

} // namespace

ZroTemperatureFit::ZroChannel::ZroChannel()
    : normal_{0.0f, 0.0f, 0.0f, 0.0f}, rhs_{0.0f, 0.0f}, sumZZ_(0.0f), mse_(kUnknown),
      temperature_(1, unsaturated(kWeightCap))
{
}

void ZroTemperatureFit::ZroChannel::addStableSample(Fp temperature, Fp zro, Fp weight)
{
    const float t = temperature.value();
    const float z = zro.value();
    const float w = weight.value();
    normal_[0] += t * t * w;
    normal_[1] += t * w;
    normal_[2] += t * w;
    normal_[3] += w;
    rhs_[0] += t * z * w;
    rhs_[1] += z * w;
    sumZZ_ += z * z * w;
    temperature_.addSample({temperature}, weight);
    updateCachedOutputs();
}

void ZroTemperatureFit::ZroChannel::updateCachedOutputs()
{
    float x[2];
    Matrix_2x2_2x1_ldl(normal_, rhs_, x, nullptr);
    // Saturating conversion: a singular system (one temperature only) reads
    // as unknown instead of infinite.
    slope_ = Fp(x[0]);
    intercept_ = Fp(x[1]);
    mse_ = Fp((sumZZ_ - (slope_.value() * rhs_[0] + intercept_.value() * rhs_[1])) / normal_[3]);

    // Trusted range: two weighted standard deviations around the mean
    // temperature of the samples.
    Fp halfWidth(0.0f);
    if (temperature_.count > 0)
        halfWidth = Fp(2.0f) * sqrt(temperature_.variance(0));
    lowTemperature_ = temperature_.mean[0] - halfWidth;
    highTemperature_ = temperature_.mean[0] + halfWidth;
}

Fp ZroTemperatureFit::ZroChannel::getMseAdjusted(Fp temperature) const
{
    if (!(highTemperature_ - lowTemperature_ > Fp(kMinTrustedSpanDegC)) || !(normal_[3] > kMinTrustedWeight))
        return Fp(kUnknown);
    const Fp inverseWeight = Fp(1.0f) / Fp(normal_[3]);
    const Fp r = sqrt(inverseWeight * inverseWeight + mse_ * mse_);
    if (lowTemperature_ <= temperature && temperature <= highTemperature_)
        return r;
    // Outside the sampled range the error grows linearly with the distance
    // from its middle.
    const Fp mid = (lowTemperature_ + highTemperature_) * Fp(0.5f);
    return abs(r * (mid - temperature) / (mid - lowTemperature_));
}

void ZroTemperatureFit::ZroChannel::init(const dcdZroTemperatureFit_s& dcd, int axis)
{
    normal_[0] = dcd.normal[axis][0];
    normal_[1] = dcd.normal[axis][1];
    normal_[2] = dcd.normal[axis][1];
    normal_[3] = dcd.normal[axis][2];
    rhs_[0] = dcd.rhs[axis][0];
    rhs_[1] = dcd.rhs[axis][1];
    sumZZ_ = dcd.sumZZ[axis];
    temperature_.count = dcd.tempCount;
    temperature_.sumWeights = unsaturated(dcd.tempSumWeights);
    temperature_.mean[0] = Fp(dcd.tempMean);
    temperature_.M2[0] = unsaturated(dcd.tempM2);
    temperature_.min[0] = temperature_.mean[0];
    temperature_.max[0] = temperature_.mean[0];
    updateCachedOutputs();
}

void ZroTemperatureFit::ZroChannel::getDcd(dcdZroTemperatureFit_s* dcd, int axis) const
{
    dcd->normal[axis][0] = normal_[0];
    dcd->normal[axis][1] = normal_[1];
    dcd->normal[axis][2] = normal_[3];
    dcd->rhs[axis][0] = rhs_[0];
    dcd->rhs[axis][1] = rhs_[1];
    dcd->sumZZ[axis] = sumZZ_;
}

void ZroTemperatureFit::ZroChannel::getTemperatureDcd(dcdZroTemperatureFit_s* dcd) const
{
    dcd->tempSumWeights = temperature_.sumWeights.value();
    dcd->tempMean = temperature_.mean[0].value();
    dcd->tempM2 = temperature_.M2[0].value();
    dcd->tempCount = temperature_.count;
}

void ZroTemperatureFit::ZroChannel::scaleSums(float factor)
{
    for (float& s : normal_)
        s *= factor;
    for (float& s : rhs_)
        s *= factor;
    sumZZ_ *= factor;
}

} // namespace vnx
