// Converting motion allocates nothing: counted by the shared allocation counter.

#include <gtest/gtest.h>

#include "common/statusCode.h"
#include "deviceMotion/DeviceMotionFloat.h"
#include "motionRecordBuilders.h"
#include "support/allocationCounter.h"

namespace {

TEST(DeviceMotionFloatAllocation, SamplesAllocateNothing)
{
    DeviceMotionFloat module;
    motiontest::FusedMotion in;
    auto out = motiontest::floatMotion();
    const vnx_StructOutput_s* inputs[] = {&in.output.output};
    const vnx_StructFormat_s* formats[] = {&in.format.format};
    vnx_StructOutput_s* outputs[] = {&out.output};
    // The counter is live: building the module's logger allocated.
    ASSERT_GT(vnx::test::allocationCount(), 0);
    const long before = vnx::test::allocationCount();
    for (uint32_t n = 0; n < 1000; ++n) {
        in.output.sampleNumber = n;
        ASSERT_EQ(module.process(0, 1, inputs, formats, 0, 1, outputs, nullptr), VNX_STATUS_SUCCESS);
    }
    EXPECT_EQ(out.sampleNumber, 999u);
    EXPECT_EQ(vnx::test::allocationCount() - before, 0);
}

} // namespace
