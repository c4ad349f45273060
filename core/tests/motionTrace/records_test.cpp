// The records of a generated sample, reproducibility of the noise, the
// allocation-free walk and the refusal of scenarios that make no sense.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "support/MotionTrace.h"
#include "support/allocationCounter.h"
#include "traceDevices.h"

namespace vnx::tracetest {
namespace {

using testsupport::MotionSample;
using testsupport::MotionTrace;
using testsupport::MotionTraceOptions;

const MotionTraceOptions kNoisy{.seed = 42,
                                .gyroOffset = {0.01, 0, 0},
                                .accNoise = 0.02,
                                .gyroNoise = 0.002,
                                .magneticField = {0.3, 0, -0.4},
                                .magNoise = 0.01};

void addScenario(MotionTrace& trace)
{
    trace.still(0.4).turn({0, 0, 1}, 1.5, 0.4).gap(5).turn({1, 0, 0}, -3.0, 0.2).still(0.2);
}

/// Every record byte of a walk, in order.
std::vector<unsigned char> recordBytes(MotionTrace& trace)
{
    std::vector<unsigned char> bytes;
    auto append = [&bytes](const auto& record) {
        const auto* p = reinterpret_cast<const unsigned char*>(&record);
        bytes.insert(bytes.end(), p, p + sizeof record);
    };
    for (const MotionSample& s : trace) {
        append(s.output6AG);
        append(s.output9AGM);
        append(s.format);
        append(s.accelerometer);
        append(s.gyroscope);
        append(s.magnetometer);
    }
    return bytes;
}

TEST(MotionTraceRecords, EveryFormCarriesTheSameValidSample)
{
    MotionTrace trace(presenterScd().build(), kNoisy);
    addScenario(trace);
    for (const MotionSample& s : trace) {
        SCOPED_TRACE(testing::Message() << "sample " << s.sampleNumber);
        EXPECT_EQ(vnx_DeviceSupport6AG_isStructValid(&s.output6AG.output.header), 1);
        EXPECT_EQ(vnx_DeviceSupport6AG_isStructValid(&s.format6AG.header), 1);
        EXPECT_EQ(vnx_DeviceSupport9AGM_isStructValid(&s.output9AGM.output.header), 1);
        EXPECT_EQ(vnx_DeviceSupport9AGM_isStructValid(&s.format9AGM.header), 1);
        EXPECT_EQ(vnx_DeviceSupport_isStructValid(&s.format.format.header), 1);
        EXPECT_EQ(s.output6AG.gyroscopeGlitch, 0);
        EXPECT_EQ(s.output9AGM.gyroscopeGlitch, 0);
        EXPECT_EQ(s.format.flags, 0u);

        const auto& ag = s.output6AG;
        const auto& agm = s.output9AGM;
        EXPECT_EQ(agm.sampleNumber, ag.sampleNumber);
        EXPECT_EQ(s.format.sampleNumber, static_cast<std::uint32_t>(ag.sampleNumber));
        EXPECT_EQ(agm.temperature, ag.temperature);
        EXPECT_EQ(s.format.temperature, ag.temperature);

        struct Pair
        {
            const vnx_DeviceSupport_Output_s& output;
            std::uint8_t sensor;
            const std::int16_t* counts;
        };
        const Pair pairs[] = {{s.accelerometer, VNX_DEVICE_SUPPORT_ACCELEROMETER, ag.accelerometer},
                              {s.gyroscope, VNX_DEVICE_SUPPORT_GYROSCOPE, ag.gyroscope},
                              {s.magnetometer, VNX_DEVICE_SUPPORT_MAGNETOMETER, agm.magnetometer}};
        for (const Pair& p : pairs) {
            EXPECT_EQ(vnx_DeviceSupport_isStructValid(&p.output.output.header), 1);
            EXPECT_EQ(p.output.sensor, p.sensor);
            EXPECT_EQ(p.output.x, p.counts[0]);
            EXPECT_EQ(p.output.y, p.counts[1]);
            EXPECT_EQ(p.output.z, p.counts[2]);
        }
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(agm.accelerometer[i], ag.accelerometer[i]);
            EXPECT_EQ(agm.gyroscope[i], ag.gyroscope[i]);
        }
    }
}

TEST(MotionTraceRecords, SeedReproducesTheTrace)
{
    MotionTrace first(presenterScd().build(), kNoisy);
    MotionTrace second(presenterScd().build(), kNoisy);
    addScenario(first);
    addScenario(second);
    const std::vector<unsigned char> bytes = recordBytes(first);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(recordBytes(second), bytes);
    EXPECT_EQ(recordBytes(first), bytes) << "a second walk starts over";

    MotionTraceOptions otherSeed = kNoisy;
    otherSeed.seed = 43;
    MotionTrace third(presenterScd().build(), otherSeed);
    addScenario(third);
    EXPECT_NE(recordBytes(third), bytes);
}

TEST(MotionTraceRecords, NoiseOfOneSensorDoesNotDependOnTheOthers)
{
    // Same seed, the accelerometer noise switched off: the gyroscope counts
    // stay the same sample for sample.
    MotionTraceOptions quietAcc = kNoisy;
    quietAcc.accNoise = 0.0;
    MotionTrace noisy(presenterScd().build(), kNoisy);
    MotionTrace quiet(presenterScd().build(), quietAcc);
    noisy.still(0.4);
    quiet.still(0.4);
    int accDiffers = 0;
    for (const MotionSample* a = noisy.next(); a != nullptr; a = noisy.next()) {
        const MotionSample* b = quiet.next();
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(std::memcmp(a->output6AG.gyroscope, b->output6AG.gyroscope, sizeof a->output6AG.gyroscope),
                  0);
        if (std::memcmp(a->output6AG.accelerometer, b->output6AG.accelerometer, 6) != 0)
            ++accDiffers;
    }
    EXPECT_GT(accDiffers, 0);
}

TEST(MotionTraceRecords, WalkingTheTraceAllocatesNothing)
{
    MotionTrace trace(imperfectScd().build(), kNoisy);
    addScenario(trace);
    trace.temperatureDrift(40.0, 0.4);
    long samples = 0;
    const long allocations = test::allocationsDuring([&] {
        for (int pass = 0; pass < 2; ++pass)
            for (const MotionSample& s : trace)
                samples += s.sampleNumber > 0 ? 1 : 0;
    });
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(samples, 2 * trace.sampleCount());
}

TEST(MotionTraceRecords, NonsenseIsRefused)
{
    scdGen4Float_s broken = presenterScd().build();
    broken.checkWord += 1;
    EXPECT_THROW(MotionTrace{broken}, std::invalid_argument);
    EXPECT_THROW(MotionTrace(ScdBuilder().period(0.008).gyroMatrix(kGyroScale * I).build()),
                 std::invalid_argument)
        << "no accelerometer matrix";
    EXPECT_THROW(MotionTrace(ScdBuilder().period(0.008).accelMatrix(kAccScale * I).build()),
                 std::invalid_argument)
        << "no gyroscope matrix";
    // A device whose magnetometer matrix is stored as zero cannot show a field.
    const scdGen4Float_s noMag = presenterScd().variant(24601).build();
    EXPECT_NO_THROW(MotionTrace{noMag});
    EXPECT_THROW(MotionTrace(noMag, {.magneticField = {0.3, 0, 0}}), std::invalid_argument);

    MotionTrace trace(presenterScd().build());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(trace.still(-0.1), std::invalid_argument);
    EXPECT_THROW(trace.still(nan), std::invalid_argument);
    EXPECT_THROW(trace.turn({0, 0, 0}, 1.0, 1.0), std::invalid_argument);
    EXPECT_THROW(trace.turn({0, 0, 1}, nan, 1.0), std::invalid_argument);
    EXPECT_THROW(trace.gap(-1), std::invalid_argument);
    EXPECT_THROW(trace.temperatureDrift(nan, 1.0), std::invalid_argument);
    EXPECT_EQ(trace.sampleCount(), 0);
    EXPECT_EQ(trace.next(), nullptr);
}

} // namespace
} // namespace vnx::tracetest
