#include "activity/DetectorBase.h"

#include "common/NodeManager.h"
#include "common/statusCode.h"

namespace vnx::activity {

DetectorBase::~DetectorBase()
{
    // The instance's node (or the placeholder its logger waits under) goes
    // with everything below it, so no node outlives its object.
    NodeManager::getInstance().removeNode(static_cast<const void*>(this));
}

int DetectorBase::enableOutputPeriodsAndDeriveInputPeriods(std::int32_t outputPeriod,
                                                           vnx_Mobile_VirtualSensorPeriods_s& periods)
{
    if (outputPeriod < 1) {
        enabled_ = false;
        onDisabled();
        return VNX_STATUS_SUCCESS;
    }
    const bool wasEnabled = enabled_;
    enabled_ = true;
    std::int32_t& requested = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    requested = askedPeriod(requested);
    onEnabled(wasEnabled);
    return VNX_STATUS_SUCCESS;
}

std::int32_t DetectorBase::askedPeriod(std::int32_t requestedUs) const
{
    const bool takeMaximum = requestedUs == 0 || requestedUs > member_.maxPeriodUs ||
                             (requestedUs < 0 && member_.negativeRequestTakesMaximum);
    return takeMaximum ? member_.maxPeriodUs : requestedUs;
}

int DetectorBase::rejectPeriod()
{
    enabled_ = false;
    onPeriodRejected();
    return VNX_STATUS_ARRAY_SIZE_MISMATCH;
}

int DetectorBase::setInputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods)
{
    if (!enabled_)
        return VNX_STATUS_SUCCESS;
    const std::int32_t periodUs = periods.periodUs[VNX_MOBILE_ACCELEROMETER];
    // A negative period is refused like 0: every sample count derived from
    // it would be negative.
    if (!acceptsPeriod(periodUs))
        return rejectPeriod();
    const std::int32_t previous = periodUs_;
    periodUs_ = periodUs;
    onInputPeriod(periodUs, previous);
    return VNX_STATUS_SUCCESS;
}

int DetectorBase::getEffectiveOutputPeriods(const vnx_Mobile_VirtualSensorPeriods_s& periods,
                                            std::int32_t& outputPeriod) const
{
    outputPeriod = enabled_ ? periods.periodUs[VNX_MOBILE_ACCELEROMETER] : 0;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx::activity
