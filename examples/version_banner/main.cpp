#include <cstdio>

#include "bundleCommon/bundleVersion.h"
#include "common/version.h"
#include "extCommon/extVersion.h"

int main()
{
    std::printf("%s\n", vnx_core_get_version());
    std::printf("%s\n", vnx_bundle_get_version());
    std::printf("%s\n", vnx_ext_get_version());
    return 0;
}
