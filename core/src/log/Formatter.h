#pragma once

#include <cstddef>

#include "log/TestPoint.h"

struct vnx_Struct_s;
struct vnx_StructOutput_s;
struct vnx_StructFormat_s;

namespace vnx::log {

class Appender;
class LogEvent;

/// Renders the events of the loggers it is attached to and hands them to its
/// appender. The event is the logger's own for this call: a formatter may
/// store its rendering as the event's text.
class Formatter
{
  public:
    virtual ~Formatter() = default;

    /// A formatter deletes an appender it owns when it is destroyed.
    virtual void setAppender(Appender* appender, bool own) = 0;

    virtual void log(LogEvent& event, const char* text) = 0;
    virtual void log(LogEvent& event, const vnx_Struct_s* record) = 0;
    /// `count` Output records with their parallel Format records.
    virtual void log(LogEvent& event, size_t count, const vnx_StructOutput_s* const* outputs,
                     const vnx_StructFormat_s* const* formats) = 0;
    /// Raw data: countA x countB elements of the kind `testPoint` names.
    virtual void log(const LogEvent& event, size_t countA, size_t countB, const void* data,
                     TestPoint_e testPoint) = 0;
};

} // namespace vnx::log
