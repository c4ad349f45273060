#pragma once

// Counts the allocations of a test program, so a test can show that per-sample
// work allocates nothing. Include this header in exactly one source file of
// the program: it replaces the global allocation functions.
//
//   const long before = vnx::testsupport::allocationCount();
//   ... per-sample calls ...
//   EXPECT_EQ(vnx::testsupport::allocationCount() - before, 0);

#include <atomic>
#include <cstdlib>
#include <new>

namespace vnx::testsupport {

inline std::atomic<long>& allocationCounter()
{
    static std::atomic<long> count{0};
    return count;
}

/// Allocations through the global operator new since the program started.
inline long allocationCount()
{
    return allocationCounter().load();
}

} // namespace vnx::testsupport

void* operator new(std::size_t size)
{
    ++vnx::testsupport::allocationCounter();
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
