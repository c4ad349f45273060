// Per-sample work allocates nothing: counted through the test program's
// global allocation functions.

#include <gtest/gtest.h>

#include "accCalibration/AccelCalibration.h"
#include "accCalibration/AccelPlanarCalibration.h"
#include "accTestSupport.h"
#include "planarRig.h"
#include "support/allocationCounter.h"

namespace vnx {
namespace {

using namespace accTest;

TEST(AccelCalibrationAllocation, SamplesAllocateNothing)
{
    AccelCalibration cal;
    const dcdAccOffsetCal_s dcd{{0.1f, 0.2f, 0.3f}};
    cal.init(FixedPointCal::Output{}, &dcd);
    const long before = test::allocationCount();
    for (int k = 0; k < 400; ++k) {
        const double t = k * 0.05;
        Vector3 a =
            vec(kG * std::cos(t) * std::cos(2 * t), kG * std::sin(t) * std::cos(2 * t), kG * std::sin(2 * t));
        cal.process(Fp32(0.01f), true, a, a);
        cal.applyCal(a, &a);
        cal.undoCal(a, &a);
    }
    dcdAccOffsetCal_s out{};
    cal.getDcd(&out);
    EXPECT_TRUE(cal.calibrated()); // the loop went through the whole fit
    EXPECT_EQ(test::allocationCount() - before, 0);
}

TEST(AccelPlanarCalibrationAllocation, SamplesAllocateNothing)
{
    AccelPlanarCalibration cal;
    cal.init(FixedPointCal::Output{}, nullptr);
    PlanarRig rig(cal, PlanarRig::Scene{.offset = vec(0.1, 0.1, 0.1), .tiltDeg = 1.0});
    const long before = test::allocationCount();
    double from = 0;
    rig.rest(from, 150);
    for (int k = 0; k < 10; ++k) {
        rig.turn(from, from + 180, 100);
        from += 180;
        rig.rest(from, 150);
    }
    EXPECT_GT(cal.totalWeight(), Fp32(1.0f)); // windows were stored and paired
    EXPECT_EQ(test::allocationCount() - before, 0);
}

} // namespace
} // namespace vnx
