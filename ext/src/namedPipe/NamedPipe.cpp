#include "namedPipe/NamedPipe.h"

#include <cstdio>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"
#include "namedPipe/HalfDuplexNamedPipe.h"
#include "namedPipe/namedPipeLog.h"

namespace vnx {

class NamedPipe::Impl
{
  public:
    int open(const char* name, int access, int blocking, int create)
    {
        first.close();
        second.close();
        access_ = access;
        switch (access) {
        case ACCESS_READ:
            return first.open(name, HalfDuplexNamedPipe::ACCESS_READ, blocking, create);
        case ACCESS_WRITE:
            return first.open(name, HalfDuplexNamedPipe::ACCESS_WRITE, blocking, create);
        case ACCESS_CLIENT_DUPLEX:
        case ACCESS_SERVER_DUPLEX:
            return openPair(name, access == ACCESS_CLIENT_DUPLEX, blocking, create);
        default:
            return VNX_STATUS_INVALID_PARAMETER;
        }
    }

    int close()
    {
        first.close();
        second.close();
        return VNX_STATUS_SUCCESS;
    }

    bool isDuplex() const { return access_ == ACCESS_CLIENT_DUPLEX || access_ == ACCESS_SERVER_DUPLEX; }

    /// The half that writes, or null with the answer for a pipe that has none.
    HalfDuplexNamedPipe* writer(int& refusal)
    {
        switch (access_) {
        case ACCESS_WRITE:
        case ACCESS_CLIENT_DUPLEX:
            return &first;
        case ACCESS_SERVER_DUPLEX:
            return &second;
        case ACCESS_READ:
            refusal = VNX_STATUS_INVALID_CONFIG;
            return nullptr;
        default:
            refusal = VNX_STATUS_INTERNAL_ERROR;
            return nullptr;
        }
    }

    HalfDuplexNamedPipe* reader(int& refusal)
    {
        switch (access_) {
        case ACCESS_READ:
        case ACCESS_SERVER_DUPLEX:
            return &first;
        case ACCESS_CLIENT_DUPLEX:
            return &second;
        case ACCESS_WRITE:
            refusal = VNX_STATUS_INVALID_CONFIG;
            return nullptr;
        default:
            refusal = VNX_STATUS_INTERNAL_ERROR;
            return nullptr;
        }
    }

    HalfDuplexNamedPipe first;
    HalfDuplexNamedPipe second;
    int access_ = ACCESS_READ;

  private:
    int openPair(const char* name, bool client, int blocking, int create)
    {
        if (name == nullptr) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
        // A pair name that does not fit is refused, never cut: two cut
        // names could meet on the same FIFO.
        char clientToServer[HalfDuplexNamedPipe::kMaxNameLength + 1];
        char serverToClient[HalfDuplexNamedPipe::kMaxNameLength + 1];
        const int c2sLength = std::snprintf(clientToServer, sizeof clientToServer, "%s_c2s", name);
        const int s2cLength = std::snprintf(serverToClient, sizeof serverToClient, "%s_s2c", name);
        if (c2sLength < 0 || s2cLength < 0 ||
            static_cast<size_t>(c2sLength) > HalfDuplexNamedPipe::kMaxNameLength ||
            static_cast<size_t>(s2cLength) > HalfDuplexNamedPipe::kMaxNameLength) {
            VNX_LOGF(namedPipeLog(), log::INFO, "Pipe name is too long");
            return VNX_STATUS_INVALID_PARAMETER;
        }
        const int firstAccess = client ? HalfDuplexNamedPipe::ACCESS_WRITE : HalfDuplexNamedPipe::ACCESS_READ;
        const int secondAccess =
            client ? HalfDuplexNamedPipe::ACCESS_READ : HalfDuplexNamedPipe::ACCESS_WRITE;
        int status = first.open(clientToServer, firstAccess, blocking, create);
        if (status != VNX_STATUS_SUCCESS) {
            return status;
        }
        status = second.open(serverToClient, secondAccess, blocking, create);
        if (status != VNX_STATUS_SUCCESS) {
            first.close();
        }
        return status;
    }
};

NamedPipe::NamedPipe() : impl_(std::make_unique<Impl>())
{
    // The half pipes' logger exists from the first pipe on, so that it can
    // be found (and its level set) before anything is logged.
    namedPipeLog();
}

NamedPipe::~NamedPipe() = default;

int NamedPipe::open(const char* name, AccessMode_e access, BlockingMode_e blocking, CreateMode_e create)
{
    return impl_->open(name, access, blocking, create);
}

int NamedPipe::close()
{
    return impl_->close();
}

bool NamedPipe::isOpen() const
{
    return impl_->first.isOpen() && (!impl_->isDuplex() || impl_->second.isOpen());
}

NamedPipe::AccessMode_e NamedPipe::getAccessMode() const
{
    return static_cast<AccessMode_e>(impl_->access_);
}

NamedPipe::BlockingMode_e NamedPipe::getBlockingMode() const
{
    return static_cast<BlockingMode_e>(impl_->first.getBlockingMode());
}

void NamedPipe::setFileHandleListener(FileHandleListenerInterface* listener)
{
    impl_->first.setFileHandleListener(listener);
    impl_->second.setFileHandleListener(listener);
}

int NamedPipe::write(const void* buffer, size_t length)
{
    int refusal = VNX_STATUS_SUCCESS;
    HalfDuplexNamedPipe* half = impl_->writer(refusal);
    return half != nullptr ? half->write(buffer, length) : refusal;
}

int NamedPipe::read(void* buffer, size_t capacity, size_t* count)
{
    int refusal = VNX_STATUS_SUCCESS;
    HalfDuplexNamedPipe* half = impl_->reader(refusal);
    return half != nullptr ? half->read(buffer, capacity, count) : refusal;
}

int NamedPipe::readFlush()
{
    int refusal = VNX_STATUS_SUCCESS;
    HalfDuplexNamedPipe* half = impl_->reader(refusal);
    if (half == nullptr) {
        return refusal;
    }
    unsigned char chunk[4096];
    for (;;) {
        size_t count = 0;
        const int status = half->read(chunk, sizeof chunk, &count);
        if (status == VNX_STATUS_IO_NOT_READY) {
            return VNX_STATUS_SUCCESS;
        }
        if (status != VNX_STATUS_SUCCESS) {
            return status;
        }
    }
}

} // namespace vnx
