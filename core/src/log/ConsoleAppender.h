#pragma once

#include <cstdio>

#include "log/Appender.h"

namespace vnx::log {

/// Writes each event's text as one flushed line. The target is chosen once,
/// at construction, by the property LOG_REDIRECT: unset or "stderr" standard
/// error, "stdout" standard output, anything else a file path (truncated;
/// standard output when it cannot be opened).
class ConsoleAppender : public Appender
{
  public:
    ConsoleAppender();
    ~ConsoleAppender() override;
    ConsoleAppender(const ConsoleAppender&) = delete;
    ConsoleAppender& operator=(const ConsoleAppender&) = delete;

    void log(const LogEvent& event) override;

  private:
    std::FILE* stream_;
    bool ownsStream_ = false;
};

} // namespace vnx::log
