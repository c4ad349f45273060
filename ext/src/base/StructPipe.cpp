#include "base/StructPipe.h"

#include <algorithm>

#include "common/NodeManager.h"
#include "common/statusCode.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

constexpr size_t kHeaderSize = sizeof(vnx_Struct_s);

} // namespace

StructPipe::StructPipe()
{
    NodeManager::getInstance().addNode(this, &pipe_, NodeInterface::NODE_SUBNODE, "NamedPipe");
}

StructPipe::~StructPipe()
{
    NodeManager::getInstance().removeNode(static_cast<const void*>(&pipe_));
}

int StructPipe::open(const char* name, NamedPipe::AccessMode_e access, NamedPipe::CreateMode_e create)
{
    close();
    return pipe_.open(name, access, NamedPipe::NON_BLOCKING, create);
}

int StructPipe::close()
{
    toSkip_ = 0;
    return pipe_.close();
}

bool StructPipe::isOpen() const
{
    return pipe_.isOpen();
}

void StructPipe::setFileHandleListener(FileHandleListenerInterface* listener)
{
    pipe_.setFileHandleListener(listener);
}

int StructPipe::write(const vnx_Struct_s* record)
{
    if (record == nullptr || record->size > kMaxRecordSize || record->size < kHeaderSize) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return pipe_.write(record, record->size);
}

bool StructPipe::skipRest()
{
    unsigned char scratch[4096];
    while (toSkip_ > 0) {
        size_t got = 0;
        if (pipe_.read(scratch, std::min(toSkip_, sizeof scratch), &got) != VNX_STATUS_SUCCESS) {
            return false;
        }
        toSkip_ -= got;
    }
    return true;
}

int StructPipe::read(vnx_Struct_s* record, size_t capacity)
{
    size_t got = 0;
    if (record == nullptr) {
        return pipe_.read(nullptr, 0, &got);
    }
    if (capacity < kHeaderSize) {
        return VNX_STATUS_SIZE_TOO_SMALL;
    }
    // The body of a record that did not fit must not be read as a header.
    if (!skipRest()) {
        return VNX_STATUS_IO_NOT_READY;
    }

    int status = pipe_.read(record, kHeaderSize, &got);
    if (status < 0) {
        return status;
    }
    if (got == 0) {
        return VNX_STATUS_IO_NOT_READY;
    }
    if (got < kHeaderSize) {
        VNX_LOGF(dftLog_, log::WARN, "Could not read the entire header: %d < %d", int(got), int(kHeaderSize));
        pipe_.readFlush();
        return VNX_STATUS_INVALID_MESSAGE;
    }
    const size_t size = record->size;
    if (size < kHeaderSize) {
        VNX_LOGF(dftLog_, log::WARN, "Message header size below the header's own: %d < %d", int(size),
                 int(kHeaderSize));
        pipe_.readFlush();
        return VNX_STATUS_INVALID_MESSAGE;
    }
    if (size > capacity) {
        VNX_LOGF(dftLog_, log::WARN, "Provided structure is too small: %d > %d", int(size), int(capacity));
        toSkip_ = size - kHeaderSize;
        skipRest();
        return VNX_STATUS_SIZE_TOO_SMALL;
    }

    got = 0;
    if (size > kHeaderSize) {
        status = pipe_.read(reinterpret_cast<unsigned char*>(record) + kHeaderSize, size - kHeaderSize, &got);
        if (status != VNX_STATUS_SUCCESS && status != VNX_STATUS_IO_NOT_READY) {
            return status;
        }
    }
    if (kHeaderSize + got == size) {
        return VNX_STATUS_SUCCESS;
    }
    VNX_LOGF(dftLog_, log::WARN, "Message header size and actual size mismatch: %d != %d", int(size),
             int(kHeaderSize + got));
    pipe_.readFlush();
    return VNX_STATUS_INVALID_MESSAGE;
}

} // namespace vnx
