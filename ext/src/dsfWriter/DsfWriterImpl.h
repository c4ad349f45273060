#pragma once

// The open file of a DsfWriter and the numbering state of what it writes.

#include <cstdint>
#include <cstdio>
#include <memory>

namespace vnx {

class DsfWriterImpl
{
  public:
    DsfWriterImpl() = default;
    ~DsfWriterImpl();
    DsfWriterImpl(const DsfWriterImpl&) = delete;
    DsfWriterImpl& operator=(const DsfWriterImpl&) = delete;

    /// Takes `file` (standard output is never closed, only flushed) and
    /// gives it a buffer of `bufferSize` bytes when non-zero.
    void attach(std::FILE* file, size_t bufferSize);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    /// Writes formatted text; nothing while closed. Write errors are ignored:
    /// a capture never stops the device.
    void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// `"01,ab,00"`: two hex digits per byte, the first byte always.
    void printBytes(const unsigned char* bytes, unsigned long count);

    uint32_t channelCount = 0; ///< channels defined in this file
    int32_t column = -1;       ///< columns of the multi-column line in progress, -1 none

  private:
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
};

} // namespace vnx
