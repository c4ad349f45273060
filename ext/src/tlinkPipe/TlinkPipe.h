#pragma once

// Whole link-protocol reports over one named pipe. A FIFO is a byte stream:
// each report travels as one frame, its length as a 32-bit word in the
// host's byte order followed by the report (at most 96 bytes), written in one
// write, so that the reader finds the report boundaries again. Never blocks;
// single-threaded.

#include <cstddef>

#include "log/DefaultLogger.h"
#include "namedPipe/NamedPipe.h"

namespace vnx {

class FileHandleListenerInterface;

class TlinkPipe
{
    VNX_EXT_LOG_DEFAULT(TlinkPipe);

  public:
    /// The largest report a frame carries.
    static constexpr size_t kMaxPayload = 96;
    /// Payload bytes the reader's frame buffer holds.
    static constexpr size_t kReadBuffer = 100;

    TlinkPipe();
    TlinkPipe(const TlinkPipe&) = delete;
    TlinkPipe& operator=(const TlinkPipe&) = delete;

    /// Closes the pipe, then opens it non-blocking: the pipe's answer.
    int open(const char* name, NamedPipe::AccessMode_e access, NamedPipe::CreateMode_e create);
    int close();
    bool isOpen() const;
    void setFileHandleListener(FileHandleListenerInterface* listener);

    /// One frame of `n` bytes: the pipe's answer (-1010 while no reader is
    /// attached); -2 for a payload above 96 bytes, which no frame holds.
    int write(const void* payload, size_t n);
    /// One frame's payload into `buffer`, its length into `*n`: 0; -1010
    /// when no frame waits (an empty frame counts as none); -1030 for a
    /// broken frame, after which the pipe is emptied; -11 when the payload
    /// exceeds `capacity` (the frame is lost); the pipe's errors as they are.
    /// Without a buffer, a read of no bytes: the pipe's answer.
    int read(void* buffer, size_t capacity, size_t* n);
    int readFlush();

  private:
    /// Empties the pipe after a broken frame: -1030.
    int dropFrame();

    NamedPipe pipe_;
};

} // namespace vnx
