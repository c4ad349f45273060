#pragma once

// Starts the core and bundle libraries for one test, in the order a client
// does, and stops them again in reverse.

#include <cstring>

#include "bundleEntry/bundleEntry.h"
#include "coreEntry/coreEntry.h"

namespace bundleTest {

class BundleLibraries
{
  public:
    BundleLibraries()
    {
        vnx_core_initialize();
        vnx_bundle_initialize();
    }
    ~BundleLibraries()
    {
        vnx_bundle_finalize();
        vnx_core_finalize();
    }
    BundleLibraries(const BundleLibraries&) = delete;
    BundleLibraries& operator=(const BundleLibraries&) = delete;
};

/// A record zero-filled and then initialised, as a record factory makes it.
template <class Record> Record freshRecord(int (*init)(Record*))
{
    Record record;
    std::memset(&record, 0, sizeof record);
    init(&record);
    return record;
}

} // namespace bundleTest
