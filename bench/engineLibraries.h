#pragma once

// The three engine libraries, started once for a benchmark program with
// logging off and learned calibration kept under /tmp.

#include <cstdlib>

#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"
#include "extEntry/extEntry.h"

namespace vnx::bench {

inline void startLibraries()
{
    static const bool started = [] {
        setenv("VNX_LOG_GLOBAL_LEVEL", "OFF", 1);
        setenv("VNX_DCD_PATH", "/tmp", 0);
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
        return true;
    }();
    (void)started;
}

} // namespace vnx::bench
