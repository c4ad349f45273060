// Per-sample work allocates nothing, reports included: counted by the shared
// allocation counter.

#include <gtest/gtest.h>

#include "activityRig.h"
#include "support/allocationCounter.h"

namespace {

/// Counts reports without storing them.
class CountingListener : public vnx::ModuleListenerInterface
{
  public:
    void statusCallback(vnx::ModuleConfigInterface*, const vnx_StructStatus_s*) override { ++count; }
    int count = 0;
};

TEST(ActivityClassificationAllocation, SamplesAndReportsAllocateNothing)
{
    activitytest::ActivityRig rig;
    CountingListener listener;
    rig.module.setModuleListener(&listener);
    ASSERT_EQ(rig.init(), VNX_STATUS_SUCCESS);
    // The counter is live: building the module's logger allocated.
    ASSERT_GT(vnx::test::allocationCount(), 0);
    const long before = vnx::test::allocationCount();
    rig.feed({0.5f, 0.0f}, 100);
    rig.feed({}, activitytest::ActivityRig::kSamplesPerMinute + 100);
    EXPECT_GT(listener.count, 0); // the loop went through reports
    EXPECT_EQ(vnx::test::allocationCount() - before, 0);
}

} // namespace
