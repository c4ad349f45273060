#include "activity/pickUpDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/PickUpDetector.h"

using vnx::activity::DetectorFamily;
using vnx::activity::PickUpDetector;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_PickUpDetector, PickUpDetector)

int vnx_PickUpDetector_getPickUpDefaults(vnx_PickUpDetector_Config_s* config)
{
    return DetectorFamily<PickUpDetector>::getDefaults(config);
}

} // extern "C"
