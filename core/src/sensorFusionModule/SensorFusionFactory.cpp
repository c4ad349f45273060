#include "moduleFactory/ModuleFactoryFor.h"
#include "sensorFusionModule/SensorFusion.h"
#include "sensorFusionModule/SensorFusionRecordFamily.h"

VNX_DEFINE_MODULE_FACTORY(SensorFusion, ::SensorFusion, vnx::SensorFusionRecordFamily)
