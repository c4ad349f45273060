#include "activity/pocketDetectorApi.h"

#include "activity/DetectorFamily.h"
#include "activity/PocketDetector.h"

using vnx::activity::PocketDetector;
using Family = vnx::activity::DetectorFamily<PocketDetector>;

extern "C" {

VNX_DETECTOR_EXPORT_LIFECYCLE(vnx_PocketDetector, PocketDetector)
VNX_DETECTOR_EXPORT_PROCESS(vnx_PocketDetector, PocketDetector)

int vnx_PocketDetector_getConfigDefaults(vnx_PocketDetectorConfig_s* config)
{
    return Family::getDefaults(config);
}

int vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(vnx_PocketDetector_Handle handle,
                                                                int32_t outputPeriod,
                                                                vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                                int32_t* lightPeriodUs,
                                                                int32_t* proximityPeriodUs)
{
    PocketDetector* detector = Family::instance(handle);
    if (detector == nullptr || periods == nullptr || lightPeriodUs == nullptr || proximityPeriodUs == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return detector->enableOutputPeriodsAndDeriveInputPeriods(outputPeriod, *periods, *lightPeriodUs,
                                                              *proximityPeriodUs);
}

int vnx_PocketDetector_setInputPeriods(vnx_PocketDetector_Handle handle,
                                       const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                       int32_t lightPeriodUs, int32_t proximityPeriodUs)
{
    PocketDetector* detector = Family::instance(handle);
    if (detector == nullptr || periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return detector->setInputPeriods(*periods, lightPeriodUs, proximityPeriodUs);
}

int vnx_PocketDetector_getEffectiveOutputPeriods(vnx_PocketDetector_Handle handle,
                                                 const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                 int32_t /*lightPeriodUs*/, int32_t /*proximityPeriodUs*/,
                                                 int32_t* outputPeriod)
{
    return Family::getEffectiveOutputPeriods(handle, periods, outputPeriod);
}

int vnx_PocketDetector_reportLight(vnx_PocketDetector_Handle handle, int32_t light, uint32_t /*timestampUs*/)
{
    PocketDetector* detector = Family::instance(handle);
    if (detector == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    detector->reportLight(light);
    return VNX_STATUS_SUCCESS;
}

int vnx_PocketDetector_reportProximity(vnx_PocketDetector_Handle handle, int16_t distance,
                                       uint32_t /*timestampUs*/)
{
    PocketDetector* detector = Family::instance(handle);
    if (detector == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    detector->reportProximity(distance);
    return VNX_STATUS_SUCCESS;
}

} // extern "C"
