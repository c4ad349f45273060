// Once the module is built, init, per-sample work and the DCD write-out
// allocate nothing: counted through the test program's global allocation
// functions.

#include <gtest/gtest.h>

#include "common/statusCode.h"
#include "sensorInterpretationRig.h"
#include "support/allocationCounter.h"

namespace vnx::sitest {
namespace {

using SensorInterpretationAllocation = CoreLibraryTest;

TEST_F(SensorInterpretationAllocation, InitSamplesAndDcdAllocateNothing)
{
    const scdGen4Float_s scd = deviceScd().build();
    SensorInterpretationRig rig;
    dcdAlg49AxisFixed_s dcd;
    const long before = test::allocationCount();
    ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    for (std::uint32_t k = 0; k < 3000; ++k) {
        RawSample sample;
        sample.sampleNumber = k;
        // Turned slowly through orientations so that the still windows and
        // the accelerometer fit have work to do, with a pause every 500 samples.
        const std::int16_t swing = static_cast<std::int16_t>((k / 500) * 2000);
        sample.acc = {swing, static_cast<std::int16_t>(-swing / 2), 15000};
        sample.gyro = {static_cast<std::int16_t>(20 + (k % 3)), 20, static_cast<std::int16_t>(20 - (k % 2))};
        sample.temperature = static_cast<std::int16_t>(400 + k / 300);
        ASSERT_EQ(rig.feed(sample), VNX_STATUS_SUCCESS);
    }
    ASSERT_EQ(rig.getDcd(dcd), VNX_STATUS_SUCCESS);
    ASSERT_EQ(rig.init(scd, &dcd), VNX_STATUS_SUCCESS);
    EXPECT_EQ(test::allocationCount() - before, 0);
}

} // namespace
} // namespace vnx::sitest
