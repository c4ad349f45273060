#pragma once

// The engine's clock. Every timer, capture log and rate measurement reads the
// time source; a client may replace it (for example to replay recorded data in
// its own time base). The thread-time source is a second, separately
// replaceable clock. Both default to a monotonic nanosecond count that does not
// jump with the wall clock.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/// A clock: the current time in nanoseconds.
typedef uint64_t (*vnx_time_source_f)(void);

/// Monotonic system clock (CLOCK_MONOTONIC) in nanoseconds.
uint64_t vnx_time_ns_default(void);
/// The same clock; the thread-time source is not a per-thread CPU clock.
uint64_t vnx_thread_time_ns_default(void);

/// Readings of the time source; the coarser units truncate.
uint64_t vnx_time_ns(void);
uint64_t vnx_time_us(void);
uint64_t vnx_time_ms(void);
uint64_t vnx_time_s(void);
/// Makes `source` the time source (null restores the default); returns the
/// source now in force.
vnx_time_source_f vnx_time_source(vnx_time_source_f source);

uint64_t vnx_thread_time_ns(void);
uint64_t vnx_thread_time_us(void);
uint64_t vnx_thread_time_ms(void);
uint64_t vnx_thread_time_s(void);
vnx_time_source_f vnx_thread_time_source(vnx_time_source_f source);

#ifdef __cplusplus
}
#endif
