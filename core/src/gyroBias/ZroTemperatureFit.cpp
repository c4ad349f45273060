#include "gyroBias/ZroTemperatureFit.h"

namespace vnx {

namespace {

using Fp = ZroTemperatureFit::Fp;
using Vec3 = ZroTemperatureFit::Vec3;

constexpr float kUnknown = 2147483648.0f;        // 2^31: no variance known
constexpr float kNoTemperature = -2147483648.0f; // -2^31: no block
constexpr float kBlockWidthDegC = 1.0f;
constexpr float kWeightCap = 9232892928.0f;
// Variances below this are not trusted; they enter with a fixed weight.
constexpr float kMinUsableVariance = 5.415421e-10f;
constexpr float kMaxWeight = 1846578560.0f;
// Growth of a block's variance per squared degC away from its temperature.
constexpr float kVarianceGrowthPerDegC2[3] = {5.7380156e-8f, 1.0169882e-7f, 2.3238989e-9f};

Fp blockWeight(Fp variance)
{
    return variance > Fp(kMinUsableVariance) ? ZroTemperatureFit::zroVarToWeight(variance) : Fp(kMaxWeight);
}

bool isEmpty(const ZroTemperatureFit::MeanVarAccumulator& acc)
{
    return acc.variance[0] == Fp(kUnknown);
}

} // namespace

void ZroTemperatureFit::MeanVarAccumulator::clear()
{
    mean.fill(Fp(0.0f));
    variance.fill(Fp(kUnknown));
}

void ZroTemperatureFit::MeanVarAccumulator::fuse(const Vec3& m, const Vec3& v)
{
    for (int i = 0; i < 3; ++i) {
        // Inverse-variance weighting: k is the share of the old value.
        const Fp sum = v[i] + variance[i];
        const Fp k = sum == Fp(0.0f) ? Fp(0.0f) : v[i] / sum;
        const Fp keep = Fp(1.0f) - k;
        mean[i] = m[i] * keep + mean[i] * k;
        variance[i] = v[i] * keep * keep + variance[i] * k * k;
    }
}

void ZroTemperatureFit::WeightedStatsResult::update(const MeanVarAccumulator& acc)
{
    means = acc.mean;
    variances = acc.variance;
}

Vec3 ZroTemperatureFit::WeightedStatsResult::getMseAdjusted(Fp t) const
{
    Vec3 out;
    if (temperature == Fp(kNoTemperature)) {
        out.fill(Fp(kUnknown));
        return out;
    }
    Fp d = abs(temperature - t);
    if (!(d > Fp(kBlockWidthDegC)))
        d = Fp(0.0f);
    for (int i = 0; i < 3; ++i)
        out[i] = variances[i] + Fp(kVarianceGrowthPerDegC2[i]) * d * d;
    return out;
}

ZroTemperatureFit::ZroTemperatureFit()
{
    init(nullptr);
}

void ZroTemperatureFit::init(const dcdZroTemperatureFit_s* dcd)
{
    if (dcd == nullptr) {
        for (int i = 0; i < 3; ++i) {
            fit_[i] = ZroChannel();
            fitPlusCurrent_[i] = fit_[i];
        }
        openAccumulator_.clear();
        open_.update(openAccumulator_);
        open_.temperature = Fp(kNoTemperature);
        previous_ = open_;
        return;
    }
    for (int i = 0; i < 3; ++i)
        fit_[i].init(*dcd, i);
    for (int i = 0; i < 3; ++i) {
        openAccumulator_.mean[i] = Fp(dcd->blockMean[i]);
        openAccumulator_.variance[i] = Fp(dcd->blockVariance[i]);
    }
    open_.update(openAccumulator_);
    open_.temperature = Fp(dcd->blockTemperature);
    previous_ = open_;
    updateRlsPlusCurrent();
}

void ZroTemperatureFit::addStableSample(Fp temperature, const Vec3& m, const Vec3& v)
{
    if (isEmpty(openAccumulator_)) {
        openAccumulator_.clear();
        open_.temperature = temperature;
    }
    if (abs(open_.temperature - temperature) > Fp(kBlockWidthDegC))
        closeOpenBlock(temperature);
    openAccumulator_.fuse(m, v);
    open_.update(openAccumulator_);
    updateRlsPlusCurrent();
}

void ZroTemperatureFit::closeOpenBlock(Fp temperature)
{
    for (int i = 0; i < 3; ++i)
        fit_[i].addStableSample(open_.temperature, openAccumulator_.mean[i],
                                blockWeight(openAccumulator_.variance[i]));
    checkConsistency();
    previous_ = open_;
    openAccumulator_.clear();
    open_.update(openAccumulator_);
    open_.temperature = temperature;
}

void ZroTemperatureFit::checkConsistency()
{
    for (ZroChannel& channel : fit_)
        if (channel.sumWeights() >= kWeightCap)
            channel.scaleSums(kWeightCap / channel.sumWeights());
}

void ZroTemperatureFit::updateRlsPlusCurrent()
{
    for (int i = 0; i < 3; ++i) {
        fitPlusCurrent_[i] = fit_[i];
        // An empty open block has nothing to add (its temperature is unset).
        if (!isEmpty(openAccumulator_))
            fitPlusCurrent_[i].addStableSample(open_.temperature, openAccumulator_.mean[i],
                                               blockWeight(openAccumulator_.variance[i]));
    }
}

void ZroTemperatureFit::getZro(Fp temperature, Vec3* zro, Vec3* variance) const
{
    const Vec3 openVar = open_.getMseAdjusted(temperature);
    const Vec3 previousVar = previous_.getMseAdjusted(temperature);
    for (int i = 0; i < 3; ++i) {
        const Fp a = openVar[i];
        const Fp b = previousVar[i];
        const Fp f = fitPlusCurrent_[i].getMseAdjusted(temperature);
        Fp chosen;
        if (a <= f && a <= b) {
            (*zro)[i] = open_.means[i];
            chosen = a;
        } else if (f <= a && f <= b) {
            (*zro)[i] = fitPlusCurrent_[i].getZro(temperature);
            chosen = f;
        } else {
            (*zro)[i] = previous_.means[i];
            chosen = b;
        }
        (*variance)[i] = chosen < Fp(kUnknown) ? chosen : Fp(kUnknown);
    }
}

void ZroTemperatureFit::getDcd(dcdZroTemperatureFit_s* dcd) const
{
    // Keep the block that is better at the current temperature.
    const Fp openBadness = open_.getMseAdjusted(open_.temperature).infNorm();
    const Fp previousBadness = previous_.getMseAdjusted(open_.temperature).infNorm();
    const WeightedStatsResult& saved = previousBadness >= openBadness ? open_ : previous_;
    for (int i = 0; i < 3; ++i) {
        fit_[i].getDcd(dcd, i);
        dcd->blockMean[i] = saved.means[i].value();
        dcd->blockVariance[i] = saved.variances[i].value();
    }
    dcd->blockTemperature = saved.temperature.value();
    fit_[2].getTemperatureDcd(dcd);
}

} // namespace vnx
