#include "sensorFusion/GyroIntegrator.h"

#include <gtest/gtest.h>

#include "fusionTestSupport.h"

namespace vnx {
namespace {

using namespace fusionTest;

TEST(GyroIntegrator, FirstSampleOnlyPrimesThenTurnsAboutZ)
{
    GyroIntegrator integrator;
    integrator.init();
    integrator.process(8000, vec(0, 0, 1));
    EXPECT_EQ(integrator.quaternion(), Quaternion::identity());

    integrator.process(8000, vec(0, 0, 1));
    const Quaternion& q = integrator.quaternion();
    EXPECT_NEAR(angleBetween(q, Quaternion::identity()), 0.008, 1e-6);
    EXPECT_EQ(q.x().value(), 0.0f);
    EXPECT_EQ(q.y().value(), 0.0f);
    EXPECT_GT(q.z().value(), 0.0f);
}

TEST(GyroIntegrator, StepAveragesPreviousAndCurrentRate)
{
    GyroIntegrator integrator;
    integrator.init();
    integrator.process(8000, vec(0, 0, 1));
    integrator.process(8000, vec(0, 0, 3)); // mean rate 2 rad/s over 8 ms
    EXPECT_NEAR(angleBetween(integrator.quaternion(), Quaternion::identity()), 0.016, 1e-6);
}

TEST(GyroIntegrator, GapLongerThanOneSecondOnlyPrimes)
{
    struct Case
    {
        std::uint32_t intervalUs;
        bool integrates;
    };
    for (const Case& c : {Case{1000000, true}, Case{1000001, false}, Case{0xFFFFFFFFu, false}}) {
        SCOPED_TRACE(c.intervalUs);
        GyroIntegrator integrator;
        integrator.init();
        integrator.process(8000, vec(0, 0, 1));
        integrator.process(c.intervalUs, vec(0, 0, 1));
        EXPECT_EQ(integrator.quaternion() == Quaternion::identity(), !c.integrates);

        // After a skipped gap the following sample integrates again.
        const Quaternion before = integrator.quaternion();
        integrator.process(8000, vec(0, 0, 1));
        EXPECT_NEAR(angleBetween(integrator.quaternion(), before), 0.008, 1e-5);
    }
}

TEST(GyroIntegrator, InitReturnsToIdentityAndPrimesAgain)
{
    GyroIntegrator integrator;
    integrator.init();
    integrator.process(8000, vec(1, 0, 0));
    integrator.process(8000, vec(1, 0, 0));
    ASSERT_FALSE(integrator.quaternion() == Quaternion::identity());

    integrator.init();
    EXPECT_EQ(integrator.quaternion(), Quaternion::identity());
    integrator.process(8000, vec(1, 0, 0));
    EXPECT_EQ(integrator.quaternion(), Quaternion::identity());
}

} // namespace
} // namespace vnx
