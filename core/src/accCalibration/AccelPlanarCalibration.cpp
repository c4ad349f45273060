#include "accCalibration/AccelPlanarCalibration.h"

#include <cmath>

#include "common/NodeManager.h"
#include "numerics/fastAtan2.h"

namespace vnx {

namespace {

using qdVectorFixed::Quaternion;
using qdVectorFixed::Vector3;

constexpr const char* kBlock = "vnx_core_AccelPlanarCalibration";

constexpr float kDefaultPeriodS = 0.01f;
constexpr float kDefaultFilterCoef = -0.9090909f; // at the default period
constexpr std::uint16_t kDefaultRate = 100;       // samples per window at the default period
// Each of the two low-pass stages has this time constant, s.
constexpr float kFilterTimeConstantS = 0.1f;
constexpr float kMaxRate = 65535.0f;

// A window is quiet while the yaw stays within 3 degrees (rad) and every
// filtered axis within 0.2 m/s^2.
constexpr float kMaxYawRange = 0.05235988f;
constexpr float kMaxNoise = 0.2f;
// The device lies roughly flat (face up or down) when the filtered z axis
// sees more than a quarter of g, m/s^2.
constexpr float kMinFlatZ = 2.45f;
// Quaternion dot products: cos 5 deg, two windows within 10 degrees count
// as one orientation; sin 3.75 deg, a relative turn within 7.5 degrees of a
// half turn.
constexpr float kSameOrientationDot = 0.9961947f;
constexpr float kHalfTurnDot = 0.065403126f;
// The turn axis must lie within 30 degrees of the device z axis (cos 30).
constexpr float kMinAxisZ = 0.8660254f;
// Windows more than ten minutes apart (us) are not paired: the offset may
// have drifted with temperature meanwhile.
constexpr std::uint32_t kMaxPairAgeUs = 600000000u;
// A stored offset enters with a small weight so the first pair of this run
// moves it most of the way; the cap keeps later pairs effective.
constexpr float kDcdWeight = 0.1f;
constexpr float kWeightCap = 15.9f;

Fp32 largestRange(const AccelPlanarCalibration::AccStats& s)
{
    return max(max(abs(s.range(0)), abs(s.range(1))), abs(s.range(2)));
}

} // namespace

AccelPlanarCalibration::AccelPlanarCalibration() : accStats_(kBlock, 3), yawStats_(kBlock, 1)
{
    for (WindowRecord& r : records_)
        r = {0u, Quaternion::identity(), Vector3::zeros(), Fp32(0.0f)};
    NodeManager& nodes = NodeManager::getInstance();
    nodes.addNode(this, &accStats_, NodeInterface::NODE_SUBNODE, "AccRunningStats");
    nodes.addNode(this, &yawStats_, NodeInterface::NODE_SUBNODE, "YawRunningStats");
}

AccelPlanarCalibration::~AccelPlanarCalibration()
{
    NodeManager& nodes = NodeManager::getInstance();
    nodes.removeNode(static_cast<const void*>(&yawStats_));
    nodes.removeNode(static_cast<const void*>(&accStats_));
}

void AccelPlanarCalibration::init(const FixedPointCal::Output& /*cal*/, const dcdAccOffsetCal_s* dcd)
{
    rate_ = kDefaultRate;
    periodS_ = Fp32(kDefaultPeriodS);
    filterCoef_ = Fp32(kDefaultFilterCoef);
    weightCap_ = Fp32(kWeightCap);
    totalWeight_ = Fp32(0.0f);
    firstEstimate_ = false;
    restartFilter_ = true;
    zgo_ = Vector3::zeros();
    if (dcd != nullptr) {
        const Vector3 stored{Fp32(dcd->offset[0]), Fp32(dcd->offset[1]), Fp32(dcd->offset[2])};
        // All zeros is what a device that never calibrated stores.
        if (!(stored == Vector3::zeros()))
            merge(stored, Fp32(kDcdWeight));
    }
    restartWindow();
    writeIndex_ = 0;
    recordCount_ = 0;
}

void AccelPlanarCalibration::updatePeriod(Fp32 periodS)
{
    // A zero, negative or undefined period would break the filter.
    if (!(periodS > Fp32(0.0f)))
        return;
    periodS_ = periodS;
    filterCoef_ = -Fp32(kFilterTimeConstantS) / (periodS + Fp32(kFilterTimeConstantS));
    const float rate = std::floor(1.0f / periodS.value());
    const std::uint16_t newRate = static_cast<std::uint16_t>(rate < kMaxRate ? rate : kMaxRate);
    // A window counted at the old rate could otherwise run past the new
    // length and never complete.
    if (newRate != rate_)
        restartWindow();
    rate_ = newRate;
}

void AccelPlanarCalibration::process(std::uint32_t time, Fp32 periodS, const Quaternion& q, const Vector3& a)
{
    if (!(periodS == periodS_))
        updatePeriod(periodS);

    const Vector3 f = lowPass(a);
    updateRunningStats(q, f);
    const Fp32 noise = largestRange(accStats_);

    if (yawStats_.range(0) > Fp32(kMaxYawRange)) {
        // The device turns: start over, filters included, once it rests.
        restartWindow();
        restartFilter_ = true;
        return;
    }
    if (noise > Fp32(kMaxNoise)) {
        restartWindow();
        return;
    }
    if (yawStats_.count != rate_)
        return;

    if (abs(f[2]) > Fp32(kMinFlatZ) && storeWindow({time, q, accStats_.mean, noise}))
        pairNewestWindow();
    restartWindow();
}

Vector3 AccelPlanarCalibration::lowPass(const Vector3& a)
{
    if (restartFilter_) {
        stage1_ = a;
        stage2_ = a;
        restartFilter_ = false;
    }
    const Fp32 c = filterCoef_;
    const Fp32 gain = Fp32(1.0f) + c;
    for (int i = 0; i < 3; ++i) {
        stage1_[i] = gain * a[i] - c * stage1_[i];
        stage2_[i] = gain * stage1_[i] - c * stage2_[i];
    }
    return stage2_;
}

void AccelPlanarCalibration::updateRunningStats(const Quaternion& q, const Vector3& f)
{
    const float w = q.w().value();
    const float x = q.x().value();
    const float y = q.y().value();
    const float z = q.z().value();
    Fp32 yaw(atan2fMerrowind(2.0f * (w * z + x * y), 2.0f * (w * w + x * x) - 1.0f));
    // Keep the window's yaw continuous across +-pi.
    if (yawStats_.count > 0)
        yaw = unwrapYaw(yaw, yawStats_.mean[0]);
    yawStats_.addSample(qdVectorFixed::vector<Fp32, 1>{yaw});
    accStats_.addSample(Vector3{Fp32(f[0].value()), Fp32(f[1].value()), Fp32(f[2].value())});
}

void AccelPlanarCalibration::restartWindow()
{
    accStats_.reset();
    yawStats_.reset();
}

bool AccelPlanarCalibration::storeWindow(const WindowRecord& window)
{
    const auto append = [&] {
        records_[writeIndex_] = window;
        writeIndex_ = (writeIndex_ + 1) % kRecords;
        if (recordCount_ < kRecords)
            ++recordCount_;
    };
    if (recordCount_ == 0) {
        // Nothing to pair with yet.
        append();
        return false;
    }
    WindowRecord& newest = records_[slotBack(0)];
    if (dot(newest.q, window.q) >= Fp32(kSameOrientationDot)) {
        // The same orientation again: keep the quieter window.
        if (newest.noise <= window.noise)
            return false;
        newest = window;
        return true;
    }
    append();
    return true;
}

void AccelPlanarCalibration::pairNewestWindow()
{
    const WindowRecord& newest = records_[slotBack(0)];
    for (std::uint32_t k = 1; k < recordCount_; ++k) {
        const WindowRecord& older = records_[slotBack(k)];
        if (newest.time - older.time > kMaxPairAgeUs)
            break;
        const Fp32 d = dot(newest.q, older.q);
        if (!(abs(d) < Fp32(kHalfTurnDot)))
            continue;
        Vector3 axis = (newest.q.conj() * older.q).vec();
        const Fp32 length = axis.norm();
        if (!(length > Fp32(0.0f)))
            continue;
        axis /= length;
        if (!(abs(axis[2]) >= Fp32(kMinAxisZ)))
            continue;
        const Vector3 candidate = calculateZgo(older.mean, newest.mean, axis);
        merge(candidate, computeWeight(Vector2{older.noise, newest.noise}, d));
    }
}

void AccelPlanarCalibration::merge(const Vector3& candidate, Fp32 w)
{
    if (firstEstimate_) {
        zgo_ = candidate;
        totalWeight_ = w;
        firstEstimate_ = false;
        return;
    }
    const Fp32 total = totalWeight_ + w;
    if (!(total > Fp32(0.0f)))
        return;
    // The share is taken first so that into an empty mean (W = 0) the
    // candidate enters exactly.
    const Fp32 share = w / total;
    for (int i = 0; i < 3; ++i)
        zgo_[i] = zgo_[i] + (candidate[i] - zgo_[i]) * share;
    totalWeight_ = min(total, weightCap_);
}

void AccelPlanarCalibration::applyCal(const Vector3& in, Vector3* out) const
{
    *out = in - zgo_;
}

void AccelPlanarCalibration::undoCal(const Vector3& in, Vector3* out) const
{
    *out = in + zgo_;
}

void AccelPlanarCalibration::getDcd(dcdAccOffsetCal_s* dcd) const
{
    if (dcd == nullptr)
        return;
    for (int i = 0; i < 3; ++i)
        dcd->offset[i] = zgo_[i].value();
}

} // namespace vnx
