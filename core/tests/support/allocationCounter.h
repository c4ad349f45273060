#pragma once

// Counts heap allocations of the whole test or benchmark program, so a check
// can show that per-sample work allocates nothing, and makes them fail on
// request, so a check can show that running out of memory is answered inside
// the library. Linking this library replaces the global allocation
// functions; the count only grows.

namespace vnx::test {

/// Number of calls to any form of global operator new, and (except under
/// AddressSanitizer, which owns them) to malloc, calloc and realloc, so far.
long allocationCount() noexcept;

/// Whether malloc, calloc and realloc are counted in this build.
bool countsCAllocations() noexcept;

/// Allocations made while running `work`.
template <typename Work> long allocationsDuring(Work&& work)
{
    const long before = allocationCount();
    work();
    return allocationCount() - before;
}

/// Every global operator new throws std::bad_alloc (the nothrow forms give
/// null) while the object lives.
class FailingAllocations
{
  public:
    FailingAllocations() noexcept;
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
};

} // namespace vnx::test
