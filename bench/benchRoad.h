#pragma once

// The timing loop shared by the per-sample benchmarks: one road step per
// iteration, restarting the trace outside the timing when it runs out, and
// counting heap allocations and failed calls per sample.

#include <benchmark/benchmark.h>

#include "support/allocationCounter.h"

/// Mean time per sample from the framework, allocations per sample. `Road`
/// has atEnd(), restart() and step() (0 on success).
template <class Road> void runRoad(benchmark::State& state, Road& road)
{
    long samples = 0;
    long allocations = 0;
    int failures = 0;
    for (auto _ : state) {
        if (road.atEnd()) {
            state.PauseTiming();
            road.restart();
            state.ResumeTiming();
        }
        const long before = vnx::test::allocationCount();
        failures += road.step() != 0;
        allocations += vnx::test::allocationCount() - before;
        ++samples;
    }
    state.counters["allocs_per_sample"] = static_cast<double>(allocations) / static_cast<double>(samples);
    state.counters["failed_calls"] = failures;
}
