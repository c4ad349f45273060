#include "dcdStore/ZephraDcdManager.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/properties.h"
#include "common/statusCode.h"
#include "extCommon/SysLogger.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

const log::Logger& storeLog()
{
    static log::SysLogger logger("vnx_ext_ZephraDcdManager", "ZephraDcdManager");
    return logger;
}

uint32_t littleEndianWord(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool writeAll(int fd, const uint8_t* bytes, size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(fd, bytes, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

// Makes a rename in the directory of `path` durable.
void syncDirectoryOf(const char* path)
{
    std::string directory(path);
    const size_t slash = directory.rfind('/');
    directory = slash == std::string::npos ? "." : slash == 0 ? "/" : directory.substr(0, slash);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool ZephraDcdManager::createPath(const vnx_DomainGuid_s& guid, char* path)
{
    storeLog(); // the store's logger exists from its first use on
    uint8_t bytes[sizeof(vnx_DomainGuid_s)];
    std::memcpy(bytes, &guid, sizeof bytes);
    const int length = std::snprintf(path, kPathSize, "%s%s/%08X-%08X-%08X-%08X-%1d.dcd",
                                     vnx_properties_getAsString("DCD_PATH", "/tmp"), "",
                                     littleEndianWord(bytes), littleEndianWord(bytes + 4),
                                     littleEndianWord(bytes + 8), littleEndianWord(bytes + 12), 1);
    if (length < 0 || static_cast<size_t>(length) >= kPathSize) {
        // A cut name would be another file.
        path[0] = '\0';
        return false;
    }
    return true;
}

int ZephraDcdManager::writeDcd(const vnx_DomainGuid_s& guid, const vnx_dcdData_s* dcd)
{
    if (dcd == nullptr || dcd->size > kMaxDcdSize) {
        VNX_LOGF(storeLog(), log::WARN, "Invalid DCD");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    char path[kPathSize];
    if (!createPath(guid, path)) {
        VNX_LOGF(storeLog(), log::WARN, "DCD path too long: check DCD_PATH property");
        return VNX_STATUS_INVALID_PARAMETER;
    }
    VNX_LOGF(storeLog(), log::INFO, "Saving DCD to: %s, %u", path, static_cast<unsigned>(dcd->size));

    // The new content goes to a private file of its own beside the target
    // (created exclusively, mode 0600, so nothing planted at a predictable
    // name is written through) and replaces the target only once it is
    // complete on disk.
    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        VNX_LOGF(storeLog(), log::WARN, "Unable to save DCD to %s", path);
        return VNX_STATUS_IO_DENIED;
    }
    const bool written = writeAll(fd, reinterpret_cast<const uint8_t*>(dcd), dcd->size) && fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        return VNX_STATUS_WARNING_INVALID_DCD;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        ::unlink(temporary.c_str());
        VNX_LOGF(storeLog(), log::WARN, "Unable to save DCD to %s", path);
        return VNX_STATUS_IO_DENIED;
    }
    syncDirectoryOf(path);
    return VNX_STATUS_SUCCESS;
}

int ZephraDcdManager::readDcd(const vnx_DomainGuid_s& guid, vnx_dcdData_s* buffer, size_t capacity,
                              size_t* size)
{
    if (buffer == nullptr || size == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    buffer->size = 0;
    char path[kPathSize];
    const bool named = createPath(guid, path);
    VNX_LOGF(storeLog(), log::INFO, "Reading DCD from: %s", path);

    // Only a regular file is read, checked before anything can block: a FIFO
    // at the name would hold the engine thread, a link would read another
    // file.
    const int fd = named ? ::open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC) : -1;
    struct stat status = {};
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        std::memset(buffer, 0, sizeof(vnx_dcdData_s));
        return VNX_STATUS_WARNING_INVALID_DCD;
    }
    auto* bytes = reinterpret_cast<uint8_t*>(buffer);
    size_t count = 0;
    while (count < capacity) {
        const ssize_t got = ::read(fd, bytes + count, capacity - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        count += static_cast<size_t>(got);
    }
    ::close(fd);
    if (count == 0) {
        return VNX_STATUS_WARNING_INVALID_DCD;
    }
    *size = count;
    return VNX_STATUS_SUCCESS;
}

} // namespace vnx
