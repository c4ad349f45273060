#include "gyroBias/ZroOnTable.h"

namespace vnx::zroFromStable {

namespace {

using Fp = OnTable::Fp;
using Vec3 = OnTable::Vec3;

constexpr float kUnknown = 2147483648.0f;

bool confirms(std::uint32_t onTableUs)
{
    return onTableUs >= OnTable::kConfirmedUs;
}

} // namespace

OnTable::OnTable()
    : rsDecimator_("vnx_core_ZroFromStable"), accDecimator_("vnx_core_ZroFromStable"),
      // Band widths in noise deviations; the magnetometer's are wider because
      // its normalised noise estimate is coarser.
      rs_(5.0f, 1.5f), acc_(5.0f, 1.5f), mag_(8.0f, 2.5f), windowMeans_("vnx_core_ZroFromStable")
{
    held_.clear();
}

void OnTable::init(Fp rsSigma0, Fp accSigma0, Fp magSigma0, const dcdZroTemperatureFit_s* fit)
{
    rs_.init(rsSigma0);
    acc_.init(accSigma0);
    mag_.init(magSigma0);
    fit_.init(fit);
    held_.clear();
    rsDecimator_.reset();
    accDecimator_.reset();
    rsDecimation_ = 1;
    accDecimation_ = 1;
}

void OnTable::updatePeriods(std::uint8_t rsDecimation, std::uint8_t accDecimation)
{
    rsDecimation_ = rsDecimation;
    accDecimation_ = accDecimation;
    rs_.restart();
    acc_.restart();
    mag_.restart();
}

bool OnTable::decimate(RunningMean<Fp, 3>& decimator, std::uint8_t factor, const Vec3& x, Vec3* out)
{
    if (factor <= 1) {
        *out = x;
        return true;
    }
    decimator.addSample(x);
    if (decimator.count < factor)
        return false;
    *out = decimator.mean;
    decimator.reset();
    return true;
}

std::uint32_t OnTable::onTableTimeUs(bool magPresent) const
{
    std::uint32_t t = rs_.onTableTimeUs() < acc_.onTableTimeUs() ? rs_.onTableTimeUs() : acc_.onTableTimeUs();
    if (magPresent && mag_.onTableTimeUs() < t)
        t = mag_.onTableTimeUs();
    return t;
}

void OnTable::reportRs(std::uint32_t timeUs, bool magPresent, const Vec3& rate, Fp temperature)
{
    Vec3 x;
    if (!decimate(rsDecimator_, rsDecimation_, rate, &x))
        return;

    const bool othersConfirm =
        confirms(acc_.onTableTimeUs()) && (!magPresent || confirms(mag_.onTableTimeUs()));
    OnTableSensor::Output_s out;
    rs_.reportSample(timeUs, x, othersConfirm, &out);

    if (out.state == OnTableSensor::kStateRestarted) {
        windowMeans_.reset();
        held_.clear();
        return;
    }
    if (out.state != OnTableSensor::kStateWindowComplete)
        return;

    windowMeans_.addSample(out.mean);
    Vec3 meanVariance; // variance of the window mean
    for (int i = 0; i < 3; ++i)
        meanVariance[i] = out.variance[i] / Fp(static_cast<float>(out.count));

    if (othersConfirm && rs_.onTableTimeUs() > 1000000) {
        // The table is confirmed: what was held back joins the fit first.
        if (!(held_.variance[0] == Fp(kUnknown))) {
            fit_.addStableSample(temperature, held_.mean, held_.variance);
            held_.clear();
        }
        fit_.addStableSample(temperature, out.mean, meanVariance);
    } else {
        held_.fuse(out.mean, meanVariance);
    }
}

void OnTable::reportAcc(std::uint32_t timeUs, bool magPresent, const Vec3& accG, Fp accStep)
{
    Vec3 x;
    if (!decimate(accDecimator_, accDecimation_, accG, &x))
        return;

    const bool othersConfirm =
        confirms(rs_.onTableTimeUs()) && (!magPresent || confirms(mag_.onTableTimeUs()));
    OnTableSensor::Output_s out;
    acc_.reportSample(timeUs, x, othersConfirm, &out);
    if (out.state != OnTableSensor::kStateNothing) {
        // Quantisation of the accelerometer: no window can be quieter than
        // its resolution.
        acc_.setMinNoise(accStep);
    }
}

void OnTable::reportMag(std::uint32_t timeUs, const Vec3& v)
{
    const bool othersConfirm =
        confirms(rs_.onTableTimeUs() < acc_.onTableTimeUs() ? rs_.onTableTimeUs() : acc_.onTableTimeUs());
    OnTableSensor::Output_s out;
    mag_.reportSample(timeUs, v, othersConfirm, &out);
}

void OnTable::updateMagNoise(Fp level)
{
    mag_.setMinNoise(level);
}

} // namespace vnx::zroFromStable
