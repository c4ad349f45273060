// The main road end to end: a client creates SensorFusion by type id and
// feeds one DeviceSupport6AG sample and one ButtonActivity record per call.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "fusionRig.h"

namespace sensorFusionTest {
namespace {

float quaternionNorm(const vnx_SensorFusion_Output_s& motion)
{
    float sum = 0.0f;
    for (const vnx_Number32_u& word : motion.quaternion) {
        sum += word.real * word.real;
    }
    return std::sqrt(sum);
}

/// Rotation angle (rad) between the output orientation and the identity.
float angleFromIdentity(const vnx_SensorFusion_Output_s& motion)
{
    const float w = std::fabs(motion.quaternion[0].real) / quaternionNorm(motion);
    return 2.0f * std::acos(std::fmin(1.0f, w));
}

TEST(SensorFusionEndToEnd, StillDeviceGivesGravityNoRotationAndTheIdentityOnEverySample)
{
    CoreLibrary core;
    FusionRig rig;
    ASSERT_NE(rig.module(), nullptr);
    ASSERT_EQ(rig.init(testDevice().build()), VNX_STATUS_SUCCESS);

    for (int k = 1; k <= 10 * kSamplesPerSecond; ++k) {
        ASSERT_EQ(rig.step6AG(kFlat, kNoRotation), VNX_STATUS_SUCCESS) << "sample " << k;
        const vnx_SensorFusion_Output_s& motion = rig.motion();
        ASSERT_EQ(motion.sampleNumber, static_cast<std::uint32_t>(k));
        EXPECT_NEAR(motion.acceleration[0].real, 0.0f, 1e-3f) << "sample " << k;
        EXPECT_NEAR(motion.acceleration[1].real, 0.0f, 1e-3f) << "sample " << k;
        EXPECT_NEAR(motion.acceleration[2].real, -kGravity, 1e-3f) << "sample " << k;
        const float rate = std::hypot(motion.angularVelocity[0].real, motion.angularVelocity[1].real,
                                      motion.angularVelocity[2].real);
        EXPECT_LT(rate, 1e-6f) << "sample " << k;
        EXPECT_NEAR(quaternionNorm(motion), 1.0f, 1e-6f) << "sample " << k;
        EXPECT_LT(angleFromIdentity(motion), 1e-3f) << "sample " << k;
        EXPECT_EQ(std::memcmp(&rig.buttons(), &rig.button, sizeof rig.button), 0) << "sample " << k;
        if (HasFailure()) {
            break;
        }
    }
    EXPECT_EQ(rig.motionFormat().periodUs, 8000u);
    EXPECT_EQ(rig.motionFormat().accelerationQ, VNX_QPOINT_FLOAT);
    EXPECT_EQ(rig.motionFormat().quaternionQ, VNX_QPOINT_FLOAT);
    EXPECT_EQ(rig.motionFormat().reservedGroupQ, VNX_QPOINT_INVALID);
}

} // namespace
} // namespace sensorFusionTest
