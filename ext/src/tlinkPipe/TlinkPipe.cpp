#include "tlinkPipe/TlinkPipe.h"

#include <cstdint>
#include <cstring>

#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

constexpr size_t kHeaderBytes = sizeof(uint32_t);

} // namespace

TlinkPipe::TlinkPipe() : dftLog_(this) {}

int TlinkPipe::open(const char* name, NamedPipe::AccessMode_e access, NamedPipe::CreateMode_e create)
{
    pipe_.close();
    return pipe_.open(name, access, NamedPipe::NON_BLOCKING, create);
}

int TlinkPipe::close()
{
    return pipe_.close();
}

bool TlinkPipe::isOpen() const
{
    return pipe_.isOpen();
}

void TlinkPipe::setFileHandleListener(FileHandleListenerInterface* listener)
{
    pipe_.setFileHandleListener(listener);
}

int TlinkPipe::readFlush()
{
    return pipe_.readFlush();
}

int TlinkPipe::write(const void* payload, size_t n)
{
    if (n > kMaxPayload || (payload == nullptr && n > 0)) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    uint8_t frame[kHeaderBytes + kMaxPayload] = {};
    const auto length = static_cast<uint32_t>(n);
    std::memcpy(frame, &length, sizeof length);
    if (n > 0) {
        std::memcpy(frame + kHeaderBytes, payload, n);
    }
    return pipe_.write(frame, kHeaderBytes + n);
}

int TlinkPipe::dropFrame()
{
    pipe_.readFlush();
    return VNX_STATUS_INVALID_MESSAGE;
}

int TlinkPipe::read(void* buffer, size_t capacity, size_t* n)
{
    size_t ignored = 0;
    size_t& length = n != nullptr ? *n : ignored;
    length = 0;
    if (buffer == nullptr) {
        size_t none = 0;
        return pipe_.read(nullptr, 0, &none);
    }

    uint8_t header[kHeaderBytes];
    size_t got = 0;
    int status = pipe_.read(header, sizeof header, &got);
    if (status < 0) {
        return status;
    }
    if (got == 0) {
        return VNX_STATUS_IO_NOT_READY;
    }
    if (got < sizeof header) {
        // Frames are written whole: a cut header means the stream lost its
        // frame boundaries.
        VNX_LOGF(dftLog_, log::WARN, "Message header size and actual size mismatch: %d != %d",
                 static_cast<int>(sizeof header), static_cast<int>(got));
        return dropFrame();
    }
    uint32_t announced = 0;
    std::memcpy(&announced, header, sizeof announced);
    if (announced > kReadBuffer) {
        VNX_LOGF(dftLog_, log::WARN, "Message size exceeds internal buffer: %d > %d",
                 static_cast<int>(announced), static_cast<int>(kReadBuffer));
        return dropFrame();
    }
    if (announced == 0) {
        // No payload bytes follow an empty frame.
        return VNX_STATUS_IO_NOT_READY;
    }

    uint8_t payload[kReadBuffer];
    got = 0;
    status = pipe_.read(payload, announced, &got);
    if (status < 0) {
        return status;
    }
    if (got == 0) {
        return VNX_STATUS_IO_NOT_READY;
    }
    if (got != announced) {
        VNX_LOGF(dftLog_, log::WARN, "Message header size and actual size mismatch: %d != %d",
                 static_cast<int>(announced), static_cast<int>(got));
        return dropFrame();
    }
    if (announced > kMaxPayload) {
        VNX_LOGF(dftLog_, log::WARN, "Message size exceeds maximum");
        return dropFrame();
    }
    if (announced > capacity) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    std::memcpy(buffer, payload, announced);
    length = announced;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
