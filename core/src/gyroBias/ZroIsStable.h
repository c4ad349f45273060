#pragma once

// Long-stillness part of the zero-rate-offset estimation: per sensor, a
// low-passed signal (1/3 s time constant) and the time of its last change
// beyond 0.02; and the mean rotation rate since the last change.

#include <cstdint>

#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningMean.h"

namespace vnx::zroFromStable {

class IsStableSensor
{
  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;

    void init();
    /// Sets the low-pass coefficient for a sensor period (s) and starts over.
    void setPeriod(Fp periodS);
    /// changed: the signal moved beyond the threshold (or a hold expired).
    void reportSample(std::uint32_t timeUs, const Vec3& x, bool* changed);

    std::uint32_t timeOfChangeUs() const { return timeOfChangeUs_; }

  private:
    bool first_ = true;
    Fp threshold_{0.02f};
    Fp alphaOld_{}; // share of the filtered value
    Fp alphaNew_{1.0f};
    Vec3 filtered_{};
    Vec3 reference_{};
    std::uint32_t timeOfChangeUs_ = 0;
    std::uint32_t holdUs_ = 0;
};

class IsStable
{
  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;

    IsStable();

    IsStable(const IsStable&) = delete;
    IsStable& operator=(const IsStable&) = delete;

    void init();
    void setPeriods(Fp rsPeriodS, Fp accPeriodS, Fp magPeriodS);

    void reportRs(std::uint32_t timeUs, const Vec3& rate);
    void reportAcc(std::uint32_t timeUs, const Vec3& accG);
    void reportMag(std::uint32_t timeUs, const Vec3& v);

    /// Time since the last change of any of the sensors (the magnetometer
    /// only with magPresent).
    std::uint32_t stillAgeUs(std::uint32_t timeUs, bool magPresent) const;
    /// Mean rotation rate since the last change, over at most about 60 s.
    Vec3 rsMean() const { return rsMean_.mean; }

  private:
    std::uint32_t sixtySecondCount_ = 0;
    IsStableSensor rs_;
    IsStableSensor acc_;
    IsStableSensor mag_;
    RunningMean<Fp, 3> rsMean_;
};

} // namespace vnx::zroFromStable
