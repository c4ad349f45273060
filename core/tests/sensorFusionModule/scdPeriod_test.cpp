// SCD periods that no fusion output could be valid with count as absent: the
// module runs at the default 125 Hz and its orientation stays a unit
// quaternion while the device turns.

#include <gtest/gtest.h>

#include <cmath>

#include "fusionRig.h"

namespace sensorFusionTest {
namespace {

TEST(SensorFusionScdPeriod, PeriodsOutsideTheUsableRangeCountAsAbsent)
{
    CoreLibrary core;
    const double periods[] = {1e-7, 5e-7, 2.0, 3e38};
    for (const double period : periods) {
        SCOPED_TRACE(period);
        FusionRig rig;
        ASSERT_EQ(rig.init(testDevice().period(period).build()), VNX_STATUS_SUCCESS);
        ASSERT_EQ(rig.hold(kFlat, kNoRotation, 200), 0);
        // A turn of 0.5 rad/s about z for one second (500 counts of 1 mrad/s).
        ASSERT_EQ(rig.hold(kFlat, {0, 0, 500}, kSamplesPerSecond), 0);
        double norm = 0.0;
        for (const auto& part : rig.motion().quaternion) {
            ASSERT_TRUE(std::isfinite(part.real));
            norm += double{part.real} * part.real;
        }
        EXPECT_NEAR(std::sqrt(norm), 1.0, 1e-3);
        // The turn is tracked at the default period: about 0.5 rad about z.
        const double angle = 2.0 * std::acos(std::fmin(1.0, std::fabs(rig.motion().quaternion[0].real)));
        EXPECT_NEAR(angle, 0.5, 0.1);
    }
}

} // namespace
} // namespace sensorFusionTest
