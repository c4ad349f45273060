#pragma once

// One FIFO in one direction, opened without blocking the engine's thread.
// A write half can be open while no reader exists yet: it then has no
// descriptor, and every write tries to reach a reader again.

#include <cstddef>
#include <cstdint>

namespace vnx {

class FileHandleListenerInterface;

class HalfDuplexNamedPipe
{
  public:
    /// Longest FIFO path, in characters.
    static constexpr size_t kMaxNameLength = 260;
    /// Largest write whose tail the half keeps when the FIFO takes only part
    /// of it (the largest record the engine sends).
    static constexpr size_t kTailCapacity = 8192;

    enum Access_e : int
    {
        ACCESS_READ = 0,
        ACCESS_WRITE = 1,
    };

    HalfDuplexNamedPipe() = default;
    ~HalfDuplexNamedPipe();
    HalfDuplexNamedPipe(const HalfDuplexNamedPipe&) = delete;
    HalfDuplexNamedPipe& operator=(const HalfDuplexNamedPipe&) = delete;

    /// Opens the FIFO at `name` for reading or writing; blocking 0 opens it
    /// non-blocking. Only a FIFO is ever opened: a link, a regular file or a
    /// device node at the path is refused with -962. -2 for a name longer
    /// than kMaxNameLength; -962 when the FIFO is missing (it is created
    /// first when the property PERMISSION_CREATE_NAMED_PIPE allows) or cannot
    /// be opened. A write half with no reader yet opens without descriptor.
    int open(const char* name, int access, int blocking, int create);
    /// Drops an unsent tail; 0.
    int close();
    /// 0 when the whole buffer is in the FIFO or will follow whole (see the
    /// tail); -1010 with nothing written while there is no reader, the FIFO
    /// is full or an earlier tail is still on its way; -1011 for other write
    /// errors and for a short write longer than kTailCapacity; -4 when the
    /// half is not open for writing. A write of no bytes only pushes an
    /// unsent tail on: 0 once it is through.
    int write(const void* buffer, size_t length);
    /// One read of at most `capacity` bytes: 0 with `*count` bytes read;
    /// -1010 when there is nothing (no writer, or no data now); -1011 for a
    /// read error; -4 when the half is not open for reading.
    int read(void* buffer, size_t capacity, size_t* count);

    void setFileHandleListener(FileHandleListenerInterface* listener) { listener_ = listener; }
    bool isOpen() const { return open_; }
    int getAccessMode() const { return access_; }
    int getBlockingMode() const { return blocking_; }
    int getCreateMode() const { return create_; }
    int getFileDescriptor() const { return fd_; }
    bool isWaitingForReader() const { return waitingForReader_; }

  private:
    /// Opens the path without following links and checks that the
    /// descriptor is a FIFO: the descriptor, or -1 with errno set.
    int openFifo(int flags) const;
    bool connectWriter();
    /// Sends what is left of a partial write: true when none is left.
    int sendTail(bool& through);
    void readerLeft();

    char name_[kMaxNameLength + 1] = {};
    bool open_ = false;
    int fd_ = -1;
    int access_ = ACCESS_READ;
    int blocking_ = 0;
    int create_ = 0;
    bool waitingForReader_ = false;
    FileHandleListenerInterface* listener_ = nullptr;

    // The unsent end of a write the FIFO took only part of. Until it is
    // through, nothing else enters the FIFO, so records never interleave.
    unsigned char tail_[kTailCapacity];
    size_t tailStart_ = 0;
    size_t tailEnd_ = 0;
};

} // namespace vnx
