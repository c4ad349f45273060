#include "extCommon/extVersion.h"

#if defined(__linux__)
#define KINEMORA_EXT_PLATFORM "Linux"
#elif defined(__APPLE__)
#define KINEMORA_EXT_PLATFORM "Darwin"
#else
#define KINEMORA_EXT_PLATFORM "unknown platform"
#endif

extern "C" const char* vnx_ext_get_version(void)
{
    return "Kinemora ext library 3.1.4.0 (" KINEMORA_EXT_PLATFORM ")";
}
