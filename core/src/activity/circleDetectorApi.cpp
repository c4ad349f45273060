#include "activity/circleDetectorApi.h"

#include "activity/CircleDetector.h"
#include "activity/DetectorFamily.h"

using vnx::activity::CircleDetector;
using vnx::activity::DetectorFamily;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_CircleDetector, CircleDetector)

int vnx_CircleDetector_getConfigDefaults(vnx_CircleDetectorConfig_s* config)
{
    return DetectorFamily<CircleDetector>::getDefaults(config);
}

} // extern "C"
