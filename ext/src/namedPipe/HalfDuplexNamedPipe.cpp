#include "namedPipe/HalfDuplexNamedPipe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/properties.h"
#include "common/statusCode.h"
#include "deviceDomain/FileHandleListenerInterface.h"
#include "extCommon/extStatusCode.h"
#include "namedPipe/fifoWrite.h"
#include "namedPipe/namedPipeLog.h"

namespace vnx {

namespace {

constexpr uint16_t kPollIn = 1;

bool wouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

} // namespace

HalfDuplexNamedPipe::~HalfDuplexNamedPipe()
{
    close();
}

int HalfDuplexNamedPipe::openFifo(int flags) const
{
    // O_NOFOLLOW: a link put in the FIFO's place is never followed.
    const int fd = ::open(name_, flags | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    struct stat opened = {};
    if (fstat(fd, &opened) != 0 || !S_ISFIFO(opened.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

int HalfDuplexNamedPipe::open(const char* name, int access, int blocking, int create)
{
    if (open_) {
        close();
    }
    waitingForReader_ = false;
    if (name == nullptr || (access != ACCESS_READ && access != ACCESS_WRITE)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    const size_t length = std::strlen(name);
    if (length > kMaxNameLength) {
        VNX_LOGF(namedPipeLog(), log::INFO, "Pipe name is too long");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    std::memcpy(name_, name, length + 1);

    if (vnx_properties_getAsBoolean("PERMISSION_CREATE_NAMED_PIPE", false) && mkfifo(name_, 0600) != 0 &&
        errno != EEXIST) {
        VNX_LOGF(namedPipeLog(), log::INFO, "Unable to create named pipe: %s(%s)", name_,
                 std::strerror(errno));
        return VNX_STATUS_DEVICE_FAILED_TO_OPEN;
    }
    // Looked at without following links: only a FIFO itself is opened.
    struct stat path = {};
    if (lstat(name_, &path) != 0) {
        VNX_LOGF(namedPipeLog(), log::INFO, "Named pipe does not exist: {%s} (%s)", name_,
                 std::strerror(errno));
        return VNX_STATUS_DEVICE_FAILED_TO_OPEN;
    }
    if (!S_ISFIFO(path.st_mode)) {
        VNX_LOGF(namedPipeLog(), log::INFO, "Not a named pipe: {%s}", name_);
        return VNX_STATUS_DEVICE_FAILED_TO_OPEN;
    }

    if (access == ACCESS_READ) {
        checkSigPipe();
    }
    int flags = access == ACCESS_READ ? O_RDONLY : O_WRONLY;
    if (blocking == 0) {
        flags |= O_NONBLOCK;
    }
    const int fd = openFifo(flags);
    if (fd < 0) {
        if (access == ACCESS_WRITE && errno == ENXIO) {
            VNX_LOGF(namedPipeLog(), log::INFO, "No reader to pipe yet.");
            waitingForReader_ = true;
        } else {
            VNX_LOGF(namedPipeLog(), log::INFO, "Unable to open named pipe: {%s} (%s)", name_,
                     std::strerror(errno));
            return VNX_STATUS_DEVICE_FAILED_TO_OPEN;
        }
    }
    fd_ = fd;
    access_ = access;
    blocking_ = blocking;
    create_ = create;
    open_ = true;
    if (access == ACCESS_READ && fd_ >= 0 && listener_ != nullptr) {
        listener_->addFileHandle(fd_, kPollIn);
    }
    return VNX_STATUS_SUCCESS;
}

int HalfDuplexNamedPipe::close()
{
    if (fd_ >= 0) {
        if (access_ == ACCESS_READ && listener_ != nullptr) {
            listener_->removeFileHandle(fd_);
        }
        VNX_LOGF(namedPipeLog(), log::INFO, "Closing file handle: %d", fd_);
        if (::close(fd_) != 0) {
            VNX_LOGF(namedPipeLog(), log::INFO, "Failed to gracefully close the pipe.");
        }
    }
    fd_ = -1;
    open_ = false;
    // A new reader starts on a record boundary.
    tailStart_ = tailEnd_ = 0;
    return VNX_STATUS_SUCCESS;
}

bool HalfDuplexNamedPipe::connectWriter()
{
    const int fd = openFifo(O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        VNX_LOGF(namedPipeLog(), log::INFO, "No reader to pipe yet.");
        waitingForReader_ = true;
        return false;
    }
    fd_ = fd;
    VNX_LOGF(namedPipeLog(), log::INFO, "Reader now attached to pipe!");
    return true;
}

void HalfDuplexNamedPipe::readerLeft()
{
    VNX_LOGF(namedPipeLog(), log::INFO, "The reader disconnected from the pipe!");
    close();
    // Still open for writing: the next write waits for a new reader.
    open_ = true;
    waitingForReader_ = true;
}

int HalfDuplexNamedPipe::sendTail(bool& through)
{
    const ssize_t sent = writeWithoutSigPipe(fd_, tail_ + tailStart_, tailEnd_ - tailStart_);
    if (sent < 0) {
        const int error = errno;
        if (wouldBlock(error)) {
            return VNX_STATUS_IO_NOT_READY;
        }
        if (error == EPIPE) {
            readerLeft();
            return VNX_STATUS_IO_NOT_READY;
        }
        VNX_LOGF(namedPipeLog(), log::INFO, "Error writing to namedPipe(%s)", std::strerror(error));
        return VNX_STATUS_IO_ERROR;
    }
    tailStart_ += static_cast<size_t>(sent);
    through = tailStart_ == tailEnd_;
    if (through) {
        tailStart_ = tailEnd_ = 0;
    }
    return VNX_STATUS_SUCCESS;
}

int HalfDuplexNamedPipe::write(const void* buffer, size_t length)
{
    if (!open_ || access_ != ACCESS_WRITE) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    if (fd_ < 0 && !connectWriter()) {
        return VNX_STATUS_IO_NOT_READY;
    }
    waitingForReader_ = false;

    if (tailEnd_ > tailStart_) {
        bool through = false;
        const int status = sendTail(through);
        if (status != VNX_STATUS_SUCCESS) {
            return status;
        }
        if (!through) {
            return VNX_STATUS_IO_NOT_READY;
        }
    }

    const ssize_t written = writeWithoutSigPipe(fd_, buffer, length);
    if (written < 0) {
        const int error = errno;
        if (wouldBlock(error)) {
            return VNX_STATUS_IO_NOT_READY;
        }
        if (error == EPIPE) {
            readerLeft();
            return VNX_STATUS_IO_NOT_READY;
        }
        VNX_LOGF(namedPipeLog(), log::INFO, "Error writing to namedPipe(%s)", std::strerror(error));
        return VNX_STATUS_IO_ERROR;
    }
    const auto taken = static_cast<size_t>(written);
    if (taken < length) {
        // A FIFO takes writes above PIPE_BUF in parts. Keep the rest and
        // send it before anything else, so the record arrives whole.
        if (length <= kTailCapacity) {
            std::memcpy(tail_, static_cast<const unsigned char*>(buffer) + taken, length - taken);
            tailStart_ = 0;
            tailEnd_ = length - taken;
            return VNX_STATUS_SUCCESS;
        }
        VNX_LOGF(namedPipeLog(), log::INFO, "Write length mismatch(%s)", std::strerror(errno));
        return VNX_STATUS_IO_ERROR;
    }
    return VNX_STATUS_SUCCESS;
}

int HalfDuplexNamedPipe::read(void* buffer, size_t capacity, size_t* count)
{
    if (!open_ || access_ != ACCESS_READ) {
        return VNX_STATUS_INVALID_CONFIG;
    }
    size_t ignored = 0;
    size_t& got = count != nullptr ? *count : ignored;
    got = 0;
    if (fd_ < 0) {
        return VNX_STATUS_IO_NOT_READY;
    }
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n < 0) {
        const int error = errno;
        if (wouldBlock(error)) {
            return VNX_STATUS_IO_NOT_READY;
        }
        VNX_LOGF(namedPipeLog(), log::INFO, "Error reading from namedPipe(%s)", std::strerror(error));
        return VNX_STATUS_IO_ERROR;
    }
    if (n == 0) {
        return VNX_STATUS_IO_NOT_READY; // no writer, or no data now
    }
    got = static_cast<size_t>(n);
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
