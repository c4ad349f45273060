#include "activity/tiltDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/TiltDetector.h"

using vnx::activity::DetectorFamily;
using vnx::activity::TiltDetector;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_TiltDetector, TiltDetector)

int vnx_TiltDetector_getConfigDefaults(vnx_TiltDetectorConfig_s* config)
{
    return DetectorFamily<TiltDetector>::getDefaults(config);
}

} // extern "C"
