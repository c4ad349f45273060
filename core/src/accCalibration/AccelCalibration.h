#pragma once

// Learns a constant accelerometer offset while the device is turned through
// different orientations. Samples that are far enough from the last fitted
// one feed a sphere fit (ThreeAxesOffset); an estimate becomes the offset in
// use only when the fit is well conditioned and the offset is plausible.
// The offset is stored in, and restored from, the accelerometer part of the
// dynamic calibration.

#include "accCalibration/ThreeAxesOffset.h"
#include "calibration/FixedPointCal.h"
#include "calibration/dcdData.h"
#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class AccelCalibration
{
    VNX_LOG_DEFAULT(AccelCalibration);

  public:
    /// Offsets of g/2 or more on any axis are no sensor offset but a fault
    /// or a misfit, m/s^2.
    static constexpr float kMaxOffset = 4.903325f;
    /// A sample must differ from the last fitted one by more than the chord
    /// of a 5 degree turn at one g ((2g sin 2.5 deg)^2, m^2/s^4): repeated
    /// samples of one orientation would otherwise crowd out the others.
    static constexpr float kMinChangeSquared = 0.7319147f;

    AccelCalibration();
    ~AccelCalibration();
    AccelCalibration(const AccelCalibration&) = delete;
    AccelCalibration& operator=(const AccelCalibration&) = delete;

    /// Starts afresh; a non-null `dcd` supplies the offset in use (the
    /// calibrated flag stays false until this run accepts an estimate). The
    /// SCD constants are not needed.
    void init(const FixedPointCal::Output& cal, const dcdAccOffsetCal_s* dcd);

    /// One sample a (m/s^2, offset not removed); learns only when `learn`.
    /// The period and the first vector are not used.
    void process(Fp32 periodS, bool learn, const qdVectorFixed::Vector3& unused,
                 const qdVectorFixed::Vector3& a);

    /// out = in - offset; out may be &in.
    void applyCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const;
    /// out = in + offset; out may be &in.
    void undoCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const;

    /// Writes the offset in use; nothing for null.
    void getDcd(dcdAccOffsetCal_s* dcd) const;

    /// The rule an estimate must pass to become the offset in use.
    static bool acceptsEstimate(const ThreeAxesOffset::Output& estimate);

    const qdVectorFixed::Vector3& offset() const { return offset_; }
    /// An estimate has been accepted since init.
    bool calibrated() const { return calibrated_; }
    const ThreeAxesOffset& estimator() const { return estimator_; }

  private:
    ThreeAxesOffset estimator_;
    qdVectorFixed::Vector3 offset_{}; // m/s^2
    qdVectorFixed::Vector3 last_{};   // last sample fitted, m/s^2
    bool calibrated_ = false;
};

} // namespace vnx
