#include "log/SingleLoggerFileAppender.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "log/LogEvent.h"
#include "log/LogManager.h"
#include "log/SingleLoggerFileHeader.h"

namespace vnx::log {

namespace {

bool isFileHeader(const LogEvent& event)
{
    uint32_t magic = 0;
    if (event.getBufferSize() != sizeof(SingleLoggerFileHeader)) {
        return false;
    }
    std::memcpy(&magic, event.getBuffer(), sizeof(magic));
    return magic == SingleLoggerFileHeader::kMagic;
}

} // namespace

SingleLoggerFileAppender::~SingleLoggerFileAppender()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool SingleLoggerFileAppender::open(const LogEvent& event)
{
    std::string name = event.getLoggerName();
    std::replace(name.begin(), name.end(), '.', '_');
    file_ = std::fopen((LogManager::getInstance().getFilenamePrefix() + name + ".dbg").c_str(), "wb");
    if (file_ == nullptr) {
        return false;
    }
    logger_ = event.getLogger();
    return true;
}

void SingleLoggerFileAppender::log(const LogEvent& event)
{
    if (file_ == nullptr) {
        // The formatter hands over the header with its first piece, so only
        // the first event can be one.
        const bool header = !receivedAny_ && isFileHeader(event);
        receivedAny_ = true;
        if (header) {
            pendingHeader_.assign(event.getBuffer(), event.getBuffer() + event.getBufferSize());
        }
        if (!open(event)) {
            return;
        }
        if (!pendingHeader_.empty()) {
            std::fwrite(pendingHeader_.data(), 1, pendingHeader_.size(), file_);
            pendingHeader_.clear();
        }
        if (header) {
            return;
        }
    }
    if (event.getLogger() != logger_) {
        return;
    }
    if (event.getBufferSize() != 0) {
        std::fwrite(event.getBuffer(), 1, event.getBufferSize(), file_);
    }
}

} // namespace vnx::log
