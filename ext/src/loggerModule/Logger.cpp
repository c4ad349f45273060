#include "loggerModule/Logger.h"

#include <cinttypes>
#include <cstring>
#include <limits>

#include "common/statusCode.h"
#include "common/timeSource.h"
#include "extCommon/extModuleType.h"
#include "extCommon/extStatusCode.h"

namespace vnx {

namespace {

/// Longest path of a capture file; longer paths are cut.
constexpr size_t kPathMax = 255;

bool isLoggerConfig(const vnx_StructConfig_s* config)
{
    return config != nullptr && vnx_StructConfig_isA(&config->header, VNX_TYPE_LOGGER);
}

bool writeAll(std::FILE* file, const void* bytes, size_t size)
{
    return std::fwrite(bytes, 1, size, file) == size;
}

} // namespace

Logger::~Logger()
{
    closeFile();
}

bool Logger::closeFile()
{
    if (file_ == nullptr) {
        return true;
    }
    writing_ = false;
    const bool stored = std::fclose(file_) == 0;
    file_ = nullptr;
    return stored;
}

int Logger::setModuleListener(ModuleListenerInterface*)
{
    return VNX_STATUS_SUCCESS;
}

int Logger::getConfig(vnx_StructConfig_s* config) const
{
    if (!isLoggerConfig(config)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    auto* own = vnx_Logger_dynamicDownCastConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    own->name = nullptr;
    own->mode = VNX_LOGGER_MODE_WRITE;
    return VNX_STATUS_SUCCESS;
}

int Logger::setConfig(const vnx_StructConfig_s* config)
{
    if (!isLoggerConfig(config)) {
        return VNX_STATUS_NOT_FOR_ME;
    }
    const auto* own = vnx_Logger_dynamicDownCastConstConfig(config);
    if (own == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    closeFile();
    if (own->name != nullptr) {
        // Never read past the longest stem kept, terminated or not.
        const size_t length = strnlen(own->name, VNX_LOGGER_NAME_MAX);
        std::memcpy(name_, own->name, length);
        name_[length] = '\0';
    }
    if (own->mode == VNX_LOGGER_MODE_WRITE || own->mode == VNX_LOGGER_MODE_WRITE_ALT) {
        writing_ = true;
    }
    return VNX_STATUS_SUCCESS;
}

int Logger::sendCommand(const vnx_StructCommand_s*)
{
    return VNX_STATUS_SUCCESS;
}

uint8_t Logger::getType() const
{
    return VNX_TYPE_LOGGER;
}

int Logger::init(const vnx_scdData_s*, int&, const vnx_dcdData_s*, int&)
{
    closeFile();
    return VNX_STATUS_SUCCESS;
}

int Logger::term()
{
    return closeFile() ? int{VNX_STATUS_SUCCESS} : int{VNX_STATUS_IO_ERROR};
}

int Logger::getDcd(vnx_dcdData_s*, int, int&) const
{
    return VNX_STATUS_SUCCESS;
}

int Logger::getInputInterfaceCount() const
{
    return 1;
}

int Logger::getInputInterface(int index, size_t, uint8_t*, size_t& count) const
{
    if (index != 0) {
        return VNX_STATUS_INVALID_INTERFACE;
    }
    // Any number of records of any type.
    count = std::numeric_limits<size_t>::max();
    return VNX_STATUS_SUCCESS;
}

int Logger::getOutputInterfaceCount() const
{
    return 0;
}

int Logger::getOutputInterface(int, size_t, uint8_t*, size_t& count) const
{
    count = 0;
    return VNX_STATUS_SUCCESS;
}

int Logger::process(int, size_t inputCount, const vnx_StructOutput_s** inputs, const vnx_StructFormat_s**, int,
                    size_t, vnx_StructOutput_s**, vnx_StructFormat_s**)
{
    if (!writing_) {
        return VNX_STATUS_SUCCESS;
    }
    // A block must hold exactly the records it counts, each readable by the
    // size in its header: a batch that cannot be written whole is refused.
    if (inputCount > 0 && inputs == nullptr) {
        return VNX_STATUS_INVALID_PARAMETER;
    }
    for (size_t i = 0; i < inputCount; ++i) {
        if (inputs[i] == nullptr || inputs[i]->header.size < sizeof(vnx_Struct_s)) {
            return VNX_STATUS_INVALID_PARAMETER;
        }
    }

    const uint64_t now = vnx_time_ns();
    if (file_ == nullptr) {
        char path[kPathMax + 1];
        // A path longer than the limit is cut, not refused.
        const bool formed = std::snprintf(path, sizeof path, "./%s-%" PRIu64 ".log", name_, now) >= 0;
        file_ = formed ? std::fopen(path, "w") : nullptr;
        if (file_ == nullptr) {
            return VNX_STATUS_INTERNAL_ERROR;
        }
    }

    const uint64_t count = inputCount;
    bool stored = writeAll(file_, &now, sizeof now) && writeAll(file_, &count, sizeof count);
    for (size_t i = 0; stored && i < inputCount; ++i) {
        stored = writeAll(file_, inputs[i], inputs[i]->header.size);
    }
    return stored ? int{VNX_STATUS_SUCCESS} : int{VNX_STATUS_IO_ERROR};
}

} // namespace vnx
