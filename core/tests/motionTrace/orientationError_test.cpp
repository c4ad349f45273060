// Tilt and heading error of an estimate against the truth.

#include "support/orientationError.h"

#include <gtest/gtest.h>

#include <numbers>

namespace vnx::tracetest {
namespace {

using qdVectorFixed::Quaternion;
using testsupport::axisAngle;
using testsupport::multiply;
using testsupport::Quatd;

constexpr double kPi = std::numbers::pi;

TEST(OrientationError, TiltAndHeadingAreSeparated)
{
    // A tilted, turned device as the truth; the estimate is a world-frame
    // error applied to it.
    const Quatd truth = multiply(axisAngle({0, 0, 1}, 0.7), axisAngle({0.6, 0.8, 0}, 0.9));
    struct Case
    {
        const char* what;
        Quatd worldError;
        double inclination;
        double heading;
    };
    const Case cases[] = {
        {"exact", testsupport::kIdentityQuat, 0.0, 0.0},
        {"heading only", axisAngle({0, 0, 1}, 0.3), 0.0, 0.3},
        {"heading the other way", axisAngle({0, 0, 1}, -0.05), 0.0, -0.05},
        {"tilt only", axisAngle({1, 0, 0}, 0.1), 0.1, 0.0},
        {"tilt about another horizontal axis", axisAngle({0.8, -0.6, 0}, 0.2), 0.2, 0.0},
        {"heading after tilt", multiply(axisAngle({0, 0, 1}, 0.25), axisAngle({0, 1, 0}, 0.1)), 0.1, 0.25},
        {"tilt after heading", multiply(axisAngle({0, 1, 0}, 0.1), axisAngle({0, 0, 1}, 0.25)), 0.1, 0.25},
        {"heading past half a turn wraps", axisAngle({0, 0, 1}, 3.5), 0.0, 3.5 - 2 * kPi},
        {"nearly upside down", axisAngle({1, 0, 0}, 2.5), 2.5, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Quatd estimate = multiply(c.worldError, truth);
        EXPECT_NEAR(testsupport::inclinationError(truth, estimate), c.inclination, 1e-12);
        EXPECT_NEAR(testsupport::headingDrift(truth, estimate), c.heading, 1e-12);
        // Sign and length of a quaternion do not change the orientation.
        const Quatd other{-3 * estimate[0], -3 * estimate[1], -3 * estimate[2], -3 * estimate[3]};
        EXPECT_NEAR(testsupport::inclinationError(truth, other), c.inclination, 1e-12);
        EXPECT_NEAR(testsupport::headingDrift(truth, other), c.heading, 1e-12);
    }
}

TEST(OrientationError, EngineQuaternionIsAccepted)
{
    const Quatd truth = axisAngle({0, 0, 1}, 0.4);
    const Quatd estimate = multiply(axisAngle({0, 0, 1}, 0.02), multiply(axisAngle({1, 0, 0}, 0.03), truth));
    const Quaternion engine{Fp32(float(estimate[0])), Fp32(float(estimate[1])), Fp32(float(estimate[2])),
                            Fp32(float(estimate[3]))};
    EXPECT_NEAR(testsupport::inclinationError(truth, engine), 0.03, 1e-6);
    EXPECT_NEAR(testsupport::headingDrift(truth, engine), 0.02, 1e-6);
}

} // namespace
} // namespace vnx::tracetest
