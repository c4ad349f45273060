#include <gtest/gtest.h>

#include <cmath>

#include "sensorFusion/frameRotation.h"
#include "sensorFusionMobile/mobileOutputFrame.h"

namespace {

using vnx::Fp32;
using vnx::mobile::writeQuaternion;
using vnx::mobile::writeVector;
using vnx::qdVectorFixed::Quaternion;
using vnx::qdVectorFixed::Vector3;

Vector3 v3(float x, float y, float z)
{
    return {Fp32(x), Fp32(y), Fp32(z)};
}
Quaternion quat(float w, float x, float y, float z)
{
    return {Fp32(w), Fp32(x), Fp32(y), Fp32(z)};
}

TEST(MobileOutputFrame, VectorSwapsXAndYAndNegatesZ)
{
    float out[3];
    writeVector(Quaternion::identity(), v3(1, 2, 3), out);
    EXPECT_EQ(out[0], 2.0f);
    EXPECT_EQ(out[1], 1.0f);
    EXPECT_EQ(out[2], -3.0f);
}

TEST(MobileOutputFrame, VectorGoesThroughInverseOfReorientation)
{
    // R: 90 degrees about z. Its inverse takes x to -y.
    const float h = std::sqrt(0.5f);
    const Quaternion r = quat(h, 0, 0, h);
    float out[3];
    writeVector(r, v3(1, 0, 0), out);
    const Vector3 expected = vnx::sensorFusion::rotateByConjugate(r, v3(1, 0, 0));
    EXPECT_NEAR(out[0], expected[1].value(), 1e-6f);
    EXPECT_NEAR(out[1], expected[0].value(), 1e-6f);
    EXPECT_NEAR(out[2], -expected[2].value(), 1e-6f);
    EXPECT_NEAR(out[0], -1.0f, 1e-6f);
}

TEST(MobileOutputFrame, QuaternionWithNegativeWComesOutWithPositiveW)
{
    const Quaternion q = quat(-0.5f, 0.5f, -0.5f, 0.5f);
    float out[4];
    writeQuaternion(Quaternion::identity(), q, out);
    // Same rotation as -q = (0.5, -0.5, 0.5, -0.5), written as (y, x, -z, w).
    EXPECT_FLOAT_EQ(out[0], 0.5f);
    EXPECT_FLOAT_EQ(out[1], -0.5f);
    EXPECT_FLOAT_EQ(out[2], 0.5f);
    EXPECT_FLOAT_EQ(out[3], 0.5f);
}

TEST(MobileOutputFrame, QuaternionIsMultipliedByReorientationAndKeptNonNegative)
{
    const float h = std::sqrt(0.5f);
    const Quaternion r = quat(h, 0, 0, h); // 90 degrees about z
    const Quaternion q = quat(0, 0, 0, 1); // 180 degrees about z
    float out[4];
    writeQuaternion(r, q, out);
    // q (x) r = 270 degrees about z = (-h, 0, 0, h), negated to w >= 0.
    EXPECT_NEAR(out[3], h, 1e-6f);
    EXPECT_NEAR(out[0], 0.0f, 1e-6f);
    EXPECT_NEAR(out[1], 0.0f, 1e-6f);
    EXPECT_NEAR(out[2], h, 1e-6f);
}

} // namespace
