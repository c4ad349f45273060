#include "gyroBias/OffsetWindowCheck.h"

#include <cmath>

#include "gyroBias/windowRounding.h"

namespace vnx {

namespace {

constexpr float kWindowS = 0.16f;
// The calibration allows offsets up to this many times its initial offset
// uncertainty.
constexpr float kCalibrationSigmas = 3.0f;
// Gravity has turned when the angle between the means of the older and the
// newer half of the window exceeds this many standard deviations of noise.
constexpr float kTurnSigmas = 4.0f;
// Fewer samples than this tell nothing about a turn.
constexpr int kMinSamples = 4;
// A mean acceleration below this (m/s^2) gives no direction of gravity.
constexpr float kMinGravity = 4.9f;

} // namespace

void OffsetWindowCheck::init(const FixedPointCal::Output& cal, std::uint8_t rsChannels)
{
    rsChannels_ = clampRsChannels(rsChannels);
    const std::int32_t n = roundWindowLength(cal.rate * kWindowS);
    length_ = n < kMinSamples ? kMinSamples : (n > kMaxEntries ? kMaxEntries : n);
    accNoise_ = cal.accNoise.infNorm();
    const Fp32 sigmaBound = Fp32(kCalibrationSigmas) * abs(Fp32(cal.zroInitSigma));
    calibrationBound_ = max(sigmaBound, abs(Fp32(cal.zroMinTerm)));
    reset();
}

void OffsetWindowCheck::reset()
{
    filled_ = 0;
    position_ = 0;
    turning_ = false;
    gravity_ = Vector3{};
}

void OffsetWindowCheck::process(const Vector3& acc)
{
    ring_[position_] = acc;
    position_ = position_ + 1 == length_ ? 0 : position_ + 1;
    if (filled_ < length_)
        ++filled_;
    evaluate();
}

void OffsetWindowCheck::evaluate()
{
    const int n = filled_;
    const int oldest = n < length_ ? 0 : position_;
    const int half = n / 2;
    // Means of the older and the newer half (the middle entry of an odd
    // count belongs to neither), and the noise from successive differences,
    // which a steady turn raises far less than it raises the spread.
    double older[3] = {0.0, 0.0, 0.0};
    double newer[3] = {0.0, 0.0, 0.0};
    double diffSq = 0.0;
    int index = oldest;
    const Vector3* previous = nullptr;
    for (int k = 0; k < n; ++k) {
        const Vector3& a = ring_[index];
        for (int i = 0; i < 3; ++i) {
            const double v = a[i].value();
            if (k < half)
                older[i] += v;
            else if (k >= n - half)
                newer[i] += v;
            if (previous != nullptr) {
                const double d = v - (*previous)[i].value();
                diffSq += d * d;
            }
        }
        previous = &a;
        index = index + 1 == length_ ? 0 : index + 1;
    }

    double sum[3];
    for (int i = 0; i < 3; ++i)
        sum[i] = older[i] + newer[i];
    const double sumNorm = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    const double meanNorm = half > 0 ? sumNorm / (2.0 * half) : 0.0;
    if (meanNorm < kMinGravity || n < kMinSamples) {
        gravity_ = Vector3{};
        // Without a direction of gravity the accelerometer cannot vouch for
        // a device at rest.
        turning_ = n >= kMinSamples;
        return;
    }
    gravity_ = Vector3{Fp32(static_cast<float>(sum[0] / sumNorm)), Fp32(static_cast<float>(sum[1] / sumNorm)),
                       Fp32(static_cast<float>(sum[2] / sumNorm))};

    const double c[3] = {older[1] * newer[2] - older[2] * newer[1], older[2] * newer[0] - older[0] * newer[2],
                         older[0] * newer[1] - older[1] * newer[0]};
    const double d = older[0] * newer[0] + older[1] * newer[1] + older[2] * newer[2];
    const double angle = std::atan2(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), d);

    const double declared = static_cast<double>(accNoise_.value());
    const double measuredSq = diffSq / (2.0 * 3.0 * static_cast<double>(n - 1));
    const double noise = std::sqrt(std::fmax(declared * declared, measuredSq));
    // Each half mean carries noise / sqrt(half) per axis; their difference
    // across the direction of gravity, as an angle:
    const double angleNoise = noise * std::sqrt(2.0 / half) / meanNorm;
    turning_ = angle > kTurnSigmas * angleNoise;
}

bool OffsetWindowCheck::plausible(const Vector3& m, const Vector3* reference, Fp32 bound,
                                  bool requireStill) const
{
    if (turning_ && requireStill)
        return false;
    Vector3 difference{};
    for (int c = 0; c < rsChannels_; ++c) {
        if (!(abs(m[c]) <= calibrationBound_))
            return false;
        difference[rsAxisOfChannel(c, rsChannels_)] =
            reference != nullptr ? m[c] - (*reference)[c] : Fp32(0.0f);
    }
    if (reference == nullptr || gravity_ == Vector3{})
        return reference == nullptr;
    return !(abs(dot(difference, gravity_)) > bound);
}

} // namespace vnx
