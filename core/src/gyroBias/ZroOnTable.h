#pragma once

// On-table part of the zero-rate-offset estimation: three on-table detectors
// (rotation sensor, accelerometer, magnetometer) decide when the device lies
// on a table. Rotation windows confirmed by all sensors teach the
// temperature fit; windows before the confirmation are held in one fused
// estimate that joins the fit once the table is confirmed.

#include <cstdint>

#include "gyroBias/ZroOnTableSensor.h"
#include "gyroBias/ZroTemperatureFit.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningMean.h"

namespace vnx::zroFromStable {

class OnTable
{
  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;

    /// On-table time after which a sensor confirms the table.
    static constexpr std::uint32_t kConfirmedUs = 1000001;

    OnTable();

    OnTable(const OnTable&) = delete;
    OnTable& operator=(const OnTable&) = delete;

    /// Base deviations of the three sensors (rad/s, g, normalised field) and
    /// the stored fit (or none). Drops the held estimate and the decimation.
    void init(Fp rsSigma0, Fp accSigma0, Fp magSigma0, const dcdZroTemperatureFit_s* fit);
    /// Decimation factors (1 = none) and a restart of every sensor window.
    void updatePeriods(std::uint8_t rsDecimation, std::uint8_t accDecimation);

    void reportRs(std::uint32_t timeUs, bool magPresent, const Vec3& rate, Fp temperature);
    /// accStep: effective accelerometer resolution in g (noise floor).
    void reportAcc(std::uint32_t timeUs, bool magPresent, const Vec3& accG, Fp accStep);
    /// v: normalised field relative to its reference.
    void reportMag(std::uint32_t timeUs, const Vec3& v);
    /// Raises the magnetometer noise floor to level.
    void updateMagNoise(Fp level);

    /// Smallest on-table time of the rotation sensor, the accelerometer and,
    /// with magPresent, the magnetometer.
    std::uint32_t onTableTimeUs(bool magPresent) const;
    /// Mean of the rotation window means since the last restart (rad/s).
    Vec3 windowMeansMean() const { return windowMeans_.mean; }

    const ZroTemperatureFit& fit() const { return fit_; }
    void getDcd(dcdZroTemperatureFit_s* dcd) const { fit_.getDcd(dcd); }

  private:
    /// Averages `factor` samples; true with the average on the last of them.
    static bool decimate(RunningMean<Fp, 3>& decimator, std::uint8_t factor, const Vec3& x, Vec3* out);

    std::uint8_t rsDecimation_ = 1;
    std::uint8_t accDecimation_ = 1;
    RunningMean<Fp, 3> rsDecimator_;
    RunningMean<Fp, 3> accDecimator_;
    OnTableSensor rs_;
    OnTableSensor acc_;
    OnTableSensor mag_;
    RunningMean<Fp, 3> windowMeans_;
    ZroTemperatureFit fit_;
    ZroTemperatureFit::MeanVarAccumulator held_; // variance 2^31 = none
};

} // namespace vnx::zroFromStable
