#include "moduleFactory/ModuleFactoryFor.h"
#include "shakeDetector/ShakeDetector.h"
#include "shakeDetector/ShakeDetectorRecordFamily.h"

VNX_DEFINE_RECORD_FAMILY(ShakeDetector, vnx::ShakeDetectorRecords)
VNX_DEFINE_MODULE_FACTORY(ShakeDetector, ::vnx::ShakeDetector, vnx::ShakeDetectorRecords)
