#pragma once

// A growable byte buffer for assembling messages from a byte stream: bytes
// are appended at the end and consumed from the front. The capacity grows to
// exactly what an append needs and never shrinks.

#include <cstddef>

#include "log/Logger.h"

namespace vnx {

class MessageBuffer
{
  public:
    static constexpr unsigned long kInitialCapacity = 2048;

    MessageBuffer();
    ~MessageBuffer();
    MessageBuffer(const MessageBuffer&) = delete;
    MessageBuffer& operator=(const MessageBuffer&) = delete;

    /// Adds `count` bytes at the end, growing when needed. A negative count
    /// changes nothing; when growing fails the held bytes stay as they are
    /// and the new ones are dropped (logged).
    void append(const unsigned char* bytes, int count);
    /// Drops `count` bytes from the front. More than are held empties the
    /// buffer and answers false; a negative count changes nothing.
    bool shift(int count);

    unsigned long size() const { return size_; }
    unsigned long capacity() const { return capacity_; }
    unsigned char* data() { return data_; }
    const unsigned char* data() const { return data_; }

    /// The logger of every buffer: log node "MessageBuffer" under "sys",
    /// made on first use.
    static log::Logger& logger();

  private:
    unsigned long capacity_;
    unsigned long size_ = 0;
    unsigned char* data_;
};

} // namespace vnx
