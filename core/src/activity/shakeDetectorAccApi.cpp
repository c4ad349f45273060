#include "activity/shakeDetectorAccApi.h"

#include "activity/DetectorFamily.h"
#include "activity/ShakeDetectorAcc.h"

using vnx::activity::DetectorFamily;
using vnx::activity::ShakeDetectorAcc;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_ShakeDetectorAcc, ShakeDetectorAcc)

int vnx_ShakeDetectorAcc_getShakeDefaults(vnx_ShakeDetectorAccConfig_s* config)
{
    return DetectorFamily<ShakeDetectorAcc>::getDefaults(config);
}

} // extern "C"
