#include "sensorFusion/SensorFusionTwoRotation9AM.h"

#include <gtest/gtest.h>

#include <cmath>

#include "fusionTestSupport.h"

namespace vnx {
namespace {

using namespace fusionTest;

constexpr float kPeriodS = 0.02f;
constexpr std::uint32_t kIntervalUs = 20000;
constexpr float kIncl = -0.76f;

struct Scene
{
    Quaternion truth;
    Vector3 acc;
    Vector3 mag;
};

Scene sceneAt(const Quaternion& truth, float d = kIncl)
{
    return {truth, deviceVector(truth, kDown) * Fp32(9.8f), deviceVector(truth, worldField(d)) * Fp32(45.0f)};
}

Quaternion run(SensorFusionTwoRotation9AM& f, const Scene& s, float headingErrorDeg, float d = kIncl,
               std::uint32_t intervalUs = kIntervalUs)
{
    Quaternion q;
    f.process(Fp32(kPeriodS), intervalUs, Fp32(headingErrorDeg), Fp32(d), s.acc, s.mag, q);
    return q;
}

TEST(SensorFusionTwoRotation9AM, ReferenceFromTheDefaultInclination)
{
    Vector3 h;
    SensorFusionTwoRotation9AM::huFrom_gDoth(Fp32(kIncl), h);
    expectVectorNear(h, vec(std::sqrt(1.0f - 0.76f * 0.76f), 0, 0.76f), 1e-7f);
}

TEST(SensorFusionTwoRotation9AM, HeadingErrorSwitchesSolversWithHysteresis)
{
    SensorFusionTwoRotation9AM f;
    f.init();
    const Scene s = sceneAt(Quaternion::identity());
    const float errors[] = {35, 25, 15, 25, 35, 20, 29.9f, 30};
    const int modes[] = {1, 1, 2, 2, 1, 2, 2, 1};
    for (int i = 0; i < int(std::size(errors)); ++i) {
        run(f, s, errors[i]);
        EXPECT_EQ(int(f.getMode()), modes[i]) << "heading error " << errors[i];
    }
}

TEST(SensorFusionTwoRotation9AM, BothSolversRecoverTheOrientation)
{
    const Quaternion orientations[] = {Quaternion::identity(), axisAngle(0, 0, 1, -2.0f),
                                       axisAngle(1, 0.5f, 0, 0.9f), axisAngle(-1, 2, 3, 1.7f)};
    for (float headingErrorDeg : {35.0f, 5.0f}) {
        for (const Quaternion& truth : orientations) {
            SensorFusionTwoRotation9AM f;
            f.init();
            const Quaternion q = run(f, sceneAt(truth), headingErrorDeg);
            EXPECT_TRUE(isFiniteUnit(q));
            EXPECT_LT(angleBetween(q, truth), 1e-3) << "heading error " << headingErrorDeg;
            EXPECT_EQ(q, f.quaternion());
        }
    }
}

TEST(SensorFusionTwoRotation9AM, ZeroMagnetometerKeepsTheCurrentHeading)
{
    for (float headingErrorDeg : {180.0f, 5.0f}) {
        SensorFusionTwoRotation9AM f;
        f.init();
        const Quaternion start = axisAngle(0, 0, 1, 1.0f);
        run(f, sceneAt(start), headingErrorDeg);

        // Tilted by 0.3 rad about x, no field: the tilt follows gravity, the
        // heading stays where it was.
        const Quaternion tilted = start * axisAngle(1, 0, 0, 0.3f);
        Scene s = sceneAt(tilted);
        s.mag = vec(0, 0, 0);
        const Quaternion q = run(f, s, headingErrorDeg);
        EXPECT_TRUE(isFiniteUnit(q));
        Vector3 euler, expected;
        q.getEulerZYX(euler);
        tilted.getEulerZYX(expected);
        // The stand-in field is the old world x axis, so the new yaw is close
        // to, not exactly, the old one.
        EXPECT_NEAR(euler[2].value(), expected[2].value(), 0.03f) << "yaw, heading error " << headingErrorDeg;
        expectVectorNear(deviceVector(q, kDown), deviceVector(tilted, kDown), 1e-3f);
    }
}

TEST(SensorFusionTwoRotation9AM, ZeroAccelerometerKeepsTheCurrentTilt)
{
    SensorFusionTwoRotation9AM f;
    f.init();
    const Quaternion truth = axisAngle(1, -1, 0.5f, 0.8f);
    run(f, sceneAt(truth), 35.0f);
    Scene s = sceneAt(truth);
    s.acc = vec(0, 0, 0);
    const Quaternion q = run(f, s, 35.0f);
    EXPECT_LT(angleBetween(q, truth), 1e-3);
}

TEST(SensorFusionTwoRotation9AM, ReferenceFilterReloadsAfterAGapOfThirtyPeriods)
{
    // The magnetometer-led solver turns by the filtered inclination, so a
    // changed inclination shows at once only when the filter reloads.
    const float newIncl = -0.3f;
    const Scene s = sceneAt(axisAngle(0, 1, 0, 0.4f), newIncl);
    struct Case
    {
        std::uint32_t intervalUs;
        bool reloads;
    };
    for (const Case& c : {Case{30 * kIntervalUs, false}, Case{30 * kIntervalUs + 1, true}}) {
        SCOPED_TRACE(c.intervalUs);
        SensorFusionTwoRotation9AM f;
        f.init();
        for (int i = 0; i < 20; ++i)
            run(f, sceneAt(s.truth, kIncl), 5.0f);
        const Quaternion q = run(f, s, 5.0f, newIncl, c.intervalUs);
        if (c.reloads) {
            EXPECT_LT(angleBetween(q, s.truth), 1e-3);
        } else {
            EXPECT_GT(angleBetween(q, s.truth), 0.2);
        }
    }
}

TEST(SensorFusionTwoRotation9AM, AccuracyFromHeadingErrorAndFieldChange)
{
    struct Case
    {
        float headingErrorDeg;
        Vector3 mag, previous;
        float expected;
    };
    const float tenDeg = 10.0f * 0.017453292f;
    const Case cases[] = {
        {25.0f, vec(1, 0, 0), vec(1, 0, 0), float(M_PI)},
        {20.0f, vec(1, 0, 0), vec(1, 0, 0), float(M_PI)},
        {10.0f, vec(1, 0, 0), vec(1, 0, 0), tenDeg},
        // 10 % change per 20 ms sample, weighted 0.25: 1.25 per second, twice.
        {10.0f, vec(1, 0, 0), vec(0.9f, 0, 0), tenDeg + 2.5f},
        {10.0f, vec(1, 0, 0), vec(-1, 0, 0), float(M_PI)},
        // No field: no finite change, the accuracy is the worst.
        {10.0f, vec(0, 0, 0), vec(0, 0, 0), float(M_PI)},
        {10.0f, vec(0, 0, 0), vec(1, 0, 0), float(M_PI)},
    };
    for (const Case& c : cases) {
        Fp32 accuracy;
        SensorFusionTwoRotation9AM::getAccuracy(Fp32(kPeriodS), Fp32(0.25f), Fp32(c.headingErrorDeg), c.mag,
                                                c.previous, accuracy);
        EXPECT_NEAR(accuracy.value(), c.expected, 1e-5f) << c.headingErrorDeg;
    }
}

} // namespace
} // namespace vnx
