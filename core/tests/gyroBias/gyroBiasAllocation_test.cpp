// Per-sample work of the bias estimators allocates nothing once they are
// built: counted through the test program's global allocation functions.

#include <gtest/gtest.h>

#include "biasCorrectRig.h"
#include "support/allocationCounter.h"
#include "zroFromStableRig.h"

namespace {

TEST(GyroBiasAllocation, BiasCorrectMinSamplesGapsAndDcdAllocateNothing)
{
    using namespace vnx::biastest;
    BiasRig rig(presenterScd());
    const float offsetCounts[3] = {10.0f, -5.0f, 3.0f};
    const long allocations = vnx::test::allocationsDuring([&] {
        rig.run(2000, offsetCounts);
        rig.skip(400); // a gap in sample numbers
        rig.temperatureCount = 480;
        rig.run(500, offsetCounts);
        const dcdAlg4MinFixedInnards_s learned = rig.dcd();
        rig.bias.setDcd(learned);
        rig.run(10, offsetCounts);
    });
    EXPECT_EQ(allocations, 0);
}

TEST(GyroBiasAllocation, ZroFromStableSamplesAllocateNothing)
{
    using namespace vnx::testsupport;
    ZroRig rig(0.008);
    Noise noise(3);
    const long allocations = vnx::test::allocationsDuring([&] {
        for (int k = 0; k < 3000; ++k) {
            rig.step(noise.vec(0.002f), v3(0.0f, 0.0f, -9.80665f) + noise.vec(0.01f));
        }
    });
    EXPECT_EQ(allocations, 0);
}

} // namespace
