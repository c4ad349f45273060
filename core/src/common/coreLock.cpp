#include "common/coreLock.h"

#include <new>

namespace vnx {

std::recursive_mutex& coreMutex() noexcept
{
    // Never destroyed: objects destroyed at exit may still take it. Built in
    // static storage, not on the heap: the first call may come while memory
    // is exhausted, and this function cannot report a failure.
    alignas(std::recursive_mutex) static unsigned char storage[sizeof(std::recursive_mutex)];
    static std::recursive_mutex* mutex = new (storage) std::recursive_mutex();
    return *mutex;
}

} // namespace vnx
