// Cost of a log call whose level filters it out: it must stay a few
// nanoseconds and allocate nothing, because per-sample code logs at levels
// that are normally off. The passing call is measured beside it for scale.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <new>

#include "common/NodeManager.h"
#include "log/Appender.h"
#include "log/DefaultLogger.h"
#include "log/Logger.h"
#include "log/TransparentFormatter.h"

namespace {

size_t allocationCount = 0;

} // namespace

// The replaced operators pair malloc with free themselves; GCC cannot see that
// through inlining and warns at every delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

// Every allocation of the program goes through here, so the benchmarks can
// report how many happened inside their timed loop.
void* operator new(std::size_t size)
{
    ++allocationCount;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

class Fusion
{
    VNX_LOG_DEFAULT(SensorFusion);

  public:
    // Stands for a per-sample method that traces its input.
    void process(int sample, float value) const
    {
        VNX_LOGF(dftLog_, vnx::log::TRACE, "sample %d value %f", sample, static_cast<double>(value));
    }
};

class NullAppender : public vnx::log::Appender
{
  public:
    void log(const vnx::log::LogEvent&) override {}
};

// Allocations of `calls` calls of `logOnce`, counted outside the timed loop
// so that the benchmark framework's own allocations do not count.
template <class Call> void checkNoAllocation(benchmark::State& state, Call logOnce)
{
    constexpr int calls = 10000;
    const size_t before = allocationCount;
    for (int i = 0; i < calls; ++i) {
        logOnce(i);
    }
    const size_t allocated = allocationCount - before;
    state.counters["allocs_per_call"] = static_cast<double>(allocated) / calls;
    if (allocated != 0) {
        state.SkipWithError("a filtered-out log call allocated");
    }
}

void BM_FilteredLogf(benchmark::State& state)
{
    vnx::log::Logger logger("vnx_core_Bench", "bench", vnx::log::WARN, vnx::log::TYPE_CONSOLE);
    auto logOnce = [&logger](int sample) {
        VNX_LOGF(logger, vnx::log::TRACE, "sample %d value %f", sample, 0.5);
        benchmark::ClobberMemory(); // the level is read again on every call
    };
    checkNoAllocation(state, logOnce);
    int sample = 0;
    for (auto _ : state) {
        logOnce(sample++);
    }
}
BENCHMARK(BM_FilteredLogf);

void BM_FilteredDefaultLogger(benchmark::State& state)
{
    {
        Fusion fusion;
        auto logOnce = [&fusion](int sample) {
            fusion.process(sample, 1.0f);
            benchmark::ClobberMemory();
        };
        checkNoAllocation(state, logOnce);
        int sample = 0;
        for (auto _ : state) {
            logOnce(sample++);
        }
    }
    vnx::NodeManager::getInstance().reset();
}
BENCHMARK(BM_FilteredDefaultLogger);

// For scale: the same call when the level passes and a formatter renders it.
void BM_PassedLogf(benchmark::State& state)
{
    vnx::log::Logger logger("vnx_core_Bench", "bench", vnx::log::TRACE, vnx::log::TYPE_CONSOLE);
    NullAppender appender;
    vnx::log::TransparentFormatter formatter;
    formatter.setAppender(&appender, false);
    logger.addFormatter(&formatter, false);
    int sample = 0;
    for (auto _ : state) {
        VNX_LOGF(logger, vnx::log::TRACE, "sample %d value %f", sample, 0.5);
        ++sample;
    }
    logger.removeFormatter(&formatter);
}
BENCHMARK(BM_PassedLogf);

} // namespace
