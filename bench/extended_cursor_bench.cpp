// The cursor stage of the main road per sample: ExtendedCursor::process with
// the desktop client's settings (pointer scale, PointerResponse gain, a
// 5120 x 3200 display) in bounded pointing (mode 2) and in absolute pointing
// that hides off-screen (mode 3), over hand-like rates and orientations.
// Reported: time per sample and heap allocations per sample after the first.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "buttonActivity/ButtonActivityRecords.h"
#include "extendedCursor/ExtendedCursor.h"
#include "sensorFusionModule/SensorFusionRecords.h"
#include "shakeDetector/ShakeDetectorRecords.h"
#include "support/allocationCounter.h"

namespace {

constexpr int kSamples = 4096;

struct Sample
{
    vnx_SensorFusion_Output_s motion;
};

std::vector<Sample> handMotion()
{
    std::vector<Sample> samples(kSamples);
    for (int i = 0; i < kSamples; ++i) {
        vnx_SensorFusion_Output_s& m = samples[i].motion;
        vnx_SensorFusion_initOutput(&m);
        m.sampleNumber = static_cast<uint32_t>(i + 1);
        const float t = 0.008f * static_cast<float>(i);
        const float rates[3] = {0.0f, 0.4f * std::sin(1.3f * t), 0.8f * std::sin(0.9f * t)};
        for (int k = 0; k < 3; ++k)
            std::memcpy(&m.angularVelocity[k], &rates[k], 4);
        const float yaw = 0.3f * std::sin(0.9f * t) / 2.0f;
        const float pitch = 0.2f * std::sin(1.3f * t) / 2.0f;
        const float q[4] = {std::cos(yaw) * std::cos(pitch), -std::sin(yaw) * std::sin(pitch),
                            std::cos(yaw) * std::sin(pitch), std::sin(yaw) * std::cos(pitch)};
        for (int k = 0; k < 4; ++k)
            std::memcpy(&m.quaternion[k], &q[k], 4);
    }
    return samples;
}

void BM_ExtendedCursorProcess(benchmark::State& state)
{
    vnx::ExtendedCursor cursor;
    int a = 0, b = 0;
    cursor.init(nullptr, a, nullptr, b);
    vnx_ExtendedCursor_Config_s config;
    vnx_ExtendedCursor_initConfig(&config);
    config.curveSelector = 3;
    config.pointingMode = static_cast<uint32_t>(state.range(0));
    config.viewingAngle = 0.5395598f;
    config.standardCursor.pointerScale = 98304; // 1.5
    cursor.setConfig(&config.config);
    vnx_ExtendedCursor_Command_s bounds;
    vnx_ExtendedCursor_initCommand(&bounds);
    bounds.code = ZEPHRA_CURSOR_COMMAND_SET_BOUNDS;
    bounds.data.setBounds = {{0, 0, 5120, 3200}, {0, 0, 5120, 3200}};
    cursor.sendCommand(&bounds.command);

    std::vector<Sample> samples = handMotion();
    vnx_SensorFusion_Format_s format;
    vnx_SensorFusion_initFormat(&format);
    format.periodUs = 8000;
    format.angularVelocityQ = 127;
    format.quaternionQ = 127;
    vnx_ButtonActivity_Output_s buttons;
    vnx_ButtonActivity_initOutput(&buttons);
    buttons.activity = 0;
    vnx_ShakeDetector_Output_s shake;
    vnx_ShakeDetector_initOutput(&shake);
    vnx_ExtendedCursor_Output_s out;
    vnx_ExtendedCursor_initOutput(&out);
    vnx_ExtendedCursor_Format_s outFormat;
    vnx_ExtendedCursor_initFormat(&outFormat);
    vnx_StructOutput_s* outputs[] = {&out.output};
    vnx_StructFormat_s* outFormats[] = {&outFormat.format};
    const vnx_StructFormat_s* formats[] = {&format.format, nullptr, nullptr};

    uint32_t sampleNumber = 0;
    auto step = [&](size_t i) {
        Sample& s = samples[i % samples.size()];
        s.motion.sampleNumber = ++sampleNumber;
        const vnx_StructOutput_s* inputs[] = {&s.motion.output, &buttons.output, &shake.output};
        cursor.process(0, 3, inputs, formats, 0, 1, outputs, outFormats);
    };
    step(0);
    const long before = vnx::test::allocationCount();
    size_t i = 1;
    for (auto _ : state) {
        step(i++);
        benchmark::DoNotOptimize(out.x);
    }
    state.counters["allocations_per_sample"] =
        static_cast<double>(vnx::test::allocationCount() - before) / static_cast<double>(i);
}

BENCHMARK(BM_ExtendedCursorProcess)->Arg(2)->Arg(3)->ArgName("pointingMode");

} // namespace
