#include "common/coreLock.h"

namespace vnx {

std::recursive_mutex& coreMutex() noexcept
{
    // Never destroyed: objects destroyed at exit may still take it.
    static std::recursive_mutex* mutex = new std::recursive_mutex();
    return *mutex;
}

} // namespace vnx
