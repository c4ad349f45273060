#include "gyroBias/ZroOnTableSensor.h"

#include <gtest/gtest.h>

#include <limits>

namespace vnx {
namespace {

using zroFromStable::OnTableSensor;
using Fp = FloatingPoint<float>;
using Vec3 = OnTableSensor::Vec3;

Vec3 v3(float x, float y, float z)
{
    return {Fp(x), Fp(y), Fp(z)};
}

class OnTableSensorTest : public ::testing::Test
{
  protected:
    OnTableSensorTest() { sensor.init(Fp(0.01f)); } // wide 0.05, narrow 0.015

    OnTableSensor::Output_s feed(std::uint32_t t, const Vec3& x)
    {
        OnTableSensor::Output_s out{};
        sensor.reportSample(t, x, false, &out);
        return out;
    }

    OnTableSensor sensor{5.0f, 1.5f};
};

TEST_F(OnTableSensorTest, QuarterSecondWindowsOnTheTableAddTheirLength)
{
    const Vec3 x = v3(0.1f, 0.2f, 0.3f);
    for (std::uint32_t t = 0; t < 250000; t += 10000)
        EXPECT_EQ(feed(t, x).state, OnTableSensor::kStateNothing);
    const OnTableSensor::Output_s out = feed(250000, x);
    EXPECT_EQ(out.state, OnTableSensor::kStateWindowComplete);
    EXPECT_EQ(out.count, 25u);
    EXPECT_EQ(out.mean, x);
    EXPECT_EQ(out.variance, v3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(sensor.onTableTimeUs(), 250000u);
}

TEST_F(OnTableSensorTest, SampleBeyondTheWideBandOrUnknownRestarts)
{
    struct Case
    {
        const char* what;
        Vec3 x;
        bool restarts;
    };
    const Case cases[] = {
        {"inside the wide band", v3(0.04f, 0.0f, 0.0f), false},
        {"beyond the wide band", v3(0.0f, 0.0f, -0.06f), true},
        {"unknown", v3(0.0f, 2147483648.0f, 0.0f), true},
    };
    for (const Case& c : cases) {
        OnTableSensor sensor(5.0f, 1.5f);
        sensor.init(Fp(0.01f));
        OnTableSensor::Output_s out{};
        std::uint32_t t = 0;
        for (; t <= 500000; t += 10000)
            sensor.reportSample(t, v3(0.0f, 0.0f, 0.0f), false, &out);
        ASSERT_EQ(sensor.onTableTimeUs(), 500000u);
        sensor.reportSample(t, c.x, false, &out);
        EXPECT_EQ(out.state == OnTableSensor::kStateRestarted, c.restarts) << c.what;
        EXPECT_EQ(sensor.onTableTimeUs() == 0, c.restarts) << c.what;
    }
}

// Over 71 minutes on a table the microsecond count passes 2^32: it must stay
// at its largest value rather than wrap to a short table time.
TEST_F(OnTableSensorTest, TableTimeSaturatesInsteadOfWrapping)
{
    const Vec3 x = v3(0.0f, 0.0f, 0.0f);
    std::uint32_t t = 0;
    for (int k = 0; k < 20000; ++k, t += 250000)
        feed(t, x);
    EXPECT_EQ(sensor.onTableTimeUs(), std::numeric_limits<std::uint32_t>::max());
}

TEST_F(OnTableSensorTest, MinimumNoiseWidensTheBands)
{
    sensor.setMinNoise(Fp(0.1f)); // wide 0.5, narrow 0.15
    feed(0, v3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(feed(10000, v3(0.4f, 0.0f, 0.0f)).state, OnTableSensor::kStateNothing);
    // The reference follows the mean of the first window (0.2 here).
    EXPECT_EQ(feed(20000, v3(0.75f, 0.0f, 0.0f)).state, OnTableSensor::kStateRestarted);
}

} // namespace
} // namespace vnx
