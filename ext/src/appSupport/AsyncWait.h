#pragma once

// A poll set: the file descriptors a client loop waits on, each with the
// poll events it waits for. Objects that report their descriptors through a
// FileHandleListenerInterface (domains, named pipes) can hand them to it
// directly. Used from one thread.

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "deviceDomain/FileHandleListenerInterface.h"

namespace vnx {

class AsyncWait : public FileHandleListenerInterface
{
  public:
    /// Entries the set holds before it first grows; it doubles when full.
    static constexpr size_t kInitialCapacity = 16;

    AsyncWait();

    /// Adds `fd` with `events`, or gives an fd already present the new
    /// events. False for fd -1.
    bool addFileHandle(int fd, uint16_t events) override;
    /// Removes `fd`: the last entry takes its place. False when absent.
    bool removeFileHandle(int fd) override;

    /// The events the last wait returned for `fd`; 0 for an unknown fd.
    short getREvents(int fd) const;
    int getNumFileHandles() const { return static_cast<int>(count_); }
    size_t capacity() const { return entries_.size(); }
    /// The entries in their order.
    const pollfd* entries() const { return entries_.data(); }

    /// Waits at most `timeoutMs` milliseconds for any entry's events; the
    /// returned events are then read with getREvents. Always 0.
    int waitOnFileHandles(unsigned timeoutMs);

  private:
    /// The entry of `fd`; count_ when absent.
    size_t indexOf(int fd) const;

    std::vector<pollfd> entries_; ///< capacity entries, the first count_ in use
    size_t count_ = 0;
};

} // namespace vnx
