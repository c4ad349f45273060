#include "activity/significantMotionApi.h"

#include "activity/DetectorFamily.h"
#include "activity/SignificantMotion.h"

using vnx::activity::SignificantMotion;
using Family = vnx::activity::DetectorFamily<SignificantMotion>;

extern "C" {

VNX_DETECTOR_EXPORT_LIFECYCLE(vnx_SignificantMotion, SignificantMotion)
VNX_DETECTOR_EXPORT_PERIODS(vnx_SignificantMotion, SignificantMotion)

int vnx_SignificantMotion_getSigMoDefaults(vnx_SignificantMotionConfig_s* config)
{
    return Family::getDefaults(config);
}

int vnx_SignificantMotion_process(vnx_SignificantMotion_Handle handle, const vnx_Mobile_Output_s* in,
                                  const vnx_StepDetector_Output_s* steps, vnx_Detector_Output_s* out,
                                  uint8_t* flag)
{
    SignificantMotion* detector = Family::instance(handle);
    if (detector == nullptr || in == nullptr || steps == nullptr || out == nullptr || flag == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return detector->process(*in, *steps, *out, *flag);
}

} // extern "C"
