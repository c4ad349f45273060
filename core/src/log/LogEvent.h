#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "log/Priority.h"

namespace vnx::log {

class Logger;

/// One log event: where it was logged, its level, its logger and what a
/// formatter made of it (text or binary buffer).
class LogEvent
{
  public:
    LogEvent() = default;
    LogEvent(const char* file, int32_t line, Priority_e level, const Logger* logger);
    LogEvent(const LogEvent&) = default;
    LogEvent& operator=(const LogEvent&) = default;
    virtual ~LogEvent() = default;

    /// The logger's full name, "[NULL]" without a logger.
    virtual const char* getLoggerName() const;
    /// The logger's sequence number, 0 without a logger.
    virtual uint32_t getSequenceNumber() const;

    const std::string& getFile() const { return file_; }
    int32_t getLine() const { return line_; }
    Priority_e getLevel() const { return level_; }
    const Logger* getLogger() const { return logger_; }

    const std::string& getText() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }

    const uint8_t* getBuffer() const { return buffer_.data(); }
    uint8_t* getBuffer() { return buffer_.data(); }
    uint64_t getBufferSize() const { return buffer_.size(); }
    /// Replaces the buffer with one of `size` bytes, copied from `data` unless
    /// it is null (then zero-filled).
    void setBuffer(const void* data, size_t size);

    /// Same level, text and buffer, and the same logger unless either is
    /// null. File and line are not compared.
    bool isSimilar(const LogEvent& other) const;

  private:
    std::string file_;
    int32_t line_ = 0;
    Priority_e level_ = OFF;
    const Logger* logger_ = nullptr;
    std::string text_;
    std::vector<uint8_t> buffer_;
};

} // namespace vnx::log
