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

} // namespace

// The C allocation functions are counted too (records, for one, are
// calloc'ed), by standing in front of the C library's own. Under
// AddressSanitizer the sanitizer owns them, and only operator new is counted.
#if defined(__SANITIZE_ADDRESS__)
#define KINEMORA_COUNT_C_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KINEMORA_COUNT_C_ALLOCATIONS 0
#endif
#endif
#ifndef KINEMORA_COUNT_C_ALLOCATIONS
#define KINEMORA_COUNT_C_ALLOCATIONS 1
#endif

#if KINEMORA_COUNT_C_ALLOCATIONS
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);

void* malloc(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(p, size);
}
}
#define KINEMORA_PLAIN_MALLOC __libc_malloc
#else
#define KINEMORA_PLAIN_MALLOC std::malloc
#endif

namespace {
void* allocate(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (failing.load(std::memory_order_relaxed)) {
        throw std::bad_alloc();
    }
    // Not through the counted malloc: one operator new counts once.
    if (void* p = KINEMORA_PLAIN_MALLOC(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

bool vnx::test::countsCAllocations() noexcept
{
    return KINEMORA_COUNT_C_ALLOCATIONS != 0;
}

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
