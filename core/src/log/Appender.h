#pragma once

namespace vnx::log {

class LogEvent;

/// Writes rendered events out (console, file, memory).
class Appender
{
  public:
    virtual ~Appender() = default;
    virtual void log(const LogEvent& event) = 0;
};

} // namespace vnx::log
