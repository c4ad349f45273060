#include "activity/EventDetector.h"

#include "common/statusCode.h"

namespace vnx::activity {

bool EventDetector::beginProcess(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out,
                                 std::uint8_t& flag) const
{
    flag = 0;
    out.timeUs = in.timeUs;
    out.event = eventWordAtStart(out.event);
    return isEnabled() && (in.validBits & VNX_MOBILE_BIT_ACCELEROMETER) != 0;
}

int EventDetector::process(const vnx_Mobile_Output_s& in, vnx_Detector_Output_s& out, std::uint8_t& flag)
{
    if (!beginProcess(in, out, flag))
        return VNX_STATUS_ASYNC_PENDING;
    return processSample(in, out);
}

} // namespace vnx::activity
