#include "log/LogEvent.h"

#include <cstring>

#include "log/Logger.h"

namespace vnx::log {

LogEvent::LogEvent(const char* file, int32_t line, Priority_e level, const Logger* logger)
    : file_(file != nullptr ? file : ""), line_(line), level_(level), logger_(logger)
{
}

const char* LogEvent::getLoggerName() const
{
    return logger_ != nullptr ? logger_->getName() : "[NULL]";
}

uint32_t LogEvent::getSequenceNumber() const
{
    return logger_ != nullptr ? logger_->getSequenceNumber() : 0;
}

void LogEvent::setBuffer(const void* data, size_t size)
{
    buffer_.assign(size, 0);
    if (data != nullptr && size > 0) {
        std::memcpy(buffer_.data(), data, size);
    }
}

bool LogEvent::isSimilar(const LogEvent& other) const
{
    const bool sameLogger = logger_ == nullptr || other.logger_ == nullptr || logger_ == other.logger_;
    return sameLogger && level_ == other.level_ && text_ == other.text_ && buffer_ == other.buffer_;
}

} // namespace vnx::log
