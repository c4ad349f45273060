// Learning through the module: the gyroscope offset of a still device and the
// accelerometer offset of a device resting in several orientations, each
// handed on through the DCD to the next run.

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
class Noise
{
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

// Sixty seconds of a still device, then fresh modules started with and
// without what it learned.
void learnsStillDeviceOffset(const scdGen4Float_s& scd)
{
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
    // (a module without the DCD either takes that sample for its offset or,
    // where the calibration rules such an offset out, leaves the real one in).
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
    EXPECT_GT(std::fabs(withoutDcd.output.angularVelocity[2] - kTurnRadPerS), 5e-3f);
}

// The same device with a per-unit calibration (no nominal marker) and with a
// nominal one, which gives the offset filters a nominal drift level.
TEST_F(SensorInterpretationConvergence, StillDeviceLearnsGyroOffsetWithinAMinuteAndKeepsItInItsDcd)
{
    struct Case
    {
        const char* name;
        scdGen4Float_s scd;
    };
    const Case cases[] = {
        {"per-unit calibration", deviceScd().build()},
        {"nominal calibration", deviceScd()
                                    .nominalMarker(-0.01f)
                                    .zroTerms(0.002f, 0.003f)
                                    .zroTempCoef(0.0005f, 0.0005f, 0.0005f)
                                    .zroNominalSigma(0.05f)
                                    .zroInitSigma(0.05f)
                                    .zroAging(0.01f)
                                    .build()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        learnsStillDeviceOffset(c.scd);
    }
}

// Scenario: a device with an accelerometer offset rests for a few seconds in
// each of six orientations. The still windows teach the offset fit; the
// calibrated acceleration then has the length of gravity, and the offset
// goes into the DCD.
TEST_F(SensorInterpretationConvergence, DeviceRestingInSixOrientationsLearnsItsAccelerometerOffset)
{
    constexpr double kG = 9.80665;              // m/s^2
    const double offset[3] = {0.3, -0.2, 0.15}; // m/s^2
    const double directions[][3] = {{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}, {-1, 0, 0}, {0, -1, 0}};
    const scdGen4Float_s scd = deviceScd().build();
    Noise noise;
    auto restingSample = [&](std::uint32_t k, const double(&down)[3]) {
        RawSample s = stillDevice(k, noise);
        for (int i = 0; i < 3; ++i) {
            s.acc[i] = counts((kG * down[i] + offset[i]) / kAccScale * 32768.0 + 2 * noise.next());
        }
        return s;
    };

    SensorInterpretationRig rig;
    ASSERT_EQ(rig.init(scd), VNX_STATUS_WARNING_INVALID_DCD);
    std::uint32_t k = 0;
    for (const auto& down : directions) {
        for (int j = 0; j < 4 * kSamplesPerSecond; ++j, ++k) {
            ASSERT_EQ(rig.feed(restingSample(k, down)), VNX_STATUS_SUCCESS);
        }
    }
    const float* a = rig.output.acceleration;
    EXPECT_NEAR(std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]), kG, 0.01);
    dcdAlg49AxisFixed_s learned;
    ASSERT_EQ(rig.getDcd(learned), VNX_STATUS_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(learned.accOffsetCal.offset[i], offset[i], 0.01) << "axis " << i;
    }

    // The next run removes the offset from its first sample.
    SensorInterpretationRig next;
    ASSERT_EQ(next.init(scd, &learned), VNX_STATUS_SUCCESS);
    ASSERT_EQ(next.feed(restingSample(0, directions[0])), VNX_STATUS_SUCCESS);
    EXPECT_NEAR(next.output.acceleration[0], 0.0, 0.01);
    EXPECT_NEAR(next.output.acceleration[1], 0.0, 0.01);
    EXPECT_NEAR(next.output.acceleration[2], kG, 0.01);
}

} // namespace
} // namespace vnx::sitest
