#include "common/version.h"

extern "C" const char* vnx_core_get_version(void)
{
    return "Kinemora core library 3.0.0";
}
