#include "accCalibration/AccelCalibration.h"

#include "common/NodeManager.h"

namespace vnx {

AccelCalibration::AccelCalibration()
{
    NodeManager::getInstance().addNode(this, &estimator_, NodeInterface::NODE_SUBNODE, "threeAxesOffset");
}

AccelCalibration::~AccelCalibration()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(&estimator_));
}

void AccelCalibration::init(const FixedPointCal::Output& /*cal*/, const dcdAccOffsetCal_s* dcd)
{
    estimator_.init();
    offset_ = qdVectorFixed::Vector3::zeros();
    last_ = qdVectorFixed::Vector3::zeros();
    calibrated_ = false;
    if (dcd != nullptr)
        offset_ = {Fp32(dcd->offset[0]), Fp32(dcd->offset[1]), Fp32(dcd->offset[2])};
}

void AccelCalibration::process(Fp32 /*periodS*/, bool learn, const qdVectorFixed::Vector3& /*unused*/,
                               const qdVectorFixed::Vector3& a)
{
    if (!learn)
        return;
    if ((last_ - a).normSquared() < Fp32(kMinChangeSquared))
        return;
    last_ = a;

    ThreeAxesOffset::Output estimate{qdVectorFixed::Vector3::zeros(), Fp32(0.0f)};
    estimator_.process(a, &estimate);
    if (!acceptsEstimate(estimate))
        return;
    offset_ = estimate.offset;
    calibrated_ = true;
}

bool AccelCalibration::acceptsEstimate(const ThreeAxesOffset::Output& estimate)
{
    if (!(estimate.accuracy <= Fp32(ThreeAxesOffset::kUsableAccuracy)))
        return false;
    const qdVectorFixed::Vector3& o = estimate.offset;
    const Fp32 smallest = min(min(o[0], o[1]), o[2]);
    const Fp32 largest = max(max(o[0], o[1]), o[2]);
    // -2^31 is the saturated "unknown" of a singular solve.
    if (smallest == Fp32(Fp32::kMin))
        return false;
    return max(abs(smallest), abs(largest)) < Fp32(kMaxOffset);
}

void AccelCalibration::applyCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const
{
    *out = in - offset_;
}

void AccelCalibration::undoCal(const qdVectorFixed::Vector3& in, qdVectorFixed::Vector3* out) const
{
    *out = in + offset_;
}

void AccelCalibration::getDcd(dcdAccOffsetCal_s* dcd) const
{
    if (dcd == nullptr)
        return;
    for (int i = 0; i < 3; ++i)
        dcd->offset[i] = offset_[i].value();
}

} // namespace vnx
