#include "activity/stepDetectorApi.h"

#include "activity/StepCounter.h"
#include "activity/detectorMembers.h"

using vnx::activity::DetectorId;
using vnx::activity::detectorMember;

extern "C" {

int vnx_StepDetector_getDetectorVersion(void)
{
    return detectorMember(DetectorId::Step).version;
}

int vnx_StepDetectorWatch_getDetectorVersion(void)
{
    return detectorMember(DetectorId::StepWatch).version;
}

int vnx_StepDetector_getCounterVersion(void)
{
    return vnx::activity::StepCounter::kVersion;
}

int vnx_StepDetectorWatch_getCounterVersion(void)
{
    return vnx::activity::StepCounter::kVersion;
}

} // extern "C"
