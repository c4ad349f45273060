// The engine allocates nothing per sample: counted by the shared allocation
// counter over every output the engine has.

#include <gtest/gtest.h>

#include <cmath>

#include "mobileRig.h"
#include "support/allocationCounter.h"

namespace {

using namespace vnx::mobiletest;

TEST(MobileAllocation, SamplesAllocateNothing)
{
    MobileRig rig(deviceScd().build());
    ASSERT_EQ(rig.initStatus, VNX_STATUS_SUCCESS);
    vnx_Mobile_VirtualSensorPeriods_s all{};
    for (std::int32_t& p : all.periodUs)
        p = 8000;
    rig.enable(all);

    int outputs = 0;
    const MobileRig::OnOutput count = [&outputs](const vnx_Mobile_Output_s&) { ++outputs; };
    auto run = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            const float t = 0.008f * static_cast<float>(i);
            const std::int16_t gx = counts(800.0f * std::sin(0.9f * t));
            const std::int16_t gz = counts(500.0f * std::cos(0.4f * t));
            const std::int16_t ay = counts(3000.0f * std::sin(0.5f * t));
            rig.sample(8000u * static_cast<std::uint32_t>(i), {0, ay, -16000}, {gx, 3, gz}, {0, 0, 0}, count);
        }
    };
    run(1, 200);
    ASSERT_GT(vnx::test::allocationCount(), 0); // the counter is live
    const long allocations = vnx::test::allocationsDuring([&] { run(200, 2200); });
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(outputs, 2000);
}

} // namespace
