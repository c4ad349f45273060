#pragma once

// Starts the core, bundle and ext libraries in the order a client does and
// stops them again in reverse, for a test or a test suite.

#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"
#include "extEntry/extEntry.h"

namespace vnx::testsupport {

class ExtLibraries
{
  public:
    ExtLibraries()
    {
        vnx_core_initialize();
        vnx_bundle_initialize();
        vnx_ext_initialize();
    }
    ~ExtLibraries()
    {
        vnx_ext_finalize();
        vnx_bundle_finalize();
        vnx_core_finalize();
    }
    ExtLibraries(const ExtLibraries&) = delete;
    ExtLibraries& operator=(const ExtLibraries&) = delete;
};

} // namespace vnx::testsupport
