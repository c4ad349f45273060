// Scenario: a device lies still while its gyroscope reads a constant offset.
// The module learns the offset, reports it converged and hands it on through
// its DCD to the next run.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "common/statusCode.h"
#include "sensorInterpretationRig.h"

namespace vnx::sitest {
namespace {

constexpr double kOffsetRadPerS = 0.01;
constexpr int kSamplesPerSecond = 125;
constexpr float kTurnRadPerS = 0.2f;

// Reproducible sensor noise: a sum of twelve uniform values (about normal,
// standard deviation 1).
class Noise {
public:
    double next()
    {
        double sum = 0.0;
        for (int i = 0; i < 12; ++i) {
            state_ = state_ * 1664525u + 1013904223u;
            sum += (state_ >> 8) / 16777216.0;
        }
        return sum - 6.0;
    }

private:
    std::uint32_t state_ = 20240611u;
};

std::int16_t counts(double value)
{
    return static_cast<std::int16_t>(std::lround(value));
}

// A still, level device: gravity on z, the gyroscope offset on every axis,
// one count of gyroscope noise and two of accelerometer noise.
RawSample stillDevice(std::uint32_t sampleNumber, Noise& noise, double turnZRadPerS = 0.0)
{
    const double offsetCounts = kOffsetRadPerS / kGyroScale;
    RawSample s;
    s.sampleNumber = sampleNumber;
    s.acc = {counts(2 * noise.next()), counts(2 * noise.next()), counts(kOneG + 2 * noise.next())};
    s.gyro = {counts(offsetCounts + noise.next()), counts(offsetCounts + noise.next()),
              counts(offsetCounts + turnZRadPerS / kGyroScale + noise.next())};
    s.temperature = 400;
    return s;
}

using SensorInterpretationConvergence = CoreLibraryTest;

TEST_F(SensorInterpretationConvergence, StillDeviceLearnsGyroOffsetWithinAMinuteAndKeepsItInItsDcd)
{
    const scdGen4Float_s scd = deviceScd().build();
    Noise noise;
    dcdAlg49AxisFixed_s learned;
    {
        SensorInterpretationRig rig;
        ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
        double sum[3] = {0, 0, 0};
        const int seconds = 60;
        for (int k = 0; k < seconds * kSamplesPerSecond; ++k) {
            ASSERT_EQ(rig.feed(stillDevice(static_cast<std::uint32_t>(k), noise)), VNX_STATUS_SUCCESS);
            if (k >= (seconds - 1) * kSamplesPerSecond) {
                for (int i = 0; i < 3; ++i) {
                    sum[i] += rig.output.angularVelocity[i];
                }
            }
        }
        // Over the last second the corrected rate averages out the noise.
        for (int i = 0; i < 3; ++i) {
            EXPECT_LT(std::fabs(sum[i] / kSamplesPerSecond), 1e-3) << "axis " << i;
        }
        EXPECT_NE(rig.output.flags & VNX_SENSOR_INTERPRETATION_ZRO_CONVERGED, 0);
        ASSERT_EQ(rig.getDcd(learned), VNX_STATUS_SUCCESS);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(learned.innards.zro[i], kOffsetRadPerS, 1e-3) << "axis " << i;
        }
    }

    // The next run starts with the learned offset: its first sample, still,
    // is corrected to near zero, and a turning first sample keeps its turn
    // (a module without the DCD would take that sample for its offset).
    SensorInterpretationRig still;
    ASSERT_EQ(still.init(scd, &learned), VNX_STATUS_SUCCESS);
    ASSERT_EQ(still.feed(stillDevice(0, noise)), VNX_STATUS_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(still.output.angularVelocity[i], 0.0f, 2e-3f) << "axis " << i;
    }

    SensorInterpretationRig turning;
    ASSERT_EQ(turning.init(scd, &learned), VNX_STATUS_SUCCESS);
    ASSERT_EQ(turning.feed(stillDevice(0, noise, kTurnRadPerS)), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(turning.output.angularVelocity[2], kTurnRadPerS, 2e-3f);

    SensorInterpretationRig withoutDcd;
    ASSERT_EQ(withoutDcd.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    ASSERT_EQ(withoutDcd.feed(stillDevice(0, noise, kTurnRadPerS)), VNX_STATUS_SUCCESS);
    EXPECT_GT(std::fabs(withoutDcd.output.angularVelocity[2] - kTurnRadPerS), 0.1f);
}

} // namespace
} // namespace vnx::sitest
