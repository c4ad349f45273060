#include "support/allocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacements live in their own translation unit: defined beside the code
// under test, the compiler inlines them and mistakes malloc/free for a
// new/delete mismatch.

namespace {
std::atomic<long> allocations{0};
std::atomic<bool> failing{false};

void* allocate(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (failing.load(std::memory_order_relaxed)) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

long vnx::test::allocationCount() noexcept
{
    return allocations.load(std::memory_order_relaxed);
}

vnx::test::FailingAllocations::FailingAllocations() noexcept
{
    failing.store(true, std::memory_order_relaxed);
}

vnx::test::FailingAllocations::~FailingAllocations()
{
    failing.store(false, std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
