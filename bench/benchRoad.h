#pragma once

// The timing loops shared by the per-sample benchmarks: one road step per
// iteration, restarting the trace outside the timing when it runs out, and
// counting heap allocations and failed calls per sample; and every step of a
// whole trace timed on its own for the mean and the 99th percentile.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

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

namespace vnx::bench {

struct Figures
{
    double meanNs = 0.0;
    double p99Ns = 0.0;
};

/// Every step of one road over the whole trace timed on its own (so the
/// figures include the clock reads); `ns` is scratch room.
template <class Road> Figures timeEachSample(Road& road, std::vector<double>& ns)
{
    using Clock = std::chrono::steady_clock;
    ns.clear();
    road.restart();
    while (!road.atEnd()) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(road.step());
        ns.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
    }
    Figures figures;
    for (double value : ns) {
        figures.meanNs += value;
    }
    figures.meanNs /= static_cast<double>(ns.size());
    const auto p99 = ns.begin() + static_cast<long>(static_cast<double>(ns.size() - 1) * 0.99);
    std::nth_element(ns.begin(), p99, ns.end());
    figures.p99Ns = *p99;
    return figures;
}

} // namespace vnx::bench
