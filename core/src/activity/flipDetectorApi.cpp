#include "activity/flipDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/FlipDetector.h"

using vnx::activity::DetectorFamily;
using vnx::activity::FlipDetector;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_FlipDetector, FlipDetector)

int vnx_FlipDetector_getFlipDefaults(vnx_FlipDetectorConfig_s* config)
{
    return DetectorFamily<FlipDetector>::getDefaults(config);
}

} // extern "C"
