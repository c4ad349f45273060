#pragma once

#include <stdint.h>

namespace vnx {

/// Told of the file descriptors an object wants watched with poll, so that its
/// owner can wait on all of them at once. Events are poll event bits
/// (POLLIN = 1). The order of the operations is part of the binary interface.
class FileHandleListenerInterface
{
  public:
    virtual ~FileHandleListenerInterface() = default;
    virtual bool addFileHandle(int fd, uint16_t events) = 0;
    virtual bool removeFileHandle(int fd) = 0;
};

} // namespace vnx
