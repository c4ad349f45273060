// Accuracy report of the fusion main road (not a benchmark, not a test):
// runs the SensorFusion module over the project's standard generated traces
// and prints one table per scenario: inclination error (RMS and largest),
// largest whole orientation error, heading drift at the end, and the error
// of the removed gyroscope offset at the end and at its worst, in degrees
// and degrees per second. Each scenario runs on the test devices of the
// accuracy tests and on a device that declares the noise of a real part.
//
//   fusion_accuracy            every scenario
//   fusion_accuracy turn       only the scenarios whose name contains "turn"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "coreEntry/coreEntry.h"
#include "support/MotionTrace.h"
#include "support/ScdBuilder.h"
#include "support/fusionDrivers.h"
#include "support/fusionScenarios.h"

namespace {

using vnx::testsupport::AccuracyFigures;
using vnx::testsupport::AccuracyMeter;
using vnx::testsupport::I;
using vnx::testsupport::MotionSample;
using vnx::testsupport::MotionTrace;
using vnx::testsupport::MotionTraceOptions;
using vnx::testsupport::ScdBuilder;
using vnx::testsupport::SensorFusionDriver;
using vnx::testsupport::Vec3d;

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
const Vec3d kOffset{0.01, -0.02, 0.015};
const Vec3d kLargeOffset{0.05, -0.04, 0.03};
const Vec3d kNoOffset{0.0, 0.0, 0.0};

/// The accuracy tests' six-axis device at 125 Hz; gyroscope noise in counts
/// of 1 mrad/s.
ScdBuilder testDevice(float gyroNoiseCounts)
{
    return ScdBuilder()
        .period(0.008)
        .accelMatrix(vnx::Fp32(19.6133f) * I)
        .accelNoise(4, 4, 4)
        .gyroMatrix(vnx::Fp32(0.001f) * I)
        .gyroNoise(gyroNoiseCounts, gyroNoiseCounts, gyroNoiseCounts)
        .zroTerms(0.005f, 0.005f)
        .zroInitSigma(0.02f)
        .deviceKind(1);
}

struct Device
{
    const char* name;
    scdGen4Float_s scd;
    /// Noise of the simulated sensors for a seed and an offset.
    std::function<MotionTraceOptions(std::uint64_t, const Vec3d&)> noise;
};

std::vector<Device> devices()
{
    const auto testNoise = [](std::uint64_t seed, const Vec3d& offset) {
        return MotionTraceOptions{.seed = seed, .gyroOffset = offset, .accNoise = 0.02, .gyroNoise = 0.002};
    };
    return {
        {"test device, gyro noise 4 counts", testDevice(4).build(), testNoise},
        {"test device, gyro noise 2 counts", testDevice(2).build(), testNoise},
        {"realistic noise (acc 0.02, gyro 0.005)", vnx::testsupport::realisticDevice().build(),
         vnx::testsupport::realisticNoise},
    };
}

/// One row: the trace run through a fresh module, measured from `fromS` on.
AccuracyFigures run(const scdGen4Float_s& scd, MotionTrace& trace, double fromS)
{
    SensorFusionDriver road;
    road.init(scd);
    AccuracyMeter meter(trace.periodS(), fromS);
    for (const MotionSample& sample : trace) {
        road.process(sample);
        meter.add(sample, road.orientation(), road.removedOffset());
    }
    return meter.figures();
}

void printHeader(const char* scenario)
{
    std::printf("\n### %s\n\n", scenario);
    std::printf("| device / case | incl rms deg | incl max deg | orient max deg | heading end deg | "
                "offset err end deg/s | offset err max deg/s |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
}

void printRow(const std::string& name, const AccuracyFigures& f)
{
    std::printf("| %s | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f |\n", name.c_str(), f.rmsInclinationDeg,
                f.maxInclinationDeg, f.maxOrientationDeg, f.finalHeadingDriftDeg, f.finalOffsetErrorDegS,
                f.maxOffsetErrorDegS);
}

struct Scenario
{
    const char* name;
    /// Appends the motion to the trace; returns the time from which it is measured.
    std::function<double(MotionTrace&)> build;
    Vec3d offset;
};

void runScenario(const Scenario& s)
{
    printHeader(s.name);
    for (const Device& d : devices()) {
        MotionTrace trace(d.scd, d.noise(1, s.offset));
        const double fromS = s.build(trace);
        printRow(d.name, run(d.scd, trace, fromS));
    }
}

/// The steady-turn table on one device: each rate and axis, with and
/// without a gyroscope offset.
void runSteadyTurns(const Device& d)
{
    const std::string title = std::string("steady turns, ") + d.name;
    printHeader(title.c_str());
    for (const Vec3d& offset : {kNoOffset, kOffset}) {
        for (const vnx::testsupport::SteadyTurnCase& t : vnx::testsupport::kSteadyTurns) {
            MotionTrace trace(d.scd, d.noise(2, offset));
            vnx::testsupport::steadyTurn(trace, t.axis, t.rateDegPerS);
            char name[96];
            std::snprintf(name, sizeof name, "%g deg/s about the %s%s", t.rateDegPerS, t.axisName,
                          offset == kNoOffset ? "" : ", with offset");
            printRow(name, run(d.scd, trace, 0.0));
        }
    }
}

std::vector<Scenario> scenarios()
{
    return {
        {"still, 2 minutes, offset 1.5 deg/s",
         [](MotionTrace& t) {
             t.still(120.0);
             return 0.0;
         },
         kOffset},
        {"hand-like presenter motion, 60 s between 5 s still",
         [](MotionTrace& t) {
             t.still(5.0);
             vnx::testsupport::handMotion(t, 60.0);
             t.still(5.0);
             return 0.0;
         },
         kOffset},
        {"fast turns about each axis",
         [](MotionTrace& t) {
             t.still(5.0).turn({1, 0, 0}, 3.0, 1.0).turn({0, 1, 0}, -4.0, 1.0).turn({0, 0, 1}, 6.0, 2.0);
             t.still(2.0).turn({1, 1, 0}, -5.0, 1.5).still(2.0).turn({0, 1, 1}, 7.0, 1.0).still(5.0);
             return 0.0;
         },
         kOffset},
        {"still 10 s, then moved, larger offset (3 deg/s)",
         [](MotionTrace& t) {
             t.still(10.0);
             vnx::testsupport::handMotion(t, 30.0);
             t.still(5.0);
             return 0.0;
         },
         kLargeOffset},
        {"turning at start (2 s at 0.5 rad/s about x), 60 s still, hand motion; from the end of the turn",
         [](MotionTrace& t) {
             t.turn({1, 0, 0}, 0.5, 2.0).still(60.0);
             vnx::testsupport::handMotion(t, 30.0);
             return 2.0;
         },
         kNoOffset},
    };
}

} // namespace

int main(int argc, char** argv)
{
    const char* filter = argc > 1 ? argv[1] : "";
    vnx_core_initialize();
    std::printf("# Fusion accuracy of the SensorFusion main road\n");
    for (const Scenario& s : scenarios()) {
        if (std::strstr(s.name, filter) != nullptr)
            runScenario(s);
    }
    if (std::strstr("steady turns", filter) != nullptr) {
        for (const Device& d : devices())
            runSteadyTurns(d);
    }
    vnx_core_finalize();
    return 0;
}
