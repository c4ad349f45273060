#include "bundleCommon/bundleVersion.h"

#if defined(__linux__)
#define KINEMORA_BUNDLE_PLATFORM "Linux"
#elif defined(__APPLE__)
#define KINEMORA_BUNDLE_PLATFORM "Darwin"
#else
#define KINEMORA_BUNDLE_PLATFORM "unknown platform"
#endif

extern "C" const char* vnx_bundle_get_version(void)
{
    return "Kinemora-bundle v3.1.4.0 build s3104 (" KINEMORA_BUNDLE_PLATFORM ")";
}
