#pragma once

// Recursive least-squares sphere fit of accelerometer samples: finds the
// offset o for which every still sample a satisfies |a - o|^2 = g^2. The
// model is linear in x = (o.x, o.y, o.z, |o|^2):
//
//     -2 a.x o.x - 2 a.y o.y - 2 a.z o.z + |o|^2 = g^2 - |a|^2
//
// so each sample adds one row to normal equations P x = b, with exponential
// forgetting so that the fit follows the last few dozen samples.

#include "log/DefaultLogger.h"
#include "numerics/qdVectorFixed.h"

namespace vnx {

class ThreeAxesOffset
{
    VNX_LOG_DEFAULT(ThreeAxesOffset);

  public:
    /// Standard gravity, m/s^2: the radius of the sphere.
    static constexpr float kGravity = 9.80665f;
    /// Samples with |a|^2 above (2g)^2 are overloads and are not fitted.
    static constexpr float kOverloadNormSquared = 384.68155f;
    /// Accuracy of a usable fit and of an unusable one.
    static constexpr float kUsableAccuracy = 0.1f;
    static constexpr float kUnusableAccuracy = 127.99f;

    struct Output
    {
        qdVectorFixed::Vector3 offset; ///< m/s^2; zero when the fit is unusable
        Fp32 accuracy;                 ///< kUsableAccuracy or kUnusableAccuracy
    };

    /// The accumulated normal equations.
    struct State
    {
        /// Upper triangle of the symmetric 4x4 information matrix, row by row:
        /// P00 P01 P02 P03 P11 P12 P13 P22 P23 P33. P33 is the effective
        /// number of samples (it tends to 1 / (1 - lambda) = 20).
        float P[10];
        float b[4];
    };

    ThreeAxesOffset() = default;
    ThreeAxesOffset(const ThreeAxesOffset&) = delete;
    ThreeAxesOffset& operator=(const ThreeAxesOffset&) = delete;

    /// Forgets every sample.
    void init();

    /// Fits one sample a (m/s^2). An overload sets out->accuracy to
    /// kUnusableAccuracy, leaves out->offset alone and changes nothing else.
    void process(const qdVectorFixed::Vector3& a, Output* out);

    const State& state() const { return state_; }

  private:
    State state_{};
};

} // namespace vnx
