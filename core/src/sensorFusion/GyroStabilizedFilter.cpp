#include "sensorFusion/GyroStabilizedFilter.h"

#include <algorithm>
#include <cmath>

#include "common/NodeManager.h"
#include "sensorFusion/frameRotation.h"

namespace vnx {

namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

constexpr const char* kStatsBlock = "vnx_core_GyroStabilizedFilter";
// Noise level reported until a window holds enough samples to measure it.
constexpr float kUnknownNoise = 10.0f;
// Residual level after a restart.
constexpr float kRestartResidual = 0.06f;

Fp32 largestRange(const GyroStabilizedFilter::Stats& s)
{
    return max(max(s.range(0), s.range(1)), s.range(2));
}

} // namespace

GyroStabilizedFilter::GyroStabilizedFilter() : statsA_(kStatsBlock), statsB_(kStatsBlock)
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &statsA_, NodeInterface::NODE_SUBNODE, "stats1");
    nodes.addNode(this, &statsB_, NodeInterface::NODE_SUBNODE, "stats2");
}

GyroStabilizedFilter::~GyroStabilizedFilter()
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.removeNode(static_cast<const void*>(&statsB_));
    nodes.removeNode(static_cast<const void*>(&statsA_));
}

void GyroStabilizedFilter::init()
{
    restart_ = 1;
    statsA_.reset();
    statsB_.reset();
}

void GyroStabilizedFilter::restartAt(const Vector3& u)
{
    stage1_ = u;
    stage2_ = u;
    fastAverage_ = {u[0], u[1], u[2], u[0]};
    slowAverage_ = {u[1], u[2]};
    residualLevel_ = Fp32(kRestartResidual);
    restart_ = 0;
    // A zero vector has no direction: fall back to "down".
    if (u.infNorm() < Fp32(kSmallValueF)) {
        reference_ = {Fp32(0.0f), Fp32(0.0f), Fp32(-1.0f)};
    } else {
        reference_ = sensorFusion::normalizedSaturated(u);
    }
}

Fp32 GyroStabilizedFilter::noiseRange() const
{
    // The freshest window that has run long enough; a half-full first window
    // is better than nothing.
    if (statsA_.count >= kWindowSamples)
        return largestRange(statsA_);
    if (statsB_.count >= kWindowSamples)
        return largestRange(statsB_);
    if (statsA_.count > kWindowSamples / 2 - 1)
        return largestRange(statsA_);
    return Fp32(kUnknownNoise);
}

void GyroStabilizedFilter::changeOverWindows()
{
    // The two windows run offset by 64 samples, each to 128: when one reaches
    // 64 the other completes and restarts.
    if (statsA_.count == kWindowSamples) {
        lastWindowNoise_ = largestRange(statsB_);
        statsB_.reset();
    } else if (statsB_.count == kWindowSamples) {
        lastWindowNoise_ = largestRange(statsA_);
        statsA_.reset();
    }
}

Fp32 GyroStabilizedFilter::updateResidual(const Vector3& u)
{
    const Fp32 fastKeep(0.926f), fastTake(0.074f), slowKeep(0.996f), slowTake(0.004000008f);
    for (int i = 0; i < 3; ++i)
        fastAverage_[i] = fastAverage_[i] * fastKeep + fastTake * u[i];
    fastAverage_[3] = fastAverage_[3] * slowKeep + slowTake * u[0];
    slowAverage_[0] = slowAverage_[0] * slowKeep + slowTake * u[1];
    slowAverage_[1] = slowAverage_[1] * slowKeep + slowTake * u[2];

    const Fp32 r = sensorFusion::saturated(
        max(max(abs(fastAverage_[0] - fastAverage_[3]), abs(fastAverage_[1] - slowAverage_[0])),
            abs(fastAverage_[2] - slowAverage_[1])));
    // The level rises at once and decays slowly.
    if (residualLevel_ > r) {
        residualLevel_ = Fp32(0.9615f) * residualLevel_ + Fp32(0.03850001f) * r;
    } else {
        residualLevel_ = r;
    }
    return residualLevel_;
}

void GyroStabilizedFilter::process(std::uint32_t intervalUs, std::uint32_t periodUs, Fp32 alpha,
                                   const Vector3& v, const Quaternion& q, Vector3& filtered, Fp32& noiseLevel,
                                   Fp32& residual)
{
    const Vector3 u = sensorFusion::rotateByQuaternion(q, v);

    // Widened so that no period can wrap the product.
    const std::uint64_t restartGapUs = std::uint64_t{kRestartPeriods} * periodUs;
    if (restartGapUs < intervalUs || restart_ != 0)
        restartAt(u);

    const Fp32 keep = -alpha;
    const Fp32 take = Fp32(1.0f) + alpha;
    for (int i = 0; i < 3; ++i) {
        stage1_[i] = take * u[i] + keep * stage1_[i];
        stage2_[i] = take * stage1_[i] + keep * stage2_[i];
    }

    statsA_.addSample(stage2_);
    statsB_.addSample(stage2_);
    const Fp32 range = noiseRange();
    changeOverWindows();
    noiseLevel = sensorFusion::saturated(range);

    filtered = sensorFusion::rotateByConjugate(q, stage2_);
    residual = updateResidual(u);
}

Fp32 GyroStabilizedFilter::getAccGyroFrameDeviation(const Vector3& v, const Quaternion& q) const
{
    const Vector3 u = sensorFusion::normalizedSaturated(sensorFusion::rotateByQuaternion(q, v));
    const float c = std::clamp(dot(u, reference_).value(), -1.0f, 1.0f);
    return Fp32(std::acos(c));
}

void GyroStabilizedFilter::resetAccGyroFrameRef(const Vector3& v, const Quaternion& q)
{
    reference_ = sensorFusion::normalizedSaturated(sensorFusion::rotateByQuaternion(q, v));
}

} // namespace vnx
