#include "shakeDetector/ShakeDetectorRecordFamily.h"

VNX_DEFINE_RECORD_FAMILY(ShakeDetector, vnx::ShakeDetectorRecords)
