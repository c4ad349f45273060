// The main road per sample: SensorFusion::process on input interface 5 (one
// DeviceSupport6AG sample and one ButtonActivity record) over a generated
// trace of hand-like motion with sensor noise and a gyroscope offset.
// Reported: time per sample (mean from the framework, worst of every timed
// call as a counter) and heap allocations per sample after init.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "benchRoad.h"
#include "benchTrace.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "coreEntry/coreEntry.h"
#include "deviceSupport/DeviceSupport6AG.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleApi.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/allocationCounter.h"

namespace {

using vnx::bench::benchDevice;
using vnx::bench::traceSamples;

/// One SensorFusion module fed sample after sample; starts again from a fresh
/// init at the end of the trace.
class MainRoad
{
  public:
    MainRoad() : scd_(benchDevice()), samples_(traceSamples(scd_))
    {
        vnx_core_initialize();
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION);
        std::memset(&button_, 0, sizeof button_);
        vnx_ButtonActivity_initOutput(&button_);
        vnx_DeviceSupport6AG_initFormat(&sampleFormat_);
        vnx_ButtonActivity_initFormat(&buttonFormat_);
        vnx_SensorFusion_initOutput(&motion_);
        vnx_SensorFusion_initFormat(&motionFormat_);
        vnx_ActivityClassification_initOutput(&activity_);
        vnx_ActivityClassification_initFormat(&activityFormat_);
        vnx_ButtonActivity_initOutput(&buttons_);
        vnx_ButtonActivity_initFormat(&buttonsFormat_);
        restart();
    }
    ~MainRoad()
    {
        module_->term();
        vnx::ModuleFactory::destroyModule(module_);
        vnx_core_finalize();
    }

    bool atEnd() const { return next_ == samples_.size(); }

    void restart()
    {
        int scdOffset = 0;
        int dcdOffset = 0;
        module_->init(&scd_.head, scdOffset, nullptr, dcdOffset);
        next_ = 0;
    }

    int step()
    {
        const vnx_StructOutput_s* inputs[] = {&samples_[next_++].output, &button_.output};
        const vnx_StructFormat_s* formats[] = {&sampleFormat_, &buttonFormat_};
        vnx_StructOutput_s* outputs[] = {&motion_.output, &activity_.output, &buttons_.output};
        vnx_StructFormat_s* outputFormats[] = {&motionFormat_.format, &activityFormat_, &buttonsFormat_};
        return module_->process(5, 2, inputs, formats, 0, 3, outputs, outputFormats);
    }

    const vnx_SensorFusion_Output_s& motion() const { return motion_; }

  private:
    scdGen4Float_s scd_;
    std::vector<vnx_DeviceSupport6AG_Output_s> samples_;
    std::size_t next_ = 0;
    vnx::ModuleInterface* module_ = nullptr;
    vnx_ButtonActivity_Output_s button_;
    vnx_DeviceSupport6AG_Format_s sampleFormat_;
    vnx_ButtonActivity_Format_s buttonFormat_;
    vnx_SensorFusion_Output_s motion_;
    vnx_SensorFusion_Format_s motionFormat_;
    vnx_ActivityClassification_Output_s activity_;
    vnx_ActivityClassification_Format_s activityFormat_;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_ButtonActivity_Format_s buttonsFormat_;
};

/// Mean time per sample, and allocations per sample.
void BM_SensorFusionProcess6AG(benchmark::State& state)
{
    MainRoad road;
    runRoad(state, road);
}
BENCHMARK(BM_SensorFusionProcess6AG);

/// The same main road through the flat API: each sample is handed over with a
/// module handle, which the library looks up before it calls the module.
void BM_SensorFusionProcess6AGFlat(benchmark::State& state)
{
    MainRoad road;
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(VNX_TYPE_SENSOR_FUSION);
    const scdGen4Float_s scd = benchDevice();
    const std::vector<vnx_DeviceSupport6AG_Output_s> samples = traceSamples(scd);
    auto restart = [&] {
        int scdOffset = 0;
        int dcdOffset = 0;
        vnx_Module_init(handle, &scd.head, &scdOffset, nullptr, &dcdOffset);
    };
    restart();
    std::size_t next = 0;
    vnx_ButtonActivity_Output_s button;
    std::memset(&button, 0, sizeof button);
    vnx_ButtonActivity_initOutput(&button);
    vnx_DeviceSupport6AG_Format_s sampleFormat;
    vnx_DeviceSupport6AG_initFormat(&sampleFormat);
    vnx_ButtonActivity_Format_s buttonFormat;
    vnx_ButtonActivity_initFormat(&buttonFormat);
    vnx_SensorFusion_Output_s motion;
    vnx_SensorFusion_initOutput(&motion);
    vnx_SensorFusion_Format_s motionFormat;
    vnx_SensorFusion_initFormat(&motionFormat);
    vnx_ActivityClassification_Output_s activity;
    vnx_ActivityClassification_initOutput(&activity);
    vnx_ActivityClassification_Format_s activityFormat;
    vnx_ActivityClassification_initFormat(&activityFormat);
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    vnx_ButtonActivity_Format_s buttonsFormat;
    vnx_ButtonActivity_initFormat(&buttonsFormat);
    long samplesRun = 0;
    long allocations = 0;
    int failures = 0;
    for (auto _ : state) {
        if (next == samples.size()) {
            state.PauseTiming();
            restart();
            next = 0;
            state.ResumeTiming();
        }
        const vnx_StructOutput_s* inputs[] = {&samples[next++].output, &button.output};
        const vnx_StructFormat_s* formats[] = {&sampleFormat, &buttonFormat};
        vnx_StructOutput_s* outputs[] = {&motion.output, &activity.output, &buttons.output};
        vnx_StructFormat_s* outputFormats[] = {&motionFormat.format, &activityFormat, &buttonsFormat};
        const long before = vnx::test::allocationCount();
        failures += vnx_Module_process(handle, 5, 2, inputs, formats, 0, 3, outputs, outputFormats) != 0;
        allocations += vnx::test::allocationCount() - before;
        benchmark::DoNotOptimize(motion);
        ++samplesRun;
    }
    vnx_ModuleFactory_destroyModule(handle);
    state.counters["allocs_per_sample"] = static_cast<double>(allocations) / static_cast<double>(samplesRun);
    state.counters["failed_calls"] = failures;
}
BENCHMARK(BM_SensorFusionProcess6AGFlat);

/// The cost of the handle lookup alone: the cheapest flat call, with a few
/// hundred other live handles around it.
void BM_FlatHandleLookup(benchmark::State& state)
{
    vnx_core_initialize();
    std::vector<vnx_ModuleHandle_s*> others;
    for (int i = 0; i < 300; ++i) {
        others.push_back(vnx_ModuleFactory_createModule(VNX_TYPE_TEST_MODULE));
    }
    vnx_ModuleHandle_s* handle = vnx_ModuleFactory_createModule(VNX_TYPE_TEST_MODULE);
    int failures = 0;
    for (auto _ : state) {
        failures += vnx_Module_getType(handle) != VNX_TYPE_TEST_MODULE;
    }
    vnx_ModuleFactory_destroyModule(handle);
    for (vnx_ModuleHandle_s* other : others) {
        vnx_ModuleFactory_destroyModule(other);
    }
    vnx_core_finalize();
    state.counters["failed_calls"] = failures;
}
BENCHMARK(BM_FlatHandleLookup);

/// The slowest single call over whole traces (each call timed on its own,
/// so the mean here includes the clock reads).
void BM_SensorFusionWorstSample(benchmark::State& state)
{
    MainRoad road;
    double worstNs = 0.0;
    double totalNs = 0.0;
    long samples = 0;
    for (auto _ : state) {
        road.restart();
        while (!road.atEnd()) {
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(road.step());
            const double ns =
                std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
            worstNs = ns > worstNs ? ns : worstNs;
            totalNs += ns;
            ++samples;
        }
    }
    state.counters["worst_ns"] = worstNs;
    state.counters["timed_mean_ns"] = totalNs / static_cast<double>(samples);
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_SensorFusionWorstSample)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
