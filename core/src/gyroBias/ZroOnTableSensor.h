#pragma once

// On-table detector of one sensor for the zero-rate-offset estimation. It cuts
// the sensor's stream into windows of 0.25 s; a window whose mean stays
// within a narrow band of the reference, with no sample beyond a wide band,
// counts as "on the table" and adds its length to the on-table time. The
// bands follow the sensor's own noise, learned from the quietest windows.

#include <cstdint>

#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/RunningMeanStd.h"

namespace vnx::zroFromStable {

class OnTableSensor
{
  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;

    static constexpr std::uint32_t kStateNothing = 0;
    static constexpr std::uint32_t kStateRestarted = 1;
    static constexpr std::uint32_t kStateWindowComplete = 2;

    struct Output_s
    {
        std::uint32_t state; // kState...
        Vec3 mean;           // of the completed window
        Vec3 variance;       // of its samples; 0 below two samples
        std::uint32_t count; // samples in the window
    };

    /// wideFactor, narrowFactor: band widths in noise deviations.
    OnTableSensor(float wideFactor, float narrowFactor);

    /// Sets the base deviation sigma0 and restarts the noise estimate from it.
    void init(Fp sigma0);
    /// Empties the window and restarts the noise estimate from sigma0.
    void restart();
    /// noiseClockRunning: the other sensors confirm the table, so the noise
    /// estimate may rise.
    void reportSample(std::uint32_t timeUs, const Vec3& x, bool noiseClockRunning, Output_s* out);
    /// Raises the noise floor of every axis below s to s.
    void setMinNoise(Fp s);

    /// Time spent on the table since the last restart (saturates).
    std::uint32_t onTableTimeUs() const { return onTableTimeUs_; }

  private:
    void restartWindow(std::uint32_t timeUs, Output_s* out);
    void updateNoise();
    void setBands(int axis, Fp sigma);
    void advanceNoiseClock(bool running, std::uint32_t dtUs);

    bool first_ = true;
    Fp sigma0_{};
    Fp wideFactor_;
    Fp narrowFactor_;
    RunningMeanStd<Fp, 3, 10> window_;
    Vec3 wide_{};
    Vec3 narrow_{};
    Vec3 reference_{};
    std::uint32_t startUs_ = 0;
    std::uint32_t onTableTimeUs_ = 0;
    Vec3 minVariance_{};
    std::uint32_t sinceNoiseUpdateUs_ = 0;
    std::uint32_t lastTimeUs_ = 0;
};

} // namespace vnx::zroFromStable
