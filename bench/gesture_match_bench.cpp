// One gesture drawn and matched against libraries of 1, 10 and 100 stored
// gestures with codes of 8 and 16 values: the work a cursor sample does when
// the capture flag falls.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gesture/Gesture.h"
#include "gesture/GestureRecognitionProcessor.h"

namespace {

struct Delta
{
    int32_t dx;
    int32_t dy;
};

// Stored codes of varied digits, so every comparison walks its whole table.
std::vector<float> storedCode(int length, int seed)
{
    std::vector<float> code(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        code[static_cast<std::size_t>(i)] = static_cast<float>(1 + (seed * 7 + i * 3) % 8);
    }
    return code;
}

// An L-shaped stroke of 10-unit samples giving about `length` steps, so the
// drawn code has `length` values too.
std::vector<Delta> stroke(int length)
{
    std::vector<Delta> path;
    for (int i = 0; i < length + 3; ++i) {
        path.push_back(i < (length + 3) / 2 ? Delta{10, 0} : Delta{0, 10});
    }
    return path;
}

void BM_CaptureAndMatch(benchmark::State& state)
{
    const int gestures = static_cast<int>(state.range(0));
    const int length = static_cast<int>(state.range(1));
    GestureRecognitionProcessor processor;
    for (int g = 0; g < gestures; ++g) {
        Gesture gesture;
        gesture.setName("gesture " + std::to_string(g));
        gesture.setCode(storedCode(length, g));
        processor.addGesture(gesture);
    }
    const std::vector<Delta> path = stroke(length);
    GestureRecognitionProcessor::Output_t result;
    GestureRecognitionProcessor::AdditionalOutput_t additional;
    for (auto _ : state) {
        processor.processCursorFrame(0, 0, true, result, &additional, 8000);
        for (const Delta& delta : path) {
            processor.processCursorFrame(delta.dx, delta.dy, true, result, &additional, 8000);
        }
        processor.processCursorFrame(0, 0, false, result, &additional, 8000);
        benchmark::DoNotOptimize(result.score);
    }
    state.counters["codeValues"] = static_cast<double>(processor.code().size());
}

BENCHMARK(BM_CaptureAndMatch)->ArgsProduct({{1, 10, 100}, {8, 16}})->ArgNames({"gestures", "codeLength"});

} // namespace
