#include "appSupport/AsyncWait.h"

#include <climits>

#include "appSupport/appSupportLog.h"

namespace vnx {

AsyncWait::AsyncWait() : entries_(kInitialCapacity) {}

size_t AsyncWait::indexOf(int fd) const
{
    for (size_t i = 0; i < count_; ++i) {
        if (entries_[i].fd == fd) {
            return i;
        }
    }
    return count_;
}

bool AsyncWait::addFileHandle(int fd, uint16_t events)
{
    if (fd == -1) {
        return false;
    }
    if (const size_t at = indexOf(fd); at < count_) {
        entries_[at].events = static_cast<short>(events);
        return true;
    }
    if (count_ == entries_.size()) {
        entries_.resize(entries_.size() * 2);
    }
    entries_[count_] = {fd, static_cast<short>(events), 0};
    ++count_;
    VNX_LOGF(appSupportLogger(), log::INFO, "Added a handle = %d. Total handles = %d", fd, getNumFileHandles());
    return true;
}

bool AsyncWait::removeFileHandle(int fd)
{
    const size_t at = indexOf(fd);
    if (at == count_) {
        return false;
    }
    entries_[at] = entries_[count_ - 1];
    --count_;
    VNX_LOGF(appSupportLogger(), log::INFO, "Removed a handle. Total handles = %d", getNumFileHandles());
    return true;
}

short AsyncWait::getREvents(int fd) const
{
    const size_t at = indexOf(fd);
    return at < count_ ? entries_[at].revents : short{0};
}

int AsyncWait::waitOnFileHandles(unsigned timeoutMs)
{
    // A time-out beyond what poll takes is the longest it takes, never
    // "wait for ever".
    const int timeout = timeoutMs > static_cast<unsigned>(INT_MAX) ? INT_MAX : static_cast<int>(timeoutMs);
    if (::poll(entries_.data(), static_cast<nfds_t>(count_), timeout) < 0) {
        // A failed wait reports no events rather than those of the wait before.
        for (size_t i = 0; i < count_; ++i) {
            entries_[i].revents = 0;
        }
    }
    return 0;
}

} // namespace vnx
