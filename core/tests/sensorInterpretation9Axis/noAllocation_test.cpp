// Per-sample work and the DCD write-out allocate nothing.

#include <gtest/gtest.h>

#include "common/statusCode.h"
#include "nineAxisRig.h"
#include "support/allocationCounter.h"

namespace nineAxisTest {
namespace {

TEST(SensorInterpretation9AxisAllocation, SamplesAndDcdAllocateNothing)
{
    const scdGen4Float_s scd = testDevice().build();
    NineAxisRig rig;
    ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    int failures = 0;
    const long allocations = vnx::test::allocationsDuring([&] {
        for (int k = 0; k < 3 * kSamplesPerSecond; ++k) {
            const int16_t turn = static_cast<int16_t>((k / 40) * 300);
            const RawTriple field{static_cast<int16_t>(kField[0] + turn), kField[1],
                                  static_cast<int16_t>(kField[2] - turn)};
            failures += rig.step(kGravityUp, kGyroBias, field) != VNX_STATUS_SUCCESS;
            failures += rig.step(kGravityUp, kGyroBias) != VNX_STATUS_SUCCESS;
        }
        rig.readDcd();
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(rig.lastDcdResult(), VNX_STATUS_SUCCESS);
}

} // namespace
} // namespace nineAxisTest
