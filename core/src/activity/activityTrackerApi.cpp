#include "activity/activityTrackerApi.h"

#include "activity/ActivityTracker.h"
#include "activity/activityTrackerPool.h"
#include "common/statusCode.h"
#include "moduleFactory/flatApiGuard.h"

using vnx::activity::ActivityTracker;
using vnx::activity::trackerPool;

namespace {

/// The tracker behind a live handle, else null.
ActivityTracker* tracker(vnx_ActivityTracker_Handle handle)
{
    auto* t = reinterpret_cast<ActivityTracker*>(handle);
    return t != nullptr && trackerPool().contains(t) ? t : nullptr;
}

} // namespace

extern "C" {

int vnx_ActivityTracker_getVersion(void)
{
    return ActivityTracker::kVersion;
}

int vnx_ActivityTracker_getSupportedClassificationFlags(uint32_t* flags)
{
    return vnx_ActivityClassifier_getSupportedClassificationFlags(flags);
}

int vnx_ActivityTracker_initialize(vnx_ActivityTracker_Handle* handle,
                                   const vnx_ActivityTracker_atConfigMemory_s* config, const uint8_t* scd,
                                   size_t scdLength)
{
    if (handle == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    ActivityTracker* created = nullptr;
    const int status = vnx::guardStatus([&] {
        created = trackerPool().create();
        return created != nullptr ? VNX_STATUS_SUCCESS : VNX_STATUS_OUT_OF_MEMORY;
    });
    if (status != VNX_STATUS_SUCCESS)
        return status;
    const int initStatus = created->init(config, scd, scdLength);
    if (initStatus != VNX_STATUS_SUCCESS) {
        trackerPool().destroy(created);
        *handle = nullptr;
        return initStatus;
    }
    *handle = reinterpret_cast<vnx_ActivityTracker_Handle>(created);
    return VNX_STATUS_SUCCESS;
}

int vnx_ActivityTracker_finalize(vnx_ActivityTracker_Handle handle)
{
    return trackerPool().destroy(reinterpret_cast<ActivityTracker*>(handle)) ? 1 : 0;
}

int vnx_ActivityTracker_enableOutputPeriodsAndDeriveInputPeriods(
    vnx_ActivityTracker_Handle handle, vnx_ActivityTracker_OutputCategoriesPeriods_s* categories,
    int32_t outputPeriod, vnx_Mobile_VirtualSensorPeriods_s* periods, int32_t* pressurePeriodUs)
{
    ActivityTracker* t = tracker(handle);
    if (t == nullptr || categories == nullptr || periods == nullptr || pressurePeriodUs == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return t->enableOutputPeriodsAndDeriveInputPeriods(*categories, outputPeriod, *periods,
                                                       *pressurePeriodUs);
}

int vnx_ActivityTracker_setInputPeriods(vnx_ActivityTracker_Handle handle,
                                        const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                        int32_t pressurePeriodUs)
{
    ActivityTracker* t = tracker(handle);
    if (t == nullptr || periods == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return t->setInputPeriods(*periods, pressurePeriodUs);
}

int vnx_ActivityTracker_getEffectiveOutputPeriods(vnx_ActivityTracker_Handle handle,
                                                  const vnx_Mobile_VirtualSensorPeriods_s* periods,
                                                  int32_t /*unused*/,
                                                  vnx_ActivityTracker_OutputCategoriesPeriods_s* effective,
                                                  int32_t* classificationPeriodUs,
                                                  int32_t* accelerometerPeriodUs)
{
    const ActivityTracker* t = tracker(handle);
    if (t == nullptr || periods == nullptr || effective == nullptr || classificationPeriodUs == nullptr ||
        accelerometerPeriodUs == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return t->getEffectiveOutputPeriods(*periods, *effective, *classificationPeriodUs,
                                        *accelerometerPeriodUs);
}

int vnx_ActivityTracker_process(vnx_ActivityTracker_Handle handle, const vnx_Mobile_Output_s* in,
                                vnx_ActivityTracker_Output_s* out, uint8_t* flag)
{
    ActivityTracker* t = tracker(handle);
    if (t == nullptr || in == nullptr || out == nullptr || flag == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return t->process(*in, *out, *flag);
}

int vnx_ActivityTracker_reportPressure(vnx_ActivityTracker_Handle handle, int32_t pressureQ20,
                                       uint32_t timestampUs)
{
    ActivityTracker* t = tracker(handle);
    if (t == nullptr)
        return VNX_STATUS_INVALID_PARAMETER;
    return t->reportPressure(pressureQ20, timestampUs);
}

} // extern "C"
