#include "gyroBias/ZroIsStable.h"

#include <cmath>
#include <limits>

namespace vnx::zroFromStable {

namespace {

using Fp = IsStableSensor::Fp;

constexpr float kTimeConstantS = 0.333333f;
// After a change, the reference is refreshed once more when the hold ends,
// so that the slow tail of the low-pass does not count as a second change.
constexpr std::uint32_t kHoldUs = 666666;

/// x rounded to the nearest count, clamped to the 32-bit range.
std::uint32_t roundToCount(float x)
{
    const float r = std::round(x);
    if (!(r > 0.0f))
        return 0;
    if (r >= 4294967296.0f)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(r);
}

} // namespace

void IsStableSensor::init()
{
    threshold_ = Fp(0.02f);
    filtered_.fill(Fp(0.0f));
    holdUs_ = 0;
    first_ = true;
}

void IsStableSensor::setPeriod(Fp periodS)
{
    alphaOld_ = Fp(kTimeConstantS) / (periodS + Fp(kTimeConstantS));
    alphaNew_ = Fp(1.0f) - alphaOld_;
    first_ = true;
    holdUs_ = 0;
}

void IsStableSensor::reportSample(std::uint32_t timeUs, const Vec3& x, bool* changed)
{
    if (first_) {
        first_ = false;
        filtered_ = x;
        reference_ = x;
        timeOfChangeUs_ = timeUs;
    }
    bool beyond = false;
    for (int i = 0; i < 3; ++i) {
        filtered_[i] = alphaOld_ * filtered_[i] + alphaNew_ * x[i];
        if (abs(filtered_[i] - reference_[i]) > threshold_)
            beyond = true;
    }
    *changed = false;
    if (beyond) {
        holdUs_ = kHoldUs;
    } else if (holdUs_ != 0 && timeUs - timeOfChangeUs_ > holdUs_) {
        holdUs_ = 0;
    } else {
        return;
    }
    reference_ = filtered_;
    timeOfChangeUs_ = timeUs;
    *changed = true;
}

IsStable::IsStable() : rsMean_("vnx_core_ZroFromStable") {}

void IsStable::init()
{
    rs_.init();
    acc_.init();
    mag_.init();
    rsMean_.reset();
}

void IsStable::setPeriods(Fp rsPeriodS, Fp accPeriodS, Fp magPeriodS)
{
    rs_.setPeriod(rsPeriodS);
    acc_.setPeriod(accPeriodS);
    mag_.setPeriod(magPeriodS);
    sixtySecondCount_ = roundToCount(60.0f / rsPeriodS.value());
}

void IsStable::reportRs(std::uint32_t timeUs, const Vec3& rate)
{
    bool changed = false;
    rs_.reportSample(timeUs, rate, &changed);
    // Past 60 s the count halves, so the mean keeps following slow drift.
    if (rsMean_.count >= sixtySecondCount_)
        rsMean_.count = sixtySecondCount_ / 2;
    if (changed)
        rsMean_.restart(rate);
    else
        rsMean_.addSample(rate);
}

void IsStable::reportAcc(std::uint32_t timeUs, const Vec3& accG)
{
    bool changed = false;
    acc_.reportSample(timeUs, accG, &changed);
}

void IsStable::reportMag(std::uint32_t timeUs, const Vec3& v)
{
    bool changed = false;
    mag_.reportSample(timeUs, v, &changed);
}

std::uint32_t IsStable::stillAgeUs(std::uint32_t timeUs, bool magPresent) const
{
    std::uint32_t age = timeUs - rs_.timeOfChangeUs();
    const std::uint32_t accAge = timeUs - acc_.timeOfChangeUs();
    if (accAge < age)
        age = accAge;
    if (magPresent) {
        const std::uint32_t magAge = timeUs - mag_.timeOfChangeUs();
        if (magAge < age)
            age = magAge;
    }
    return age;
}

} // namespace vnx::zroFromStable
