#pragma once

// The file descriptors someone asked to have watched, with their poll
// events, forwarded to one listener as they change. A listener that arrives
// late can be told the whole set (notifyAdd) and one that leaves can be told
// to forget it (notifyRemove). It is a listener itself, so it can stand
// between a source of descriptors and the real watcher.

#include <cstdint>
#include <vector>

#include "deviceDomain/FileHandleListenerInterface.h"

namespace vnx {

class FileHandleContainer : public FileHandleListenerInterface
{
  public:
    struct Entry
    {
        int fd;
        uint16_t events;
    };

    FileHandleContainer() = default;
    /// Drops the entries; the listener is not told.
    ~FileHandleContainer() override = default;

    /// Sets or clears (null) the listener; nothing is replayed to it.
    void setFileHandleListener(FileHandleListenerInterface* listener) { listener_ = listener; }

    /// Appends {fd, events} (duplicates allowed) and tells the listener: its
    /// answer, true without one.
    bool addFileHandle(int fd, uint16_t events) override;
    /// Removes the first entry of `fd`, if any, and tells the listener in
    /// either case: its answer, true without one.
    bool removeFileHandle(int fd) override;

    /// Tells `listener` every entry, in the order they were added.
    void notifyAdd(FileHandleListenerInterface* listener) const;
    void notifyRemove(FileHandleListenerInterface* listener) const;

    const std::vector<Entry>& entries() const { return entries_; }

  private:
    std::vector<Entry> entries_;
    FileHandleListenerInterface* listener_ = nullptr;
};

} // namespace vnx
