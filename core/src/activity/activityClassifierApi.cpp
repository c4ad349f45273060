#include "activity/activityClassifierApi.h"

#include "activity/ActivityClassifier.h"

using vnx::activity::ActivityClassifier;

extern "C" {

int vnx_ActivityClassifier_getSupportedClassificationFlags(uint32_t* flags)
{
    return ActivityClassifier::getSupportedClassificationFlags(flags);
}

int vnx_ActivityClassifier_getActivityVersion(void)
{
    return ActivityClassifier::getVersion();
}

} // extern "C"
