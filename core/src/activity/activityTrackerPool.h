#pragma once

// The instances behind the vnx_ActivityTracker_ handles.

#include "activity/ActivityTracker.h"
#include "moduleFactory/StaticMemoryManager.h"

namespace vnx::activity {

using ActivityTrackerPool = StaticMemoryManager<ActivityTracker, -1>;

/// Built on first use, so a client's static initialiser may already create
/// trackers; torn down at exit.
inline ActivityTrackerPool& trackerPool()
{
    static ActivityTrackerPool instances;
    return instances;
}

} // namespace vnx::activity
