#pragma once

// The core library's one lock. It guards what every thread shares: the node
// tree, the factory registry, the instance pools and the placement of
// loggers, that is creation, destruction and registration. It is recursive,
// since creating a module creates its children and places their nodes.
// No per-sample call takes it: a module created on one thread may be fed on
// another, one thread at a time.

#include <mutex>

namespace vnx {

std::recursive_mutex& coreMutex() noexcept;

/// Holds the core lock for one scope.
class CoreLock
{
  public:
    CoreLock() : lock_(coreMutex()) {}

  private:
    std::lock_guard<std::recursive_mutex> lock_;
};

} // namespace vnx
