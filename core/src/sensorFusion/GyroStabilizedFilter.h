#pragma once

// Low-pass filter for a slowly varying 3-vector (accelerometer or
// magnetometer) that runs in the frame carried by the gyroscope integrator's
// quaternion, so device rotation does not smear the filtered vector. Besides
// the filtered vector it reports a noise level (the spread of the filtered
// vector over a window of 64 to 128 samples) and a residual (how far the
// vector departs from its slow average, rising at once and falling slowly).

#include <cstdint>

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningRange.h"

namespace vnx {

class GyroStabilizedFilter
{
    VNX_LOG_DEFAULT(GyroStabilizedFilter);

  public:
    /// Only the spread of a window is read, so no mean or variance is kept.
    using Stats = RunningRange<Fp32, 3, 9>;

    /// A gap longer than this many sampling periods restarts the filter.
    static constexpr std::uint32_t kRestartPeriods = 30;
    /// Samples after which a window's spread is trusted as the noise level.
    static constexpr std::uint32_t kWindowSamples = 64;

    GyroStabilizedFilter();
    ~GyroStabilizedFilter();
    GyroStabilizedFilter(const GyroStabilizedFilter&) = delete;
    GyroStabilizedFilter& operator=(const GyroStabilizedFilter&) = delete;

    /// Arms a restart at the next sample and empties both noise windows.
    void init();

    /// One sample. alpha in (-1, 0]: each of the two cascaded first-order
    /// stages keeps -alpha of its state (callers use -h / (h + T) for a group
    /// delay 2h at a step T). q carries v into the integration frame.
    void process(std::uint32_t intervalUs, std::uint32_t periodUs, Fp32 alpha,
                 const qdVectorFixed::Vector3& v, const qdVectorFixed::Quaternion& q,
                 qdVectorFixed::Vector3& filtered, Fp32& noiseLevel, Fp32& residual);

    /// Angle (rad) between v carried by q and the reference direction.
    Fp32 getAccGyroFrameDeviation(const qdVectorFixed::Vector3& v, const qdVectorFixed::Quaternion& q) const;
    /// Makes v carried by q (normalised) the reference direction.
    void resetAccGyroFrameRef(const qdVectorFixed::Vector3& v, const qdVectorFixed::Quaternion& q);

    /// Largest per-axis spread of the window that completed last.
    Fp32 getLastWindowNoise() const { return lastWindowNoise_; }

  private:
    void restartAt(const qdVectorFixed::Vector3& u);
    Fp32 noiseRange() const;
    void changeOverWindows();
    Fp32 updateResidual(const qdVectorFixed::Vector3& u);

    std::uint8_t restart_ = 1;
    qdVectorFixed::Vector3 stage1_{}; // integration frame
    qdVectorFixed::Vector3 stage2_{}; // integration frame
    Stats statsA_;
    Stats statsB_;
    Fp32 lastWindowNoise_ = Fp32(0.0f);
    qdVectorFixed::vector<Fp32, 4> fastAverage_{}; // per axis, plus a slow x in element 3
    qdVectorFixed::vector<Fp32, 2> slowAverage_{}; // y and z
    Fp32 residualLevel_ = Fp32(0.0f);
    qdVectorFixed::Vector3 reference_{Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)}; // unit, integration frame
};

} // namespace vnx
