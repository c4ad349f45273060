// The process-wide poll set of the flat API.

#include <cstdint>

#include "appSupport/appSupport.h"
#include "appSupport/fileHandler.h"
#include "common/statusCode.h"
#include "moduleFactory/flatApiGuard.h"

namespace {

vnx::AsyncWait* pollSet = nullptr;

} // namespace

extern "C" int vnx_fileHandler_initialize(void)
{
    if (pollSet != nullptr) {
        return 1;
    }
    return vnx::guardStatus([] {
        pollSet = new vnx::AsyncWait;
        return 0;
    });
}

extern "C" void vnx_fileHandler_add(int fd, int events)
{
    if (pollSet != nullptr) {
        vnx::guardStatus([&] { return pollSet->addFileHandle(fd, static_cast<uint16_t>(events)) ? 0 : -1; });
    }
}

extern "C" void vnx_fileHandler_remove(int fd)
{
    if (pollSet != nullptr) {
        pollSet->removeFileHandle(fd);
    }
}

extern "C" int vnx_fileHandler_poll(unsigned int timeoutMs)
{
    if (pollSet == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    return pollSet->waitOnFileHandles(timeoutMs);
}

extern "C" int vnx_fileHandler_finalize(void)
{
    delete pollSet;
    pollSet = nullptr;
    return 0;
}

namespace vnx {

const AsyncWait* fileHandlerPollSet()
{
    return pollSet;
}

} // namespace vnx
