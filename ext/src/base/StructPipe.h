#pragma once

// Whole engine records over a named pipe: a plain stream of records back to
// back, each exactly as in memory (its header's size field says how long it
// is). Non-blocking: reading an empty pipe answers -1010 at once.

#include <cstddef>

#include "common/record.h"
#include "log/DefaultLogger.h"
#include "namedPipe/NamedPipe.h"

namespace vnx {

class FileHandleListenerInterface;

class StructPipe
{
    VNX_EXT_LOG_DEFAULT(StructPipe);

  public:
    /// Largest record that travels through a record pipe.
    static constexpr size_t kMaxRecordSize = 8192;

    StructPipe();
    ~StructPipe();
    StructPipe(const StructPipe&) = delete;
    StructPipe& operator=(const StructPipe&) = delete;

    /// Closes the pipe, then opens it non-blocking: the named pipe's answer.
    int open(const char* name, NamedPipe::AccessMode_e access, NamedPipe::CreateMode_e create);
    int close();
    bool isOpen() const;
    void setFileHandleListener(FileHandleListenerInterface* listener);

    /// Sends the whole record in one write: 0, or the named pipe's answer
    /// (-1010 while no reader is attached or the FIFO is full). -2 for a
    /// null record, one larger than kMaxRecordSize or smaller than a header.
    int write(const vnx_Struct_s* record);

    /// Reads the next record into `record` (`capacity` bytes):
    /// 0 when a whole record was read; -1010 when none is waiting;
    /// -11 when `capacity` cannot hold a header, or the record's size (its
    /// header is then in the buffer and the rest of that record is skipped,
    /// now and, for what has not arrived yet, at the next read);
    /// -1030 for a short header, a size below the header's or a record
    /// shorter than its size (what is waiting in the pipe is discarded);
    /// other named-pipe errors as they come. A null record does a zero-length
    /// read and answers its status.
    int read(vnx_Struct_s* record, size_t capacity);

  private:
    /// Discards what is left of a record that did not fit: true when all of
    /// it is gone.
    bool skipRest();

    NamedPipe pipe_;
    size_t toSkip_ = 0;
};

} // namespace vnx
