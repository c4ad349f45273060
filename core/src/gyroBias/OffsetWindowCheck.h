#pragma once

#include <cstdint>

#include "calibration/FixedPointCal.h"
#include "gyroBias/rsChannels.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

/// Decides whether a window of samples may set or move the zero-rate offset.
/// A steady turn keeps the rate as quiet as an offset does, so the rate
/// alone cannot tell them apart; two tests can:
/// - the accelerometer: a rate about an axis away from gravity turns the
///   measured gravity, far beyond accelerometer noise for any turn worth the
///   name, while an offset leaves it where it is;
/// - plausibility: the window's mean rate must be an offset the calibration
///   allows (within a bound from its zero-rate terms) and, once an estimate
///   exists, lie within that estimate's uncertainty along gravity, the one
///   direction the accelerometer cannot see.
/// A turn about gravity slower than that uncertainty stays indistinguishable
/// from an offset. Keeps the last window of accelerations (0.16 s); fixed
/// storage, no allocation.
class OffsetWindowCheck
{
  public:
    using Vector3 = qdVectorFixed::Vector3;

    static constexpr int kMaxEntries = 35;

    void init(const FixedPointCal::Output& cal, std::uint8_t rsChannels = kRsChannelsDefault);
    /// Forgets the stored accelerations (after a pause in the samples).
    void reset();
    /// Stores the acceleration of one sample (m/s^2).
    void process(const Vector3& acc);

    /// Gravity has turned within the window by more than the accelerometer
    /// noise explains.
    bool turning() const { return turning_; }
    /// Largest offset the calibration allows on any axis (rad/s).
    Fp32 calibrationBound() const { return calibrationBound_; }
    /// Whether the window rates m (per active channel) may be an offset: the
    /// device did not turn, every channel lies within the calibration bound,
    /// and, with a reference estimate, the part of m - reference along
    /// gravity is at most `bound`. Without `requireStill` a turning device
    /// is judged by the last two tests alone.
    bool plausible(const Vector3& m, const Vector3* reference, Fp32 bound, bool requireStill = true) const;
    /// Unit direction of the window's mean acceleration; zero when unknown.
    const Vector3& gravity() const { return gravity_; }

  private:
    void evaluate();

    Vector3 ring_[kMaxEntries];
    int length_ = 1;   ///< entries of a full window
    int filled_ = 0;   ///< entries stored since the last reset, at most length_
    int position_ = 0; ///< next entry to write
    Fp32 accNoise_;    ///< declared, m/s^2, largest axis
    Fp32 calibrationBound_;
    std::uint8_t rsChannels_ = kRsChannelsDefault;
    bool turning_ = false;
    Vector3 gravity_{};
};

} // namespace vnx
