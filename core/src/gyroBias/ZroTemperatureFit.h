#pragma once

// Learns, per gyroscope axis, the zero-rate offset (ZRO) as a straight line
// over temperature from windows taken while the device lies on a table, and
// answers for a temperature with a ZRO and the variance of that answer.
//
// Samples are first fused into an open block 1 degC wide; when the
// temperature leaves the block, the block closes into the line fit (weighted
// by its inverse variance) and stays available as the previous block. An
// answer comes from whichever of the open block, the previous block and the
// fit (with the open block added) has the smallest variance at the asked
// temperature.

#include <cstdint>

#include "gyroBias/dcdZroTemperatureFit.h"
#include "log/DefaultLogger.h"
#include "numerics/FloatingPoint.h"
#include "numerics/qdVectorFixed.h"
#include "statistics/WeightedStats.h"

namespace vnx {

class ZroTemperatureFit
{
    VNX_LOG_DEFAULT(ZroTemperatureFit);

  public:
    using Fp = FloatingPoint<float>;
    using Vec3 = qdVectorFixed::vector<Fp, 3>;

    /// One straight-line fit z = a*T + b over weighted (T, z) samples.
    /// A plain value: the fit-plus-current channels are copies of the fit.
    class ZroChannel
    {
      public:
        ZroChannel();

        void addStableSample(Fp temperature, Fp zro, Fp weight);
        /// a * T + b.
        Fp getZro(Fp temperature) const { return slope_ * temperature + intercept_; }
        /// Variance of getZro at T; 2^31 while the fit spans 6 degC or less or
        /// holds a total weight of 1000 or less.
        Fp getMseAdjusted(Fp temperature) const;
        /// Solves for slope and intercept, the mean square error and the
        /// temperature range the fit is trusted in.
        void updateCachedOutputs();
        /// Restores the sums of `axis` and the temperature statistics.
        void init(const dcdZroTemperatureFit_s& dcd, int axis);
        /// Writes the sums of `axis` (words 0-17).
        void getDcd(dcdZroTemperatureFit_s* dcd, int axis) const;
        /// Writes the temperature statistics (words 18-21).
        void getTemperatureDcd(dcdZroTemperatureFit_s* dcd) const;

        float sumWeights() const { return normal_[3]; }
        /// Multiplies every sum by factor (old data fades, sums stay finite).
        void scaleSums(float factor);

      private:
        // Normal equations [S_TT S_T; S_T S_w] [a; b] = [S_Tz; S_z], the
        // matrix column by column (S_T stored twice).
        float normal_[4];
        float rhs_[2];
        float sumZZ_;
        Fp slope_;
        Fp intercept_;
        Fp mse_;
        WeightedStats<Fp, 1, 15> temperature_;
        Fp lowTemperature_;
        Fp highTemperature_;
    };

    /// Inverse-variance fusion of (mean, variance) pairs, per axis.
    struct MeanVarAccumulator
    {
        Vec3 mean;
        Vec3 variance; // 2^31 = nothing fused yet

        void clear();
        void fuse(const Vec3& m, const Vec3& v);
    };

    /// A block: per-axis means and variances at one temperature.
    struct WeightedStatsResult
    {
        Vec3 means;
        Vec3 variances;
        Fp temperature; // -2^31 = no block

        /// Copies the accumulator's pairs; the temperature stays.
        void update(const MeanVarAccumulator& acc);
        /// Block variance at T: grows with the squared distance beyond 1 degC
        /// from the block temperature; 2^31 without a block.
        Vec3 getMseAdjusted(Fp temperature) const;
    };

    ZroTemperatureFit();

    ZroTemperatureFit(const ZroTemperatureFit&) = delete;
    ZroTemperatureFit& operator=(const ZroTemperatureFit&) = delete;

    /// Restores from a stored fit, or starts empty when dcd is null.
    void init(const dcdZroTemperatureFit_s* dcd);
    /// m: mean ZRO of an on-table window (rad/s); v: variance of that mean.
    void addStableSample(Fp temperature, const Vec3& m, const Vec3& v);
    void getZro(Fp temperature, Vec3* zro, Vec3* variance) const;
    void getDcd(dcdZroTemperatureFit_s* dcd) const;

    static Fp zroVarToWeight(Fp variance) { return Fp(1.0f) / variance; }
    static Fp weightToZroVar(Fp weight) { return Fp(1.0f) / weight; }

  private:
    void closeOpenBlock(Fp temperature);
    void checkConsistency();
    void updateRlsPlusCurrent();

    ZroChannel fit_[3];
    ZroChannel fitPlusCurrent_[3];
    MeanVarAccumulator openAccumulator_;
    WeightedStatsResult open_;
    WeightedStatsResult previous_;
};

} // namespace vnx
