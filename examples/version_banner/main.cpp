#include <cstdio>

#include "common/version.h"

int main()
{
    std::printf("%s\n", vnx_core_get_version());
    return 0;
}
