#include "common/timeSource.h"

#include <time.h>

#include <atomic>

namespace {

constexpr uint64_t kNsPerUs = 1000u;
constexpr uint64_t kNsPerMs = 1000000u;
constexpr uint64_t kNsPerS = 1000000000u;

// Atomic so that a client replacing a source from another thread is no data
// race; relaxed, as nothing else is ordered by it.
std::atomic<vnx_time_source_f> timeSource{vnx_time_ns_default};
std::atomic<vnx_time_source_f> threadTimeSource{vnx_thread_time_ns_default};

vnx_time_source_f install(std::atomic<vnx_time_source_f>& slot, vnx_time_source_f source,
                          vnx_time_source_f fallback)
{
    vnx_time_source_f chosen = source != nullptr ? source : fallback;
    slot.store(chosen, std::memory_order_relaxed);
    return chosen;
}

} // namespace

extern "C" {

uint64_t vnx_time_ns_default(void)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * kNsPerS + static_cast<uint64_t>(now.tv_nsec);
}

uint64_t vnx_thread_time_ns_default(void)
{
    return vnx_time_ns_default();
}

uint64_t vnx_time_ns(void)
{
    return timeSource.load(std::memory_order_relaxed)();
}

uint64_t vnx_time_us(void)
{
    return vnx_time_ns() / kNsPerUs;
}

uint64_t vnx_time_ms(void)
{
    return vnx_time_ns() / kNsPerMs;
}

uint64_t vnx_time_s(void)
{
    return vnx_time_ns() / kNsPerS;
}

vnx_time_source_f vnx_time_source(vnx_time_source_f source)
{
    return install(timeSource, source, vnx_time_ns_default);
}

uint64_t vnx_thread_time_ns(void)
{
    return threadTimeSource.load(std::memory_order_relaxed)();
}

uint64_t vnx_thread_time_us(void)
{
    return vnx_thread_time_ns() / kNsPerUs;
}

uint64_t vnx_thread_time_ms(void)
{
    return vnx_thread_time_ns() / kNsPerMs;
}

uint64_t vnx_thread_time_s(void)
{
    return vnx_thread_time_ns() / kNsPerS;
}

vnx_time_source_f vnx_thread_time_source(vnx_time_source_f source)
{
    return install(threadTimeSource, source, vnx_thread_time_ns_default);
}

} // extern "C"
