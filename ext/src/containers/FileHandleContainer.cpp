#include "containers/FileHandleContainer.h"

#include <algorithm>

namespace vnx {

bool FileHandleContainer::addFileHandle(int fd, uint16_t events)
{
    entries_.push_back({fd, events});
    return listener_ != nullptr ? listener_->addFileHandle(fd, events) : true;
}

bool FileHandleContainer::removeFileHandle(int fd)
{
    const auto first = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.fd == fd; });
    if (first != entries_.end()) {
        entries_.erase(first);
    }
    return listener_ != nullptr ? listener_->removeFileHandle(fd) : true;
}

void FileHandleContainer::notifyAdd(FileHandleListenerInterface* listener) const
{
    if (listener == nullptr) {
        return;
    }
    for (const Entry& entry : entries_) {
        listener->addFileHandle(entry.fd, entry.events);
    }
}

void FileHandleContainer::notifyRemove(FileHandleListenerInterface* listener) const
{
    if (listener == nullptr) {
        return;
    }
    for (const Entry& entry : entries_) {
        listener->removeFileHandle(entry.fd);
    }
}

} // namespace vnx
