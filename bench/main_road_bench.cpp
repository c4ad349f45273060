// The engine's whole main road per sample, as the desktop client drives it:
// vnx_Device_sendInput, then vnx_Domain_process, on a ManualDevice hosting
// the ExtendedPipeBundle (type 102) with the client's cursor settings and
// display bounds, over the same trace as bench_sensor_fusion. SensorFusion
// alone runs on the same samples in the same program, so the cost of the
// chain beyond fusion (the aim: under 1 us per sample) is the difference.
// Reported: mean and p99 ns per sample of both, their difference, and heap
// allocations per sample after start-up.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "activityClassification/ActivityClassificationRecords.h"
#include "benchRoad.h"
#include "engineLibraries.h"
#include "benchTrace.h"
#include "buttonActivity/ButtonActivityRecords.h"
#include "common/moduleType.h"
#include "moduleFactory/ModuleFactory.h"
#include "moduleFactory/moduleInterface.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "support/allocationCounter.h"
#include "support/desktopDevice.h"

namespace {

using vnx::bench::startLibraries;

/// The trace's samples with one Format for all, as the client's reader makes
/// them.
struct Trace
{
    Trace() : scd(vnx::bench::benchDevice()), samples(vnx::bench::traceSamples(scd))
    {
        vnx_DeviceSupport6AG_initFormat(&format);
    }
    scdGen4Float_s scd;
    std::vector<vnx_DeviceSupport6AG_Output_s> samples;
    vnx_DeviceSupport6AG_Format_s format;
};

const Trace& trace()
{
    static const Trace shared;
    return shared;
}

/// The desktop device over the trace; a fresh device at the end of it, so
/// the sample numbers never run backwards. The first sample and the set-up
/// are not timed.
class DeviceRoad
{
  public:
    explicit DeviceRoad(bool withGesture = false) : withGesture_(withGesture) { restart(); }

    bool atEnd() const { return next_ == trace().samples.size(); }
    void restart()
    {
        device_.reset();
        device_ = std::make_unique<vnx::testsupport::DesktopDevice>(trace().scd);
        next_ = 0;
        failures_ += device_->start(trace().samples[next_++], trace().format, false) != 0;
        if (withGesture_) {
            failures_ += device_->addGesture(VNX_TYPE_LINEAR_GESTURE) != 0;
            failures_ += step() != 0; // the host takes the new output shape
        }
    }
    int step()
    {
        const uint32_t buttons = next_ % 1000 < 50 ? 1u : 0u;
        const vnx_DeviceSupport6AG_Output_s& sample = trace().samples[next_++];
        return device_->step(sample, trace().format, buttons);
    }
    int failures() const { return failures_; }
    size_t outputs() const { return device_->last().count; }

  private:
    bool withGesture_;
    std::unique_ptr<vnx::testsupport::DesktopDevice> device_;
    size_t next_ = 0;
    int failures_ = 0;
};

/// SensorFusion alone on interface 5, as bench_sensor_fusion runs it.
class FusionAlone
{
  public:
    FusionAlone()
    {
        module_ = vnx::ModuleFactory::createModule(nullptr, VNX_TYPE_SENSOR_FUSION);
        vnx_ButtonActivity_initOutput(&button_);
        vnx_ButtonActivity_initFormat(&buttonFormat_);
        vnx_SensorFusion_initOutput(&motion_);
        vnx_SensorFusion_initFormat(&motionFormat_);
        vnx_ActivityClassification_initOutput(&activity_);
        vnx_ActivityClassification_initFormat(&activityFormat_);
        vnx_ButtonActivity_initOutput(&buttons_);
        vnx_ButtonActivity_initFormat(&buttonsFormat_);
        restart();
    }
    ~FusionAlone() { vnx::ModuleFactory::destroyModule(module_); }

    bool atEnd() const { return next_ == trace().samples.size(); }
    void restart()
    {
        int scdOffset = 0;
        int dcdOffset = 0;
        module_->init(&trace().scd.head, scdOffset, nullptr, dcdOffset);
        next_ = 0;
    }
    int step()
    {
        button_.buttons = next_ % 1000 < 50 ? 1u : 0u;
        const vnx_StructOutput_s* inputs[] = {&trace().samples[next_++].output, &button_.output};
        const vnx_StructFormat_s* formats[] = {&trace().format, &buttonFormat_};
        vnx_StructOutput_s* outputs[] = {&motion_.output, &activity_.output, &buttons_.output};
        vnx_StructFormat_s* outputFormats[] = {&motionFormat_.format, &activityFormat_, &buttonsFormat_};
        return module_->process(5, 2, inputs, formats, 0, 3, outputs, outputFormats);
    }

  private:
    vnx::ModuleInterface* module_ = nullptr;
    size_t next_ = 0;
    vnx_ButtonActivity_Output_s button_;
    vnx_ButtonActivity_Format_s buttonFormat_;
    vnx_SensorFusion_Output_s motion_;
    vnx_SensorFusion_Format_s motionFormat_;
    vnx_ActivityClassification_Output_s activity_;
    vnx_ActivityClassification_Format_s activityFormat_;
    vnx_ButtonActivity_Output_s buttons_;
    vnx_ButtonActivity_Format_s buttonsFormat_;
};

void BM_DeviceRoadSample(benchmark::State& state)
{
    startLibraries();
    DeviceRoad road;
    runRoad(state, road);
    state.counters["outputs"] = static_cast<double>(road.outputs());
    state.counters["failed_calls"] += road.failures();
}
BENCHMARK(BM_DeviceRoadSample);

void BM_DeviceRoadSampleWithLinearGesture(benchmark::State& state)
{
    startLibraries();
    DeviceRoad road(true);
    runRoad(state, road);
    state.counters["outputs"] = static_cast<double>(road.outputs());
    state.counters["failed_calls"] += road.failures();
}
BENCHMARK(BM_DeviceRoadSampleWithLinearGesture);

void BM_SensorFusionAloneSample(benchmark::State& state)
{
    startLibraries();
    FusionAlone road;
    runRoad(state, road);
}
BENCHMARK(BM_SensorFusionAloneSample);

/// Mean and p99 of the whole road and of SensorFusion alone, each call timed
/// on its own (so both include the clock reads), and the chain beyond fusion
/// as their difference.
void BM_MainRoadPerSampleFigures(benchmark::State& state)
{
    startLibraries();
    DeviceRoad device;
    FusionAlone fusion;
    std::vector<double> ns;
    ns.reserve(trace().samples.size());
    vnx::bench::Figures road;
    vnx::bench::Figures alone;
    for (auto _ : state) {
        road = vnx::bench::timeEachSample(device, ns);
        alone = vnx::bench::timeEachSample(fusion, ns);
    }
    state.counters["road_mean_ns"] = road.meanNs;
    state.counters["road_p99_ns"] = road.p99Ns;
    state.counters["fusion_mean_ns"] = alone.meanNs;
    state.counters["fusion_p99_ns"] = alone.p99Ns;
    state.counters["beyond_fusion_mean_ns"] = road.meanNs - alone.meanNs;
    state.counters["beyond_fusion_p99_ns"] = road.p99Ns - alone.p99Ns;
    state.counters["samples"] = static_cast<double>(trace().samples.size());
    state.counters["failed_calls"] = device.failures();
}
BENCHMARK(BM_MainRoadPerSampleFigures)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
