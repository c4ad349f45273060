// The activity engine's detectors and tracker on synthetic phone motion.
//
// Cost: ns per process call of every detector and of the activity tracker
// (phone: steps with the still, walking and running classes), each over one
// hour of a synthetic day (rest, walks, runs, a car ride, handling with taps
// and turns) at 25, 50 and 100 Hz, or at its own rate where it takes none of
// those (the tap detector needs 400 Hz and more).
//
// Accuracy of the tracker's step count (printed tables, never pass/fail):
//   - relative error of the total over a grid of cadence 1.4-3.0 Hz and gait
//     amplitude 1-4 m/s^2 at 25, 50 and 100 Hz, 60 s of walking after 5 s of
//     rest, with sensor noise (0.05 m/s^2) and every step's interval jittered
//     by up to +-8 %;
//   - false steps in 10 minutes of rest, of vehicle vibration and of taps;
//   - latency from the first step of a walk to the first reported step.
// The tracker runs the settings the gait classifier was trained with (1-s
// frames, its step channels) and the step detectors' fixture configuration.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

#include "activity/StepDetector.h"
#include "activity/StepDetectorWatch.h"
#include "activity/activityTrackerApi.h"
#include "activity/pocketDetectorApi.h"
#include "activity/significantMotionApi.h"
#include "common/statusCode.h"
#include "detectorApis.h"
#include "trackerFixture.h"

namespace {

using namespace vnx::activitytest;
using vnx::testsupport::GaussianNoise;

constexpr double kPi = std::numbers::pi;
constexpr double kG = 9.81;
constexpr double kHourS = 3600.0;
constexpr std::int32_t kRatesHz[] = {25, 50, 100};

/// What a detector reads of a fusion record.
struct Sample
{
    std::uint32_t timeUs;
    float a[3];
};

/// One hour of a phone's day, repeating every 10 minutes: rest on a table
/// (2 min), a walk at 1.9 Hz (3 min), a run at 2.8 Hz (1 min), a car ride
/// with engine vibration and gentle speed changes (2 min), and handling:
/// slow turns with a tap every 3 s (2 min).
std::vector<Sample> syntheticHour(std::int32_t rateHz)
{
    const auto count = static_cast<std::size_t>(kHourS * rateHz);
    const double dt = 1.0 / rateHz;
    std::vector<Sample> samples(count);
    GaussianNoise noise(rateHz);
    double vibration[3] = {0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i * dt;
        const double s = std::fmod(t, 600.0);
        double a[3] = {0, 0, kG};
        if (s >= 120 && s < 300) {
            a[2] += 2.5 * std::sin(2 * kPi * 1.9 * t);
            a[0] += 0.6 * std::sin(kPi * 1.9 * t);
        } else if (s >= 300 && s < 360) {
            a[2] += 5.0 * std::sin(2 * kPi * 2.8 * t);
            a[0] += 1.2 * std::sin(kPi * 2.8 * t);
        } else if (s >= 360 && s < 480) {
            for (double& v : vibration)
                v = 0.8 * v + 0.35 * noise.next();
            for (int k = 0; k < 3; ++k)
                a[k] += vibration[k];
            a[1] += 1.2 * std::sin(2 * kPi * t / 20.0); // speeding up and braking
        } else if (s >= 480) {
            const double angle = 0.8 * std::sin(2 * kPi * t / 7.0);
            a[0] = kG * std::sin(angle);
            a[2] = kG * std::cos(angle);
            if (std::fmod(s, 3.0) < 0.03)
                a[2] += 15.0;
        }
        samples[i].timeUs = static_cast<std::uint32_t>(std::llround(t * 1e6));
        for (int k = 0; k < 3; ++k)
            samples[i].a[k] = static_cast<float>(a[k] + 0.05 * noise.next());
    }
    return samples;
}

const std::vector<Sample>& hour(std::int32_t rateHz)
{
    static std::vector<Sample> byRate[4];
    const int slot = rateHz == 25 ? 0 : rateHz == 50 ? 1 : rateHz == 100 ? 2 : 3;
    if (byRate[slot].empty())
        byRate[slot] = syntheticHour(rateHz);
    return byRate[slot];
}

/// Runs `process` once per sample of the hour at rateHz, timing each call.
void timeOverHour(benchmark::State& state, std::int32_t rateHz,
                  const std::function<void(const vnx_Mobile_Output_s&)>& process)
{
    const std::vector<Sample>& samples = hour(rateHz);
    vnx_Mobile_Output_s in{};
    in.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
    std::size_t i = 0;
    for (auto _ : state) {
        const Sample& s = samples[i];
        in.timeUs = s.timeUs;
        std::memcpy(in.accelerometer, s.a, sizeof s.a);
        process(in);
        if (++i == samples.size())
            i = 0;
    }
    state.counters["rate_Hz"] = rateHz;
    state.SetItemsProcessed(state.iterations());
}

/// A member of the detector family through its exported functions.
template <class Api> void BM_Detector(benchmark::State& state)
{
    const auto rateHz = static_cast<std::int32_t>(state.range(0));
    typename Api::Config config{};
    Api::defaults(&config);
    typename Api::Handle handle = nullptr;
    Api::initialize(&handle, &config);
    auto periods = accelerometerPeriod(0);
    Api::enable(handle, 1, &periods);
    const auto granted = accelerometerPeriod(1000000 / rateHz);
    if (Api::setInputPeriods(handle, &granted) != VNX_STATUS_SUCCESS) {
        state.SkipWithError("period refused");
        Api::finalize(handle);
        return;
    }
    vnx_Detector_Output_s out{};
    std::uint8_t flag = 0;
    timeOverHour(state, rateHz, [&](const vnx_Mobile_Output_s& in) {
        benchmark::DoNotOptimize(Api::process(handle, &in, &out, &flag));
    });
    Api::finalize(handle);
}

void BM_PocketDetector(benchmark::State& state)
{
    const auto rateHz = static_cast<std::int32_t>(state.range(0));
    vnx_PocketDetectorConfig_s config{};
    vnx_PocketDetector_getConfigDefaults(&config);
    vnx_PocketDetector_Handle handle = nullptr;
    vnx_PocketDetector_initialize(&handle, &config);
    auto periods = accelerometerPeriod(0);
    std::int32_t light = 0, proximity = 0;
    vnx_PocketDetector_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods, &light, &proximity);
    const auto granted = accelerometerPeriod(1000000 / rateHz);
    vnx_PocketDetector_setInputPeriods(handle, &granted, 200000, 200000);
    vnx_Detector_Output_s out{};
    std::uint8_t flag = 0;
    timeOverHour(state, rateHz, [&](const vnx_Mobile_Output_s& in) {
        benchmark::DoNotOptimize(vnx_PocketDetector_process(handle, &in, &out, &flag));
    });
    vnx_PocketDetector_finalize(handle);
}

void BM_SignificantMotion(benchmark::State& state)
{
    const auto rateHz = static_cast<std::int32_t>(state.range(0));
    vnx_SignificantMotionConfig_s config{};
    vnx_SignificantMotion_getSigMoDefaults(&config);
    vnx_SignificantMotion_Handle handle = nullptr;
    vnx_SignificantMotion_initialize(&handle, &config);
    auto periods = accelerometerPeriod(0);
    vnx_SignificantMotion_enableOutputPeriodsAndDeriveInputPeriods(handle, 1, &periods);
    const auto granted = accelerometerPeriod(1000000 / rateHz);
    vnx_SignificantMotion_setInputPeriods(handle, &granted);
    vnx_StepDetector_Output_s steps{};
    vnx_Detector_Output_s out{};
    std::uint8_t flag = 0;
    timeOverHour(state, rateHz, [&](const vnx_Mobile_Output_s& in) {
        steps.totalSteps += (in.timeUs / 500000) & 1; // a step count that moves
        benchmark::DoNotOptimize(vnx_SignificantMotion_process(handle, &in, &steps, &out, &flag));
    });
    vnx_SignificantMotion_finalize(handle);
}

/// A step detector as the tracker drives it, the user on foot.
template <class Detector> void BM_StepDetector(benchmark::State& state)
{
    const auto rateHz = static_cast<std::int32_t>(state.range(0));
    Detector detector;
    const vnx_StepDetectorConfig_s config = stepFixtureConfig();
    detector.init(&config);
    auto periods = accelerometerPeriod(0);
    detector.enableOutputPeriodsAndDeriveInputPeriods(100000, &periods);
    const auto granted = accelerometerPeriod(1000000 / rateHz);
    if (detector.setInputPeriods(&granted) != VNX_STATUS_SUCCESS) {
        state.SkipWithError("period refused");
        return;
    }
    vnx_StepDetector_Output_s out{};
    std::uint8_t flag = 0;
    timeOverHour(state, rateHz, [&](const vnx_Mobile_Output_s& in) {
        benchmark::DoNotOptimize(detector.process(&in, 6, &out, &flag));
    });
}

/// A tracker made through the exported functions, enabled and running.
class BenchTracker
{
  public:
    BenchTracker(std::uint32_t classes, std::int32_t rateHz)
    {
        const auto config = trackerFixtureConfig();
        const auto scd = phoneScd();
        vnx_ActivityTracker_initialize(&handle_, &config, scd.data(), scd.size());
        vnx_ActivityTracker_OutputCategoriesPeriods_s categories{classes, 100000};
        auto periods = accelerometerPeriod(1000000 / rateHz);
        std::int32_t pressure = 0;
        vnx_ActivityTracker_enableOutputPeriodsAndDeriveInputPeriods(handle_, &categories, 0, &periods,
                                                                     &pressure);
        const auto granted = accelerometerPeriod(1000000 / rateHz);
        status_ = vnx_ActivityTracker_setInputPeriods(handle_, &granted, 100000);
    }
    ~BenchTracker() { vnx_ActivityTracker_finalize(handle_); }
    BenchTracker(const BenchTracker&) = delete;
    BenchTracker& operator=(const BenchTracker&) = delete;

    bool running() const { return status_ == VNX_STATUS_SUCCESS; }
    const vnx_ActivityTracker_Output_s& process(const vnx_Mobile_Output_s& in)
    {
        std::uint8_t flag = 0;
        vnx_ActivityTracker_process(handle_, &in, &out_, &flag);
        return out_;
    }
    vnx_ActivityTracker_Handle handle() const { return handle_; }

  private:
    vnx_ActivityTracker_Handle handle_ = nullptr;
    vnx_ActivityTracker_Output_s out_{};
    int status_ = 0;
};

constexpr std::uint32_t kStepClasses = (1u << 4) | (1u << 6) | (1u << 7);

void BM_ActivityTracker(benchmark::State& state)
{
    const auto rateHz = static_cast<std::int32_t>(state.range(0));
    const auto classes = static_cast<std::uint32_t>(state.range(1));
    BenchTracker tracker(classes, rateHz);
    if (!tracker.running()) {
        state.SkipWithError("period refused");
        return;
    }
    timeOverHour(state, rateHz,
                 [&](const vnx_Mobile_Output_s& in) { benchmark::DoNotOptimize(tracker.process(in).valid); });
}

void hourAtEachRate(benchmark::internal::Benchmark* b)
{
    for (std::int32_t rate : kRatesHz)
        b->Arg(rate)->Iterations(static_cast<benchmark::IterationCount>(kHourS * rate));
}

void tapRate(benchmark::internal::Benchmark* b)
{
    b->Arg(500)->Iterations(static_cast<benchmark::IterationCount>(kHourS * 500));
}

#define VNX_BENCH_DETECTOR(Api)                                                                              \
    BENCHMARK(BM_Detector<Api>)->Apply(hourAtEachRate)->Unit(benchmark::kNanosecond)

BENCHMARK(BM_Detector<TapApi>)->Apply(tapRate);
VNX_BENCH_DETECTOR(SleepApi);
VNX_BENCH_DETECTOR(ShakeAccApi);
VNX_BENCH_DETECTOR(PickUpApi);
VNX_BENCH_DETECTOR(FlipApi);
VNX_BENCH_DETECTOR(TiltApi);
VNX_BENCH_DETECTOR(CircleApi);
BENCHMARK(BM_PocketDetector)->Apply(hourAtEachRate);
BENCHMARK(BM_SignificantMotion)->Apply(hourAtEachRate);
BENCHMARK(BM_StepDetector<vnx::activity::StepDetector>)->Apply(hourAtEachRate);
BENCHMARK(BM_StepDetector<vnx::activity::StepDetectorWatch>)->Apply(hourAtEachRate);
BENCHMARK(BM_ActivityTracker)->Apply([](benchmark::internal::Benchmark* b) {
    for (std::int32_t rate : kRatesHz)
        b->Args({rate, kStepClasses})->Iterations(static_cast<benchmark::IterationCount>(kHourS * rate));
    // Every class: the in-vehicle classification needs 100 Hz.
    b->Args({100, 511})->Iterations(static_cast<benchmark::IterationCount>(kHourS * 100));
});

// ---- step-count accuracy -------------------------------------------------

/// Samples at rateHz: `restS` of rest, then a walk of `walkS` at cadenceHz
/// with amplitude `amplitude` (m/s^2) whose step intervals are jittered by up
/// to `jitter` (relative); writes the number of steps taken.
std::vector<vnx_Mobile_Output_s> walkWithJitter(std::int32_t rateHz, double restS, double walkS,
                                                double cadenceHz, double amplitude, double jitter,
                                                std::uint64_t seed, int& steps)
{
    GaussianNoise noise(seed);
    std::mt19937_64 engine(seed);
    std::uniform_real_distribution<double> spread(-jitter, jitter);
    const double dt = 1.0 / rateHz;
    const auto count = static_cast<std::size_t>((restS + walkS) * rateHz);
    std::vector<vnx_Mobile_Output_s> records(count);
    double phase = 0.0; // in steps
    double stepRate = cadenceHz * (1.0 + spread(engine));
    steps = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i * dt;
        double gait = 0.0;
        if (t >= restS) {
            gait = amplitude * std::sin(2 * kPi * phase);
            const double next = phase + stepRate * dt;
            if (std::floor(next) > std::floor(phase)) {
                ++steps;
                stepRate = cadenceHz * (1.0 + spread(engine));
            }
            phase = next;
        }
        vnx_Mobile_Output_s& r = records[i];
        r.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
        r.timeUs = static_cast<std::uint32_t>(std::llround(t * 1e6));
        r.accelerometer[0] = static_cast<float>(0.05 * noise.next());
        r.accelerometer[1] = static_cast<float>(0.05 * noise.next());
        r.accelerometer[2] = static_cast<float>(kG + gait + 0.05 * noise.next());
    }
    return records;
}

/// Total steps reported over the records, and the time of the first report.
struct StepRun
{
    std::uint32_t total = 0;
    double firstStepS = -1.0;
};

StepRun countSteps(std::int32_t rateHz, const std::vector<vnx_Mobile_Output_s>& records)
{
    BenchTracker tracker(kStepClasses, rateHz);
    StepRun run;
    for (const auto& in : records) {
        const auto& out = tracker.process(in);
        if ((out.valid & VNX_ACTIVITY_TRACKER_NEW_STEPS) && out.steps.totalSteps > 0 && run.firstStepS < 0)
            run.firstStepS = in.timeUs * 1e-6;
        if (out.valid & VNX_ACTIVITY_TRACKER_NEW_STEPS)
            run.total = out.steps.totalSteps;
    }
    return run;
}

void BM_StepCountErrorGrid(benchmark::State& state)
{
    const double cadences[] = {1.4, 1.8, 2.2, 2.6, 3.0};
    const double amplitudes[] = {1.0, 2.0, 3.0, 4.0};
    for (auto _ : state) {
        for (std::int32_t rate : kRatesHz) {
            std::printf("step count error %%, %d Hz (rows cadence Hz, columns amplitude m/s^2)\n", rate);
            std::printf("  cadence");
            for (double a : amplitudes)
                std::printf(" %7.1f", a);
            std::printf("\n");
            for (double c : cadences) {
                std::printf("  %7.1f", c);
                for (double a : amplitudes) {
                    int truth = 0;
                    const auto records = walkWithJitter(rate, 5.0, 60.0, c, a, 0.08, 1000 + rate, truth);
                    const StepRun run = countSteps(rate, records);
                    std::printf(" %+7.1f", 100.0 * (static_cast<double>(run.total) - truth) / truth);
                }
                std::printf("\n");
            }
        }
    }
}
BENCHMARK(BM_StepCountErrorGrid)->Iterations(1)->Unit(benchmark::kMillisecond);

/// Ten minutes of something that is not walking.
std::vector<vnx_Mobile_Output_s> notWalking(std::int32_t rateHz, int kind)
{
    GaussianNoise noise(77 + kind);
    const double dt = 1.0 / rateHz;
    const auto count = static_cast<std::size_t>(600.0 * rateHz);
    std::vector<vnx_Mobile_Output_s> records(count);
    double vibration[3] = {0, 0, 0};
    for (std::size_t i = 0; i < count; ++i) {
        const double t = i * dt;
        double a[3] = {0, 0, kG};
        if (kind == 1) { // vehicle: engine and road vibration, speed changes
            for (double& v : vibration)
                v = 0.8 * v + 0.35 * noise.next();
            for (int k = 0; k < 3; ++k)
                a[k] += vibration[k];
            a[1] += 1.2 * std::sin(2 * kPi * t / 20.0);
        } else if (kind == 2 && std::fmod(t, 2.0) < 0.03) { // a tap every 2 s
            a[2] += 15.0;
        }
        vnx_Mobile_Output_s& r = records[i];
        r.validBits = VNX_MOBILE_BIT_ACCELEROMETER;
        r.timeUs = static_cast<std::uint32_t>(std::llround(t * 1e6));
        for (int k = 0; k < 3; ++k)
            r.accelerometer[k] = static_cast<float>(a[k] + 0.05 * noise.next());
    }
    return records;
}

void BM_FalseSteps(benchmark::State& state)
{
    const char* names[] = {"rest", "vehicle vibration", "taps every 2 s"};
    for (auto _ : state) {
        std::printf("false steps in 10 minutes\n  stream              25 Hz   50 Hz  100 Hz\n");
        for (int kind = 0; kind < 3; ++kind) {
            std::printf("  %-18s", names[kind]);
            for (std::int32_t rate : kRatesHz)
                std::printf(" %7u", countSteps(rate, notWalking(rate, kind)).total);
            std::printf("\n");
        }
    }
}
BENCHMARK(BM_FalseSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FirstStepLatency(benchmark::State& state)
{
    for (auto _ : state) {
        std::printf("latency from the first step to the first reported step, s (walk 2.0 Hz, 2.5 m/s^2)\n");
        for (std::int32_t rate : kRatesHz) {
            int truth = 0;
            const auto records = walkWithJitter(rate, 10.0, 30.0, 2.0, 2.5, 0.0, 2000 + rate, truth);
            const StepRun run = countSteps(rate, records);
            if (run.firstStepS < 0)
                std::printf("  %3d Hz: no step reported\n", rate);
            else
                std::printf("  %3d Hz: %.2f\n", rate, run.firstStepS - 10.0);
        }
    }
}
BENCHMARK(BM_FirstStepLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
