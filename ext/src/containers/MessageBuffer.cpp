#include "containers/MessageBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "extCommon/SysLogger.h"

namespace vnx {

log::Logger& MessageBuffer::logger()
{
    static log::SysLogger logger("vnx_ext_MessageBuffer", "MessageBuffer");
    logger.place();
    return logger;
}

MessageBuffer::MessageBuffer()
    : capacity_(kInitialCapacity), data_(static_cast<unsigned char*>(std::malloc(kInitialCapacity)))
{
    if (data_ == nullptr) {
        throw std::bad_alloc();
    }
}

MessageBuffer::~MessageBuffer()
{
    std::free(data_);
}

void MessageBuffer::append(const unsigned char* bytes, int count)
{
    if (count <= 0 || bytes == nullptr) {
        return;
    }
    const unsigned long needed = size_ + static_cast<unsigned long>(count);
    if (needed > capacity_) {
        VNX_LOGF(logger(), log::INFO, "Growing capacity to %lu bytes", needed);
        auto* grown = static_cast<unsigned char*>(std::realloc(data_, needed));
        if (grown == nullptr) {
            VNX_LOGF(logger(), log::ERROR, "Cannot grow to %lu bytes: %d bytes dropped", needed, count);
            return;
        }
        data_ = grown;
        capacity_ = needed;
    }
    std::memcpy(data_ + size_, bytes, static_cast<size_t>(count));
    size_ = needed;
}

bool MessageBuffer::shift(int count)
{
    if (count < 0) {
        return true;
    }
    const auto drop = static_cast<unsigned long>(count);
    if (drop > size_) {
        VNX_LOGF(logger(), log::INFO, "Not enough data to do shift, just clear");
        size_ = 0;
        return false;
    }
    std::memmove(data_, data_ + drop, size_ - drop);
    size_ -= drop;
    return true;
}

} // namespace vnx
