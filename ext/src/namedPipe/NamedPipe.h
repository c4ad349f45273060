#pragma once

// Bytes between processes through POSIX FIFOs, one-way or as a duplex pair
// "<name>_c2s" (client to server) and "<name>_s2c", without ever blocking
// the engine's thread when opened non-blocking. Not thread-safe.

#include <cstddef>
#include <memory>

#include "log/DefaultLogger.h"

namespace vnx {

class FileHandleListenerInterface;

class NamedPipe
{
    VNX_LOG_DEFAULT_BLOCK("vnx_core_NamedPipe");

  public:
    enum AccessMode_e : int
    {
        ACCESS_READ = 0,          ///< read one FIFO
        ACCESS_WRITE = 1,         ///< write one FIFO
        ACCESS_CLIENT_DUPLEX = 2, ///< write "<name>_c2s", read "<name>_s2c"
        ACCESS_SERVER_DUPLEX = 3, ///< read "<name>_c2s", write "<name>_s2c"
    };
    enum BlockingMode_e : int
    {
        NON_BLOCKING = 0,
        BLOCKING = 1,
    };
    /// Kept with the pipe; whether a missing FIFO is created is decided by
    /// the property PERMISSION_CREATE_NAMED_PIPE.
    enum CreateMode_e : int
    {
        CREATE_BY_PROPERTY = 0,
    };

    NamedPipe();
    ~NamedPipe();
    NamedPipe(const NamedPipe&) = delete;
    NamedPipe& operator=(const NamedPipe&) = delete;

    /// Closes whatever was open, then opens the FIFO or FIFO pair. A duplex
    /// pair whose second FIFO fails leaves the first closed. -2 for a name
    /// (or a derived pair name) longer than 260 characters or an unknown
    /// access mode; otherwise the half pipes' answers.
    int open(const char* name, AccessMode_e access, BlockingMode_e blocking, CreateMode_e create);
    int close();
    bool isOpen() const;
    AccessMode_e getAccessMode() const;
    BlockingMode_e getBlockingMode() const;
    /// Call before open: the reading FIFO's descriptor is reported to it.
    void setFileHandleListener(FileHandleListenerInterface* listener);

    /// The writing half's answer (HalfDuplexNamedPipe::write: a record of up
    /// to 8192 bytes that the FIFO takes only in part still arrives whole);
    /// -4 on a read-only pipe, -10 for an unknown access mode.
    int write(const void* buffer, size_t length);
    /// -4 on a write-only pipe, -10 for an unknown access mode.
    int read(void* buffer, size_t capacity, size_t* count);
    /// Discards everything waiting in the reading FIFO: 0 once it is empty.
    int readFlush();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vnx
