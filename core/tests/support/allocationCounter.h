#pragma once

// Counts heap allocations of the whole test or benchmark program, so a check
// can show that per-sample work allocates nothing. Linking this library
// replaces the global allocation functions; the count only grows.

namespace vnx::test {

/// Number of calls to any form of global operator new so far.
long allocationCount() noexcept;

/// Allocations made while running `work`.
template <typename Work> long allocationsDuring(Work&& work)
{
    const long before = allocationCount();
    work();
    return allocationCount() - before;
}

} // namespace vnx::test
