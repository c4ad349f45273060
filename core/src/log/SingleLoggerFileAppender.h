#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "log/Appender.h"

namespace vnx::log {

class Logger;

/// Writes the buffers of one logger's events to prefix + name + ".dbg", the
/// name being the logger's full name with every "." replaced by "_". The
/// file is opened (truncated) at the first event and bound to that event's
/// logger; events of other loggers are dropped. A file that cannot be opened
/// drops the event and is tried again at the next one; the file header the
/// formatter handed over meanwhile is kept and written first when the file
/// finally opens, so a late file still starts with its header.
class SingleLoggerFileAppender : public Appender
{
  public:
    SingleLoggerFileAppender() = default;
    ~SingleLoggerFileAppender() override;
    SingleLoggerFileAppender(const SingleLoggerFileAppender&) = delete;
    SingleLoggerFileAppender& operator=(const SingleLoggerFileAppender&) = delete;

    void log(const LogEvent& event) override;

  private:
    bool open(const LogEvent& event);

    std::FILE* file_ = nullptr;
    const Logger* logger_ = nullptr;
    bool receivedAny_ = false;
    std::vector<uint8_t> pendingHeader_;
};

} // namespace vnx::log
