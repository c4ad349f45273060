// The generated counts, read back through Interpret with the same SCD, give
// the true readings: exactly to within quantisation without noise, and with
// the requested bias and spread with it.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sensorInterpretation/Interpret.h"
#include "support/MotionTrace.h"
#include "traceDevices.h"

namespace vnx::tracetest {
namespace {

using qdVectorFixed::Vector3;
using testsupport::MotionSample;
using testsupport::MotionTrace;
using testsupport::MotionTraceOptions;
using testsupport::Vec3d;

/// What Interpret makes of one generated sample.
struct Readback
{
    Vector3 acc;
    Vector3 rate;
    Fp32 temperature;
    std::uint8_t flags = 0;
};

Readback readBack(const FixedPointCal::Output& cal, const vnx_DeviceSupport6AG_Output_s& record)
{
    const Interpret interpret;
    Readback r;
    const RawTriple acc{record.accelerometer[0], record.accelerometer[1], record.accelerometer[2]};
    const RawTriple gyro{record.gyroscope[0], record.gyroscope[1], record.gyroscope[2]};
    interpret.accInterpret(cal, acc, r.acc, r.flags);
    interpret.rsInterpret(cal, gyro, r.acc, r.rate, r.flags);
    interpret.tempInterpret(cal, record.temperature, r.temperature);
    return r;
}

/// Largest reading error that half a count on every input axis can cause on
/// output axis j, with room for the slope of the non-linear terms and float
/// rounding.
double halfCountBound(const Matrix3& m, double countUnit, int j)
{
    double sum = 0.0;
    for (int i = 0; i < 3; ++i)
        sum += std::abs(m[3 * i + j].value());
    return 0.5 * countUnit * sum * 1.1 + 1e-5;
}

// A scenario that points every axis up and down at some time: turns about
// the three body axes and a skew one, slow and fast.
void addTumbling(MotionTrace& trace)
{
    trace.still(0.2)
        .turn({1, 0, 0}, 0.8, 2.0)
        .turn({0, 1, 0}, -2.5, 1.6)
        .turn({0, 0, 1}, 6.0, 0.48)
        .turn({1, -2, 2}, 1.7, 2.0)
        .still(0.2);
}

TEST(MotionTraceRoundTrip, InterpretGivesBackTheTruthWithinQuantisation)
{
    struct Case
    {
        const char* device;
        ScdBuilder scd;
    };
    const Case cases[] = {{"presenter", presenterScd()}, {"imperfect", imperfectScd()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        MotionTrace trace(c.scd.build(), {.gyroOffset = {0.01, -0.02, 0.005}, .temperature = 31.0});
        addTumbling(trace);
        const FixedPointCal::Output& cal = trace.calibration();

        long samples = 0;
        for (const MotionSample& s : trace) {
            const Readback r = readBack(cal, s.output6AG);
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(r.acc[j].value(), s.truth.specificForce[j],
                            halfCountBound(cal.accMatrix, 0x1.0p-15, j))
                    << "sample " << s.sampleNumber << " axis " << j;
                EXPECT_NEAR(r.rate[j].value(), s.truth.angularRate[j] + s.truth.gyroOffset[j],
                            halfCountBound(cal.rsMatrix, 1.0, j))
                    << "sample " << s.sampleNumber << " axis " << j;
            }
            EXPECT_NEAR(r.temperature.value(), 31.0, 0.5 * kTempScale);
            EXPECT_EQ(r.flags, 0);
            ++samples;
        }
        EXPECT_EQ(samples, trace.sampleCount());
        EXPECT_EQ(samples, 25 + 250 + 200 + 60 + 250 + 25);
    }
}

TEST(MotionTraceRoundTrip, FlatStillDeviceSendsMinusOneGOnZ)
{
    MotionTrace trace(presenterScd().build());
    trace.still(0.04);
    const MotionSample* s = trace.next();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->output6AG.accelerometer[0], 0);
    EXPECT_EQ(s->output6AG.accelerometer[1], 0);
    EXPECT_EQ(s->output6AG.accelerometer[2], -16384);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(s->output6AG.gyroscope[i], 0);
    // 25 degC with 1/16 degC counts above an offset of 400 counts.
    EXPECT_EQ(s->output6AG.temperature, 800);

    const Readback r = readBack(trace.calibration(), s->output6AG);
    EXPECT_EQ(r.acc[0].value(), 0.0f);
    EXPECT_EQ(r.acc[1].value(), 0.0f);
    EXPECT_FLOAT_EQ(r.acc[2].value(), -9.80665f);
}

TEST(MotionTraceRoundTrip, NoiseAndOffsetHaveTheRequestedMeanAndSpread)
{
    const Vec3d offset{0.01, -0.02, 0.03};
    const double accNoise = 0.05;
    const double gyroNoise = 0.01;
    MotionTrace trace(imperfectScd().build(),
                      {.seed = 7, .gyroOffset = offset, .accNoise = accNoise, .gyroNoise = gyroNoise});
    trace.turn({1, 1, 0}, 0.3, 160.0); // 20000 samples, slow enough to keep every axis in range

    double sum[6] = {};
    double sumSq[6] = {};
    for (const MotionSample& s : trace) {
        const Readback r = readBack(trace.calibration(), s.output6AG);
        for (int j = 0; j < 3; ++j) {
            const double accError = r.acc[j].value() - s.truth.specificForce[j];
            const double rateError = r.rate[j].value() - s.truth.angularRate[j];
            sum[j] += accError;
            sumSq[j] += accError * accError;
            sum[3 + j] += rateError;
            sumSq[3 + j] += rateError * rateError;
        }
    }
    const double n = static_cast<double>(trace.sampleCount());
    ASSERT_EQ(n, 20000.0);
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k < 3 ? "accelerometer" : "gyroscope");
        const double sigma = k < 3 ? accNoise : gyroNoise;
        const double expectedMean = k < 3 ? 0.0 : offset[k - 3];
        const double mean = sum[k] / n;
        const double spread = std::sqrt(sumSq[k] / n - mean * mean);
        EXPECT_NEAR(mean, expectedMean, 4.0 * sigma / std::sqrt(n));
        EXPECT_NEAR(spread, sigma, 0.05 * sigma);
    }
}

TEST(MotionTraceRoundTrip, MagnetometerReadsTheWorldFieldInTheBody)
{
    // No variant word at 125 Hz: variant 3 with its default magnetometer matrix.
    const Vec3d field{0.25, 0.05, -0.4};
    MotionTrace trace(presenterScd().build(), {.magneticField = field});
    trace.turn({0, 0, 1}, 1.0, 1.0).turn({1, 1, 1}, -2.0, 1.0);
    const FixedPointCal::Output& cal = trace.calibration();
    ASSERT_EQ(cal.variant, 3);

    const Interpret interpret;
    for (const MotionSample& s : trace) {
        const auto& agm = s.output9AGM;
        Vector3 mag;
        std::uint8_t flags = 0;
        interpret.magInterpret(cal, {agm.magnetometer[0], agm.magnetometer[1], agm.magnetometer[2]}, mag,
                               flags);
        EXPECT_EQ(flags, 0);
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(mag[j].value(), s.truth.magneticField[j], halfCountBound(cal.magMatrix, 1.0, j))
                << "sample " << s.sampleNumber << " axis " << j;
        // The field's length does not change with the device's orientation.
        EXPECT_NEAR(testsupport::norm(s.truth.magneticField), testsupport::norm(field), 1e-12);
    }
}

TEST(MotionTraceRoundTrip, RateBeyondTheGyroscopeRangeClipsAtTheRangeEnds)
{
    MotionTrace trace(presenterScd().build());
    const double fullScale = trace.calibration().rsFullScale;
    trace.turn({1, 0, 0}, 2.0 * fullScale, 0.08).turn({0, 1, 0}, -1.5 * fullScale, 0.08);
    int clippedHigh = 0;
    int clippedLow = 0;
    for (const MotionSample& s : trace) {
        const auto& gyro = s.output6AG.gyroscope;
        const Readback r = readBack(trace.calibration(), s.output6AG);
        EXPECT_EQ(r.flags & Interpret::kFlagRsSaturated, Interpret::kFlagRsSaturated);
        if (s.truth.angularRate[0] > 0) {
            EXPECT_EQ(gyro[0], 32767);
            EXPECT_DOUBLE_EQ(s.truth.angularRate[0], 2.0 * fullScale);
            ++clippedHigh;
        } else {
            EXPECT_EQ(gyro[1], -32768);
            EXPECT_DOUBLE_EQ(s.truth.angularRate[1], -1.5 * fullScale);
            ++clippedLow;
        }
    }
    EXPECT_EQ(clippedHigh, 10);
    EXPECT_EQ(clippedLow, 10);
}

TEST(MotionTraceRoundTrip, TemperatureDriftRampsTheReadingAndTheGyroscopeBias)
{
    const double perDegC = 0.002; // rad/s per degC on x
    MotionTrace trace(presenterScd().build(), {.temperature = 20.0, .gyroOffsetPerDegC = {perDegC, 0, 0}});
    trace.still(0.08).temperatureDrift(30.0, 1.0).still(0.08);

    const double halfDegree = 0.5 * kTempScale;
    int k = 0;
    for (const MotionSample& s : trace) {
        ++k;
        double expected = 20.0;
        if (k > 10)
            expected = k <= 135 ? 20.0 + 10.0 * (k - 10) / 125.0 : 30.0;
        EXPECT_NEAR(s.truth.temperature, expected, 1e-12) << "sample " << k;
        EXPECT_NEAR(s.truth.gyroOffset[0], perDegC * (expected - 20.0), 1e-12);

        const Readback r = readBack(trace.calibration(), s.output6AG);
        EXPECT_NEAR(r.temperature.value(), expected, halfDegree + 1e-5) << "sample " << k;
        EXPECT_NEAR(r.rate[0].value(), perDegC * (expected - 20.0), 0.5 * kGyroScale + 1e-7);
    }
    EXPECT_EQ(k, 145);
}

} // namespace
} // namespace vnx::tracetest
