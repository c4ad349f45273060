#include "activity/sleepDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/SleepDetector.h"

using vnx::activity::DetectorFamily;
using vnx::activity::SleepDetector;

extern "C" {

VNX_DETECTOR_EXPORT_ALL(vnx_SleepDetector, SleepDetector)

int vnx_SleepDetector_getDefaults(vnx_SleepDetectorConfig_s* config)
{
    return DetectorFamily<SleepDetector>::getDefaults(config);
}

} // extern "C"
